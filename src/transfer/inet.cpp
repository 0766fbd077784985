#include "transfer/inet.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

#include "platform/transfer/curl_library.h"
#include "transfer/inet_text.h"

namespace tessivo {
namespace {

// Every caller holds an easy handle or is about to use one, so the library is loaded.
const platform::CurlLibrary& Lib() { return *platform::Curl(); }

constexpr int32_t kMaxBuffer = 16 * 1024 * 1024;
constexpr int64_t kMaxBody = std::numeric_limits<int32_t>::max();
// What is reserved up front from an announced length: enough to avoid most regrowth, little
// enough that a forged length costs nothing.
constexpr int64_t kInitialReserve = 8 * 1024 * 1024;

class MemorySink : public cInet::BodySink {
 public:
  explicit MemorySink(std::vector<uint8_t>& body) : body_(body) {}
  bool begin(int64_t total) override {
    body_.reserve(static_cast<size_t>(std::min<int64_t>(total, kInitialReserve)));
    return true;
  }
  bool write(const char* data, size_t size) override {
    body_.insert(body_.end(), data, data + size);
    return true;
  }

 private:
  std::vector<uint8_t>& body_;
};

class FileSink : public cInet::BodySink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  bool begin(int64_t) override { return true; }
  bool write(const char* data, size_t size) override {
    return std::fwrite(data, 1, size, file_) == size;
  }

 private:
  std::FILE* file_;
};

enum class Abort { None, Cancelled, NoLength, TooLarge, ErrorPage, SinkFailed };

struct ReadState {
  CURL* curl = nullptr;
  cInet::BodySink* sink = nullptr;
  int64_t received = 0;
  int64_t total = -1;
  int64_t sinceHook = 0;
  int32_t chunk = 1024;
  bool started = false;
  Abort abort = Abort::None;
  const cInet::ProgressHook* hook = nullptr;
};

// The first bytes of a body: the headers are complete, so the response is judged before
// anything is kept. An error page or a missing or excessive length ends the transfer at once,
// which also bounds what a hostile server can make us hold.
bool StartBody(ReadState& st) {
  st.started = true;
  long code = 0;
  Lib().easy_getinfo(st.curl, CURLINFO_RESPONSE_CODE, &code);
  if (code < 200 || code > 299) { st.abort = Abort::ErrorPage; return false; }
  curl_off_t announced = -1;
  Lib().easy_getinfo(st.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  if (announced < 1) { st.abort = Abort::NoLength; return false; }
  if (announced > kMaxBody) { st.abort = Abort::TooLarge; return false; }
  st.total = announced;
  if (!st.sink->begin(announced)) { st.abort = Abort::SinkFailed; return false; }
  return true;
}

bool RunHook(ReadState& st) {
  if (*st.hook && !(*st.hook)(st.received, st.total)) {
    st.abort = Abort::Cancelled;
    return false;
  }
  return true;
}

size_t OnData(char* data, size_t size, size_t n, void* user) {
  auto* st = static_cast<ReadState*>(user);
  const size_t bytes = size * n;
  if (!st->started && !StartBody(*st)) return 0;
  if (st->received + static_cast<int64_t>(bytes) > st->total) {
    // More than announced: curl stops at the length itself, so this only guards the arithmetic.
    st->abort = Abort::TooLarge;
    return 0;
  }
  // The bytes are taken in pieces of the buffer size, and the host's hook runs after each
  // piece that fills a chunk, as a pump for pending events, and after the last, shorter chunk
  // that completes the body.
  size_t taken = 0;
  while (taken < bytes) {
    const size_t piece = std::min<size_t>(bytes - taken, static_cast<size_t>(st->chunk - st->sinceHook));
    if (!st->sink->write(data + taken, piece)) {
      st->abort = Abort::SinkFailed;
      return 0;
    }
    taken += piece;
    st->received += static_cast<int64_t>(piece);
    st->sinceHook += static_cast<int64_t>(piece);
    const bool complete = st->received == st->total;
    if (st->sinceHook == st->chunk || complete) {
      st->sinceHook = 0;
      if (!RunHook(*st)) return 0;
    }
  }
  return bytes;
}

// curl's own low-speed check only runs when its loop wakes, which can be seconds late; this
// one runs on curl's progress ticks (about once a second, more often while data flows).
int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto* watch = static_cast<TransferStallWatch*>(user);
  const auto now = std::chrono::steady_clock::now();
  const int64_t moved = static_cast<int64_t>(downloaded) + static_cast<int64_t>(uploaded);
  if (moved != watch->moved) {
    watch->moved = moved;
    watch->since = now;
    return 0;
  }
  return now - watch->since > std::chrono::seconds(watch->seconds) ? 1 : 0;
}

// "http://host:port/path?query" through CURLU, so that the host must parse as a name or an
// IP literal and the path is percent-encoded; "" when it does not parse.
std::string HttpUrl(const std::string& host, std::string path, int64_t port, bool tls) {
  std::string query;
  if (size_t q = path.find('?'); q != std::string::npos) {
    query = path.substr(q + 1);
    path.resize(q);
  }
  CURLU* url = Lib().url();
  if (!url) return {};
  bool ok = Lib().url_set(url, CURLUPART_SCHEME, tls ? "https" : "http", 0) == CURLUE_OK &&
            Lib().url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
            Lib().url_set(url, CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) == CURLUE_OK;
  if (ok && port != 0)
    ok = Lib().url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0) == CURLUE_OK;
  if (ok && !query.empty()) ok = Lib().url_set(url, CURLUPART_QUERY, query.c_str(), 0) == CURLUE_OK;
  char* full = nullptr;
  if (ok) ok = Lib().url_get(url, CURLUPART_URL, &full, 0) == CURLUE_OK;
  Lib().url_cleanup(url);
  std::string out = ok ? full : "";
  Lib().free(full);
  return out;
}

}  // namespace

// Without libcurl (not installed, not loadable) there is no handle: every transfer then fails
// with InternetOpenError.
cInet::cInet() {
  if (const platform::CurlLibrary* curl = platform::Curl()) curl_ = curl->easy_init();
}

cInet::~cInet() {
  if (curl_) Lib().easy_cleanup(static_cast<CURL*>(curl_));
}

void cInet::setBufferSize(int32_t bytes) {
  if (bytes < 1) return;
  bufferSize_ = std::min(bytes, kMaxBuffer);
}

// Options of every transfer; curl_easy_reset keeps the connection cache, so an FTP session
// stays open across the transfers made on it.
void cInet::resetTransferOptions() {
  CURL* c = static_cast<CURL*>(curl_);
  Lib().easy_reset(c);
  Lib().easy_setopt(c, CURLOPT_USERAGENT, "tessivo");
  Lib().easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
  Lib().easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  Lib().easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stall_.seconds));
  stall_.moved = -1;
  stall_.since = std::chrono::steady_clock::now();
  Lib().easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  Lib().easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
  Lib().easy_setopt(c, CURLOPT_XFERINFODATA, &stall_);
  Lib().easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  Lib().easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(std::max<int32_t>(bufferSize_, 16384)));
}

TessivoStatus cInet::httpGet(const std::string& host, const std::string& path, int64_t port,
                             std::vector<uint8_t>& body) {
  body.clear();
  MemorySink sink(body);
  const TessivoStatus status = httpFetch(host, path, port, sink);
  if (status != OK) {
    body.clear();
    body.shrink_to_fit();
  }
  return status;
}

TessivoStatus cInet::httpGetFile(const std::string& host, const std::string& path, int64_t port,
                                 const std::string& localPath) {
  std::FILE* file = std::fopen(localPath.c_str(), "wb");
  if (!file) return GenericError;
  FileSink sink(file);
  TessivoStatus status = httpFetch(host, path, port, sink);
  if (std::fclose(file) != 0 && status == OK) status = Win32Error;
  return status;
}

TessivoStatus cInet::httpFetch(const std::string& hostIn, const std::string& pathIn, int64_t port,
                               BodySink& sink) {
  if (!curl_) return InternetOpenError;
  std::string host;
  if (!NormalizeHttpHost(hostIn, host) || HasLineBreakOrNul(pathIn)) return InternetConnectError;
  if (port < 0 || port > 65535) return InternetConnectError;
  // Only the port selects TLS; a scheme written on the host does not.
  const bool tls = port == 443;
  std::string path = pathIn;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty() || path[0] != '/') path.insert(path.begin(), '/');
  const std::string url = HttpUrl(host, path, port, tls);
  if (url.empty()) return InternetConnectError;

  CURL* c = static_cast<CURL*>(curl_);
  resetTransferOptions();
  ReadState st;
  st.curl = c;
  st.sink = &sink;
  st.chunk = bufferSize_;
  st.hook = &hook_;
  Lib().easy_setopt(c, CURLOPT_URL, url.c_str());
  Lib().easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  Lib().easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  Lib().easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  Lib().easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  Lib().easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  Lib().easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  Lib().easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
  Lib().easy_setopt(c, CURLOPT_WRITEFUNCTION, OnData);
  Lib().easy_setopt(c, CURLOPT_WRITEDATA, &st);
  const CURLcode rc = Lib().easy_perform(c);

  long code = 0;
  Lib().easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
  curl_off_t announced = -1;
  Lib().easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);

  TessivoStatus status = OK;
  switch (st.abort) {
    case Abort::Cancelled: status = InternetHttpTransferError; break;
    case Abort::NoLength:
    case Abort::TooLarge: status = InternetHttpInvalidFileLength; break;
    case Abort::ErrorPage: status = InternetHttpQueryError; break;
    case Abort::SinkFailed: status = Win32Error; break;
    case Abort::None:
      // An answer that is no HTTP response (curl refuses HTTP/0.9 as an unsupported protocol)
      // or a redirect to another scheme: the response cannot be used.
      if (rc == CURLE_WEIRD_SERVER_REPLY || rc == CURLE_UNSUPPORTED_PROTOCOL)
        status = InternetHttpQueryError;
      else if (rc == CURLE_COULDNT_RESOLVE_HOST || rc == CURLE_COULDNT_CONNECT ||
               rc == CURLE_URL_MALFORMAT ||
               rc == CURLE_SSL_CONNECT_ERROR || rc == CURLE_PEER_FAILED_VERIFICATION)
        status = code == 0 ? InternetConnectError : InternetHttpSendRequestError;
      else if (code == 0) status = InternetHttpSendRequestError;
      else if (code < 200 || code > 299) status = InternetHttpQueryError;
      else if (announced < 1 || announced > kMaxBody) status = InternetHttpInvalidFileLength;
      else if (rc != CURLE_OK || st.received != announced) status = InternetHttpTransferError;
      break;
  }
  return status;
}

}  // namespace tessivo
