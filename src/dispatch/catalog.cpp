// Building the type library from the registered families, and looking methods up in it.
#include "dispatch/catalog.h"

#include <algorithm>
#include <cctype>

#include "dispatch/literal.h"
#include "dispatch/text_case.h"

namespace tessivo::dispatch {

namespace {

using FamilyList = std::vector<std::pair<std::string, void (*)(CatalogBuilder&)>>;

// Function-local, so registrars in any translation unit may add to it during static
// initialisation, whatever the order.
FamilyList& RegisteredFamilies() {
  static FamilyList families;
  return families;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits a parameter list at commas outside quoted strings.
std::vector<std::string_view> SplitParameters(std::string_view list) {
  std::vector<std::string_view> parts;
  if (Trim(list).empty()) return parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '"') quoted = !quoted;
    else if (list[i] == ',' && !quoted) {
      parts.push_back(Trim(list.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Trim(list.substr(start)));
  return parts;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// Converts a default to its parameter's type, so a default that could never be passed is
// found while the catalog is built rather than at a call.
void CheckConvertible(const Variant& value, const AutomationType& type) {
  switch (type.kind) {
    case ValueKind::Boolean: value.ToBoolean(); break;
    case ValueKind::Byte: value.ToByte(); break;
    case ValueKind::Integer: value.ToInteger(); break;
    case ValueKind::Long:
    case ValueKind::Enum: value.ToLong(); break;
    case ValueKind::LongPtr: value.ToLongPtr(); break;
    case ValueKind::Single: value.ToSingle(); break;
    case ValueKind::Double: value.ToDouble(); break;
    case ValueKind::String: value.ToString(); break;
    case ValueKind::Void: break;
  }
}

}  // namespace

FamilyRegistrar::FamilyRegistrar(const char* family, void (*registerMethods)(CatalogBuilder&)) {
  RegisteredFamilies().emplace_back(family, registerMethods);
}

std::string AutomationType::Name() const {
  std::string name;
  switch (kind) {
    case ValueKind::Void: return "none";
    case ValueKind::Boolean: name = "Boolean"; break;
    case ValueKind::Byte: name = "Byte"; break;
    case ValueKind::Integer: name = "Integer"; break;
    case ValueKind::Long:
    case ValueKind::LongPtr: name = "Long"; break;
    case ValueKind::Single: name = "Single"; break;
    case ValueKind::Double: name = "Double"; break;
    case ValueKind::String: name = "String"; break;
    case ValueKind::Enum: name = enumName; break;
  }
  return array ? name + " array" : name;
}

std::size_t MethodEntry::RequiredCount() const {
  std::size_t required = 0;
  for (std::size_t i = 0; i < params.size(); ++i)
    if (!params[i].optional) required = i + 1;
  return required;
}

std::string MethodEntry::Signature() const {
  std::string text = name + "(";
  for (std::size_t i = 0; i < params.size(); ++i) {
    const Parameter& p = params[i];
    if (i) text += ", ";
    if (p.optional) text += "Optional ";
    if (p.byRef) text += "ByRef ";
    text += p.name + " As " + p.type.Name();
    if (p.optional) text += " = " + p.defaultText;
  }
  text += ")";
  if (result.kind != ValueKind::Void) text += " As " + result.Name();
  return text;
}

const Catalog& Catalog::Instance() {
  static const Catalog catalog = Build(RegisteredFamilies());
  return catalog;
}

Catalog Catalog::Build(const FamilyList& families) {
  Catalog catalog;
  CatalogBuilder builder(catalog);
  for (const auto& [family, registerMethods] : families) {
    builder.SetFamily(family);
    registerMethods(builder);
  }
  catalog.Finish();
  return catalog;
}

// Resolves defaults that name constants (every family's enums are known only now), drops
// duplicates and sorts.
void Catalog::Finish() {
  constantIndex_.reserve(constants_.size());
  for (std::size_t i = 0; i < constants_.size(); ++i) {
    auto [it, inserted] = constantIndex_.emplace(ToLower(constants_[i].name), i);
    if (!inserted && constants_[it->second].value != constants_[i].value)
      problems_.push_back("constant " + constants_[i].name + " registered with two values");
  }
  std::vector<MethodEntry> kept;
  kept.reserve(methods_.size());
  for (MethodEntry& m : methods_) {
    bool sound = true;
    for (Parameter& p : m.params) {
      if (!p.optional) continue;
      std::optional<Variant> value = ParseLiteral(p.defaultText);
      if (!value && IsIdentifier(p.defaultText))
        if (std::optional<int32_t> constant = FindConstant(p.defaultText)) value = Variant(*constant);
      if (!value) {
        problems_.push_back(m.name + ": default of " + p.name + " is neither a literal nor a known constant: " +
                            p.defaultText);
        sound = false;
        continue;
      }
      try {
        CheckConvertible(*value, p.type);
      } catch (const VariantError& e) {
        problems_.push_back(m.name + ": default of " + p.name + " does not convert to " + p.type.Name() + ": " +
                            e.what());
        sound = false;
      }
      p.defaultValue = std::move(*value);
    }
    if (sound) kept.push_back(std::move(m));
  }
  // Sorted by lower-case name, each name lowered once: this runs at the start of every
  // program that calls a method, and lowering inside the comparison made most of its cost.
  std::vector<std::pair<std::string, std::size_t>> order;
  order.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) order.emplace_back(ToLower(kept[i].name), i);
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  methods_.clear();
  methods_.reserve(kept.size());
  methodIndex_.reserve(kept.size());
  for (auto& [lower, index] : order) {
    MethodEntry& m = kept[index];
    if (methodIndex_.count(lower)) {
      problems_.push_back(m.name + ": registered twice (names compare without regard to case)");
      continue;
    }
    methodIndex_.emplace(std::move(lower), methods_.size());
    methods_.push_back(std::move(m));
  }
}

const MethodEntry* Catalog::Find(std::string_view name) const {
  auto it = methodIndex_.find(ToLower(name));
  return it == methodIndex_.end() ? nullptr : &methods_[it->second];
}

std::optional<int32_t> Catalog::FindConstant(std::string_view name) const {
  auto it = constantIndex_.find(ToLower(name));
  if (it == constantIndex_.end()) return std::nullopt;
  return constants_[it->second].value;
}

std::string Catalog::ConstantName(std::string_view enumName, int32_t value) const {
  for (const EnumConstant& c : constants_)
    if (c.enumName == enumName && c.value == value) return c.name;
  return "";
}

void CatalogBuilder::Add(std::string_view name, std::string_view params,
                         std::vector<detail::ParameterShape> shapes, AutomationType result, Invoker invoke) {
  MethodEntry entry;
  entry.name = std::string(name);
  entry.family = family_;
  entry.result = std::move(result);
  entry.invoke = std::move(invoke);
  std::vector<std::string_view> parts = SplitParameters(params);
  auto problem = [&](const std::string& what) { catalog_.problems_.push_back(entry.name + ": " + what); };
  if (!IsIdentifier(name)) return problem("not a method name");
  if (parts.size() != shapes.size())
    return problem("lists " + std::to_string(parts.size()) + " parameters, the C++ method has " +
                   std::to_string(shapes.size()));
  bool optionalSeen = false;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    Parameter p;
    p.type = shapes[i].type;
    p.byRef = shapes[i].byRef;
    bool markedByRef = !part.empty() && part.front() == '&';
    if (markedByRef) part.remove_prefix(1);
    std::size_t eq = part.find('=');
    if (eq != std::string_view::npos) {
      p.optional = true;
      p.defaultText = std::string(Trim(part.substr(eq + 1)));
      part = Trim(part.substr(0, eq));
    }
    std::size_t colon = part.find(':');
    if (colon != std::string_view::npos) {
      std::string_view declared = Trim(part.substr(colon + 1));
      part = Trim(part.substr(0, colon));
      if (declared != p.type.Name())
        return problem("parameter " + std::string(part) + " is declared " + std::string(declared) +
                       " but the C++ type is " + p.type.Name());
    }
    p.name = std::string(part);
    if (!IsIdentifier(p.name)) return problem("bad parameter name '" + p.name + "'");
    if (markedByRef != p.byRef && markedByRef)
      return problem("parameter " + p.name + " is marked by reference but the C++ type is not a reference");
    if (p.optional && p.defaultText.empty()) return problem("parameter " + p.name + " has an empty default");
    if (p.optional && p.type.array) return problem("array parameter " + p.name + " cannot have a default");
    if (optionalSeen && !p.optional) return problem("required parameter " + p.name + " after an optional one");
    optionalSeen = optionalSeen || p.optional;
    entry.params.push_back(std::move(p));
  }
  catalog_.methods_.push_back(std::move(entry));
}

void CatalogBuilder::AddConstant(const std::string& enumName, std::string_view name, int32_t value) {
  catalog_.constants_.push_back(EnumConstant{enumName, std::string(name), value});
}

}  // namespace tessivo::dispatch
