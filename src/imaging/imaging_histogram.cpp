// cImaging: histograms of the region of interest of the native image. The arrays are
// reallocated to (0 To 255) only when the histogram was read; a failure leaves them as they were.
#include <limits>

#include "core/boundary.h"
#include "pixel/adjust/histogram.h"
#include "pixel/native_image.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// A Long array (0 To 255) of the counts, each saturating at the largest Long.
SafeArray<int32_t> ToLongArray(const Histogram256& counts) {
  SafeArray<int32_t> a({ArrayBound{0, 256}});
  constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
  for (int i = 0; i < 256; ++i) a(i) = static_cast<int32_t>(counts[i] < kMax ? counts[i] : kMax);
  return a;
}

template <typename Fill>
TessivoStatus WithZone(ImagingState& st, Fill&& fill) {
  return GuardedStatus(st, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(st, failure);
    if (image == nullptr) return st.Set(failure);
    const ZoneRect zone = st.pixel.roi.Refresh(image->Width(), image->Height());
    return st.Set(fill(*image, zone));
  });
}

// One channel's histogram, chosen by a member of ChannelHistograms.
TessivoStatus OneChannel(ImagingState& st, Histogram256 ChannelHistograms::*channel, SafeArray<int32_t>& out) {
  return WithZone(st, [&](platform::Bitmap& image, const ZoneRect& zone) {
    ChannelHistograms h;
    const TessivoStatus s = ChannelHistogramOfZone(image, zone, h);
    if (s == OK) out = ToLongArray(h.*channel);
    return s;
  });
}

}  // namespace

TessivoStatus cImaging::HistogramGetARGB(SafeArray<int32_t>& arHistoA, SafeArray<int32_t>& arHistoR,
                                         SafeArray<int32_t>& arHistoG, SafeArray<int32_t>& arHistoB) {
  return WithZone(*state_, [&](platform::Bitmap& image, const ZoneRect& zone) {
    ChannelHistograms h;
    const TessivoStatus s = ChannelHistogramOfZone(image, zone, h);
    if (s != OK) return s;
    SafeArray<int32_t> a = ToLongArray(h.alpha), r = ToLongArray(h.red), g = ToLongArray(h.green),
                       b = ToLongArray(h.blue);
    arHistoA = std::move(a);
    arHistoR = std::move(r);
    arHistoG = std::move(g);
    arHistoB = std::move(b);
    return OK;
  });
}

TessivoStatus cImaging::HistogramGetRed(SafeArray<int32_t>& arHistoR) {
  return OneChannel(*state_, &ChannelHistograms::red, arHistoR);
}
TessivoStatus cImaging::HistogramGetGreen(SafeArray<int32_t>& arHistoG) {
  return OneChannel(*state_, &ChannelHistograms::green, arHistoG);
}
TessivoStatus cImaging::HistogramGetBlue(SafeArray<int32_t>& arHistoB) {
  return OneChannel(*state_, &ChannelHistograms::blue, arHistoB);
}
TessivoStatus cImaging::HistogramGetAlpha(SafeArray<int32_t>& arHistoA) {
  return OneChannel(*state_, &ChannelHistograms::alpha, arHistoA);
}

TessivoStatus cImaging::HistogramGet8Bpp(SafeArray<int32_t>& ArHistoPal) {
  return WithZone(*state_, [&](platform::Bitmap& image, const ZoneRect& zone) {
    Histogram256 counts;
    const TessivoStatus s = PaletteIndexHistogramOfZone(image, zone, counts);
    if (s == OK) ArHistoPal = ToLongArray(counts);
    return s;
  });
}

}  // namespace tessivo
