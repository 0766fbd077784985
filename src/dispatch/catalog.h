// The type library: one entry per public method of cImaging, with its parameters (name,
// automation type, by-reference flag, optional default), its result type and an invoker that
// converts Variant arguments and calls the method. Late binding (cImaging::Invoke,
// Imaging::Invoke) and the `tessivo` script host work through it.
//
// Registering a family: one file src/dispatch/catalog_<family>.cpp,
//
//   #include "dispatch/catalog.h"
//   namespace tessivo::dispatch {
//   TESSIVO_CATALOG_FAMILY(Lifecycle) {
//     catalog.Method("CloseImage", &cImaging::CloseImage, "nImageID");
//     catalog.Method("CreateNewImage", &cImaging::CreateNewImage,
//                    "nWidth, nHeight, nBitDepth=32, nBackColor=0xFF000000");
//   }
//   }  // namespace tessivo::dispatch
//
// one line per method. The parameter list names the parameters in order, exactly as the
// method list of the toolkit writes them; the types and the by-reference flags come from the
// member function's C++ signature. Each parameter is `name`, `name=default`, optionally with a
// leading `&` (must agree with the C++ signature) and a `:Type` after the name (must agree with
// the deduced automation type). Defaults are numbers (decimal, 0x / &H hexadecimal — eight hex
// digits are a 32-bit Long, so 0xFF000000 is -16777216), True / False, "quoted strings" (write
// the list as a raw string literal R"(sName="")" then) or enumeration member names registered
// with catalog.Enum. Overloaded members need a static_cast to pick one.
//
// C++ parameter and result types: bool (Boolean), uint8_t (Byte), int16_t (Integer), int32_t
// (Long), intptr_t (Long, 64 bits wide: addresses and platform handles), float (Single), double
// (Double), std::string (String), unscoped int32_t enums (shown by their enum name), SafeArray<T>
// of uint8_t, int16_t, int32_t, float, double or std::string; each by value, by const reference
// or by reference (a by-reference argument receives the value the method leaves in it).
// Results: any of these, or void.
//
// Mistakes in a registration (a parameter count that differs from the C++ signature, an
// unknown default constant, a duplicate name) do not stop the library: the entry is left out and
// the mistake is listed in Catalog::Problems(), which the tests require to be empty.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tessivo/imaging.h"
#include "tessivo/safe_array.h"
#include "tessivo/variant.h"

namespace tessivo::dispatch {

enum class ValueKind { Void, Boolean, Byte, Integer, Long, LongPtr, Single, Double, String, Enum };

struct AutomationType {
  ValueKind kind = ValueKind::Void;
  bool array = false;
  std::string enumName;  // for ValueKind::Enum

  // "Long", "Byte array", "PixelFormats", "none" for Void.
  std::string Name() const;
};

struct Parameter {
  std::string name;
  AutomationType type;
  bool byRef = false;
  bool optional = false;
  std::string defaultText;  // as registered: "32", "0xFF000000", "\"\"", "FontStyleRegular"
  Variant defaultValue;     // resolved when the catalog is built
};

// Calls the method with exactly one argument per parameter (defaults already filled in).
// Arguments of by-reference parameters are replaced by the values the method left in them.
// A conversion failure throws ArgumentError.
using Invoker = std::function<Variant(cImaging&, std::vector<Variant>&)>;

struct MethodEntry {
  std::string name;
  std::string family;
  std::vector<Parameter> params;
  AutomationType result;
  Invoker invoke;

  std::size_t RequiredCount() const;
  // "CreateNewImage(nWidth As Long, nHeight As Long, Optional nBitDepth As Integer = 32,
  //  Optional nBackColor As Long = 0xFF000000) As Long"
  std::string Signature() const;
};

struct EnumConstant {
  std::string enumName;
  std::string name;
  int32_t value;
};

// An argument that could not be converted to its parameter's type.
struct ArgumentError : VariantError {
  ArgumentError(std::size_t index, const VariantError& cause)
      : VariantError(cause.code(), cause.what()), index(index) {}
  std::size_t index;
};

class CatalogBuilder;

class Catalog {
 public:
  // The catalog of every registered family, built on first use.
  static const Catalog& Instance();

  // The method of that name, compared without regard to case; nullptr if none.
  const MethodEntry* Find(std::string_view name) const;
  // Every method, sorted by name (case-insensitively).
  const std::vector<MethodEntry>& Methods() const { return methods_; }

  // Enumeration members by name (without regard to case), and by value within one enum.
  std::optional<int32_t> FindConstant(std::string_view name) const;
  std::string ConstantName(std::string_view enumName, int32_t value) const;
  const std::vector<EnumConstant>& Constants() const { return constants_; }

  // Registration mistakes found while building; empty in a correct build.
  const std::vector<std::string>& Problems() const { return problems_; }

  // Builds a catalog from explicit registration functions (used by the tests).
  static Catalog Build(const std::vector<std::pair<std::string, void (*)(CatalogBuilder&)>>& families);

 private:
  void Finish();

  std::vector<MethodEntry> methods_;
  std::vector<EnumConstant> constants_;
  std::vector<std::string> problems_;
  std::unordered_map<std::string, std::size_t> methodIndex_;    // lower-case name -> methods_
  std::unordered_map<std::string, std::size_t> constantIndex_;  // lower-case name -> constants_
  friend class CatalogBuilder;
};

namespace detail {

template <typename T>
struct IsSafeArray : std::false_type {};
template <typename T>
struct IsSafeArray<SafeArray<T>> : std::true_type {};

// The unqualified name of an enum type, read from the compiler's function signature text
// ("... [with E = tessivo::PixelFormats; ...]" for GCC, "... [E = tessivo::PixelFormats]" for
// Clang), so enums need no registration to be shown by name.
template <typename E>
std::string EnumTypeName() {
  std::string_view text = __PRETTY_FUNCTION__;
  std::size_t start = text.find("E = ");
  if (start == std::string_view::npos) return "Long";
  start += 4;
  std::size_t end = text.find_first_of(";]", start);
  std::string_view name = text.substr(start, end - start);
  std::size_t colon = name.rfind("::");
  if (colon != std::string_view::npos) name.remove_prefix(colon + 2);
  return std::string(name);
}

template <typename T>
AutomationType TypeOf() {
  if constexpr (std::is_void_v<T>) return {ValueKind::Void, false, {}};
  else if constexpr (std::is_same_v<T, bool>) return {ValueKind::Boolean, false, {}};
  else if constexpr (std::is_same_v<T, uint8_t>) return {ValueKind::Byte, false, {}};
  else if constexpr (std::is_same_v<T, int16_t>) return {ValueKind::Integer, false, {}};
  else if constexpr (std::is_same_v<T, int32_t>) return {ValueKind::Long, false, {}};
  else if constexpr (std::is_same_v<T, intptr_t>) return {ValueKind::LongPtr, false, {}};
  else if constexpr (std::is_same_v<T, float>) return {ValueKind::Single, false, {}};
  else if constexpr (std::is_same_v<T, double>) return {ValueKind::Double, false, {}};
  else if constexpr (std::is_same_v<T, std::string>) return {ValueKind::String, false, {}};
  else if constexpr (std::is_enum_v<T>) {
    static_assert(std::is_same_v<std::underlying_type_t<T>, int32_t>,
                  "enums at the boundary have an int32_t underlying type");
    return {ValueKind::Enum, false, EnumTypeName<T>()};
  } else if constexpr (IsSafeArray<T>::value) {
    AutomationType element = TypeOf<std::remove_reference_t<decltype(*std::declval<T&>().data())>>();
    element.array = true;
    return element;
  } else {
    static_assert(sizeof(T) == 0, "type not supported at the automation boundary");
  }
}

template <typename T>
struct ElementOf;
template <typename T>
struct ElementOf<SafeArray<T>> {
  using type = T;
};

// Converts an argument to a parameter's C++ value type.
template <typename T>
T FromVariant(const Variant& v) {
  if constexpr (std::is_enum_v<T>) return static_cast<T>(v.ToLong());
  else if constexpr (IsSafeArray<T>::value) return v.ToArray<typename ElementOf<T>::type>();
  else return v.To<T>();
}

template <typename T>
Variant ToVariant(T&& value) {
  using V = std::remove_cvref_t<T>;
  if constexpr (std::is_enum_v<V>) return Variant(static_cast<int32_t>(value));
  else return Variant(std::forward<T>(value));
}

template <typename P>
using Stored = std::remove_cvref_t<P>;
template <typename P>
inline constexpr bool kByRef = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

// A by-reference argument: bound straight to the Variant's value when that already has the
// parameter's type (no copy of a large array; nothing moved out, so a later argument's
// conversion failure loses nothing), else a converted copy written back after the call.
template <typename T>
struct ReferenceSlot {
  T* target = nullptr;
  T converted{};
  T& get() { return target ? *target : converted; }
};

template <typename P>
using Slot = std::conditional_t<kByRef<P>, ReferenceSlot<Stored<P>>, Stored<P>>;

template <typename P>
Slot<P> ConvertArgument(std::vector<Variant>& args, std::size_t index) {
  try {
    if constexpr (kByRef<P>) {
      ReferenceSlot<Stored<P>> slot;
      if constexpr (!std::is_enum_v<Stored<P>>) slot.target = args[index].Get<Stored<P>>();
      if (!slot.target) slot.converted = FromVariant<Stored<P>>(args[index]);
      return slot;
    } else {
      return FromVariant<Stored<P>>(args[index]);
    }
  } catch (const VariantError& e) {
    throw ArgumentError(index, e);
  }
}

template <typename P>
decltype(auto) PassArgument(Slot<P>& slot) {
  if constexpr (kByRef<P>) return slot.get();
  else return static_cast<P&&>(slot);  // by value: moved; by const reference: as is
}

// Converts the arguments, calls object.*fn and writes by-reference results back.
template <typename R, typename... A, typename Object, typename Fn, std::size_t... I>
Variant Call(Object& object, Fn fn, std::vector<Variant>& args, std::index_sequence<I...>) {
  // Braced initialisation converts the arguments left to right, so the first bad one is named.
  std::tuple<Slot<A>...> slots{ConvertArgument<A>(args, I)...};
  Variant result;
  if constexpr (std::is_void_v<R>) {
    (object.*fn)(PassArgument<A>(std::get<I>(slots))...);
  } else {
    result = ToVariant((object.*fn)(PassArgument<A>(std::get<I>(slots))...));
  }
  [[maybe_unused]] auto writeBack = [&](auto index) {
    constexpr std::size_t i = decltype(index)::value;
    using P = std::tuple_element_t<i, std::tuple<A...>>;
    if constexpr (kByRef<P>) {
      auto& slot = std::get<i>(slots);
      if (!slot.target) args[i] = ToVariant(std::move(slot.converted));
    }
  };
  (writeBack(std::integral_constant<std::size_t, I>{}), ...);
  return result;
}

struct ParameterShape {
  AutomationType type;
  bool byRef;
};

}  // namespace detail

class CatalogBuilder {
 public:
  explicit CatalogBuilder(Catalog& catalog) : catalog_(catalog) {}

  template <typename R, typename... A>
  void Method(std::string_view name, R (cImaging::*fn)(A...), std::string_view params = {}) {
    Add(name, params, {detail::ParameterShape{detail::TypeOf<detail::Stored<A>>(), detail::kByRef<A>}...},
        detail::TypeOf<std::remove_cvref_t<R>>(),
        [fn](cImaging& object, std::vector<Variant>& args) {
          return detail::Call<R, A...>(object, fn, args, std::index_sequence_for<A...>{});
        });
  }
  template <typename R, typename... A>
  void Method(std::string_view name, R (cImaging::*fn)(A...) noexcept, std::string_view params = {}) {
    Method(name, static_cast<R (cImaging::*)(A...)>(fn), params);
  }
  template <typename R, typename... A>
  void Method(std::string_view name, R (cImaging::*fn)(A...) const, std::string_view params = {}) {
    Add(name, params, {detail::ParameterShape{detail::TypeOf<detail::Stored<A>>(), detail::kByRef<A>}...},
        detail::TypeOf<std::remove_cvref_t<R>>(),
        [fn](cImaging& object, std::vector<Variant>& args) {
          return detail::Call<R, A...>(object, fn, args, std::index_sequence_for<A...>{});
        });
  }

  // Members of an enumeration: usable by name in scripts and as registered defaults, and
  // shown by name in results.
  template <typename E>
  void Enum(std::initializer_list<std::pair<std::string_view, E>> members) {
    std::string enumName = detail::EnumTypeName<E>();
    for (const auto& [member, value] : members) AddConstant(enumName, member, static_cast<int32_t>(value));
  }

  void SetFamily(std::string family) { family_ = std::move(family); }

 private:
  void Add(std::string_view name, std::string_view params, std::vector<detail::ParameterShape> shapes,
           AutomationType result, Invoker invoke);
  void AddConstant(const std::string& enumName, std::string_view name, int32_t value);

  Catalog& catalog_;
  std::string family_;
};

// Adds a family's registration function to the catalog. The registrar object is a namespace-
// scope static of libtessivo; it only records the function in a function-local list, and the
// catalog runs the functions on first use, so the order in which static objects are
// initialised does not matter. (libtessivo is a shared library, so every family file is linked
// in; a static build would need whole-archive linking.)
struct FamilyRegistrar {
  FamilyRegistrar(const char* family, void (*registerMethods)(CatalogBuilder&));
};

// Use inside namespace tessivo::dispatch (so cImaging and the enums need no qualification).
#define TESSIVO_CATALOG_FAMILY(Family)                                                   \
  static void RegisterFamily##Family(CatalogBuilder& catalog);                           \
  static const FamilyRegistrar familyRegistrar##Family(#Family, &RegisterFamily##Family); \
  static void RegisterFamily##Family([[maybe_unused]] CatalogBuilder& catalog)

}  // namespace tessivo::dispatch
