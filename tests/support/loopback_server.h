// Starts one of the Python test servers on 127.0.0.1 (port 0), reads the port it prints and stops
// it by pid. A missing interpreter or a server that does not come up fails the test.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessivo::test {

class LoopbackServer {
 public:
  LoopbackServer(const std::string& script, const std::string& arg)
      : LoopbackServer(script, std::vector<std::string>{arg}) {}
  LoopbackServer(const std::string& script, const std::vector<std::string>& args);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  int port() const { return port_; }
  // Stops the server now (the port is then closed).
  void stop();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace tessivo::test
