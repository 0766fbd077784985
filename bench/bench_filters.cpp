// Filters on a 24-megapixel 24-bit image against the nearest libvips and ImageMagick operations,
// every library on one thread, then the time ratios. Tessivo is timed through its public
// methods, so the conversion to the 32-bit working buffer and back is included.
//
//   FxBlur, FxSharpen   <-> 3x3 integer convolution (vips_conv, MagickConvolveImage)
//   FxDespeckle         <-> 3x3 median (vips_median, MagickStatisticImage median 3x3)
//   FxGrayscale         <-> colourspace b-w (vips_colourspace, MagickTransformImageColorspace)
//   FxBlackNWhite(3)    <-> the same grey conversions (no dithering counterpart is that close)
#include <benchmark/benchmark.h>
#include <vips/vips.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tessivo/imaging.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const std::vector<uint8_t>& SourceRGB() {
  static const std::vector<uint8_t> rgb = [] {
    // A smooth gradient with noise: neither flat nor pure noise, like a photograph.
    std::vector<uint8_t> v(static_cast<size_t>(kWidth) * kHeight * 3);
    uint32_t s = 1;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        s = s * 1664525u + 1013904223u;
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
        v[i] = static_cast<uint8_t>((x / 24 + (s >> 28)) & 0xFF);
        v[i + 1] = static_cast<uint8_t>((y / 16 + (s >> 26)) & 0xFF);
        v[i + 2] = static_cast<uint8_t>(((x + y) / 40 + (s >> 27)) & 0xFF);
      }
    return v;
  }();
  return rgb;
}

// --- Tessivo ---------------------------------------------------------------------------------

void RunTessivo(benchmark::State& state, tessivo::TessivoStatus (*filter)(tessivo::cImaging&)) {
  tessivo::cImaging im;
  im.CreateNewImage(kWidth, kHeight, 24);
  tessivo::SafeArray<uint8_t> bytes = tessivo::SafeArray<uint8_t>::FromVector(SourceRGB());
  if (im.SetPixelArrayBytesRGB(bytes, 0, 0, kWidth, kHeight) != tessivo::OK) state.SkipWithError("setup");
  filter(im);  // the engine's buffers are sized once, as in any program that filters repeatedly
  for (auto _ : state) {
    if (filter(im) != tessivo::OK) state.SkipWithError("filter failed");
  }
  im.CloseNativeImage();
}

// --- libvips ---------------------------------------------------------------------------------

VipsImage* VipsSource() {
  static VipsImage* image = vips_image_new_from_memory(SourceRGB().data(), SourceRGB().size(), kWidth, kHeight, 3,
                                                       VIPS_FORMAT_UCHAR);
  return image;
}

VipsImage* VipsMask(std::initializer_list<double> cells, double scale) {
  VipsImage* mask = vips_image_new_matrix(3, 3);
  int i = 0;
  for (double c : cells) *VIPS_MATRIX(mask, i % 3, i / 3) = c, ++i;
  vips_image_set_double(mask, "scale", scale);
  return mask;
}

template <typename Operation>
void RunVips(benchmark::State& state, Operation operation) {
  for (auto _ : state) {
    VipsImage* out = nullptr;
    if (operation(VipsSource(), &out) != 0) {
      state.SkipWithError(vips_error_buffer());
      break;
    }
    size_t size = 0;
    void* memory = vips_image_write_to_memory(out, &size);  // makes libvips compute the pixels
    g_free(memory);
    g_object_unref(out);
  }
}

// --- ImageMagick -----------------------------------------------------------------------------

template <typename Operation>
void RunMagick(benchmark::State& state, Operation operation) {
  for (auto _ : state) {
    state.PauseTiming();
    MagickWand* wand = NewMagickWand();
    MagickConstituteImage(wand, kWidth, kHeight, "RGB", CharPixel, const_cast<uint8_t*>(SourceRGB().data()));
    state.ResumeTiming();
    if (operation(wand) == MagickFalse) state.SkipWithError("ImageMagick operation failed");
    state.PauseTiming();
    DestroyMagickWand(wand);
    state.ResumeTiming();
  }
}

const double kBlurMask[] = {1, 1, 1, 1, 0, 1, 1, 1, 1};
const double kSharpenMask[] = {-2, -2, -2, -2, 26, -2, -2, -2, -2};

std::vector<double> Normalised(const double* cells, double scale) {
  std::vector<double> out(cells, cells + 9);
  for (double& c : out) c /= scale;
  return out;
}

void RegisterAll() {
  using tessivo::cImaging;
  struct Tessivo {
    const char* name;
    tessivo::TessivoStatus (*filter)(cImaging&);
  };
  const Tessivo ours[] = {
      {"FxBlur", [](cImaging& im) { return im.FxBlur(); }},
      {"FxSharpen", [](cImaging& im) { return im.FxSharpen(); }},
      {"FxDespeckle", [](cImaging& im) { return im.FxDespeckle(); }},
      {"FxGrayscale", [](cImaging& im) { return im.FxGrayscale(); }},
      {"FxBlackNWhite3", [](cImaging& im) { return im.FxBlackNWhite(3); }},
  };
  for (const Tessivo& t : ours)
    benchmark::RegisterBenchmark((std::string(t.name) + "/tessivo").c_str(),
                                 [f = t.filter](benchmark::State& s) { RunTessivo(s, f); });

  auto conv = [](const double* cells, double scale) {
    return [cells, scale](VipsImage* in, VipsImage** out) {
      VipsImage* mask = VipsMask({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6], cells[7], cells[8]},
                                 scale);
      const int r = vips_conv(in, out, mask, "precision", VIPS_PRECISION_INTEGER, nullptr);
      g_object_unref(mask);
      return r;
    };
  };
  auto grey = [](VipsImage* in, VipsImage** out) {
    return vips_colourspace(in, out, VIPS_INTERPRETATION_B_W, "source_space", VIPS_INTERPRETATION_sRGB, nullptr);
  };
  auto median = [](VipsImage* in, VipsImage** out) { return vips_median(in, out, 3, nullptr); };
  benchmark::RegisterBenchmark("FxBlur/vips", [=](benchmark::State& s) { RunVips(s, conv(kBlurMask, 8)); });
  benchmark::RegisterBenchmark("FxSharpen/vips", [=](benchmark::State& s) { RunVips(s, conv(kSharpenMask, 10)); });
  benchmark::RegisterBenchmark("FxDespeckle/vips", [=](benchmark::State& s) { RunVips(s, median); });
  benchmark::RegisterBenchmark("FxGrayscale/vips", [=](benchmark::State& s) { RunVips(s, grey); });
  benchmark::RegisterBenchmark("FxBlackNWhite3/vips", [=](benchmark::State& s) { RunVips(s, grey); });

  auto convolve = [](const double* cells, double scale) {
    return [kernel = Normalised(cells, scale)](MagickWand* w) { return MagickConvolveImage(w, 3, kernel.data()); };
  };
  auto toGrey = [](MagickWand* w) { return MagickTransformImageColorspace(w, GRAYColorspace); };
  benchmark::RegisterBenchmark("FxBlur/magick", [=](benchmark::State& s) { RunMagick(s, convolve(kBlurMask, 8)); });
  benchmark::RegisterBenchmark("FxSharpen/magick",
                               [=](benchmark::State& s) { RunMagick(s, convolve(kSharpenMask, 10)); });
  benchmark::RegisterBenchmark("FxDespeckle/magick", [](benchmark::State& s) {
    RunMagick(s, [](MagickWand* w) { return MagickStatisticImage(w, MedianStatistic, 3, 3); });
  });
  benchmark::RegisterBenchmark("FxGrayscale/magick", [=](benchmark::State& s) { RunMagick(s, toGrey); });
  benchmark::RegisterBenchmark("FxBlackNWhite3/magick", [=](benchmark::State& s) { RunMagick(s, toGrey); });
}

// Console output plus each benchmark's mean real time, for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void PrintRatios() const {
    std::printf("\nTime ratios, Tessivo / other (below 1: Tessivo faster; target for 3x3 filters: "
                "at most 1.5 against libvips)\n");
    for (const char* name : {"FxBlur", "FxSharpen", "FxDespeckle", "FxGrayscale", "FxBlackNWhite3"}) {
      auto time = [&](const char* lib) {
        auto it = seconds_.find(std::string(name) + "/" + lib);
        return it == seconds_.end() ? 0.0 : it->second;
      };
      const double ours = time("tessivo"), vips = time("vips"), magick = time("magick");
      if (ours <= 0) continue;  // not run (filtered out or failed)
      auto ratio = [&](double other) { return other > 0 ? std::to_string(ours / other).substr(0, 5) : "-"; };
      std::printf("  %-15s vs libvips %6s   vs ImageMagick %6s\n", name, ratio(vips).c_str(),
                  ratio(magick).c_str());
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  vips_concurrency_set(1);
  vips_cache_set_max(0);
  MagickWandGenesis();
  MagickSetResourceLimit(ThreadResource, 1);
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  MagickWandTerminus();
  vips_shutdown();
  return 0;
}
