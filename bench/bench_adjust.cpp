// Colour adjustments and the histogram on a 24-megapixel 24-bit image against the nearest
// libvips and ImageMagick operations, every library on one thread, then the time ratios.
// Tessivo is timed through its public methods.
//
//   SetBrightness, SetContrast  <-> vips_linear; MagickBrightnessContrastImage
//   SetGammaCorrection          <-> vips_gamma; MagickGammaImage
//   HistogramGetARGB            <-> vips_hist_find (all bands)
//   ICCSetRGBProfile            <-> vips_icc_transform (sRGB to the Adobe-compatible profile)
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

void RegisterAll() {
  using tessivo::cImaging;
  struct Tessivo {
    const char* name;
    tessivo::TessivoStatus (*run)(cImaging&);
  };
  const Tessivo ours[] = {
      {"SetBrightness", [](cImaging& im) { return im.SetBrightness(10); }},
      {"SetContrast", [](cImaging& im) { return im.SetContrast(10); }},
      {"SetGammaCorrection", [](cImaging& im) { return im.SetGammaCorrection(110); }},
      {"HistogramGetARGB",
       [](cImaging& im) {
         tessivo::SafeArray<int32_t> a, r, g, b;
         return im.HistogramGetARGB(a, r, g, b);
       }},
      {"ICCSetRGBProfile",
       [](cImaging& im) { return im.ICCSetRGBProfile("/usr/share/color/icc/compatibleWithAdobeRGB1998.icc"); }},
  };
  for (const Tessivo& t : ours)
    benchmark::RegisterBenchmark((std::string(t.name) + "/tessivo").c_str(),
                                 [f = t.run](benchmark::State& s) { RunTessivo(s, f); });

  auto linear = [](double a, double b) {
    return [a, b](VipsImage* in, VipsImage** out) {
      return vips_linear1(in, out, a, b, "uchar", TRUE, nullptr);
    };
  };
  benchmark::RegisterBenchmark("SetBrightness/vips", [=](benchmark::State& s) { RunVips(s, linear(1.1, 0)); });
  benchmark::RegisterBenchmark("SetContrast/vips", [=](benchmark::State& s) { RunVips(s, linear(1.1, -12.8)); });
  benchmark::RegisterBenchmark("SetGammaCorrection/vips", [](benchmark::State& s) {
    RunVips(s, [](VipsImage* in, VipsImage** out) { return vips_gamma(in, out, "exponent", 1.1, nullptr); });
  });
  benchmark::RegisterBenchmark("HistogramGetARGB/vips", [](benchmark::State& s) {
    RunVips(s, [](VipsImage* in, VipsImage** out) { return vips_hist_find(in, out, nullptr); });
  });
  benchmark::RegisterBenchmark("ICCSetRGBProfile/vips", [](benchmark::State& s) {
    RunVips(s, [](VipsImage* in, VipsImage** out) {
      return vips_icc_transform(in, out, "/usr/share/color/icc/compatibleWithAdobeRGB1998.icc", "input_profile",
                                "srgb", "intent", VIPS_INTENT_PERCEPTUAL, nullptr);
    });
  });

  benchmark::RegisterBenchmark("SetBrightness/magick", [](benchmark::State& s) {
    RunMagick(s, [](MagickWand* w) { return MagickBrightnessContrastImage(w, 10, 0); });
  });
  benchmark::RegisterBenchmark("SetContrast/magick", [](benchmark::State& s) {
    RunMagick(s, [](MagickWand* w) { return MagickBrightnessContrastImage(w, 0, 10); });
  });
  benchmark::RegisterBenchmark("SetGammaCorrection/magick", [](benchmark::State& s) {
    RunMagick(s, [](MagickWand* w) { return MagickGammaImage(w, 1.1); });
  });
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
    std::printf("\nTime ratios, Tessivo / other (below 1: Tessivo faster; targets: point operations "
                "at most 1.0 against libvips and 0.5 against ImageMagick, the histogram at most 1.0 "
                "against libvips)\n");
    for (const char* name :
         {"SetBrightness", "SetContrast", "SetGammaCorrection", "HistogramGetARGB", "ICCSetRGBProfile"}) {
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
