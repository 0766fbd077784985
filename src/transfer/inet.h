// cInet: HTTP/1.0 GET on libcurl, used by the URL loader. The body is collected in memory and
// checked against the announced length, so a cut transfer or an error page never reaches a
// decoder as if it were a complete image.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tessivo/status.h"

namespace tessivo {

class cInet {
 public:
  // Called after each chunk with (received, total); returning false cancels the transfer.
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

  // Fetches path from host:port. Port 443 uses TLS (chain verified, host name not checked).
  TessivoStatus httpGet(const std::string& host, const std::string& path, int64_t port,
                        std::vector<uint8_t>& body);

 private:
  void* curl_ = nullptr;
  int32_t bufferSize_ = 1024;
  ProgressHook hook_;
};

// Exposed for tests: trims, drops a leading http:// or https:// and refuses control characters.
bool NormalizeHttpHost(const std::string& in, std::string& out);

}  // namespace tessivo
