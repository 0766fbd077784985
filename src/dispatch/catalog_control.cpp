// Type library entries of the control facade: script safety and base64 strings.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(ControlFacade) {
  catalog.Method("GetInterfaceSafetyOptions", &cImaging::GetInterfaceSafetyOptions,
                 "riid, &nSupportedOptions, &nEnabledOptions");
  catalog.Method("SetInterfaceSafetyOptions", &cImaging::SetInterfaceSafetyOptions,
                 "riid, nOptionSetMask, nEnabledOptions");
  catalog.Method("Encode64String", &cImaging::Encode64String, "sText");
  catalog.Method("Decode64String", &cImaging::Decode64String, "sText");
}

}  // namespace tessivo::dispatch
