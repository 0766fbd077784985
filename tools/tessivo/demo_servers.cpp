#include "demo_servers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "demo_ftp_server.h"
#include "demo_http_server.h"

namespace tessivo::cli {

DemoServers::DemoServers(const std::string& served) {
  std::error_code ignored;
  std::filesystem::create_directories(served, ignored);
  http_ = Start(kDemo_http_server, served, nullptr);
  ftp_ = Start(kDemo_ftp_server, served, "any");
}

DemoServers::~DemoServers() {
  Stop(http_);
  Stop(ftp_);
}

// The server prints its port on its first line of output once it listens.
DemoServers::Server DemoServers::Start(const char* script, const std::string& served, const char* mode) {
  Server server;
  int fds[2];
  if (pipe(fds) != 0) return server;
  server.pid = fork();
  if (server.pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl("/usr/bin/python3", "python3", "-c", script, served.c_str(), mode,
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (server.pid < 0) {
    close(fds[0]);
    return server;
  }
  if (FILE* out = fdopen(fds[0], "r")) {
    if (std::fscanf(out, "%d", &server.port) != 1) server.port = 0;
    std::fclose(out);
  } else {
    close(fds[0]);
  }
  return server;
}

void DemoServers::Stop(Server& server) {
  if (server.pid > 0) {
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
    server.pid = -1;
  }
}

}  // namespace tessivo::cli
