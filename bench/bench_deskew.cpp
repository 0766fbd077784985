// Skew measurement and deskew of an A4 page scanned at 300 dpi (2480 x 3508), 1-bit and 8-bit
// grey, against ImageMagick's deskew (threshold 40%, one thread) and Leptonica's pixFindSkew
// (which measures only; the 8-bit page is thresholded first, in the timing). The page holds text-like
// lines turned by a known angle; the angle errors and the time ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <leptonica/allheaders.h>
#include <wand/MagickWand.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "pixel/geometry/auto_deskew.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace {

using tessivo::platform::Bitmap;

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;
constexpr double kSkew = 3.3;  // degrees, lines running down to the right

// Grey bytes of the page: 10-pixel-high words on lines 50 pixels apart, turned by kSkew about
// the centre; each pixel asks whether its place on the unturned page is ink.
const std::vector<uint8_t>& PageGrey() {
  static const std::vector<uint8_t> grey = [] {
    const int top = 300, pitch = 50, bar = 10, margin = 250, lines = (kHeight - 2 * top) / pitch;
    std::vector<std::vector<uint8_t>> ink(static_cast<size_t>(lines), std::vector<uint8_t>(kWidth, 0));
    uint32_t seed = 7;
    for (auto& row : ink)
      for (int u = margin; u < kWidth - margin;) {
        seed = seed * 1664525u + 1013904223u;
        const int word = 20 + static_cast<int>((seed >> 8) % 120);
        for (int k = u; k < std::min(u + word, kWidth - margin); ++k) row[static_cast<size_t>(k)] = 1;
        u += word + 18;
      }
    std::vector<uint8_t> v(static_cast<size_t>(kWidth) * kHeight);
    const double a = kSkew * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double dx = x + 0.5 - kWidth / 2.0, dy = y + 0.5 - kHeight / 2.0;
        const double uu = kWidth / 2.0 + dx * c + dy * s, vv = kHeight / 2.0 - dx * s + dy * c - top;
        bool dark = false;
        if (vv >= 0 && uu >= 0 && uu < kWidth) {
          const int line = static_cast<int>(vv) / pitch;
          dark = line < lines && std::fmod(vv, pitch) < bar && ink[static_cast<size_t>(line)][static_cast<size_t>(uu)];
        }
        v[static_cast<size_t>(y) * kWidth + x] = dark ? 20 : 245;
      }
    return v;
  }();
  return grey;
}

// The page as a bitmap of the toolkit: 8-bit grey, or 1-bit black and white.
std::unique_ptr<Bitmap> PageBitmap(bool bitonal) {
  std::unique_ptr<Bitmap> grey;
  Bitmap::Create(kWidth, kHeight, tessivo::platform::kPixelFormat8bppIndexed, grey);
  tessivo::platform::Palette p = grey->GetPalette();
  p.entries.resize(256);
  for (uint32_t i = 0; i < 256; ++i) p.entries[i] = 0xFF000000u | i * 0x010101u;
  grey->SetPalette(p);
  for (int y = 0; y < kHeight; ++y)
    std::copy_n(PageGrey().data() + static_cast<size_t>(y) * kWidth, kWidth, grey->Row(y));
  if (!bitonal) return grey;
  std::unique_ptr<Bitmap> bw;
  grey->CloneArea({0, 0, kWidth, kHeight}, tessivo::platform::kPixelFormat1bppIndexed, bw);
  return bw;
}

const Bitmap& Page(bool bitonal) {
  static const std::unique_ptr<Bitmap> pages[2] = {PageBitmap(false), PageBitmap(true)};
  return *pages[bitonal ? 1 : 0];
}

std::map<std::string, double> g_angles;  // measured angle per benchmark

void MeasureTessivo(benchmark::State& state, bool bitonal) {
  const std::string name = std::string("GetSkewAngle/") + (bitonal ? "1bit" : "8bit") + "/tessivo";
  double angle = 0;
  for (auto _ : state) {
    tessivo::cAutoDeskew deskew;
    std::unique_ptr<Bitmap> copy;
    state.PauseTiming();
    Page(bitonal).Clone(copy);
    state.ResumeTiming();
    if (deskew.Measure(*copy) != tessivo::platform::Status::Ok) state.SkipWithError("measure failed");
    angle = deskew.SkewAngle();
  }
  g_angles[name] = angle;
}

void DeskewTessivo(benchmark::State& state, bool bitonal) {
  tessivo::cImaging im;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<Bitmap> copy;
    Page(bitonal).Clone(copy);
    int32_t id = 0;
    tessivo::RegisterImage(id, std::move(copy), "", "", tessivo::OriginMemory);
    im.SetNativeImage(id);
    state.ResumeTiming();
    if (im.AutoDeskew() != tessivo::OK) state.SkipWithError("deskew failed");
    state.PauseTiming();
    im.CloseImage(id);
    state.ResumeTiming();
  }
}

MagickWand* MagickPage(bool bitonal) {
  MagickWand* wand = NewMagickWand();
  MagickConstituteImage(wand, kWidth, kHeight, "I", CharPixel, const_cast<uint8_t*>(PageGrey().data()));
  if (bitonal) {
    MagickSetImageType(wand, BilevelType);
    MagickSetImageDepth(wand, 1);
  }
  return wand;
}

void DeskewMagick(benchmark::State& state, bool bitonal) {
  const std::string name = std::string("Deskew/") + (bitonal ? "1bit" : "8bit") + "/magick";
  double angle = NAN;
  for (auto _ : state) {
    state.PauseTiming();
    MagickWand* wand = MagickPage(bitonal);
    state.ResumeTiming();
    if (MagickDeskewImage(wand, 0.4 * QuantumRange) == MagickFalse) state.SkipWithError("ImageMagick deskew failed");
    state.PauseTiming();
    if (char* a = MagickGetImageArtifact(wand, "deskew:angle")) {
      angle = std::atof(a);
      MagickRelinquishMemory(a);
    }
    DestroyMagickWand(wand);
    state.ResumeTiming();
  }
  g_angles[name] = angle;
}

// The page as Leptonica's 8-bit image, made once outside the timing.
PIX* LeptonicaGrey() {
  static PIX* pix = [] {
    PIX* p = pixCreate(kWidth, kHeight, 8);
    l_uint32* data = pixGetData(p);
    const l_int32 wpl = pixGetWpl(p);
    for (int y = 0; y < kHeight; ++y) {
      l_uint32* line = data + static_cast<size_t>(y) * wpl;
      for (int x = 0; x < kWidth; ++x) SET_DATA_BYTE(line, x, PageGrey()[static_cast<size_t>(y) * kWidth + x]);
    }
    return p;
  }();
  return pix;
}

void MeasureLeptonica(benchmark::State& state, bool bitonal) {
  static PIX* binary = pixConvertTo1(LeptonicaGrey(), 128);
  const std::string name = std::string("GetSkewAngle/") + (bitonal ? "1bit" : "8bit") + "/leptonica";
  float angle = NAN, confidence = 0;
  for (auto _ : state) {
    if (bitonal) {
      if (pixFindSkew(binary, &angle, &confidence) != 0) state.SkipWithError("pixFindSkew failed");
    } else {
      PIX* b = pixConvertTo1(LeptonicaGrey(), 128);
      if (!b || pixFindSkew(b, &angle, &confidence) != 0) state.SkipWithError("pixFindSkew failed");
      pixDestroy(&b);
    }
  }
  g_angles[name] = angle;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void PrintSummary() const {
    auto time = [&](const std::string& name) {
      auto it = seconds_.find(name);
      return it == seconds_.end() ? 0.0 : it->second;
    };
    std::printf("\nA4 300 dpi page skewed by %.2f degrees\n", kSkew);
    for (const char* kind : {"1bit", "8bit"}) {
      const std::string k = kind;
      const double measure = time("GetSkewAngle/" + k + "/tessivo"), deskew = time("AutoDeskew/" + k + "/tessivo");
      const double magick = time("Deskew/" + k + "/magick");
      auto angle = [&](const std::string& name) {
        auto it = g_angles.find(name);
        return it == g_angles.end() ? NAN : it->second;
      };
      const double ours = angle("GetSkewAngle/" + k + "/tessivo"), theirs = angle("Deskew/" + k + "/magick");
      std::printf("  %s: angle error tessivo %.3f, ImageMagick %s\n", kind, std::fabs(ours - kSkew),
                  std::isnan(theirs) ? "- (angle not reported)"
                                     : std::to_string(std::fabs(std::fabs(theirs) - kSkew)).substr(0, 5).c_str());
      if (magick > 0)
        std::printf("  %s: time ratio tessivo / ImageMagick: GetSkewAngle %.3f, AutoDeskew %.3f\n", kind,
                    measure / magick, deskew / magick);
      const double leptonica = time("GetSkewAngle/" + k + "/leptonica");
      const double leptonicaAngle = angle("GetSkewAngle/" + k + "/leptonica");
      if (leptonica > 0)
        std::printf("  %s: GetSkewAngle time ratio tessivo / Leptonica %.3f (target at most 1); Leptonica angle "
                    "error %.3f\n",
                    kind, measure / leptonica, std::fabs(std::fabs(leptonicaAngle) - kSkew));
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  MagickWandGenesis();
  MagickSetResourceLimit(ThreadResource, 1);
  Page(false);  // built once before timing
  Page(true);
  LeptonicaGrey();
  for (bool bitonal : {true, false}) {
    const std::string kind = bitonal ? "1bit" : "8bit";
    benchmark::RegisterBenchmark(("GetSkewAngle/" + kind + "/tessivo").c_str(),
                                 [bitonal](benchmark::State& s) { MeasureTessivo(s, bitonal); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("AutoDeskew/" + kind + "/tessivo").c_str(),
                                 [bitonal](benchmark::State& s) { DeskewTessivo(s, bitonal); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("GetSkewAngle/" + kind + "/leptonica").c_str(),
                                 [bitonal](benchmark::State& s) { MeasureLeptonica(s, bitonal); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Deskew/" + kind + "/magick").c_str(),
                                 [bitonal](benchmark::State& s) { DeskewMagick(s, bitonal); })
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  MagickWandTerminus();
  return 0;
}
