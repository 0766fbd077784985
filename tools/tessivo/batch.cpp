// Options, the script check before any file is touched, and the summary of a batch run.
#include "batch.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "batch_pool.h"
#include "batch_progress.h"
#include "dispatch/catalog.h"
#include "printer.h"
#include "script.h"

namespace tessivo::cli {

namespace fs = std::filesystem;

namespace {

int BatchUsage(const std::string& problem) {
  std::cerr << "tessivo: batch: " << problem << "\n"
            << "usage: tessivo batch SCRIPT FILE... [--jobs N] [--out DIR] [--json]\n";
  return ExitUsage;
}

// A script that does not parse fails the whole run before the first file.
bool ScriptParses(const std::string& script, const std::string& name) {
  std::istringstream lines(script);
  std::string line;
  std::size_t number = 0;
  while (std::getline(lines, line)) {
    ++number;
    try {
      ParseLine(line, number);
    } catch (const ScriptError& e) {
      std::cerr << "tessivo: " << name << ":" << number << ": " << e.what() << "\n";
      return false;
    }
  }
  return true;
}

std::string JsonRecord(const std::string& input, const FileOutcome& outcome) {
  std::string out = "{\"input\": " + JsonString(input) + ", \"ok\": " + (outcome.ok ? "true" : "false");
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.6f", outcome.seconds);
  out += std::string(", \"seconds\": ") + seconds;
  if (outcome.ok) {
    out += ", \"outputs\": [";
    for (std::size_t i = 0; i < outcome.outputs.size(); ++i) out += (i ? ", " : "") + JsonString(outcome.outputs[i]);
    out += "]";
  } else {
    out += ", \"where\": " + JsonString(outcome.where) + ", \"error\": " + JsonString(outcome.message);
  }
  return out + "}";
}

}  // namespace

int RunBatchCommand(const std::vector<std::string>& operands, const RunOptions& options) {
  BatchWork work;
  long jobs = ::sysconf(_SC_NPROCESSORS_ONLN);
  work.outdir = ".";
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < operands.size(); ++i) {
    const std::string& a = operands[i];
    if (a == "--jobs" || a == "-j" || a == "--out" || a == "-o") {
      if (i + 1 == operands.size()) return BatchUsage(a + " needs a value");
      const std::string& value = operands[++i];
      if (a == "--out" || a == "-o") {
        work.outdir = value;
        continue;
      }
      char* end = nullptr;
      jobs = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end || jobs < 1 || jobs > 1024) return BatchUsage("--jobs takes a number from 1 to 1024");
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() < 2) return BatchUsage("a script and at least one file are needed");
  work.scriptName = positional[0];
  work.inputs.assign(positional.begin() + 1, positional.end());
  work.jobs = static_cast<int>(std::min<long>(std::max(1L, jobs), static_cast<long>(work.inputs.size())));

  std::ifstream file(work.scriptName);
  if (!file) return BatchUsage("cannot open script " + work.scriptName);
  std::ostringstream text;
  text << file.rdbuf();
  work.script = text.str();
  if (!ScriptParses(work.script, work.scriptName)) return ExitUsage;

  std::error_code error;
  fs::create_directories(work.outdir, error);
  if (error || !fs::is_directory(work.outdir)) return BatchUsage("cannot create the output folder " + work.outdir);

  // The method table is what every worker would otherwise build for its first file; built
  // here, the workers inherit it (it is only read) and start on their files at once.
  dispatch::Catalog::Instance();

  std::vector<FileOutcome> outcomes(work.inputs.size());
  BatchProgress progress(std::cerr, ::isatty(STDERR_FILENO) == 1, work.inputs.size());
  RunInWorkers(work, [&](std::size_t index, const FileOutcome& outcome) {
    outcomes[index] = outcome;
    if (options.json) std::cout << JsonRecord(work.inputs[index], outcome) << std::endl;
    progress.FileDone(work.inputs[index], outcome.ok);
  });
  progress.Finish();

  std::size_t failed = 0;
  for (const FileOutcome& o : outcomes) failed += o.ok ? 0 : 1;
  std::ostream& summary = options.json ? std::cerr : std::cout;
  double elapsed = progress.ElapsedSeconds();
  char rate[64];
  std::snprintf(rate, sizeof rate, "%.1f s, %.1f files/s", elapsed, elapsed > 0 ? outcomes.size() / elapsed : 0.0);
  summary << "batch: " << outcomes.size() - failed << " of " << outcomes.size() << " files succeeded, " << failed
          << " failed (" << rate << ", " << work.jobs << (work.jobs == 1 ? " worker)\n" : " workers)\n");
  for (std::size_t i = 0; i < outcomes.size(); ++i)
    if (!outcomes[i].ok)
      summary << "  " << work.inputs[i] << ": " << outcomes[i].where << ": " << outcomes[i].message << "\n";
  return failed ? ExitCallFailed : ExitSuccess;
}

}  // namespace tessivo::cli
