// Worker processes over pipes: the parent writes file numbers, the worker answers each with a
// length-prefixed outcome record. Each worker has the next file queued before it finishes the
// current one, so it never waits on the parent's round trip between files.
#include "batch_pool.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>

namespace tessivo::cli {

namespace {

struct Worker {
  pid_t pid = -1;
  int slot = 0;
  int taskFd = -1;    // parent → worker: file numbers
  int resultFd = -1;  // worker → parent: outcome records
  std::deque<std::size_t> queued;  // files sent, in order; the first is the one it is on
  std::string received;
};

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

[[noreturn]] void WorkerLoop(const BatchWork& work, int slot, int taskFd, int resultFd) {
  uint32_t index = 0;
  while (ReadAll(taskFd, &index, sizeof index) && index < work.inputs.size()) {
    std::string record = EncodeOutcome(RunScriptOnFile(work.script, work.scriptName, work.inputs[index], work.outdir, slot));
    uint32_t size = static_cast<uint32_t>(record.size());
    if (!WriteAll(resultFd, &size, sizeof size) || !WriteAll(resultFd, record.data(), record.size())) break;
  }
  RemoveStagingFolder(work.outdir, slot);
  // Skip the parent's exit handlers: they belong to the parent.
  ::_exit(0);
}

bool StartWorker(const BatchWork& work, Worker& worker, const std::vector<Worker>& others) {
  int tasks[2], results[2];
  if (::pipe(tasks) != 0) return false;
  if (::pipe(results) != 0) {
    ::close(tasks[0]);
    ::close(tasks[1]);
    return false;
  }
  pid_t pid = ::fork();
  if (pid < 0) {
    for (int fd : {tasks[0], tasks[1], results[0], results[1]}) ::close(fd);
    return false;
  }
  if (pid == 0) {
    ::close(tasks[1]);
    ::close(results[0]);
    // The other workers' pipe ends must not stay open here, or their end of file never comes.
    for (const Worker& other : others)
      if (other.pid > 0) {
        ::close(other.taskFd);
        ::close(other.resultFd);
      }
    WorkerLoop(work, worker.slot, tasks[0], results[1]);
  }
  ::close(tasks[0]);
  ::close(results[1]);
  worker.pid = pid;
  worker.taskFd = tasks[1];
  worker.resultFd = results[0];
  worker.queued.clear();
  worker.received.clear();
  return true;
}

void StopWorker(Worker& worker) {
  if (worker.pid <= 0) return;
  if (worker.taskFd >= 0) ::close(worker.taskFd);
  ::close(worker.resultFd);
  int status = 0;
  while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {}
  worker.pid = -1;
}

// Why a worker that was on a file went away.
std::string DeathMessage(pid_t pid) {
  int status = 0;
  pid_t r;
  while ((r = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {}
  if (r == pid && WIFSIGNALED(status))
    return std::string("the worker processing this file ended on signal ") + std::to_string(WTERMSIG(status)) + " (" +
           ::strsignal(WTERMSIG(status)) + ")";
  if (r == pid && WIFEXITED(status))
    return "the worker processing this file exited with status " + std::to_string(WEXITSTATUS(status));
  return "the worker processing this file went away";
}

// Takes one complete record off the front of `received`, if there is one.
bool TakeRecord(std::string& received, std::string& record) {
  uint32_t size = 0;
  if (received.size() < sizeof size) return false;
  std::memcpy(&size, received.data(), sizeof size);
  if (received.size() - sizeof size < size) return false;
  record.assign(received, sizeof size, size);
  received.erase(0, sizeof size + size);
  return true;
}

}  // namespace

void RunInWorkers(const BatchWork& work, const std::function<void(std::size_t, const FileOutcome&)>& done) {
  // A worker that dies makes writes to its pipe fail with EPIPE instead of ending us.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);

  const std::size_t total = work.inputs.size();
  std::size_t next = 0, finished = 0;
  std::vector<Worker> workers(static_cast<std::size_t>(std::max(1, work.jobs)));
  for (std::size_t i = 0; i < workers.size(); ++i) workers[i].slot = static_cast<int>(i);

  auto fail = [&](std::size_t index, const std::string& message) {
    FileOutcome outcome;
    outcome.where = work.inputs[index];
    outcome.message = message;
    ++finished;
    done(index, outcome);
  };
  // Files of a dead worker that it had not started go out again before new ones.
  std::deque<std::size_t> requeued;
  // Tops a worker's queue up to two files, starting the worker first if it is not running.
  // Once no more files are left than there are workers, each gets one at a time, so that no
  // worker sits idle at the end while another still has a file queued.
  auto assign = [&](Worker& w) {
    while ((!requeued.empty() || next < total) &&
           w.queued.size() < (requeued.size() + (total - next) > workers.size() ? 2u : 1u)) {
      const bool again = !requeued.empty();
      const std::size_t file = again ? requeued.front() : next;
      if (w.pid <= 0 && !StartWorker(work, w, workers)) {
        if (again) requeued.pop_front();
        else ++next;
        fail(file, std::string("cannot start a worker process: ") + std::strerror(errno));
        continue;
      }
      uint32_t index = static_cast<uint32_t>(file);
      if (!WriteAll(w.taskFd, &index, sizeof index)) {
        // A worker that died with files queued is reported through its end of file; one that
        // died before taking any is simply replaced.
        if (!w.queued.empty()) return;
        StopWorker(w);
        continue;
      }
      if (again) requeued.pop_front();
      else ++next;
      w.queued.push_back(file);
    }
  };
  for (Worker& w : workers) assign(w);

  std::vector<pollfd> fds;
  while (finished < total) {
    fds.clear();
    for (Worker& w : workers) fds.push_back({w.pid > 0 && !w.queued.empty() ? w.resultFd : -1, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (std::size_t i = 0; i < workers.size(); ++i) {
      Worker& w = workers[i];
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t n = ::read(w.resultFd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0) {
        w.received.append(buffer, static_cast<std::size_t>(n));
        std::string record;
        while (!w.queued.empty() && TakeRecord(w.received, record)) {
          FileOutcome outcome;
          std::size_t index = w.queued.front();
          w.queued.pop_front();
          ++finished;
          if (!DecodeOutcome(record, outcome)) {
            outcome = FileOutcome{};
            outcome.where = work.inputs[index];
            outcome.message = "the worker sent a malformed record";
          }
          done(index, outcome);
        }
        assign(w);
        continue;
      }
      // End of file with a file in progress: the worker died on it. Its staging folder goes too,
      // and the files queued behind it go to the next free worker.
      std::size_t index = w.queued.front();
      w.queued.pop_front();
      requeued.insert(requeued.end(), w.queued.begin(), w.queued.end());
      w.queued.clear();
      ::close(w.taskFd);
      ::close(w.resultFd);
      std::string message = DeathMessage(w.pid);
      RemoveStagingFolder(work.outdir, w.slot, w.pid);
      w.pid = -1;
      fail(index, message);
      for (Worker& other : workers) assign(other);
    }
  }
  // All workers are told to stop before any is waited for, so that they wind down together.
  for (Worker& w : workers)
    if (w.pid > 0) {
      ::close(w.taskFd);
      w.taskFd = -1;
    }
  for (Worker& w : workers) StopWorker(w);
  ::sigaction(SIGPIPE, &previous, nullptr);
}

}  // namespace tessivo::cli
