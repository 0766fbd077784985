// A pool of worker processes that run the batch script, one file at a time each, handed out
// as workers become free. A worker that dies (a crash inside a library, a kill) fails only
// the file it was on; a new worker takes its place.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "batch_file.h"

namespace tessivo::cli {

struct BatchWork {
  std::string script;
  std::string scriptName;
  std::vector<std::string> inputs;
  std::string outdir;
  int jobs = 1;
};

// Calls `done(index, outcome)` in the calling process as each input finishes, in the order
// they finish.
void RunInWorkers(const BatchWork& work, const std::function<void(std::size_t, const FileOutcome&)>& done);

}  // namespace tessivo::cli
