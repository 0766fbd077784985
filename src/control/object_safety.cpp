// Answers to the script-safety questions of a host.
#include "control/object_safety.h"

namespace tessivo {

namespace {

constexpr std::string_view kIDispatch = "{00020400-0000-0000-C000-000000000046}";
constexpr std::string_view kIPersistStorage = "{0000010A-0000-0000-C000-000000000046}";
constexpr std::string_view kIPersistStream = "{00000109-0000-0000-C000-000000000046}";
constexpr std::string_view kIPersistPropertyBag = "{37D84F60-42CB-11CE-8135-00AA004BB851}";

enum class InterfaceKind { Dispatch, Persistence, Other };

InterfaceKind Classify(std::string_view riid) {
  std::string id = CanonicalInterfaceId(riid);
  if (id == kIDispatch) return InterfaceKind::Dispatch;
  if (id == kIPersistStorage || id == kIPersistStream || id == kIPersistPropertyBag)
    return InterfaceKind::Persistence;
  return InterfaceKind::Other;
}

}  // namespace

const SafetyFlags& ThreadSafetyFlags() {
  thread_local const SafetyFlags flags;
  return flags;
}

std::string CanonicalInterfaceId(std::string_view riid) {
  std::string id(riid);
  for (char& c : id)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (id.size() == 36 && id.find_first_of("{}") == std::string::npos) id = "{" + id + "}";
  return id;
}

int32_t GetSafetyOptions(std::string_view riid, int32_t& supported, int32_t& enabled, const SafetyFlags& flags) {
  supported = kSafeForUntrustedCaller | kSafeForUntrustedData;
  switch (Classify(riid)) {
    case InterfaceKind::Dispatch:
      enabled = flags.safeForScripting ? kSafeForUntrustedCaller : 0;
      return kResultOk;
    case InterfaceKind::Persistence:
      enabled = flags.safeForInitialization ? kSafeForUntrustedData : 0;
      return kResultOk;
    case InterfaceKind::Other:
      break;
  }
  return kResultNoInterface;
}

int32_t SetSafetyOptions(std::string_view riid, int32_t mask, int32_t enabled, const SafetyFlags& flags) {
  switch (Classify(riid)) {
    case InterfaceKind::Dispatch:
      return (mask & enabled) == kSafeForUntrustedCaller && flags.safeForScripting ? kResultOk : kResultFail;
    case InterfaceKind::Persistence:
      return (mask & enabled) == kSafeForUntrustedData && flags.safeForInitialization ? kResultOk : kResultFail;
    case InterfaceKind::Other:
      break;
  }
  return kResultNoInterface;
}

}  // namespace tessivo
