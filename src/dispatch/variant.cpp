// Automation's conversions between Variant types.
#include "tessivo/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "dispatch/literal.h"
#include "dispatch/text_case.h"

namespace tessivo {

namespace {

using dispatch::EqualsIgnoringCase;

// A scalar seen as a number: exact when integral, else a double.
struct Number {
  bool integral = true;
  int64_t whole = 0;
  double real = 0;
};

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string Quoted(const std::string& s) {
  constexpr std::size_t kShown = 40;
  return "\"" + (s.size() > kShown ? s.substr(0, kShown) + "..." : s) + "\"";
}

[[noreturn]] void Mismatch(const std::string& what) {
  throw VariantError(DispatchTypeMismatch, "type mismatch: " + what);
}
[[noreturn]] void Overflow(const std::string& what) {
  throw VariantError(DispatchOverflow, "overflow: " + what);
}

Number NumberOf(const Variant& v, const char* target) {
  if (v.IsEmpty()) return {};
  if (const bool* b = v.Get<bool>()) return {true, *b ? -1 : 0, 0};
  if (const uint8_t* x = v.Get<uint8_t>()) return {true, *x, 0};
  if (const int16_t* x = v.Get<int16_t>()) return {true, *x, 0};
  if (const int32_t* x = v.Get<int32_t>()) return {true, *x, 0};
  if (const int64_t* x = v.Get<int64_t>()) return {true, *x, 0};
  if (const float* x = v.Get<float>()) return {false, 0, *x};
  if (const double* x = v.Get<double>()) return {false, 0, *x};
  if (const std::string* s = v.Get<std::string>()) {
    std::string_view text = TrimBlanks(*s);
    if (EqualsIgnoringCase(text, "True")) return {true, -1, 0};
    if (EqualsIgnoringCase(text, "False")) return {true, 0, 0};
    std::optional<Variant> parsed = text.empty() ? std::nullopt : dispatch::ParseNumber(text);
    if (!parsed) Mismatch(Quoted(*s) + " is not a number");
    return NumberOf(*parsed, target);
  }
  Mismatch("an array cannot be a " + std::string(target));
}

// Rounds to nearest, ties to even (the default floating-point rounding mode), and checks the
// target's range.
template <typename T>
T ToIntegral(const Variant& v, const char* target) {
  Number n = NumberOf(v, target);
  constexpr int64_t lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  if (n.integral) {
    if (n.whole < lo || n.whole > hi) Overflow(std::to_string(n.whole) + " does not fit a " + target);
    return static_cast<T>(n.whole);
  }
  double r = std::nearbyint(n.real);
  // Compare as doubles: every bound up to 2^63 is exact as a double except 2^63 - 1, for which
  // the upper test excludes 2^63 itself.
  if (!(r >= static_cast<double>(lo) && r < static_cast<double>(hi) + 1.0))
    Overflow(v.ToString() + " does not fit a " + target);
  return static_cast<T>(r);
}

template <typename F>
std::string ShortestText(F value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

}  // namespace

VariantType Variant::type() const {
  static constexpr VariantType kTypes[] = {
      vtEmpty, vtBoolean, vtByte, vtInteger, vtLong, vtLongPtr, vtSingle, vtDouble, vtString,
      VariantType(vtArray | vtByte), VariantType(vtArray | vtInteger), VariantType(vtArray | vtLong),
      VariantType(vtArray | vtSingle), VariantType(vtArray | vtDouble), VariantType(vtArray | vtString)};
  return kTypes[value_.index()];
}

bool Variant::ToBoolean() const {
  if (const bool* b = Get<bool>()) return *b;
  if (const std::string* s = Get<std::string>()) {
    std::string_view text = TrimBlanks(*s);
    if (EqualsIgnoringCase(text, "True")) return true;
    if (EqualsIgnoringCase(text, "False")) return false;
  }
  Number n = NumberOf(*this, "Boolean");
  return n.integral ? n.whole != 0 : n.real != 0;
}

uint8_t Variant::ToByte() const { return ToIntegral<uint8_t>(*this, "Byte"); }
int16_t Variant::ToInteger() const { return ToIntegral<int16_t>(*this, "Integer"); }
int32_t Variant::ToLong() const { return ToIntegral<int32_t>(*this, "Long"); }
int64_t Variant::ToLongPtr() const { return ToIntegral<int64_t>(*this, "Long"); }

double Variant::ToDouble() const {
  Number n = NumberOf(*this, "Double");
  return n.integral ? static_cast<double>(n.whole) : n.real;
}

float Variant::ToSingle() const {
  if (const float* f = Get<float>()) return *f;
  double d = ToDouble();
  if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
    Overflow(ShortestText(d) + " does not fit a Single");
  return static_cast<float>(d);
}

std::string Variant::ToString() const {
  if (IsEmpty()) return "";
  if (const std::string* s = Get<std::string>()) return *s;
  if (const bool* b = Get<bool>()) return *b ? "True" : "False";
  if (const float* f = Get<float>()) return ShortestText(*f);
  if (const double* d = Get<double>()) return ShortestText(*d);
  if (IsArray()) Mismatch("an array cannot be a String");
  return std::to_string(NumberOf(*this, "String").whole);
}

template <typename T>
SafeArray<T> Variant::ToArray() const {
  if (IsEmpty()) return {};
  if (const SafeArray<T>* same = Get<SafeArray<T>>()) return *same;
  if (!IsArray()) Mismatch("a " + VariantTypeName(type()) + " is not an array");
  return std::visit(
      [](const auto& source) -> SafeArray<T> {
        using S = std::decay_t<decltype(source)>;
        if constexpr (requires { source.bounds(); }) {
          if (!source.allocated()) return {};
          SafeArray<T> out(source.bounds());
          for (std::size_t i = 0; i < source.size(); ++i) {
            try {
              out.data()[i] = Variant(source.data()[i]).template To<T>();
            } catch (const VariantError& e) {
              throw VariantError(e.code(), std::string(e.what()) + " (array element " + std::to_string(i) + ")");
            }
          }
          return out;
        } else {
          static_cast<void>(sizeof(S));
          return {};
        }
      },
      value_);
}

template SafeArray<uint8_t> Variant::ToArray<uint8_t>() const;
template SafeArray<int16_t> Variant::ToArray<int16_t>() const;
template SafeArray<int32_t> Variant::ToArray<int32_t>() const;
template SafeArray<float> Variant::ToArray<float>() const;
template SafeArray<double> Variant::ToArray<double>() const;
template SafeArray<std::string> Variant::ToArray<std::string>() const;

std::string VariantTypeName(VariantType type) {
  std::string name;
  switch (type & ~vtArray) {
    case vtEmpty: name = "Empty"; break;
    case vtBoolean: name = "Boolean"; break;
    case vtByte: name = "Byte"; break;
    case vtInteger: name = "Integer"; break;
    case vtLong:
    case vtLongPtr: name = "Long"; break;
    case vtSingle: name = "Single"; break;
    case vtDouble: name = "Double"; break;
    case vtString: name = "String"; break;
    default: name = "Variant"; break;
  }
  return (type & vtArray) ? name + " array" : name;
}

}  // namespace tessivo
