// Drawing on a 6000 x 4000 24-bit image, set against ImageMagick's DrawingWand in the same run.
// Image drawing: 200 draws of a 256 x 256 image enlarged to 512 x 512 (bilinear), spread over
// the canvas, against DrawComposite of the same image at the same places. Prints the time
// ratios at the end. Text: 1,000 anti-aliased 12-px strings in Liberation Sans spread over the
// canvas, against DrawAnnotation with the same face file and size.
#include <benchmark/benchmark.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace {

namespace pf = tessivo::platform;

constexpr int32_t kCanvasWidth = 6000, kCanvasHeight = 4000;
constexpr int32_t kTileSide = 256, kDrawnSide = 512, kDraws = 200;

// A 24-bit bitmap with a colour ramp, so no draw is of a flat colour.
std::unique_ptr<pf::Bitmap> Ramp(int32_t w, int32_t h) {
  std::unique_ptr<pf::Bitmap> b;
  pf::Bitmap::Create(w, h, pf::kPixelFormat24bppRGB, b);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b->Row(y);
    for (int32_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<uint8_t>(x * 7);
      row[3 * x + 1] = static_cast<uint8_t>(y * 3);
      row[3 * x + 2] = static_cast<uint8_t>((x + y) * 5);
    }
  }
  return b;
}

// Where draw i lands: a grid over the canvas, a little off whole tile positions.
void ImageDrawPlace(int i, int32_t& x, int32_t& y) {
  x = (i * 523) % (kCanvasWidth - kDrawnSide);
  y = (i * 331) % (kCanvasHeight - kDrawnSide);
}

void ImageDrawTessivo(benchmark::State& state) {
  tessivo::cImaging im;
  int32_t canvas = 0, tile = 0;
  tessivo::RegisterImage(canvas, Ramp(kCanvasWidth, kCanvasHeight), "", "", tessivo::OriginMemory);
  tessivo::RegisterImage(tile, Ramp(kTileSide, kTileSide), "", "", tessivo::OriginMemory);
  im.SetNativeImage(canvas);
  for (auto _ : state) {
    for (int i = 0; i < kDraws; ++i) {
      int32_t x = 0, y = 0;
      ImageDrawPlace(i, x, y);
      if (im.DrawImage(tile, x, y, kDrawnSide, kDrawnSide, tessivo::InterpolationModeBilinear) != tessivo::OK) {
        state.SkipWithError("DrawImage failed");
        break;
      }
    }
  }
  tessivo::ReleaseImageEntry(tile);
  tessivo::ReleaseImageEntry(canvas);
}

MagickWand* RampWand(int32_t w, int32_t h) {
  const std::unique_ptr<pf::Bitmap> b = Ramp(w, h);
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int32_t y = 0; y < h; ++y) std::memcpy(&rgb[static_cast<size_t>(y) * w * 3], b->Row(y), static_cast<size_t>(w) * 3);
  MagickWand* wand = NewMagickWand();
  MagickConstituteImage(wand, static_cast<size_t>(w), static_cast<size_t>(h), "BGR", CharPixel, rgb.data());
  return wand;
}

void ImageDrawMagick(benchmark::State& state) {
  MagickWand* canvas = RampWand(kCanvasWidth, kCanvasHeight);
  MagickWand* tile = RampWand(kTileSide, kTileSide);
  for (auto _ : state) {
    DrawingWand* draw = NewDrawingWand();
    for (int i = 0; i < kDraws; ++i) {
      int32_t x = 0, y = 0;
      ImageDrawPlace(i, x, y);
      DrawComposite(draw, OverCompositeOp, x, y, kDrawnSide, kDrawnSide, tile);
    }
    if (MagickDrawImage(canvas, draw) == MagickFalse) state.SkipWithError("MagickDrawImage failed");
    DestroyDrawingWand(draw);
  }
  DestroyMagickWand(tile);
  DestroyMagickWand(canvas);
}

void RegisterImageDrawing() {
  benchmark::RegisterBenchmark("DrawImage256to512x200/tessivo", ImageDrawTessivo)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("DrawImage256to512x200/magick", ImageDrawMagick)->Unit(benchmark::kMillisecond);
}

constexpr int kTexts = 1000;
constexpr const char* kText = "Tessivo text 12";
constexpr const char* kTextFaceFile = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

void TextPlace(int i, int32_t& x, int32_t& y) {
  x = (i * 787) % (kCanvasWidth - 200);
  y = (i * 409) % (kCanvasHeight - 20);
}

void TextTessivo(benchmark::State& state) {
  tessivo::cImaging im;
  int32_t canvas = 0;
  tessivo::RegisterImage(canvas, Ramp(kCanvasWidth, kCanvasHeight), "", "", tessivo::OriginMemory);
  im.SetNativeImage(canvas);
  im.FontSetUnit(tessivo::UnitPixel);
  for (auto _ : state) {
    for (int i = 0; i < kTexts; ++i) {
      int32_t x = 0, y = 0;
      TextPlace(i, x, y);
      if (im.DrawText(kText, x, y, 12, static_cast<int32_t>(0xFF000000u), "Liberation Sans",
                      tessivo::FontStyleRegular, true) != tessivo::OK) {
        state.SkipWithError("DrawText failed");
        break;
      }
    }
  }
  tessivo::ReleaseImageEntry(canvas);
}

void TextMagick(benchmark::State& state) {
  MagickWand* canvas = RampWand(kCanvasWidth, kCanvasHeight);
  PixelWand* black = NewPixelWand();
  PixelSetColor(black, "#000000");
  for (auto _ : state) {
    DrawingWand* draw = NewDrawingWand();
    DrawSetFont(draw, kTextFaceFile);
    DrawSetFontSize(draw, 12);
    DrawSetTextAntialias(draw, MagickTrue);
    DrawSetFillColor(draw, black);
    for (int i = 0; i < kTexts; ++i) {
      int32_t x = 0, y = 0;
      TextPlace(i, x, y);
      // The annotation's y is its baseline: the Windows ascent of the face lies above it.
      DrawAnnotation(draw, x, y + 11, reinterpret_cast<const unsigned char*>(kText));
    }
    if (MagickDrawImage(canvas, draw) == MagickFalse) state.SkipWithError("MagickDrawImage failed");
    DestroyDrawingWand(draw);
  }
  DestroyPixelWand(black);
  DestroyMagickWand(canvas);
}

void RegisterText() {
  benchmark::RegisterBenchmark("Text12pxx1000/tessivo", TextTessivo)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Text12pxx1000/magick", TextMagick)->Unit(benchmark::kMillisecond);
}

// Console output plus each benchmark's mean real time, for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void PrintRatios(const std::vector<const char*>& names) const {
    std::printf("\nTime ratios, Tessivo / ImageMagick (below 1: Tessivo faster; target at most 1)\n");
    for (const char* name : names) {
      auto time = [&](const char* lib) {
        auto it = seconds_.find(std::string(name) + "/" + lib);
        return it == seconds_.end() ? 0.0 : it->second;
      };
      const double ours = time("tessivo"), magick = time("magick");
      if (ours <= 0 || magick <= 0) continue;
      std::printf("  %-28s %6.3f\n", name, ours / magick);
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  MagickWandGenesis();
  MagickSetResourceLimit(ThreadResource, 1);
  RegisterImageDrawing();
  RegisterText();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios({"DrawImage256to512x200", "Text12pxx1000"});
  MagickWandTerminus();
  return 0;
}
