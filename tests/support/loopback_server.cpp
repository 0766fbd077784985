#include "support/loopback_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tessivo::test {

LoopbackServer::LoopbackServer(const std::string& script, const std::string& arg) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string path = std::string(TESSIVO_SOURCE_DIR) + "/tests/support/servers/" + script;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl("/usr/bin/python3", "python3", path.c_str(), arg.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  FILE* out = fdopen(fds[0], "r");
  if (out) {
    if (std::fscanf(out, "%d", &port_) != 1) port_ = 0;
    std::fclose(out);
  } else {
    close(fds[0]);
  }
}

LoopbackServer::~LoopbackServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

}  // namespace tessivo::test
