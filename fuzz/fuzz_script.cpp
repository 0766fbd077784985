// Fuzzes the script language and the late-binding layer: every line is parsed; its literals go
// through every Variant conversion; calls of methods that touch no files and allocate nothing
// large run through the type library against one control.
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "dispatch/catalog.h"
#include "runner.h"
#include "script.h"

namespace {

using namespace tessivo;

void ExerciseConversions(const Variant& v) {
  auto attempt = [](auto convert) {
    try {
      convert();
    } catch (const VariantError&) {
    }
  };
  attempt([&] { v.ToBoolean(); });
  attempt([&] { v.ToByte(); });
  attempt([&] { v.ToInteger(); });
  attempt([&] { v.ToLong(); });
  attempt([&] { v.ToLongPtr(); });
  attempt([&] { v.ToSingle(); });
  attempt([&] { v.ToDouble(); });
  attempt([&] { v.ToString(); });
  attempt([&] { v.ToArray<uint8_t>(); });
  attempt([&] { v.ToArray<std::string>(); });
}

void ExerciseTerms(const std::vector<cli::Expression>& expressions) {
  for (const cli::Expression& e : expressions)
    for (const cli::Term& t : e.terms) {
      ExerciseConversions(t.literal);
      ExerciseTerms(t.elements);
    }
}

bool SafeToCall(const std::string& method) {
  static const std::set<std::string> safe = {
      "encode64string", "decode64string", "getinterfacesafetyoptions", "setinterfacesafetyoptions",
      "getversion", "getstat", "getnativeimage", "setnativeimage", "getimageformat", "closeimage",
      "closenativeimage", "tagssetpreserve", "disabletvimgplugcodecs"};
  std::string lower = method;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return safe.count(lower) > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream lines(text);
  std::ostringstream out, err;
  Imaging control;
  cli::ScriptRunner runner(control, cli::RunOptions{size % 2 == 0, true}, out, err);
  std::string line;
  std::size_t number = 0;
  while (std::getline(lines, line)) {
    ++number;
    cli::ScriptLine parsed;
    try {
      parsed = cli::ParseLine(line, number);
    } catch (const cli::ScriptError&) {
      continue;
    }
    if (parsed.kind != cli::ScriptLine::Call) continue;
    ExerciseTerms(parsed.statement.args);
    if (SafeToCall(parsed.statement.method)) runner.RunStatement(parsed.statement, "fuzz");
  }
  cli::ParseCommandLineArgument(text);
  return 0;
}
