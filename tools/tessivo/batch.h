// `tessivo batch SCRIPT FILE... [--jobs N] [--out DIR]`: one script over many files, in
// parallel worker processes, with progress and a summary.
#pragma once
#include <string>
#include <vector>

#include "runner.h"

namespace tessivo::cli {

// `operands` are the words after "batch"; `options.json` prints one record per file.
int RunBatchCommand(const std::vector<std::string>& operands, const RunOptions& options);

}  // namespace tessivo::cli
