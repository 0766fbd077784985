// Variant: the value of a late-bound call's argument or result. It holds one automation value
// (Empty, Boolean, Byte, Integer, Long, a 64-bit Long for handles and addresses, Single, Double,
// String) or an array of one of them, and converts between them by automation's rules:
//   - a floating value becomes an integer by rounding to nearest, ties to even;
//   - a value outside the target's range is an overflow;
//   - Boolean True is -1 and False 0 as a number; any non-zero number is True;
//   - a string converts to a number when it parses as one (blanks around it allowed, decimal,
//     exponent, &H / 0x hexadecimal); "True" / "False" (any case) convert to Boolean;
//   - Empty converts to 0, "" and False;
//   - arrays convert element by element to another element type, never to or from a scalar.
// A failed conversion throws VariantError carrying the automation error code.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>

#include "tessivo/safe_array.h"

namespace tessivo {

// Type codes, numbered as automation numbers its variant types.
enum VariantType : int32_t {
  vtEmpty = 0,
  vtInteger = 2,
  vtLong = 3,
  vtSingle = 4,
  vtDouble = 5,
  vtString = 8,
  vtBoolean = 11,
  vtByte = 17,
  vtLongPtr = 20,  // 64-bit signed: memory addresses and platform handles
  vtArray = 0x2000,  // combined with the element type
};

// Automation error codes used by conversions and late binding.
enum DispatchErrorCode : int32_t {
  DispatchOK = 0,
  DispatchTypeMismatch = static_cast<int32_t>(0x80020005u),
  DispatchUnknownName = static_cast<int32_t>(0x80020006u),
  DispatchException = static_cast<int32_t>(0x80020009u),
  DispatchOverflow = static_cast<int32_t>(0x8002000Au),
  DispatchBadParamCount = static_cast<int32_t>(0x8002000Eu),
  DispatchParamNotOptional = static_cast<int32_t>(0x8002000Fu),
  // Run-time errors a method raises to its caller (an overflow, an invalid argument).
  DispatchRuntimeInvalidArgument = static_cast<int32_t>(0x800A0005u),
  DispatchRuntimeOverflow = static_cast<int32_t>(0x800A0006u),
  DispatchOutOfMemory = static_cast<int32_t>(0x8007000Eu),
};

class VariantError : public std::runtime_error {
 public:
  VariantError(DispatchErrorCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  DispatchErrorCode code() const { return code_; }

 private:
  DispatchErrorCode code_;
};

class Variant {
 public:
  Variant() = default;
  Variant(bool v) : value_(v) {}
  Variant(uint8_t v) : value_(v) {}
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(int64_t v) : value_(v) {}
  Variant(float v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(SafeArray<uint8_t> v) : value_(std::move(v)) {}
  Variant(SafeArray<int16_t> v) : value_(std::move(v)) {}
  Variant(SafeArray<int32_t> v) : value_(std::move(v)) {}
  Variant(SafeArray<float> v) : value_(std::move(v)) {}
  Variant(SafeArray<double> v) : value_(std::move(v)) {}
  Variant(SafeArray<std::string> v) : value_(std::move(v)) {}

  // vtEmpty, vtLong, ... ; arrays are vtArray | element type.
  VariantType type() const;
  bool IsEmpty() const { return value_.index() == 0; }
  bool IsArray() const { return type() & vtArray; }
  // The element type of an array, the type itself for a scalar.
  VariantType ElementType() const { return static_cast<VariantType>(type() & ~vtArray); }

  // The held value when it is exactly of type T, else nullptr.
  template <typename T>
  const T* Get() const { return std::get_if<T>(&value_); }
  template <typename T>
  T* Get() { return std::get_if<T>(&value_); }

  bool ToBoolean() const;
  uint8_t ToByte() const;
  int16_t ToInteger() const;
  int32_t ToLong() const;
  int64_t ToLongPtr() const;
  float ToSingle() const;
  double ToDouble() const;
  // Numbers in their shortest exact decimal form ("0.1", "-3", "1E+20"), Booleans as
  // "True" / "False".
  std::string ToString() const;
  // The array converted element by element (same shape and bounds); Empty gives an
  // unallocated array; a scalar is a type mismatch.
  template <typename T>
  SafeArray<T> ToArray() const;

  // Calls `f` with the held value: std::monostate for Empty, else bool, uint8_t, ...,
  // std::string, SafeArray<uint8_t>, ...
  template <typename F>
  decltype(auto) Visit(F&& f) const { return std::visit(std::forward<F>(f), value_); }

  // Conversion to any of the supported C++ types by name of type.
  template <typename T>
  T To() const;

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, bool, uint8_t, int16_t, int32_t, int64_t, float, double,
               std::string, SafeArray<uint8_t>, SafeArray<int16_t>, SafeArray<int32_t>,
               SafeArray<float>, SafeArray<double>, SafeArray<std::string>>
      value_;
};

// The automation name of a variant type: "Long", "Byte array", ...
std::string VariantTypeName(VariantType type);

template <typename T>
T Variant::To() const {
  if constexpr (std::is_same_v<T, bool>) return ToBoolean();
  else if constexpr (std::is_same_v<T, uint8_t>) return ToByte();
  else if constexpr (std::is_same_v<T, int16_t>) return ToInteger();
  else if constexpr (std::is_same_v<T, int32_t>) return ToLong();
  else if constexpr (std::is_same_v<T, int64_t>) return ToLongPtr();
  else if constexpr (std::is_same_v<T, float>) return ToSingle();
  else if constexpr (std::is_same_v<T, double>) return ToDouble();
  else if constexpr (std::is_same_v<T, std::string>) return ToString();
  else static_assert(sizeof(T) == 0, "Variant::To: unsupported type");
}

extern template SafeArray<uint8_t> Variant::ToArray<uint8_t>() const;
extern template SafeArray<int16_t> Variant::ToArray<int16_t>() const;
extern template SafeArray<int32_t> Variant::ToArray<int32_t>() const;
extern template SafeArray<float> Variant::ToArray<float>() const;
extern template SafeArray<double> Variant::ToArray<double>() const;
extern template SafeArray<std::string> Variant::ToArray<std::string>() const;

}  // namespace tessivo
