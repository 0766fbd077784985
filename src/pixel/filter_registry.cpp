#include "pixel/filter_registry.h"

#include <array>

#include "pixel/filter_codes.h"
#include "pixel/filter_routines.h"

namespace tessivo {
namespace {

constexpr int kCodeLimit = 256;

// The engine's own routines: code, routine, reads a source copy, analysis only, maps colour
// palettes, and for those that may run band by band the rows of context they read.
constexpr FilterDescriptor kOwnFilters[] = {
    {kFilterSharpen, SharpenRoutine, false, false, false},
    {kFilterNegative, NegativeRoutine, false, false, true, 0},
    {kFilterBlur, BlurRoutine, false, false, false, 1},
    {kFilterDiffuse, DiffuseRoutine, false, false, false},
    {kFilterSmooth, SmoothRoutine, false, false, false, 1},
    {kFilterEdgeEnhance, EdgeEnhanceRoutine, false, false, false},
    {kFilterContour, ContourRoutine, true, false, false},
    {kFilterEmboss, EmbossRoutine, false, false, false},
    {kFilterEmbossMore, EmbossMoreRoutine, true, false, false},
    {kFilterEngrave, EngraveRoutine, false, false, false},
    {kFilterEngraveMore, EngraveMoreRoutine, true, false, false},
    {kFilterGrayscale, GrayscaleRoutine, false, false, false, 0},
    {kFilterRelief, ReliefRoutine, true, false, false},
    {kFilterPixelize, PixelizeRoutine, true, false, false},
    {kFilterThreshold, ThresholdRoutine, false, false, false},
    {kFilterOrderedDither, OrderedDitherRoutine, false, false, false},
    {kFilterErrorDiffusion, ErrorDiffusionRoutine, false, false, false},
    {kFilterAqua, AquaRoutine, true, false, false},
    {kFilterDilate, DilateRoutine, true, false, false},
    {kFilterErode, ErodeRoutine, true, false, false},
    {kFilterConnectedContour, ConnectedContourRoutine, true, false, false},
    {kFilterAddNoise, AddNoiseRoutine, false, false, false},
    {kFilterScanLine, ScanLineRoutine, false, false, false},
    {kFilterSoften, SoftenRoutine, false, false, false},
    {kFilterColorize, ColorizeRoutine, true, false, false},
    {kFilterHorizontalWaves, HorizontalWavesRoutine, true, false, false},
    {kFilterVerticalWaves, VerticalWavesRoutine, true, false, false},
    {kFilterRedEyes, RedEyesRoutine, false, false, false},
    {kFilterPattern, PatternRoutine, true, false, false},
    {kFilterFire, FireRoutine, false, false, false},
    {kFilterTwirl, TwirlRoutine, true, false, false},
    {kFilterMirrorRounded, MirrorRoundedRoutine, true, false, false},
    {kFilterSwirl, SwirlRoutine, true, false, false},
    {kFilterDespeckle, DespeckleRoutine, true, false, false, 1},
    {kFilterDilateBlack, DilateBlackRoutine, true, false, false},
    {kFilterDespeckleMore, DespeckleMoreRoutine, true, false, false, 2},
    {kFilterParasite4, Parasite4Routine, true, false, false},
    {kFilterErodeBlack, ErodeBlackRoutine, true, false, false},
    {kFilterFillHole, FillHoleRoutine, true, false, false},
    {kFilterMarkTransparent, MarkTransparentRoutine, false, false, false},
    {kFilterRemoveLines, RemoveLinesRoutine, true, false, false},
    {kFilterParasite2x2, Parasite2x2Routine, true, false, false},
};

// Built on first use, so registrations from other files' static objects find it ready
// whatever the order in which the library's files are initialised.
std::array<FilterDescriptor, kCodeLimit>& Table() {
  static std::array<FilterDescriptor, kCodeLimit> table = [] {
    std::array<FilterDescriptor, kCodeLimit> t{};
    for (const FilterDescriptor& f : kOwnFilters) t[static_cast<size_t>(f.code)] = f;
    return t;
  }();
  return table;
}

}  // namespace

const FilterDescriptor* FindFilter(int32_t code) {
  if (code < 0 || code >= kCodeLimit) return nullptr;
  const FilterDescriptor& f = Table()[static_cast<size_t>(code)];
  return f.routine != nullptr ? &f : nullptr;
}

void RegisterFilter(const FilterDescriptor& filter) {
  if (filter.code < 0 || filter.code >= kCodeLimit || filter.routine == nullptr) return;
  Table()[static_cast<size_t>(filter.code)] = filter;
}

}  // namespace tessivo
