// cImaging: colour adjustments and analyses. Each is one routine of the filter engine run on
// the region of interest of the native image; parameters are checked here, before the engine
// sees the image, so that a refused call changes nothing.
#include <cmath>

#include "core/boundary.h"
#include "pixel/adjust/adjust_codes.h"
#include "pixel/adjust/integer_rounding.h"
#include "pixel/apply_filter.h"
#include "pixel/filter_registry.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// The distance a Single threshold stands for, rounded half to even; false for NaN and
// infinities. Finite values beyond any possible distance (four bytes: 1020) are capped.
bool ThresholdDistance(float threshold, double& k) {
  if (!std::isfinite(threshold)) return false;
  const double rounded = std::nearbyint(static_cast<double>(threshold));
  k = rounded > 2048.0 ? 2048.0 : (rounded < -1.0 ? -1.0 : rounded);
  return true;
}

TessivoStatus Run(cImaging& self, int32_t code, const FilterParams& params = {}, bool valid = true) {
  ImagingState& st = self.State();
  return GuardedStatus(st, [&] {
    TessivoStatus failure = OK;
    if (NativeBitmap(st, failure) == nullptr) return st.Set(failure);
    if (!valid) return st.Set(InvalidParameter);
    return ApplyNativeFilter(st, code, params);
  });
}

TessivoStatus RunWith(cImaging& self, int32_t code, double p) {
  FilterParams params;
  params.p = p;
  return Run(self, code, params);
}

TessivoStatus RunScale(cImaging& self, int32_t code, float factor) {
  FilterParams params;
  params.p = factor;
  return Run(self, code, params, std::isfinite(factor));
}

// An analysis: its value on success, `neutral` on any failure; the status is stored.
double Analyse(cImaging& self, int32_t code, double p, double neutral) {
  ImagingState& st = self.State();
  return Guarded(st, neutral, [&] {
    FilterParams params;
    params.p = p;
    const FilterOutcome out = ApplyFilter(st, st.nativeImage, code, params);
    st.Set(out.status);
    return out.status == OK ? out.value : neutral;
  });
}

}  // namespace

TessivoStatus cImaging::SetBrightness(int32_t nBrightnessPct) {
  return RunWith(*this, kAdjustBrightness, nBrightnessPct);
}
TessivoStatus cImaging::SetContrast(int32_t nContrastPct) { return RunWith(*this, kAdjustContrast, nContrastPct); }

// A negative factor would raise 0 to a negative power, which has no value as a channel.
TessivoStatus cImaging::SetGammaCorrection(int32_t nGammaFactor) {
  FilterParams params;
  params.p = nGammaFactor == 0 ? 1 : nGammaFactor;
  return Run(*this, kAdjustGamma, params, nGammaFactor >= 0);
}

TessivoStatus cImaging::SetSaturation(int32_t nSaturationPct) {
  return RunWith(*this, kAdjustSaturation, nSaturationPct);
}
TessivoStatus cImaging::SetTransparency(int32_t nTransparencyValue) {
  return RunWith(*this, kAdjustTransparency, nTransparencyValue);
}

TessivoStatus cImaging::SetTransparencyColorEx(int32_t nColorARGB, float nThreshold) {
  FilterParams params;
  params.d1 = static_cast<uint32_t>(nColorARGB);
  const bool valid = ThresholdDistance(nThreshold, params.d2);
  return Run(*this, kAdjustTransparencyColor, params, valid);
}
TessivoStatus cImaging::SetTransparencyColor(int32_t nColorARGB) { return SetTransparencyColorEx(nColorARGB, 100); }

TessivoStatus cImaging::SwapColorEx(int32_t nARGBColorSrc, int32_t nARGBColorDst, float nThreshold) {
  FilterParams params;
  params.d1 = static_cast<uint32_t>(nARGBColorSrc);
  params.d2 = static_cast<uint32_t>(nARGBColorDst);
  const bool valid = ThresholdDistance(nThreshold, params.d3);
  return Run(*this, kAdjustSwapColor, params, valid);
}
TessivoStatus cImaging::SwapColor(int32_t nARGBColorSrc, int32_t nARGBColorDst) {
  return SwapColorEx(nARGBColorSrc, nARGBColorDst, 100);
}

TessivoStatus cImaging::AdjustRGB(int32_t nRedAdjust, int32_t nGreenAdjust, int32_t nBlueAdjust) {
  FilterParams params;
  params.d1 = nRedAdjust;
  params.d2 = nGreenAdjust;
  params.d3 = nBlueAdjust;
  return Run(*this, kAdjustRGB, params);
}

TessivoStatus cImaging::KeepRedComponent() { return Run(*this, kAdjustKeepRed); }
TessivoStatus cImaging::KeepGreenComponent() { return Run(*this, kAdjustKeepGreen); }
TessivoStatus cImaging::KeepBlueComponent() { return Run(*this, kAdjustKeepBlue); }
TessivoStatus cImaging::RemoveRedComponent() { return Run(*this, kAdjustRemoveRed); }
TessivoStatus cImaging::RemoveGreenComponent() { return Run(*this, kAdjustRemoveGreen); }
TessivoStatus cImaging::RemoveBlueComponent() { return Run(*this, kAdjustRemoveBlue); }
TessivoStatus cImaging::ScaleRedComponent(float nFactor) { return RunScale(*this, kAdjustScaleRed, nFactor); }
TessivoStatus cImaging::ScaleGreenComponent(float nFactor) { return RunScale(*this, kAdjustScaleGreen, nFactor); }
TessivoStatus cImaging::ScaleBlueComponent(float nFactor) { return RunScale(*this, kAdjustScaleBlue, nFactor); }

TessivoStatus cImaging::SwapColorsRGBtoBRG() { return RunWith(*this, kAdjustSwapChannels, kOrderBRG); }
TessivoStatus cImaging::SwapColorsRGBtoGBR() { return RunWith(*this, kAdjustSwapChannels, kOrderGBR); }
TessivoStatus cImaging::SwapColorsRGBtoRBG() { return RunWith(*this, kAdjustSwapChannels, kOrderRBG); }
TessivoStatus cImaging::SwapColorsRGBtoBGR() { return RunWith(*this, kAdjustSwapChannels, kOrderBGR); }
TessivoStatus cImaging::SwapColorsRGBtoGRB() { return RunWith(*this, kAdjustSwapChannels, kOrderGRB); }

TessivoStatus cImaging::FxStretchContrast() { return Run(*this, kAdjustStretchContrast); }
TessivoStatus cImaging::FxEqualizeIntensity() { return Run(*this, kAdjustEqualizeIntensity); }

bool cImaging::IsGrayscale() { return Analyse(*this, kAnalyseGrayscale, 0, 0) != 0; }
bool cImaging::IsBitonal() { return Analyse(*this, kAnalyseBitonal, 0, 0) != 0; }

double cImaging::CountColor(int32_t nARGBColor) {
  return Analyse(*this, kAnalyseCountColor, static_cast<uint32_t>(nARGBColor), 0);
}

int32_t cImaging::GetAverageColor() {
  return static_cast<int32_t>(Analyse(*this, kAnalyseAverageColor, 0, 0));
}

// The blank test looks at its own rectangle: the region of interest when one is set, else the
// image without its leftmost and bottom twentieths (where scanner edges and punch holes lie).
bool cImaging::IsBlank(int32_t nConfidence) {
  ImagingState& st = *state_;
  return Guarded(st, false, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(st, failure);
    if (image == nullptr) return st.Set(failure), false;
    ZoneRect zone = st.pixel.roi.Refresh(image->Width(), image->Height());
    if (st.pixel.roi.mode() != RegionOfInterest::kRectangle) {
      const int32_t cutLeft = static_cast<int32_t>(DivRoundHalfEven(image->Width(), 20));
      const int32_t cutBottom = static_cast<int32_t>(DivRoundHalfEven(image->Height(), 20));
      zone = ZoneRect{cutLeft, 0, image->Width() - cutLeft, image->Height() - cutBottom};
    }
    FilterParams params;
    params.p = image->Format() == platform::kPixelFormat1bppIndexed ? 1 : 0;
    const FilterOutcome out = RunFilter(*image, zone, *FindFilter(kAnalyseBlank), params);
    st.Set(out.status);
    // The routine answers in tenths of a percent of lightness.
    return out.status == OK && out.value > static_cast<double>(nConfidence) * 10;
  });
}

// In inches: the offsets divided by the native image's resolution in dots per inch.
double cImaging::GetDistance(int32_t nLeft1, int32_t nTop1, int32_t nLeft2, int32_t nTop2) {
  ImagingState& st = *state_;
  return Guarded(st, 0.0, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(st, failure);
    if (image == nullptr) return st.Set(failure), 0.0;
    const double hr = image->HorizontalResolution(), vr = image->VerticalResolution();
    if (!(hr > 0) || !(vr > 0)) return st.Set(GenericError), 0.0;
    const double dx = (static_cast<double>(nLeft1) - nLeft2) / hr;
    const double dy = (static_cast<double>(nTop1) - nTop2) / vr;
    st.Set(OK);
    return std::sqrt(dx * dx + dy * dy);
  });
}

}  // namespace tessivo
