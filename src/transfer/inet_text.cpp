#include "transfer/inet_text.h"

#include <algorithm>
#include <cctype>

namespace tessivo {
namespace {

std::string TrimBlanks(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  const size_t len = std::char_traits<char>::length(prefix);
  if (s.size() < len) return false;
  for (size_t i = 0; i < len; ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

bool IsUnreserved(unsigned char c) {
  return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

bool HasLineBreakOrNul(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool NormalizeHttpHost(const std::string& in, std::string& out) {
  out.clear();
  if (HasLineBreakOrNul(in)) return false;
  std::string h = TrimBlanks(in);
  if (StartsWithNoCase(h, "http://")) h.erase(0, 7);
  else if (StartsWithNoCase(h, "https://")) h.erase(0, 8);
  out = h;
  return !out.empty();
}

bool NormalizeFtpHost(const std::string& in, std::string& out) {
  out.clear();
  if (HasLineBreakOrNul(in)) return false;
  out = TrimBlanks(in);
  return !out.empty();
}

std::string NormalizeFtpPath(const std::string& in) {
  std::string p = in;
  std::replace(p.begin(), p.end(), '\\', '/');
  p = TrimBlanks(p);
  for (int i = 0; i < 2 && !p.empty() && p[0] == '/'; ++i) p.erase(0, 1);
  return p;
}

std::string FtpUrlPath(const std::string& remotePath) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out = "/";
  out.reserve(remotePath.size() * 3 + 1);
  for (size_t i = 0; i < remotePath.size(); ++i) {
    const auto c = static_cast<unsigned char>(remotePath[i]);
    if (IsUnreserved(c) || (c == '/' && i > 0)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

}  // namespace tessivo
