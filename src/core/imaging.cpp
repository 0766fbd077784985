// Construction and destruction of cImaging: the instance's state, and the per-thread platform
// session it joins and leaves.
#include "tessivo/imaging.h"

#include "core/imaging_state.h"
#include "core/platform_session.h"

namespace tessivo {

cImaging::cImaging() : state_(std::make_unique<ImagingState>()) { StartPlatform(); }

cImaging::~cImaging() { StopPlatform(); }

}  // namespace tessivo
