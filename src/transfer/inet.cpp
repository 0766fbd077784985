#include "transfer/inet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace tessivo {
namespace {

constexpr int32_t kMaxBuffer = 16 * 1024 * 1024;
constexpr int64_t kMaxBody = std::numeric_limits<int32_t>::max();

bool HasControl(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

struct ReadState {
  std::vector<uint8_t>* body;
  int64_t total = -1;
  int64_t sinceHook = 0;
  int32_t chunk = 1024;
  bool tooLarge = false;
  bool cancelled = false;
  const cInet::ProgressHook* hook = nullptr;
};

size_t OnData(char* data, size_t size, size_t n, void* user) {
  auto* st = static_cast<ReadState*>(user);
  const size_t bytes = size * n;
  if (static_cast<int64_t>(st->body->size() + bytes) > kMaxBody) {
    st->tooLarge = true;
    return 0;
  }
  st->body->insert(st->body->end(), data, data + bytes);
  st->sinceHook += static_cast<int64_t>(bytes);
  // The host's hook runs once per chunk of the buffer size, as a pump for pending events.
  while (st->sinceHook >= st->chunk) {
    st->sinceHook -= st->chunk;
    if (*st->hook && !(*st->hook)(static_cast<int64_t>(st->body->size()), st->total)) {
      st->cancelled = true;
      return 0;
    }
  }
  return bytes;
}

}  // namespace

bool NormalizeHttpHost(const std::string& in, std::string& out) {
  if (HasControl(in)) return false;
  size_t b = in.find_first_not_of(" \t");
  size_t e = in.find_last_not_of(" \t");
  std::string h = b == std::string::npos ? std::string() : in.substr(b, e - b + 1);
  auto startsCi = [&](const char* p) {
    size_t len = std::char_traits<char>::length(p);
    if (h.size() < len) return false;
    for (size_t i = 0; i < len; ++i)
      if (std::tolower(static_cast<unsigned char>(h[i])) != p[i]) return false;
    return true;
  };
  if (startsCi("http://")) h.erase(0, 7);
  else if (startsCi("https://")) h.erase(0, 8);
  out = h;
  return !out.empty();
}

cInet::cInet() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (initialised) curl_ = curl_easy_init();
}

cInet::~cInet() {
  if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
}

void cInet::setBufferSize(int32_t bytes) {
  if (bytes < 1) return;
  bufferSize_ = std::min(bytes, kMaxBuffer);
}

TessivoStatus cInet::httpGet(const std::string& hostIn, const std::string& pathIn, int64_t port,
                             std::vector<uint8_t>& body) {
  body.clear();
  if (!curl_) return InternetOpenError;
  std::string host;
  if (!NormalizeHttpHost(hostIn, host) || HasControl(pathIn)) return InternetConnectError;
  if (port < 0 || port > 65535) return InternetConnectError;
  const bool tls = port == 443;
  std::string path = pathIn;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty() || path[0] != '/') path.insert(path.begin(), '/');

  // The URL is assembled through CURLU so that the host must parse and the path is encoded.
  CURLU* url = curl_url();
  if (!url) return InternetOpenError;
  std::string query;
  if (size_t q = path.find('?'); q != std::string::npos) {
    query = path.substr(q + 1);
    path.resize(q);
  }
  bool urlOk = curl_url_set(url, CURLUPART_SCHEME, tls ? "https" : "http", 0) == CURLUE_OK &&
               curl_url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
               curl_url_set(url, CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) == CURLUE_OK;
  if (urlOk && port != 0)
    urlOk = curl_url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0) == CURLUE_OK;
  if (urlOk && !query.empty())
    urlOk = curl_url_set(url, CURLUPART_QUERY, query.c_str(), 0) == CURLUE_OK;
  char* full = nullptr;
  if (urlOk) urlOk = curl_url_get(url, CURLUPART_URL, &full, 0) == CURLUE_OK;
  curl_url_cleanup(url);
  if (!urlOk) return InternetConnectError;
  std::string fullUrl = full;
  curl_free(full);

  CURL* c = static_cast<CURL*>(curl_);
  curl_easy_reset(c);
  ReadState st{&body};
  st.chunk = bufferSize_;
  st.hook = &hook_;
  curl_easy_setopt(c, CURLOPT_URL, fullUrl.c_str());
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(c, CURLOPT_USERAGENT, "tessivo");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(std::max<int32_t>(bufferSize_, 16384)));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &st);
  CURLcode rc = curl_easy_perform(c);

  long code = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
  curl_off_t announced = -1;
  curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);

  if (st.cancelled) { body.clear(); return InternetHttpTransferError; }
  if (st.tooLarge) { body.clear(); return InternetHttpInvalidFileLength; }
  if (rc == CURLE_WEIRD_SERVER_REPLY) { body.clear(); return InternetHttpQueryError; }
  if (rc == CURLE_COULDNT_RESOLVE_HOST || rc == CURLE_COULDNT_CONNECT || rc == CURLE_URL_MALFORMAT ||
      rc == CURLE_UNSUPPORTED_PROTOCOL || rc == CURLE_SSL_CONNECT_ERROR ||
      rc == CURLE_PEER_FAILED_VERIFICATION) {
    body.clear();
    return code == 0 ? InternetConnectError : InternetHttpSendRequestError;
  }
  if (code == 0) { body.clear(); return InternetHttpSendRequestError; }
  if (code < 200 || code > 299) { body.clear(); return InternetHttpQueryError; }
  if (announced < 1) { body.clear(); return InternetHttpInvalidFileLength; }
  if (announced > kMaxBody) { body.clear(); return InternetHttpInvalidFileLength; }
  if (rc != CURLE_OK || static_cast<int64_t>(body.size()) != announced) {
    body.clear();
    return InternetHttpTransferError;
  }
  return OK;
}

}  // namespace tessivo
