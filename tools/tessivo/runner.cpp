// Evaluating arguments, calling through the type library, and deciding when to stop.
#include "runner.h"

#include <algorithm>

#include "dispatch/catalog.h"
#include "dispatch/text_case.h"
#include "printer.h"

namespace tessivo::cli {

namespace {

using dispatch::Catalog;
using dispatch::ToLower;

bool IsScriptError(DispatchErrorCode code) {
  return code == DispatchUnknownName || code == DispatchBadParamCount || code == DispatchTypeMismatch ||
         code == DispatchOverflow || code == DispatchParamNotOptional;
}

// The element type an array literal takes: Long when every element is a whole number that
// fits, Double when any has a fraction, String when all are strings.
template <typename T>
Variant MakeArray(const std::vector<Variant>& values) {
  SafeArray<T> a({ArrayBound{0, static_cast<int32_t>(values.size())}});
  for (std::size_t i = 0; i < values.size(); ++i) a.data()[i] = values[i].To<T>();
  return Variant(std::move(a));
}

// The registered name nearest to a mistyped one (at most a third of its letters wrong), or "".
std::string ClosestMethodName(const std::string& typed) {
  std::string target = ToLower(typed);
  std::string best;
  std::size_t bestDistance = target.size() / 3 + 1;
  std::vector<std::size_t> row, previous;
  for (const dispatch::MethodEntry& m : Catalog::Instance().Methods()) {
    std::string name = ToLower(m.name);
    // Levenshtein distance, one row at a time.
    previous.resize(name.size() + 1);
    for (std::size_t j = 0; j <= name.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= target.size(); ++i) {
      row.assign(name.size() + 1, i);
      for (std::size_t j = 1; j <= name.size(); ++j)
        row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (target[i - 1] != name[j - 1])});
      previous.swap(row);
    }
    if (previous[name.size()] < bestDistance) {
      bestDistance = previous[name.size()];
      best = m.name;
    }
  }
  return best;
}

class EvaluationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace

ScriptRunner::ScriptRunner(Imaging& control, RunOptions options, std::ostream& out, std::ostream& err)
    : control_(control), options_(options), out_(out), err_(err) {}

void ScriptRunner::SetVariable(const std::string& name, Variant value) { variables_[ToLower(name)] = std::move(value); }

bool ScriptRunner::RunScript(std::istream& script, const std::string& source) {
  std::string line;
  std::size_t number = 0;
  while (std::getline(script, line)) {
    ++number;
    std::string where = source + ":" + std::to_string(number);
    ScriptLine parsed;
    try {
      parsed = ParseLine(line, number);
    } catch (const ScriptError& e) {
      return ScriptFailure(where, e.what());
    }
    if (parsed.kind == ScriptLine::Narration) {
      if (!options_.json) out_ << parsed.narration << "\n";
    } else if (parsed.kind == ScriptLine::Call) {
      if (!RunStatement(parsed.statement, where)) return false;
    }
  }
  return true;
}

bool ScriptRunner::RunStatement(const Statement& statement, const std::string& where) {
  const dispatch::MethodEntry* method = Catalog::Instance().Find(statement.method);
  if (!method) {
    std::string suggestion = ClosestMethodName(statement.method);
    return ScriptFailure(where, "unknown method \"" + statement.method + "\"" +
                                    (suggestion.empty() ? "" : "; did you mean " + suggestion + "?") +
                                    " (see: tessivo methods)");
  }

  std::vector<Variant> args;
  try {
    for (std::size_t i = 0; i < statement.args.size(); ++i) {
      bool byRef = i < method->params.size() && method->params[i].byRef;
      args.push_back(Evaluate(statement.args[i], byRef));
    }
  } catch (const EvaluationError& e) {
    return ScriptFailure(where, e.what());
  }

  InvokeResult r = control_.Invoke(method->name, args);
  if (!r.ok()) {
    if (IsScriptError(r.error)) {
      std::string hint = r.error == DispatchBadParamCount ? "\n  usage: " + method->Signature() : "";
      return ScriptFailure(where, r.message + hint);
    }
    // The method raised a run-time error: the call failed.
    err_ << "tessivo: " << where << ": " << r.message << "\n";
    return CallFailure(where, r.message);
  }

  CallReport report;
  report.method = method;
  report.result = r.value;
  report.status = control_->GetStat();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!method->params[i].byRef) continue;
    if (const std::string* variable = statement.args[i].LoneVariable()) SetVariable(*variable, args[i]);
    report.outputs.emplace_back(i, std::move(args[i]));
  }
  if (!statement.assignTo.empty()) SetVariable(statement.assignTo, r.value);
  PrintCall(out_, report, options_.json);

  // A call fails when it leaves a failing status, or returns one without storing it.
  bool failed = report.status != OK;
  if (method->result.kind == dispatch::ValueKind::Enum && method->result.enumName == "TessivoStatus")
    failed = failed || r.value.ToLong() != OK;
  if (!failed) return true;
  int32_t shown = report.status != OK ? report.status : r.value.ToLong();
  return CallFailure(where, method->name + " failed with " + StatusText(shown));
}

Variant ScriptRunner::Evaluate(const Expression& e, bool forByReference) {
  if (e.terms.size() == 1) {
    const Term& t = e.terms[0];
    // A by-reference parameter may name a variable that does not exist yet: it starts Empty
    // and receives the method's value.
    if (t.kind == Term::Variable && forByReference && !variables_.count(ToLower(t.name))) return Variant();
    return EvaluateTerm(t);
  }
  std::string joined;
  for (const Term& t : e.terms) {
    Variant part = EvaluateTerm(t);
    if (part.IsArray()) throw EvaluationError("& joins strings, not arrays");
    joined += part.ToString();
  }
  return Variant(std::move(joined));
}

Variant ScriptRunner::EvaluateTerm(const Term& t) {
  switch (t.kind) {
    case Term::Literal:
      return t.literal;
    case Term::Variable: {
      auto it = variables_.find(ToLower(t.name));
      if (it == variables_.end()) throw EvaluationError("variable $" + t.name + " has no value yet");
      return it->second;
    }
    case Term::Name: {
      if (std::optional<int32_t> value = Catalog::Instance().FindConstant(t.name)) return Variant(*value);
      if (t.unknownNameIsString) return Variant(t.name);
      throw EvaluationError("unknown name \"" + t.name + "\" (strings need quotes; see: tessivo constants)");
    }
    case Term::Array:
      return EvaluateArray(t);
  }
  return Variant();
}

Variant ScriptRunner::EvaluateArray(const Term& t) {
  std::vector<Variant> values;
  bool anyString = false, anyFraction = false, allStrings = true;
  for (const Expression& e : t.elements) {
    Variant v = Evaluate(e, false);
    if (v.IsArray()) throw EvaluationError("arrays inside arrays are not supported");
    bool isString = v.Get<std::string>() != nullptr;
    anyString = anyString || isString;
    allStrings = allStrings && isString;
    anyFraction = anyFraction || v.Get<double>() || v.Get<float>();
    values.push_back(std::move(v));
  }
  if (values.empty()) return Variant();
  try {
    if (allStrings) return MakeArray<std::string>(values);
    if (anyString) throw EvaluationError("an array holds either numbers or strings, not both");
    if (anyFraction) return MakeArray<double>(values);
    return MakeArray<int32_t>(values);
  } catch (const VariantError& e) {
    throw EvaluationError(std::string("array: ") + e.what());
  }
}

bool ScriptRunner::ScriptFailure(const std::string& where, const std::string& message) {
  err_ << "tessivo: " << where << ": " << message << "\n";
  if (failure_.where.empty()) failure_ = {where, message};
  result_ = ExitUsage;
  return false;
}

bool ScriptRunner::CallFailure(const std::string& where, const std::string& message) {
  if (failure_.where.empty()) failure_ = {where, message};
  if (result_ == ExitSuccess) result_ = ExitCallFailed;
  return options_.keepGoing;
}

}  // namespace tessivo::cli
