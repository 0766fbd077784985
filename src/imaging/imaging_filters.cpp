// cImaging: the Fx filters, 3x3 pattern replacement and flood fill. Each filter is one routine
// of the filter engine run on the region of interest of the native image.
#include <algorithm>
#include <vector>

#include "core/boundary.h"
#include "pixel/apply_filter.h"
#include "pixel/filter_codes.h"
#include "pixel/flood_fill.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "pixel/rounding.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// RGB values (red in the low byte) of the offset colours.
constexpr int32_t kReliefOffset = 0 | (120 << 8) | (120 << 16);  // RGB(0, 120, 120)
constexpr int32_t kWhiteOffset = 0xFFFFFF;                       // RGB(255, 255, 255)

int32_t GreyRGB(int32_t t) { return t | (t << 8) | (t << 16); }

TessivoStatus Run(cImaging& self, int32_t code, double p = 0) {
  ImagingState& state = self.State();
  return GuardedStatus(state, [&] {
    FilterParams params;
    params.p = p;
    return ApplyNativeFilter(state, code, params);
  });
}

TessivoStatus Run(cImaging& self, int32_t code, const FilterParams& params) {
  ImagingState& state = self.State();
  return GuardedStatus(state, [&] { return ApplyNativeFilter(state, code, params); });
}

TessivoStatus RunPattern(cImaging& self, const Pattern3x3& in, const Pattern3x3& out) {
  uint32_t table[18];
  std::copy(in.begin(), in.end(), table);
  std::copy(out.begin(), out.end(), table + 9);
  FilterParams params;
  params.pattern = table;
  return Run(self, kFilterPattern, params);
}

}  // namespace

TessivoStatus cImaging::FxSharpen() { return Run(*this, kFilterSharpen, 2); }
TessivoStatus cImaging::FxSharpenMore() { return Run(*this, kFilterSharpen, 0); }
TessivoStatus cImaging::FxEdgeEnhance() { return Run(*this, kFilterEdgeEnhance, 1); }
TessivoStatus cImaging::FxBlur() { return Run(*this, kFilterBlur); }
TessivoStatus cImaging::FxSmooth() { return Run(*this, kFilterSmooth); }
TessivoStatus cImaging::FxSoften(int32_t nSoftenValue) { return Run(*this, kFilterSoften, nSoftenValue); }
TessivoStatus cImaging::FxRelief() { return Run(*this, kFilterRelief); }
TessivoStatus cImaging::FxContour() { return Run(*this, kFilterContour, kWhiteOffset); }
TessivoStatus cImaging::FxEmboss() { return Run(*this, kFilterEmboss, kReliefOffset); }
TessivoStatus cImaging::FxEmbossColor(int32_t nRGBColor) { return Run(*this, kFilterEmboss, nRGBColor); }
TessivoStatus cImaging::FxEmbossMore() { return Run(*this, kFilterEmbossMore, kReliefOffset); }
TessivoStatus cImaging::FxEmbossMoreColor(int32_t nRGBColor) { return Run(*this, kFilterEmbossMore, nRGBColor); }
TessivoStatus cImaging::FxEngrave() { return Run(*this, kFilterEngrave, kReliefOffset); }
TessivoStatus cImaging::FxEngraveColor(int32_t nRGBColor) { return Run(*this, kFilterEngrave, nRGBColor); }
TessivoStatus cImaging::FxEngraveMore() { return Run(*this, kFilterEngraveMore, kReliefOffset); }
TessivoStatus cImaging::FxEngraveMoreColor(int32_t nRGBColor) { return Run(*this, kFilterEngraveMore, nRGBColor); }
TessivoStatus cImaging::FxDilate() { return Run(*this, kFilterDilate); }
TessivoStatus cImaging::FxErode() { return Run(*this, kFilterErode); }
TessivoStatus cImaging::FxConnectedContour() { return Run(*this, kFilterConnectedContour); }
TessivoStatus cImaging::FxDespeckle() { return Run(*this, kFilterDespeckle); }
TessivoStatus cImaging::FxDespeckleMore() { return Run(*this, kFilterDespeckleMore); }
TessivoStatus cImaging::FxAqua() { return Run(*this, kFilterAqua); }
TessivoStatus cImaging::FxNegative() { return Run(*this, kFilterNegative); }
TessivoStatus cImaging::FxGrayscale() { return Run(*this, kFilterGrayscale); }

TessivoStatus cImaging::FxSepia() {
  FilterParams params;
  params.f1 = 0.5f;
  params.f2 = 0.25f;
  params.f3 = 1.0f;
  return Run(*this, kFilterColorize, params);
}

TessivoStatus cImaging::FxColorize(int32_t nHue, int32_t nSaturation, int32_t nLuminosity) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    // The hue percentage becomes a position on the 240-step hue circle, read in sextants.
    int64_t h = static_cast<int64_t>(RoundHalfEven(nHue * 2.4));
    if (h >= 201) h -= 240;
    FilterParams params;
    params.f1 = static_cast<float>(h / 40.0);
    params.f2 = static_cast<float>(nSaturation / 100.0);
    params.f3 = static_cast<float>(nLuminosity / 100.0);
    return ApplyNativeFilter(state, kFilterColorize, params);
  });
}

TessivoStatus cImaging::FxFire() { return Run(*this, kFilterFire); }
TessivoStatus cImaging::FxRedEyesCorrection() { return Run(*this, kFilterRedEyes); }
TessivoStatus cImaging::FxScanLine() { return Run(*this, kFilterScanLine); }
TessivoStatus cImaging::FxAddNoise() { return Run(*this, kFilterAddNoise, 50); }
TessivoStatus cImaging::FxDiffuse() { return Run(*this, kFilterDiffuse, 6); }
TessivoStatus cImaging::FxDiffuseMore() { return Run(*this, kFilterDiffuse, 12); }
TessivoStatus cImaging::FxPixelize() { return Run(*this, kFilterPixelize, 3); }

TessivoStatus cImaging::FxBlackNWhiteT(int32_t nThreshold) {
  return Run(*this, kFilterThreshold, GreyRGB(std::clamp(nThreshold, 1, 254)));
}

TessivoStatus cImaging::FxBlackNWhite(int32_t nMode) {
  switch (nMode) {
    case 1: return Run(*this, kFilterThreshold, GreyRGB(180));
    case 2: return Run(*this, kFilterOrderedDither);
    case 3: return Run(*this, kFilterErrorDiffusion, 15);
    default: return State().lastStatus;
  }
}

TessivoStatus cImaging::FxTwirl(int32_t nFactor) { return Run(*this, kFilterTwirl, nFactor); }
TessivoStatus cImaging::FxSwirl(int32_t nFactor) { return Run(*this, kFilterSwirl, nFactor); }
TessivoStatus cImaging::FxMirrorRounded() { return Run(*this, kFilterMirrorRounded); }

TessivoStatus cImaging::FxhWaves(int32_t nWidthWave, int32_t nHeightWave) {
  FilterParams params;
  params.d1 = nWidthWave;
  params.d2 = nHeightWave;
  return Run(*this, kFilterHorizontalWaves, params);
}

TessivoStatus cImaging::FxvWaves(int32_t nWidthWave, int32_t nHeightWave) {
  FilterParams params;
  params.d1 = nWidthWave;
  params.d2 = nHeightWave;
  return Run(*this, kFilterVerticalWaves, params);
}

TessivoStatus cImaging::FxParasite() {
  constexpr uint32_t W = 0xFFFFFFFFu, B = 0xFF000000u;
  return RunPattern(*this, Pattern3x3{W, W, W, W, B, W, W, W, W}, Pattern3x3{W, W, W, W, W, W, W, W, W});
}

TessivoStatus cImaging::FxParasite4() { return Run(*this, kFilterParasite4); }
TessivoStatus cImaging::FxParasite2x2() { return Run(*this, kFilterParasite2x2); }
TessivoStatus cImaging::FxDilate8() { return Run(*this, kFilterDilateBlack, 1); }
TessivoStatus cImaging::FxDilate4() { return Run(*this, kFilterDilateBlack, 2); }
TessivoStatus cImaging::FxDilateV() { return Run(*this, kFilterDilateBlack, 3); }
TessivoStatus cImaging::FxErode4() { return Run(*this, kFilterErodeBlack, 1); }
TessivoStatus cImaging::FxErode8() { return Run(*this, kFilterErodeBlack, 2); }
TessivoStatus cImaging::FxFillHoleV() { return Run(*this, kFilterFillHole, 1); }
TessivoStatus cImaging::FxFillHoleH() { return Run(*this, kFilterFillHole, 2); }

namespace {

TessivoStatus RemoveLines(cImaging& self, int32_t direction, int32_t run) {
  FilterParams params;
  params.p = direction;
  params.d1 = run;
  return Run(self, kFilterRemoveLines, params);
}

}  // namespace

TessivoStatus cImaging::FxRemoveLinesV() { return RemoveLines(*this, 1, 1); }
TessivoStatus cImaging::FxRemoveLinesV2() { return RemoveLines(*this, 1, 2); }
TessivoStatus cImaging::FxRemoveLinesV3() { return RemoveLines(*this, 1, 3); }
TessivoStatus cImaging::FxRemoveLinesH() { return RemoveLines(*this, 2, 1); }
TessivoStatus cImaging::FxRemoveLinesH2() { return RemoveLines(*this, 2, 2); }
TessivoStatus cImaging::FxRemoveLinesH3() { return RemoveLines(*this, 2, 3); }

int32_t cImaging::MatrixCreate3x3x(int32_t n1PixelValue, int32_t n2PixelValue, int32_t n3PixelValue,
                                   int32_t n4PixelValue, int32_t n5PixelValue, int32_t n6PixelValue,
                                   int32_t n7PixelValue, int32_t n8PixelValue, int32_t n9PixelValue) {
  ImagingState& state = State();
  return Guarded(state, int32_t{0}, [&] {
    std::vector<Pattern3x3>& list = state.pixel.matrices;
    list.push_back(Pattern3x3{static_cast<uint32_t>(n1PixelValue), static_cast<uint32_t>(n2PixelValue),
                              static_cast<uint32_t>(n3PixelValue), static_cast<uint32_t>(n4PixelValue),
                              static_cast<uint32_t>(n5PixelValue), static_cast<uint32_t>(n6PixelValue),
                              static_cast<uint32_t>(n7PixelValue), static_cast<uint32_t>(n8PixelValue),
                              static_cast<uint32_t>(n9PixelValue)});
    return static_cast<int32_t>(list.size());
  });
}

TessivoStatus cImaging::MatrixFilter3x3x(int32_t nMatrix3x3xIN, int32_t nMatrix3x3xOUT) {
  const std::vector<Pattern3x3>& list = State().pixel.matrices;
  const int64_t count = static_cast<int64_t>(list.size());
  // Pattern numbers run from 1; any other number leaves everything as it was.
  if (nMatrix3x3xIN < 1 || nMatrix3x3xOUT < 1 || nMatrix3x3xIN > count || nMatrix3x3xOUT > count)
    return State().lastStatus;
  const Pattern3x3 in = list[static_cast<size_t>(nMatrix3x3xIN - 1)];
  const Pattern3x3 out = list[static_cast<size_t>(nMatrix3x3xOUT - 1)];
  return RunPattern(*this, in, out);
}

TessivoStatus cImaging::FloodFill(int32_t nXStart, int32_t nYStart, int32_t nARGBColor) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) return state.Set(failure);
    const TessivoStatus s = FloodFillImage(*image, nXStart, nYStart, nARGBColor);
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

}  // namespace tessivo
