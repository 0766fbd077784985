// The type library against the toolkit's list of public methods (methods.tsv in the shared
// folder beside the checkout): every registered method must carry the listed parameter names,
// order, by-reference flags, types and defaults.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "dispatch/catalog.h"
#include "dispatch/literal.h"
#include "dispatch/text_case.h"

namespace tessivo::dispatch {
namespace {

struct ListedParameter {
  std::string name, type, defaultText;
  bool byRef = false, optional = false;
};

struct ListedMethod {
  std::string name, result;
  std::vector<ListedParameter> params;
};

std::string Trimmed(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(s.begin());
  return s;
}

// name<TAB>family<TAB>returns<TAB>params; a parameter is [&]name[?]:Type[=default].
std::map<std::string, ListedMethod> ReadMethodList(const std::filesystem::path& path) {
  std::map<std::string, ListedMethod> methods;
  std::ifstream in(path);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {  // the column names
      header = false;
      continue;
    }
    std::vector<std::string> columns;
    std::stringstream row(line);
    for (std::string c; std::getline(row, c, '\t');) columns.push_back(c);
    ListedMethod m;
    m.name = columns.at(0);
    m.result = columns.size() > 2 ? columns[2] : "";
    std::string params = columns.size() > 3 ? columns[3] : "";
    std::stringstream list(params);
    for (std::string p; std::getline(list, p, ',');) {
      p = Trimmed(p);
      if (p.empty()) continue;
      ListedParameter lp;
      if (p[0] == '&') lp.byRef = true, p.erase(0, 1);
      std::size_t eq = p.find('=');
      if (eq != std::string::npos) lp.optional = true, lp.defaultText = p.substr(eq + 1), p.erase(eq);
      std::size_t colon = p.find(':');
      lp.type = colon == std::string::npos ? "" : p.substr(colon + 1);
      lp.name = p.substr(0, colon);
      if (!lp.name.empty() && lp.name.back() == '?') lp.name.pop_back();
      m.params.push_back(lp);
    }
    methods.emplace(m.name, m);
  }
  return methods;
}

// Types as the list writes them; a GUID travels as its string form, an object (a stream, a
// picture object, a Variant holding one) as the Long handle that names it.
std::string ListedTypeOf(const AutomationType& t) {
  return t.Name();
}
bool TypesAgree(const std::string& listed, const AutomationType& registered) {
  if (listed == "GUID") return registered.kind == ValueKind::String && !registered.array;
  if (listed == "IStream" || listed == "Picture object" || listed == "Variant")
    return registered.kind == ValueKind::Long && !registered.array;
  return listed == ListedTypeOf(registered);
}

// Literal defaults compare by value (0xFF000000 equals -16777216), constants by their value.
bool DefaultsAgree(const std::string& listed, const Parameter& p) {
  if (listed == "?") return true;  // the toolkit's own choice, shown by `tessivo methods`
  std::optional<Variant> value = ParseLiteral(listed);
  if (!value) {
    std::optional<int32_t> constant = Catalog::Instance().FindConstant(listed);
    if (!constant) return false;
    value = Variant(*constant);
  }
  if (value->Get<std::string>() || p.defaultValue.Get<std::string>())
    return value->Get<std::string>() && p.defaultValue.Get<std::string>() &&
           *value->Get<std::string>() == *p.defaultValue.Get<std::string>();
  try {
    return value->ToDouble() == p.defaultValue.ToDouble();
  } catch (const VariantError&) {
    return false;
  }
}

std::filesystem::path SharedDir() {
  if (const char* env = std::getenv("TESSIVO_SHARED_DIR")) return env;
  return TESSIVO_SHARED_DIR;
}

TEST(MethodList, RegisteredMethodsMatchTheList) {
  const Catalog& catalog = Catalog::Instance();
  for (const std::string& p : catalog.Problems()) ADD_FAILURE() << "type library problem: " << p;
  std::filesystem::path list = SharedDir() / "methods.tsv";
  if (!std::filesystem::exists(list)) {
    std::cout << "[ NOTE     ] " << list.string()
              << " is not present: only the type library's own consistency was checked.\n";
    return;
  }
  std::map<std::string, ListedMethod> listed = ReadMethodList(list);
  ASSERT_GT(listed.size(), 700u) << "could not read " << list;

  std::size_t registered = 0;
  for (const MethodEntry& m : catalog.Methods()) {
    auto it = listed.find(m.name);
    if (it == listed.end()) {
      ADD_FAILURE() << m.name << " is registered but not in the method list (names must match exactly)";
      continue;
    }
    ++registered;
    const ListedMethod& l = it->second;
    SCOPED_TRACE(m.Signature());
    ASSERT_EQ(m.params.size(), l.params.size()) << m.name << ": parameter count";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
      const Parameter& p = m.params[i];
      const ListedParameter& lp = l.params[i];
      EXPECT_EQ(p.name, lp.name) << m.name << " parameter " << i + 1;
      EXPECT_EQ(p.byRef, lp.byRef) << m.name << "." << lp.name << ": by reference";
      EXPECT_TRUE(TypesAgree(lp.type, p.type)) << m.name << "." << lp.name << ": listed " << lp.type
                                               << ", registered " << p.type.Name();
      EXPECT_EQ(p.optional, lp.optional) << m.name << "." << lp.name << ": optional";
      if (p.optional && lp.optional) {
        EXPECT_TRUE(DefaultsAgree(lp.defaultText, p))
            << m.name << "." << lp.name << ": listed default " << lp.defaultText << ", registered "
            << p.defaultText;
      }
    }
    // A result type ending in '?' (inferred) or a bare '?' is the toolkit's to choose.
    if (!l.result.empty() && l.result.back() != '?') {
      if (l.result == "Picture object") {
        EXPECT_TRUE(TypesAgree(l.result, m.result)) << m.name << ": result type " << m.result.Name();
      } else {
        std::string expected = l.result == "none" ? "none" : l.result;
        EXPECT_EQ(m.result.Name(), expected) << m.name << ": result type";
      }
    }
  }
  std::cout << "[ NOTE     ] " << registered << " of the " << listed.size()
            << " listed methods are registered in the type library.\n";
  RecordProperty("registered_methods", static_cast<int>(registered));
  RecordProperty("listed_methods", static_cast<int>(listed.size()));
}

}  // namespace
}  // namespace tessivo::dispatch
