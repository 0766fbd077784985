// Umbrella header of the Tessivo imaging toolkit.
#pragma once
#include "tessivo/color_palette.h"
#include "tessivo/enums_io.h"
#include "tessivo/enums_metadata.h"
#include "tessivo/facade.h"
#include "tessivo/host_surfaces.h"
#include "tessivo/imaging.h"
#include "tessivo/invoke_result.h"
#include "tessivo/pixel_formats.h"
#include "tessivo/safe_array.h"
#include "tessivo/status.h"
#include "tessivo/streams.h"
#include "tessivo/variant.h"
