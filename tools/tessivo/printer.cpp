// Formatting of call results.
#include "printer.h"

#include <cmath>
#include <cstdio>
#include <type_traits>

#include "tessivo/status.h"

namespace tessivo::cli {

namespace {

constexpr std::size_t kShownElements = 16;

std::string Escaped(const std::string& text, bool json) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else if (c >= 0x80 && json) {
          // Copy a valid UTF-8 sequence; a stray byte is shown as the character of that value.
          std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
          bool valid = length && i + length <= text.size();
          for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
          if (valid) {
            out.append(text, i, length);
            i += length - 1;
          } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
          }
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

template <typename T>
std::string ElementText(const T& element, bool json) {
  if constexpr (std::is_same_v<T, std::string>) return Escaped(element, json);
  else if constexpr (std::is_floating_point_v<T>) {
    if (json && !std::isfinite(element)) return "null";
    return Variant(element).ToString();
  } else return std::to_string(element);
}

// Nested JSON arrays: dimension `dim` (0-based) at `offset` with element stride `stride`.
template <typename T>
void JsonArray(std::string& out, const SafeArray<T>& a, int dim, std::size_t offset) {
  std::size_t stride = 1;
  for (int d = 0; d < dim; ++d) stride *= static_cast<std::size_t>(a.bounds()[d].count);
  out += "[";
  for (int32_t i = 0; i < a.bounds()[dim].count; ++i) {
    if (i) out += ", ";
    std::size_t at = offset + static_cast<std::size_t>(i) * stride;
    if (dim + 1 < a.dims()) JsonArray(out, a, dim + 1, at);
    else out += ElementText(a.data()[at], true);
  }
  out += "]";
}

// JSON nests the first index outermost, while the storage runs it fastest: walk the
// dimensions from the first, stepping by the stride of each.
template <typename T>
std::string JsonOfArray(const SafeArray<T>& a) {
  if (!a.allocated()) return "[]";
  std::string out;
  JsonArray(out, a, 0, 0);
  return out;
}

template <typename T>
std::string TextOfArray(const SafeArray<T>& a) {
  if (!a.allocated()) return "[] (unallocated)";
  std::string shape;
  bool plain = a.dims() == 1 && a.LBound(1) == 0;
  if (!plain) {
    shape = "(";
    for (int d = 1; d <= a.dims(); ++d)
      shape += (d > 1 ? ", " : "") + std::to_string(a.LBound(d)) + " To " + std::to_string(a.UBound(d));
    shape += ") ";
  }
  std::string items = "[";
  std::size_t shown = std::min(a.size(), kShownElements);
  for (std::size_t i = 0; i < shown; ++i) items += (i ? ", " : "") + ElementText(a.data()[i], false);
  if (shown < a.size()) items += ", ... " + std::to_string(a.size()) + " elements";
  return shape + items + "]";
}

}  // namespace

std::string StatusText(int32_t status) {
  if (status == 0) return "OK";
  const char* name = StatusName(status);
  if (!name || !*name) return "Status " + std::to_string(status);
  return std::string(name) + " (" + std::to_string(status) + ")";
}

std::string JsonString(const std::string& text) { return Escaped(text, true); }

std::string TextValue(const Variant& value, const dispatch::AutomationType& type) {
  if (value.IsEmpty()) return "Empty";
  if (const std::string* s = value.Get<std::string>()) return Escaped(*s, false);
  if (type.kind == dispatch::ValueKind::Enum && !type.array) {
    int32_t number = value.ToLong();
    if (type.enumName == "TessivoStatus") return StatusText(number);
    std::string name = dispatch::Catalog::Instance().ConstantName(type.enumName, number);
    return name.empty() ? std::to_string(number) : name + " (" + std::to_string(number) + ")";
  }
  if (value.IsArray()) {
    return value.Visit([](const auto& held) -> std::string {
      if constexpr (requires { held.bounds(); }) return TextOfArray(held);
      else return "";
    });
  }
  return value.ToString();
}

std::string JsonValue(const Variant& value) {
  return value.Visit([](const auto& held) -> std::string {
    using T = std::decay_t<decltype(held)>;
    if constexpr (std::is_same_v<T, std::monostate>) return "null";
    else if constexpr (std::is_same_v<T, bool>) return held ? "true" : "false";
    else if constexpr (requires { held.bounds(); }) return JsonOfArray(held);
    else return ElementText(held, true);
  });
}

void PrintCall(std::ostream& out, const CallReport& report, bool json) {
  const dispatch::MethodEntry& m = *report.method;
  if (json) {
    out << "{\"method\": " << JsonString(m.name) << ", \"result\": " << JsonValue(report.result)
        << ", \"status\": " << report.status << ", \"status_name\": "
        << JsonString(report.status == 0 ? "OK" : StatusName(report.status)) << ", \"out\": {";
    for (std::size_t i = 0; i < report.outputs.size(); ++i) {
      const auto& [index, value] = report.outputs[i];
      out << (i ? ", " : "") << JsonString(m.params[index].name) << ": " << JsonValue(value);
    }
    out << "}}\n";
    return;
  }
  out << m.name;
  if (m.result.kind != dispatch::ValueKind::Void) out << " = " << TextValue(report.result, m.result);
  out << "  [" << StatusText(report.status) << "]\n";
  for (const auto& [index, value] : report.outputs)
    out << "  &" << m.params[index].name << " = " << TextValue(value, m.params[index].type) << "\n";
}

}  // namespace tessivo::cli
