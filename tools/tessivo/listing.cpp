// Listing the type library.
#include "listing.h"

#include "dispatch/catalog.h"
#include "dispatch/text_case.h"

namespace tessivo::cli {

namespace {

bool GlobMatch(std::string_view p, std::string_view s) {
  // Iterative wildcard match with backtracking to the last '*'.
  std::size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == s[si])) {
      ++pi, ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = si;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool NameMatches(std::string_view pattern, std::string_view name) {
  std::string p = dispatch::ToLower(pattern), n = dispatch::ToLower(name);
  if (p.find_first_of("*?") == std::string::npos) return n.find(p) != std::string::npos;
  return GlobMatch(p, n);
}

std::size_t ListMethods(std::ostream& out, std::string_view pattern) {
  std::size_t listed = 0;
  for (const dispatch::MethodEntry& m : dispatch::Catalog::Instance().Methods()) {
    if (!NameMatches(pattern, m.name)) continue;
    out << m.Signature() << "\n";
    ++listed;
  }
  return listed;
}

std::size_t ListConstants(std::ostream& out, std::string_view pattern) {
  std::size_t listed = 0;
  for (const dispatch::EnumConstant& c : dispatch::Catalog::Instance().Constants()) {
    if (!NameMatches(pattern, c.name) && !NameMatches(pattern, c.enumName)) continue;
    out << c.enumName << "." << c.name << " = " << c.value << "\n";
    ++listed;
  }
  return listed;
}

}  // namespace tessivo::cli
