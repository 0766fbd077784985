// The Imaging control: forwarding to one cImaging created on first use.
#include "tessivo/facade.h"

#include "control/object_safety.h"

namespace tessivo {

Imaging::Imaging() = default;
Imaging::~Imaging() = default;
Imaging::Imaging(Imaging&&) noexcept = default;
Imaging& Imaging::operator=(Imaging&&) noexcept = default;

cImaging& Imaging::Object() {
  if (!object_) object_ = std::make_unique<cImaging>();
  return *object_;
}

InvokeResult Imaging::Invoke(std::string_view name, std::vector<Variant>& args) {
  try {
    return Object().Invoke(name, args);
  } catch (const std::bad_alloc&) {
    InvokeResult r;
    r.error = DispatchOutOfMemory;
    r.message = "out of memory creating the imaging object";
    return r;
  }
}

int32_t Imaging::GetInterfaceSafetyOptions(const std::string& riid, int32_t& nSupportedOptions,
                                           int32_t& nEnabledOptions) {
  return GetSafetyOptions(riid, nSupportedOptions, nEnabledOptions, ThreadSafetyFlags());
}

int32_t Imaging::SetInterfaceSafetyOptions(const std::string& riid, int32_t nOptionSetMask,
                                           int32_t nEnabledOptions) {
  return SetSafetyOptions(riid, nOptionSetMask, nEnabledOptions, ThreadSafetyFlags());
}

void Imaging::Resize(int32_t, int32_t) {
  // Whatever the container asks, the control sets itself back to its fixed size.
  width_ = height_ = kSize;
}

}  // namespace tessivo
