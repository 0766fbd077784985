// Running the script for one file, and the record a worker sends back for it.
#include "batch_file.h"

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "runner.h"
#include "tessivo/facade.h"

namespace tessivo::cli {

namespace fs = std::filesystem;

namespace {

// The staging folder starts with a dot so that a listing of the output folder during a run
// shows only finished files.
fs::path StagingFolder(const std::string& outdir, int slot) {
  return fs::path(outdir) / (".tessivo-batch-" + std::to_string(::getpid()) + "-" + std::to_string(slot));
}

// Moves every file the script wrote into the output folder; false (with the reason) when one
// cannot be moved or would replace the input, after which the files already moved are taken
// back out again.
bool Publish(const fs::path& staging, const fs::path& outdir, const fs::path& input, FileOutcome& outcome) {
  std::error_code error;
  std::vector<fs::directory_entry> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(staging, error)) written.push_back(entry);
  if (error) {
    outcome.message = "cannot list " + staging.string() + ": " + error.message();
    return false;
  }
  std::vector<fs::path> moved;
  for (const fs::directory_entry& entry : written) {
    fs::path target = outdir / entry.path().filename();
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(error)) {
      outcome.message = "the script wrote " + name + ", which is not a file";
    } else if (fs::equivalent(target, input, error)) {
      outcome.message = "the output " + name + " would replace the input file; choose another --out folder";
    } else {
      fs::rename(entry.path(), target, error);
      if (!error) {
        moved.push_back(target);
        continue;
      }
      outcome.message = "cannot move " + name + " into " + outdir.string() + ": " + error.message();
    }
    for (const fs::path& done : moved) fs::remove(done, error);
    return false;
  }
  for (const fs::path& done : moved) outcome.outputs.push_back(done.string());
  return true;
}

void PutField(std::string& out, const std::string& field) {
  uint32_t size = static_cast<uint32_t>(field.size());
  out.append(reinterpret_cast<const char*>(&size), sizeof size);
  out += field;
}

bool TakeField(const std::string& in, std::size_t& at, std::string& field) {
  uint32_t size = 0;
  if (in.size() - at < sizeof size) return false;
  std::memcpy(&size, in.data() + at, sizeof size);
  at += sizeof size;
  if (in.size() - at < size) return false;
  field.assign(in, at, size);
  at += size;
  return true;
}

}  // namespace

FileOutcome RunScriptOnFile(const std::string& script, const std::string& scriptName, const std::string& input,
                            const std::string& outdir, int slot) {
  auto started = std::chrono::steady_clock::now();
  FileOutcome outcome;
  fs::path staging = StagingFolder(outdir, slot);
  std::error_code error;
  fs::remove_all(staging, error);
  fs::create_directories(staging, error);
  if (error) {
    outcome.where = input;
    outcome.message = "cannot create " + staging.string() + ": " + error.message();
    return outcome;
  }
  {
    // A fresh control per file: nothing of one file's images reaches the next.
    Imaging control;
    std::ostringstream printed, errors;
    ScriptRunner runner(control, RunOptions{}, printed, errors);
    fs::path in(input);
    runner.SetVariable("input", Variant(input));
    runner.SetVariable("output", Variant((staging / in.filename()).string()));
    runner.SetVariable("outdir", Variant(staging.string()));
    runner.SetVariable("name", Variant(in.stem().string()));
    std::istringstream lines(script);
    runner.RunScript(lines, scriptName);
    outcome.ok = runner.Result() == ExitSuccess;
    if (!outcome.ok) {
      outcome.where = runner.FirstFailure().where;
      outcome.message = runner.FirstFailure().message;
    }
  }
  if (outcome.ok) {
    outcome.ok = Publish(staging, outdir, input, outcome);
    if (!outcome.ok) outcome.where = input;
  }
  fs::remove_all(staging, error);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}

std::string EncodeOutcome(const FileOutcome& outcome) {
  std::string out;
  out += outcome.ok ? '1' : '0';
  out.append(reinterpret_cast<const char*>(&outcome.seconds), sizeof outcome.seconds);
  PutField(out, outcome.where);
  PutField(out, outcome.message);
  PutField(out, std::to_string(outcome.outputs.size()));
  for (const std::string& path : outcome.outputs) PutField(out, path);
  return out;
}

bool DecodeOutcome(const std::string& bytes, FileOutcome& outcome) {
  if (bytes.size() < 1 + sizeof outcome.seconds) return false;
  outcome.ok = bytes[0] == '1';
  std::memcpy(&outcome.seconds, bytes.data() + 1, sizeof outcome.seconds);
  std::size_t at = 1 + sizeof outcome.seconds;
  std::string count;
  if (!TakeField(bytes, at, outcome.where) || !TakeField(bytes, at, outcome.message) || !TakeField(bytes, at, count))
    return false;
  std::size_t n = 0;
  for (char c : count) {
    if (c < '0' || c > '9' || n > bytes.size()) return false;
    n = n * 10 + static_cast<std::size_t>(c - '0');
  }
  outcome.outputs.assign(n, {});
  for (std::string& path : outcome.outputs)
    if (!TakeField(bytes, at, path)) return false;
  return at == bytes.size();
}

}  // namespace tessivo::cli
