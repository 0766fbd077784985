// One input file of a batch run: the script runs against a fresh control with $input,
// $output, $outdir and $name set, writing into a staging folder of its own; only a run that
// succeeds moves its files into the output folder, so a failed file leaves nothing behind.
#pragma once
#include <string>
#include <vector>

namespace tessivo::cli {

struct FileOutcome {
  bool ok = false;
  double seconds = 0;
  std::string where;    // the failing line ("script.tvs:3"), empty on success
  std::string message;  // what failed
  std::vector<std::string> outputs;  // files moved into the output folder
};

// Runs `script` (named `scriptName` in messages) for `input`, writing through a staging folder
// under `outdir` whose name is unique to `slot` and this process.
FileOutcome RunScriptOnFile(const std::string& script, const std::string& scriptName, const std::string& input,
                            const std::string& outdir, int slot);

// Bytes for a pipe, and back; Decode returns false on a truncated or malformed record.
std::string EncodeOutcome(const FileOutcome& outcome);
bool DecodeOutcome(const std::string& bytes, FileOutcome& outcome);

}  // namespace tessivo::cli
