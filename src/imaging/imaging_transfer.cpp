// HTTP and FTP methods of cImaging: downloads decoded into registered images, the native image
// saved to an FTP server, local files sent to one. Each call makes its own cInet.
#include <algorithm>
#include <cctype>
#include <utility>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "core/temp_files.h"
#include "platform/host_services.h"
#include "tessivo/imaging.h"
#include "transfer/inet.h"
#include "transfer/inet_text.h"

namespace tessivo {
namespace {

LoadOptions DownloadOptions(const ImagingState& st) {
  LoadOptions o;
  o.codecDisabled = st.disableCodecPlugin;
  o.tiffReadOnly = st.tiffOpenReadOnly;
  o.gifReadOnly = st.gifOpenReadOnly;
  o.allowDialog = false;
  return o;
}

int32_t Finish(ImagingState& st, TessivoStatus status, int32_t id) {
  st.Set(status);
  if (status != OK) return 0;
  st.nativeImage = id;
  return id;
}

// A temporary file deleted when the scope ends, unless handed over to an image.
class TempFile {
 public:
  TempFile() : path_(NewTempFile()) {}
  ~TempFile() {
    if (!path_.empty()) DeleteFileQuietly(path_);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }
  std::string release() { return std::exchange(path_, std::string()); }

 private:
  std::string path_;
};

// Marks the instance's download as running for one scope.
class DownloadMark {
 public:
  explicit DownloadMark(bool& flag) : flag_(flag) { flag_ = true; }
  ~DownloadMark() { flag_ = false; }
  DownloadMark(const DownloadMark&) = delete;
  DownloadMark& operator=(const DownloadMark&) = delete;

 private:
  bool& flag_;
};

// A cInet with an open FTP session, or the status that prevented it. The remote path is
// checked first, so that nothing reaches the server when it could inject a command.
TessivoStatus OpenFtp(const ImagingState& st, cInet& inet, const std::string& host,
                      const std::string& remotePath, const std::string& login,
                      const std::string& password, int32_t port) {
  if (!inet.ok()) return InternetOpenError;
  if (HasLineBreakOrNul(remotePath)) return InternetConnectError;
  inet.setPassive(st.ftpPassive);
  return inet.ftpOpenSession(host, port, login, password);
}

// Decodes a downloaded file; on success the file is the new image's source from then on and
// goes with it, and the image becomes native.
int32_t LoadDownloaded(ImagingState& st, TempFile& temp, const LoadOptions& options) {
  int32_t id = 0;
  const TessivoStatus status = LoadImageFile(temp.path(), options, id);
  if (status != OK) return Finish(st, status, 0);
  ImageEntry* entry = ImageRegistry::Current().Entry(id);
  entry->filePath = temp.release();
  entry->deleteFileOnClose = true;
  return Finish(st, OK, id);
}

std::string UpperTrimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::string out = s.substr(b, s.find_last_not_of(" \t") - b + 1);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

}  // namespace

int32_t cImaging::CreateImageFromURL(const std::string& sHost, const std::string& sPath,
                                     int32_t nHTTPPort) {
  ImagingState& st = *state_;
  // Entered again from the host's event pump while this instance downloads.
  if (st.urlDownloadRunning) return Finish(st, ObjectBusy, 0);
  return Guarded(st, 0, [&] {
    cInet inet;
    if (!inet.ok()) return Finish(st, InternetOpenError, 0);
    inet.setBufferSize(st.httpBufferSize);
    inet.setProgressHook([](int64_t received, int64_t total) {
      return platform::Host().ProcessPendingEvents(received, total);
    });
    TempFile temp;
    if (temp.path().empty()) return Finish(st, GenericError, 0);
    TessivoStatus status;
    {
      DownloadMark running(st.urlDownloadRunning);
      status = inet.httpGetFile(sHost, sPath, nHTTPPort, temp.path());
    }
    if (status != OK) return Finish(st, status, 0);
    // Bytes from the network are decoded as bytes in memory are: the codec plug-in may help.
    LoadOptions options = DownloadOptions(st);
    options.codecDisabled = false;
    return LoadDownloaded(st, temp, options);
  });
}

int32_t cImaging::CreateImageFromFTP(const std::string& sHost, const std::string& sPath,
                                     const std::string& sLogin, const std::string& sPassword,
                                     int32_t nFTPPort) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    cInet inet;
    const std::string remote = NormalizeFtpPath(sPath);
    TessivoStatus status = OpenFtp(st, inet, sHost, remote, sLogin, sPassword, nFTPPort);
    if (status != OK) return Finish(st, status, 0);
    TempFile temp;
    if (temp.path().empty()) return Finish(st, GenericError, 0);
    status = inet.ftpGetFile(remote, temp.path());
    if (status != OK) return Finish(st, status, 0);
    return LoadDownloaded(st, temp, DownloadOptions(st));
  });
}

TessivoStatus cImaging::SaveToFTP(const std::string& sImageFormat, int32_t nEncoderParameter,
                                  const std::string& sHost, const std::string& sPath,
                                  const std::string& sLogin, const std::string& sPassword,
                                  int32_t nFTPPort) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    cInet inet;
    const std::string remote = NormalizeFtpPath(sPath);
    TessivoStatus status = OpenFtp(st, inet, sHost, remote, sLogin, sPassword, nFTPPort);
    if (status != OK) return st.Set(status);
    TempFile temp;
    if (temp.path().empty()) return st.Set(GenericError);
    const std::string format = UpperTrimmed(sImageFormat);
    if (format == "BMP") status = SaveAsBmp(temp.path());
    else if (format == "JPG") status = SaveAsJPEG(temp.path(), nEncoderParameter);
    else if (format == "TIF")
      status = SaveAsTIFF(temp.path(), static_cast<TifCompression>(nEncoderParameter));
    else if (format == "PNG") status = SaveAsPNG(temp.path());
    else if (format == "GIF") status = SaveAsGIF(temp.path());
    // The toolkit's PDF writer is not part of this build yet: say so rather than send a JPEG.
    else if (format == "PDF") status = NotImplemented;
    else status = SaveAsJPEG(temp.path(), 75);
    if (status != OK) return st.Set(status);
    return st.Set(inet.ftpPutFile(temp.path(), remote));
  });
}

TessivoStatus cImaging::UploadFileToFTP(const std::string& sFilePath, const std::string& sHost,
                                        const std::string& sPath, const std::string& sLogin,
                                        const std::string& sPassword, int32_t nFTPPort) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    cInet inet;
    const std::string remote = NormalizeFtpPath(sPath);
    TessivoStatus status = OpenFtp(st, inet, sHost, remote, sLogin, sPassword, nFTPPort);
    if (status != OK) return st.Set(status);
    return st.Set(inet.ftpPutFile(sFilePath, remote));
  });
}

void cImaging::SetHttpTransfertBufferSize(int32_t nBuffersize) {
  if (nBuffersize < 1) return;
  state_->httpBufferSize = std::min<int32_t>(nBuffersize, 16 * 1024 * 1024);
}

void cImaging::SetFtpPassiveMode(bool bPassiveMode) { state_->ftpPassive = bPassiveMode; }

}  // namespace tessivo
