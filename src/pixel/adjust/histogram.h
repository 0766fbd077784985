// Histograms of a zone of an image, read through locks of their own (not the filter engine):
// the image is only read.
#pragma once
#include <array>
#include <cstdint>

#include "pixel/filter_engine.h"
#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

using Histogram256 = std::array<uint64_t, 256>;

struct ChannelHistograms {
  Histogram256 alpha{}, red{}, green{}, blue{};
};

// Counts of each value of each ARGB channel over `zone`, as a 32-bit ARGB lock shows the
// pixels. An empty zone counts nothing; a zone outside the image is InvalidParameter; a lock
// failure is its status.
TessivoStatus ChannelHistogramOfZone(platform::Bitmap& image, const ZoneRect& zone, ChannelHistograms& out);

// Counts of each palette index over `zone` of an 8-bpp indexed image; any other format is
// NotIndexedPixelFormat.
TessivoStatus PaletteIndexHistogramOfZone(platform::Bitmap& image, const ZoneRect& zone, Histogram256& out);

}  // namespace tessivo
