// libFuzzer target: what an HTTP or FTP server sends back. A loopback server inside this
// process answers each request with the input's bytes (the first byte picks HTTP or FTP), so
// the client, its length and status checks and the decoders behind them all see hostile
// replies over a real socket.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "tessivo/imaging.h"

namespace {

// Serves one reply per connection: reads what the client sends for a moment, writes the reply,
// closes its sending side and waits for the client to hang up.
class ReplyServer {
 public:
  ReplyServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      std::abort();
    port_ = ntohs(address.sin_port);
    std::thread([this] { Serve(); }).detach();
  }
  int port() const { return port_; }
  void SetReply(std::string reply) {
    std::lock_guard<std::mutex> lock(mu_);
    reply_ = std::move(reply);
  }

 private:
  static void Drain(int fd, int milliseconds) {
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, milliseconds) > 0 && ::read(fd, buffer, sizeof buffer) > 0) {}
  }
  void Serve() {
    for (;;) {
      int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      std::string reply;
      {
        std::lock_guard<std::mutex> lock(mu_);
        reply = reply_;
      }
      Drain(fd, 5);
      for (std::size_t at = 0; at < reply.size();) {
        ssize_t n = ::send(fd, reply.data() + at, reply.size() - at, MSG_NOSIGNAL);
        if (n <= 0) break;
        at += static_cast<std::size_t>(n);
      }
      ::shutdown(fd, SHUT_WR);
      Drain(fd, 200);
      ::close(fd);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::mutex mu_;
  std::string reply_;
};

// A redirect may only lead back here: a reply naming another host would make the run wait on
// the network instead of testing the client.
void KeepRedirectsLocal(std::string& reply) {
  std::string lower(reply);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  for (std::size_t at = lower.find("location:"); at != std::string::npos; at = lower.find("location:", at + 1)) {
    std::size_t value = at + 9, end = reply.find_first_of("\r\n", value);
    if (end == std::string::npos) end = reply.size();
    for (std::size_t i = value; i < end; ++i) reply[i] = i == value ? '/' : 'r';
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ReplyServer server;
  if (size == 0) return 0;
  std::string reply(reinterpret_cast<const char*>(data) + 1, size - 1);
  KeepRedirectsLocal(reply);
  server.SetReply(reply);
  tessivo::cImaging imaging;
  if (data[0] & 1) {
    imaging.SetHttpTransfertBufferSize(1 + (data[0] >> 1) * 97);
    imaging.CreateImageFromURL("127.0.0.1", "/image.png", server.port());
  } else {
    // Passive only: in active mode the client would wait for a data connection no reply makes.
    imaging.SetFtpPassiveMode(true);
    imaging.CreateImageFromFTP("127.0.0.1", "/image.png", "", "", server.port());
  }
  return 0;
}
