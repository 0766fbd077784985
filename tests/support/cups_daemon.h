// A private CUPS scheduler for tests: its own configuration, spool, logs and socket under a
// temporary folder, with file queues that write every job's PDF to a file the test reads.
// CUPS_SERVER points at it for the life of the process (libcups reads it once).
#pragma once
#include <sys/types.h>

#include <string>

namespace tessivo::testing {

class CupsDaemon {
 public:
  // Starts cupsd and creates the queues "tv-pdf" (default; A4 with 5 mm margins and Letter)
  // and "tv-pdf-tight" (A4 whose margins leave no printable width). `error` says what failed.
  bool Start(std::string& error);
  void Stop();
  ~CupsDaemon() { Stop(); }

  // The file the queue writes its last job to.
  std::string OutputOf(const std::string& queue) const { return root_ + "/out/" + queue + ".pdf"; }
  // Waits until `count` jobs have completed (page log lines) and returns the last line, or "".
  std::string WaitForCompletedJobs(size_t count, int timeoutMs = 15000) const;
  // Runs a CUPS command-line tool against this scheduler; its exit code.
  int Run(const std::string& commandLine) const;
  const std::string& root() const { return root_; }

 private:
  std::string root_;
  pid_t pid_ = -1;
};

}  // namespace tessivo::testing
