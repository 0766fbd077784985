// Script safety of the toolkit's objects: which interfaces may be driven by untrusted scripts
// (IDispatch) and initialised from untrusted data (the persistence interfaces). Both the
// control and the class answer from the same per-thread flags.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessivo {

inline constexpr int32_t kSafeForUntrustedCaller = 1;
inline constexpr int32_t kSafeForUntrustedData = 2;
inline constexpr int32_t kResultOk = 0;
inline constexpr int32_t kResultNoInterface = static_cast<int32_t>(0x80004002u);
inline constexpr int32_t kResultFail = static_cast<int32_t>(0x80004005u);

struct SafetyFlags {
  bool safeForScripting = true;
  bool safeForInitialization = true;
};

// The calling thread's flags; both True from the start.
const SafetyFlags& ThreadSafetyFlags();

// An interface ID as an upper-case braced GUID string ("{00020400-0000-0000-C000-000000000046}");
// braces are added when missing. Any other text is returned upper-cased, and so matches no
// interface.
std::string CanonicalInterfaceId(std::string_view riid);

// Supported options are always 3. Enabled: 1 for IDispatch when safe for scripting, 2 for
// IPersistStorage / IPersistStream / IPersistPropertyBag when safe for initialisation, else 0;
// any other interface leaves `enabled` as it was and gives 0x80004002.
int32_t GetSafetyOptions(std::string_view riid, int32_t& supported, int32_t& enabled, const SafetyFlags& flags);

// Accepts (mask AND enabled) = 1 for IDispatch when safe for scripting, = 2 for the persistence
// interfaces when safe for initialisation (0); anything else for those interfaces fails
// (0x80004005); other interfaces give 0x80004002.
int32_t SetSafetyOptions(std::string_view riid, int32_t mask, int32_t enabled, const SafetyFlags& flags);

}  // namespace tessivo
