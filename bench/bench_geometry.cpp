// Resizing and rotation of a 24-megapixel 24-bit image against libvips and ImageMagick, one
// thread each: resize to 50% and 150% with nearest, bilinear and bicubic, a quarter turn, and
// a 7.5 degree rotation. Prints the time ratios at the end.
#include <benchmark/benchmark.h>
#include <vips/vips.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pixel/geometry/rotate_angle.h"
#include "platform/bitmap.h"
#include "platform/resample/scale_bitmap.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const std::vector<uint8_t>& SourceRGB() {
  static const std::vector<uint8_t> rgb = [] {
    // A smooth gradient with noise, like a photograph.
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

const tessivo::platform::Bitmap& SourceBitmap() {
  static const std::unique_ptr<tessivo::platform::Bitmap> bitmap = [] {
    std::unique_ptr<tessivo::platform::Bitmap> b;
    tessivo::platform::Bitmap::Create(kWidth, kHeight, tessivo::platform::kPixelFormat24bppRGB, b);
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(b->Row(y), SourceRGB().data() + static_cast<size_t>(y) * kWidth * 3, static_cast<size_t>(kWidth) * 3);
    return b;
  }();
  return *bitmap;
}

using tessivo::platform::ResampleFilter;

struct Resize {
  const char* name;
  double factor;
  ResampleFilter ours;
  VipsKernel vips;
  FilterTypes magick;
};

const Resize kResizes[] = {
    {"Resize50/nearest", 0.5, ResampleFilter::Nearest, VIPS_KERNEL_NEAREST, PointFilter},
    {"Resize50/bilinear", 0.5, ResampleFilter::Bilinear, VIPS_KERNEL_LINEAR, TriangleFilter},
    {"Resize50/bicubic", 0.5, ResampleFilter::Bicubic, VIPS_KERNEL_CUBIC, CatromFilter},
    {"Resize150/nearest", 1.5, ResampleFilter::Nearest, VIPS_KERNEL_NEAREST, PointFilter},
    {"Resize150/bilinear", 1.5, ResampleFilter::Bilinear, VIPS_KERNEL_LINEAR, TriangleFilter},
    {"Resize150/bicubic", 1.5, ResampleFilter::Bicubic, VIPS_KERNEL_CUBIC, CatromFilter},
};

void RunVips(benchmark::State& state, int (*operation)(VipsImage*, VipsImage**, const void*), const void* arg) {
  VipsImage* image = vips_image_new_from_memory(SourceRGB().data(), SourceRGB().size(), kWidth, kHeight, 3,
                                                VIPS_FORMAT_UCHAR);
  for (auto _ : state) {
    VipsImage* out = nullptr;
    if (operation(image, &out, arg) != 0) {
      state.SkipWithError(vips_error_buffer());
      break;
    }
    size_t size = 0;
    void* memory = vips_image_write_to_memory(out, &size);  // makes libvips compute the pixels
    g_free(memory);
    g_object_unref(out);
  }
  g_object_unref(image);
}

void RunMagick(benchmark::State& state, MagickBooleanType (*operation)(MagickWand*, const void*), const void* arg) {
  for (auto _ : state) {
    state.PauseTiming();
    MagickWand* wand = NewMagickWand();
    MagickConstituteImage(wand, kWidth, kHeight, "RGB", CharPixel, const_cast<uint8_t*>(SourceRGB().data()));
    state.ResumeTiming();
    if (operation(wand, arg) == MagickFalse) state.SkipWithError("ImageMagick operation failed");
    DestroyMagickWand(wand);
  }
}

void RegisterAll() {
  for (const Resize& r : kResizes) {
    const int w = static_cast<int>(kWidth * r.factor), h = static_cast<int>(kHeight * r.factor);
    benchmark::RegisterBenchmark((std::string(r.name) + "/tessivo").c_str(), [=](benchmark::State& s) {
      for (auto _ : s) {
        std::unique_ptr<tessivo::platform::Bitmap> out;
        if (tessivo::platform::ScaleBitmap(SourceBitmap(), w, h, r.ours, out) != tessivo::platform::Status::Ok)
          s.SkipWithError("resize failed");
      }
    });
    benchmark::RegisterBenchmark((std::string(r.name) + "/vips").c_str(), [&r](benchmark::State& s) {
      RunVips(s, [](VipsImage* in, VipsImage** out, const void* a) {
        const Resize* p = static_cast<const Resize*>(a);
        return vips_resize(in, out, p->factor, "kernel", p->vips, nullptr);
      }, &r);
    });
    // ImageMagick's default resource policy sends a 54-megapixel result to its disk cache
    // (minutes per run), so it is timed on the reductions only.
    if (r.factor > 1.0) continue;
    benchmark::RegisterBenchmark((std::string(r.name) + "/magick").c_str(), [&r](benchmark::State& s) {
      RunMagick(s, [](MagickWand* w, const void* a) {
        const Resize* p = static_cast<const Resize*>(a);
        return MagickResizeImage(w, static_cast<size_t>(kWidth * p->factor), static_cast<size_t>(kHeight * p->factor),
                                 p->magick, 1.0);
      }, &r);
    });
  }
  static const double kAngles[] = {90.0, 7.5};
  static const char* kNames[] = {"Rotate90", "Rotate7.5"};
  for (int i = 0; i < 2; ++i) {
    const double* angle = &kAngles[i];
    benchmark::RegisterBenchmark((std::string(kNames[i]) + "/tessivo").c_str(), [angle](benchmark::State& s) {
      for (auto _ : s) {
        std::unique_ptr<tessivo::platform::Bitmap> out;
        if (tessivo::RotateCopy(SourceBitmap(), static_cast<float>(*angle), 0xFFFFFFFFu, tessivo::RotationCanvas::Fit,
                                out) != tessivo::platform::Status::Ok)
          s.SkipWithError("rotate failed");
      }
    });
    benchmark::RegisterBenchmark((std::string(kNames[i]) + "/vips").c_str(), [angle](benchmark::State& s) {
      RunVips(s, [](VipsImage* in, VipsImage** out, const void* a) {
        const double d = *static_cast<const double*>(a);
        if (d == 90.0) return vips_rot(in, out, VIPS_ANGLE_D90, nullptr);
        return vips_rotate(in, out, d, nullptr);
      }, angle);
    });
    benchmark::RegisterBenchmark((std::string(kNames[i]) + "/magick").c_str(), [angle](benchmark::State& s) {
      RunMagick(s, [](MagickWand* w, const void* a) {
        PixelWand* white = NewPixelWand();
        PixelSetColor(white, "white");
        const MagickBooleanType ok = MagickRotateImage(w, white, *static_cast<const double*>(a));
        DestroyPixelWand(white);
        return ok;
      }, angle);
    });
  }
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
    std::printf("\nTime ratios, Tessivo / other (below 1: Tessivo faster; targets against libvips: at most 1 for "
                "quarter turns, nearest and bilinear, 1.5 for bicubic and arbitrary angles)\n");
    for (const char* name : {"Resize50/nearest", "Resize50/bilinear", "Resize50/bicubic", "Resize150/nearest",
                             "Resize150/bilinear", "Resize150/bicubic", "Rotate90", "Rotate7.5"}) {
      auto time = [&](const char* lib) {
        auto it = seconds_.find(std::string(name) + "/" + lib);
        return it == seconds_.end() ? 0.0 : it->second;
      };
      const double ours = time("tessivo"), vips = time("vips"), magick = time("magick");
      if (ours <= 0) continue;
      auto ratio = [&](double other) { return other > 0 ? std::to_string(ours / other).substr(0, 5) : "-"; };
      std::printf("  %-20s vs libvips %6s   vs ImageMagick %6s\n", name, ratio(vips).c_str(), ratio(magick).c_str());
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
  SourceBitmap();  // built once before timing, not inside the first benchmark
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  MagickWandTerminus();
  vips_shutdown();
  return 0;
}
