// cInet: the toolkit's HTTP and FTP client on libcurl.
//
// HTTP: one HTTP/1.0 GET whose body is collected in memory and checked against the announced
// length, so a cut transfer or an error page never reaches a decoder as if it were a complete
// image. FTP: a session (connection and login) is opened first and kept by the handle, then
// files are fetched into or sent from local files over it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tessivo/status.h"

namespace tessivo {

// Watches a transfer for bytes moving; none for `seconds` ends it.
struct TransferStallWatch {
  int32_t seconds = 60;
  int64_t moved = -1;
  std::chrono::steady_clock::time_point since;
};

class cInet {
 public:
  // Called after each chunk of the buffer size (and after the last, shorter one) with
  // (received, total); returning false cancels the transfer.
  using ProgressHook = std::function<bool(int64_t received, int64_t total)>;

  cInet();
  ~cInet();
  cInet(const cInet&) = delete;
  cInet& operator=(const cInet&) = delete;

  bool ok() const { return curl_ != nullptr; }
  // Below 1 is ignored; above 16 MiB is capped.
  void setBufferSize(int32_t bytes);
  int32_t bufferSize() const { return bufferSize_; }
  void setProgressHook(ProgressHook hook) { hook_ = std::move(hook); }
  // Passive FTP (the default) or active FTP, where the server connects back to us.
  void setPassive(bool passive) { passive_ = passive; }
  bool passive() const { return passive_; }
  // A transfer that receives nothing for this long fails (60 seconds unless set; at least 1).
  void setStallTimeout(int32_t seconds) { stall_.seconds = seconds < 1 ? 1 : seconds; }

  // Where a response body goes: begin once the length is known, then write piece by piece;
  // false from either ends the transfer.
  class BodySink {
   public:
    virtual ~BodySink() = default;
    virtual bool begin(int64_t total) = 0;
    virtual bool write(const char* data, size_t size) = 0;
  };

  // Fetches path from host:port. Port 443 uses TLS (chain verified, host name not checked);
  // port 0 is the service default. Bodies above 2^31 - 1 bytes are refused. On failure `body`
  // is empty.
  TessivoStatus httpGet(const std::string& host, const std::string& path, int64_t port,
                        std::vector<uint8_t>& body);
  // The same into localPath (replaced), so that a large body never has to fit in memory. On
  // failure the file may hold a part of the body. A file that cannot be written: Win32Error
  // (GenericError when it cannot be opened).
  TessivoStatus httpGetFile(const std::string& host, const std::string& path, int64_t port,
                            const std::string& localPath);

  // Connects to host:port (0: 21) and logs in; an empty login is anonymous. Failure to reach
  // the server or to log in: InternetConnectError.
  TessivoStatus ftpOpenSession(const std::string& host, int64_t port, const std::string& login,
                               const std::string& password);
  // Fetches the remote file (a path as NormalizeFtpPath leaves it) into localPath, replacing
  // its content. InternetFtpGetFileError when the server refuses or the transfer breaks off;
  // localPath may then hold a part of the file.
  TessivoStatus ftpGetFile(const std::string& remotePath, const std::string& localPath);
  // Sends localPath to the remote path. InternetFtpWriteFileError on any failure.
  TessivoStatus ftpPutFile(const std::string& localPath, const std::string& remotePath);

 private:
  TessivoStatus httpFetch(const std::string& host, const std::string& path, int64_t port,
                          BodySink& sink);
  void resetTransferOptions();
  void applyFtpOptions();

  void* curl_ = nullptr;
  TransferStallWatch stall_;
  int32_t bufferSize_ = 1024;
  bool passive_ = true;
  ProgressHook hook_;
  // The open FTP session.
  std::string ftpBase_;  // "ftp://host:port"
  std::string ftpLogin_;
  std::string ftpPassword_;
};

}  // namespace tessivo
