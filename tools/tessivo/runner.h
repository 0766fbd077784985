// Runs script statements against one Imaging control and prints each call.
#pragma once
#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "script.h"
#include "tessivo/facade.h"

namespace tessivo::cli {

struct RunOptions {
  bool json = false;
  bool keepGoing = false;
};

// Exit statuses of the tool.
enum ExitCode : int { ExitSuccess = 0, ExitCallFailed = 1, ExitUsage = 2 };

// The first thing that went wrong in a run: where ("script.tvs:3") and what (the script
// error, or the failed call with its status).
struct RunFailure {
  std::string where;
  std::string message;
};

class ScriptRunner {
 public:
  ScriptRunner(Imaging& control, RunOptions options, std::ostream& out, std::ostream& err);

  void SetVariable(const std::string& name, Variant value);

  // Runs every line of a script; `source` names it in messages ("demo.tvs", "-").
  // Returns false once the run has stopped (a script error, or a failed call without
  // --keep-going).
  bool RunScript(std::istream& script, const std::string& source);
  // Runs one statement; `where` prefixes its messages ("script.tvs:3", "call 2").
  bool RunStatement(const Statement& statement, const std::string& where);

  ExitCode Result() const { return result_; }
  // Empty while everything has succeeded.
  const RunFailure& FirstFailure() const { return failure_; }

 private:
  Variant Evaluate(const Expression& e, bool forByReference);
  Variant EvaluateTerm(const Term& t);
  Variant EvaluateArray(const Term& t);
  bool ScriptFailure(const std::string& where, const std::string& message);
  bool CallFailure(const std::string& where, const std::string& message);

  Imaging& control_;
  RunOptions options_;
  std::ostream& out_;
  std::ostream& err_;
  std::unordered_map<std::string, Variant> variables_;  // by lower-case name
  ExitCode result_ = ExitSuccess;
  RunFailure failure_;
};

}  // namespace tessivo::cli
