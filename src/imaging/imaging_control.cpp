// cImaging's script-safety and base64 string methods. They leave the last status as it was
// (only running out of memory would set it).
#include "control/base64.h"
#include "control/object_safety.h"
#include "core/ansi.h"
#include "core/boundary.h"
#include "tessivo/imaging.h"

namespace tessivo {

int32_t cImaging::GetInterfaceSafetyOptions(const std::string& riid, int32_t& nSupportedOptions,
                                            int32_t& nEnabledOptions) {
  return GetSafetyOptions(riid, nSupportedOptions, nEnabledOptions, ThreadSafetyFlags());
}

int32_t cImaging::SetInterfaceSafetyOptions(const std::string& riid, int32_t nOptionSetMask,
                                            int32_t nEnabledOptions) {
  return SetSafetyOptions(riid, nOptionSetMask, nEnabledOptions, ThreadSafetyFlags());
}

std::string cImaging::Encode64String(const std::string& sText) {
  return Guarded(State(), std::string(), [&] { return Base64EncodeLines(Utf8ToAnsi(sText)); });
}

std::string cImaging::Decode64String(const std::string& sText) {
  return Guarded(State(), std::string(), [&] { return AnsiToUtf8(Base64DecodeLenient(sText)); });
}

}  // namespace tessivo
