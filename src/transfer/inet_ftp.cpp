// FTP on libcurl. The session is one logged-in control connection kept in the easy handle's
// connection cache: opening it runs a transfer-less request, and the gets and puts that follow
// reuse it as long as host, port and login stay the same.
#include <sys/stat.h>

#include <cstdio>
#include <limits>
#include <memory>

#include "platform/transfer/curl_library.h"
#include "transfer/inet.h"
#include "transfer/inet_text.h"

namespace tessivo {
namespace {

// Every caller holds an easy handle or is about to use one, so the library is loaded.
const platform::CurlLibrary& Lib() { return *platform::Curl(); }

// Files above this size are refused both ways, as everything else in the toolkit is sized in
// 32-bit lengths.
constexpr int64_t kMaxFile = std::numeric_limits<int32_t>::max();

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct SinkState {
  std::FILE* file = nullptr;
  int64_t written = 0;
  bool failed = false;
};

size_t OnFileData(char* data, size_t size, size_t n, void* user) {
  auto* st = static_cast<SinkState*>(user);
  const size_t bytes = size * n;
  if (st->written + static_cast<int64_t>(bytes) > kMaxFile ||
      std::fwrite(data, 1, bytes, st->file) != bytes) {
    st->failed = true;
    return 0;
  }
  st->written += static_cast<int64_t>(bytes);
  return bytes;
}

size_t OnFileRead(char* data, size_t size, size_t n, void* user) {
  auto* file = static_cast<std::FILE*>(user);
  const size_t got = std::fread(data, 1, size * n, file);
  if (got == 0 && std::ferror(file)) return CURL_READFUNC_ABORT;
  return got;
}

}  // namespace

void cInet::applyFtpOptions() {
  CURL* c = static_cast<CURL*>(curl_);
  Lib().easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
  Lib().easy_setopt(c, CURLOPT_USERNAME, ftpLogin_.empty() ? "anonymous" : ftpLogin_.c_str());
  Lib().easy_setopt(c, CURLOPT_PASSWORD, ftpLogin_.empty() ? "tessivo@" : ftpPassword_.c_str());
  // Active mode: the server connects back to the address of our control connection.
  if (!passive_) Lib().easy_setopt(c, CURLOPT_FTPPORT, "-");
  Lib().easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(stall_.seconds));
  Lib().easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(stall_.seconds) * 1000L);
  Lib().easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
}

TessivoStatus cInet::ftpOpenSession(const std::string& hostIn, int64_t port,
                                    const std::string& login, const std::string& password) {
  ftpBase_.clear();
  if (!curl_) return InternetOpenError;
  std::string host;
  if (!NormalizeFtpHost(hostIn, host) || HasLineBreakOrNul(login) || HasLineBreakOrNul(password))
    return InternetConnectError;
  if (port < 0 || port > 65535) return InternetConnectError;

  CURLU* url = Lib().url();
  if (!url) return InternetOpenError;
  bool ok = Lib().url_set(url, CURLUPART_SCHEME, "ftp", 0) == CURLUE_OK &&
            Lib().url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
            Lib().url_set(url, CURLUPART_PORT, std::to_string(port == 0 ? 21 : port).c_str(), 0) ==
                CURLUE_OK;
  char* base = nullptr;
  if (ok) ok = Lib().url_get(url, CURLUPART_URL, &base, 0) == CURLUE_OK;
  Lib().url_cleanup(url);
  std::string baseUrl = ok ? base : "";
  Lib().free(base);
  if (!ok) return InternetConnectError;
  // The URL of the bare server ends with "/", which the remote paths bring themselves.
  if (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.pop_back();

  ftpLogin_ = login;
  ftpPassword_ = password;
  CURL* c = static_cast<CURL*>(curl_);
  resetTransferOptions();
  applyFtpOptions();
  const std::string root = baseUrl + "/";
  Lib().easy_setopt(c, CURLOPT_URL, root.c_str());
  Lib().easy_setopt(c, CURLOPT_NOBODY, 1L);
  if (Lib().easy_perform(c) != CURLE_OK) return InternetConnectError;
  ftpBase_ = baseUrl;
  return OK;
}

TessivoStatus cInet::ftpGetFile(const std::string& remotePath, const std::string& localPath) {
  if (ftpBase_.empty()) return InternetConnectError;
  // An empty path or one naming a folder would fetch a directory listing, not a file.
  if (remotePath.empty() || remotePath.back() == '/' || HasLineBreakOrNul(remotePath))
    return InternetFtpGetFileError;
  File file(std::fopen(localPath.c_str(), "wb"));
  if (!file) return InternetFtpGetFileError;

  CURL* c = static_cast<CURL*>(curl_);
  resetTransferOptions();
  applyFtpOptions();
  const std::string url = ftpBase_ + FtpUrlPath(remotePath);
  SinkState sink;
  sink.file = file.get();
  Lib().easy_setopt(c, CURLOPT_URL, url.c_str());
  Lib().easy_setopt(c, CURLOPT_WRITEFUNCTION, OnFileData);
  Lib().easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  const CURLcode rc = Lib().easy_perform(c);
  const bool flushed = std::fflush(file.get()) == 0;
  return rc == CURLE_OK && !sink.failed && flushed ? OK : InternetFtpGetFileError;
}

TessivoStatus cInet::ftpPutFile(const std::string& localPath, const std::string& remotePath) {
  if (ftpBase_.empty()) return InternetConnectError;
  if (remotePath.empty() || remotePath.back() == '/' || HasLineBreakOrNul(remotePath))
    return InternetFtpWriteFileError;
  struct stat info {};
  if (stat(localPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return InternetFtpWriteFileError;
  File file(std::fopen(localPath.c_str(), "rb"));
  if (!file) return InternetFtpWriteFileError;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return InternetFtpWriteFileError;
  const long size = std::ftell(file.get());
  if (size < 0 || size > kMaxFile || std::fseek(file.get(), 0, SEEK_SET) != 0)
    return InternetFtpWriteFileError;

  CURL* c = static_cast<CURL*>(curl_);
  resetTransferOptions();
  applyFtpOptions();
  const std::string url = ftpBase_ + FtpUrlPath(remotePath);
  Lib().easy_setopt(c, CURLOPT_URL, url.c_str());
  Lib().easy_setopt(c, CURLOPT_UPLOAD, 1L);
  Lib().easy_setopt(c, CURLOPT_READFUNCTION, OnFileRead);
  Lib().easy_setopt(c, CURLOPT_READDATA, file.get());
  Lib().easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  const CURLcode rc = Lib().easy_perform(c);
  return rc == CURLE_OK ? OK : InternetFtpWriteFileError;
}

}  // namespace tessivo
