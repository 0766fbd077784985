// Cairo's statuses as platform statuses: every value Cairo can report maps to one of ours.
#pragma once
#include <cairo.h>

#include "platform/status.h"

namespace tessivo::platform {

Status FromCairoStatus(cairo_status_t status);

}  // namespace tessivo::platform
