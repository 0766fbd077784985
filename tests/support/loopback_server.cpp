#include "support/loopback_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tessivo::test {

LoopbackServer::LoopbackServer(const std::string& script, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string path = std::string(TESSIVO_SOURCE_DIR) + "/tests/support/servers/" + script;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>("python3"));
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execv("/usr/bin/python3", argv.data());
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

LoopbackServer::~LoopbackServer() { stop(); }

void LoopbackServer::stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

}  // namespace tessivo::test
