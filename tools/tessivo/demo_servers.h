// The loopback HTTP and FTP servers of the demonstration: the test servers' Python scripts,
// embedded in the tool, run by /usr/bin/python3 on 127.0.0.1 for the life of the object and
// stopped by pid. A server that does not start leaves its port 0, so the calls that need it
// report that they could not connect.
#pragma once

#include <sys/types.h>

#include <string>

namespace tessivo::cli {

class DemoServers {
 public:
  // Both serve the folder `served` (created when missing).
  explicit DemoServers(const std::string& served);
  ~DemoServers();
  DemoServers(const DemoServers&) = delete;
  DemoServers& operator=(const DemoServers&) = delete;
  int httpPort() const { return http_.port; }
  int ftpPort() const { return ftp_.port; }

 private:
  struct Server {
    pid_t pid = -1;
    int port = 0;
  };
  static Server Start(const char* script, const std::string& served, const char* mode);
  static void Stop(Server& server);
  Server http_;
  Server ftp_;
};

}  // namespace tessivo::cli
