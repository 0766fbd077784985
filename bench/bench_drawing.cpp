// Drawing on a 6000 x 4000 24-bit image, set against ImageMagick's DrawingWand and libvips'
// draw operations in the same run.
// Shapes: 10,000 1-px lines (aliased and anti-aliased), 2,000 filled ellipses, polygons,
// rectangles and circles of 20..80 px at the same places for each library (libvips has no
// ellipses or polygons). Small primitives are also drawn on a 1000 x 1000 canvas and on an
// 8-bit indexed one, to show that a primitive costs what it covers, not what the image holds.
// Image drawing: 200 draws of a 256 x 256 image enlarged to 512 x 512 (bilinear), spread over
// the canvas, against DrawComposite of the same image at the same places. Prints the time
// ratios at the end. Text: 1,000 anti-aliased 12-px strings in Liberation Sans spread over the
// canvas, against DrawAnnotation with the same face file and size.
#include <benchmark/benchmark.h>
#include <vips/vips.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ratio_reporter.h"
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


// ---- Shapes ----------------------------------------------------------------------------------

constexpr int kLines = 10000, kShapes = 2000;
constexpr uint32_t kInk = 0xFF2060A0u;  // opaque, not black or white
const double kVipsInk[3] = {0x20, 0x60, 0xA0};

struct Segment {
  int32_t x1, y1, x2, y2;
};
struct Box {
  int32_t x, y, w, h;
};

// Lines up to 100 px each way from a start spread over the canvas.
Segment LinePlace(int i, int32_t w, int32_t h) {
  Segment s;
  s.x1 = 100 + (i * 7919) % (w - 200);
  s.y1 = 100 + (i * 6007) % (h - 200);
  s.x2 = s.x1 + (i * 37) % 201 - 100;
  s.y2 = s.y1 + (i * 53) % 201 - 100;
  return s;
}

Box ShapePlace(int i, int32_t w, int32_t h) {
  Box b;
  b.w = 20 + (i * 13) % 61;
  b.h = 20 + (i * 29) % 61;
  b.x = (i * 7919) % (w - b.w);
  b.y = (i * 6007) % (h - b.h);
  return b;
}

// A convex pentagon inside the box.
std::vector<int32_t> Pentagon(const Box& b) {
  return {b.x + b.w / 2, b.y, b.x + b.w, b.y + b.h * 2 / 5, b.x + b.w * 4 / 5, b.y + b.h,
          b.x + b.w / 5, b.y + b.h, b.x,  b.y + b.h * 2 / 5};
}

enum class Shape { Line, FillEllipse, FillPolygon, FillRectangle, FillCircle };

int ShapeCount(Shape shape) { return shape == Shape::Line ? kLines : kShapes; }

tessivo::TessivoStatus DrawTessivo(tessivo::cImaging& im, Shape shape, int i, int32_t w, int32_t h, bool aa) {
  const int32_t ink = static_cast<int32_t>(kInk);
  if (shape == Shape::Line) {
    const Segment s = LinePlace(i, w, h);
    return im.DrawLine(s.x1, s.y1, s.x2, s.y2, 1, ink, aa);
  }
  const Box b = ShapePlace(i, w, h);
  switch (shape) {
    case Shape::FillEllipse:
      return im.DrawFillEllipse(b.x, b.y, b.w, b.h, ink, aa);
    case Shape::FillPolygon: {
      return im.DrawFillPolygon(tessivo::SafeArray<int32_t>::FromVector(Pentagon(b)), tessivo::FillModeAlternate, ink, aa);
    }
    case Shape::FillRectangle:
      return im.DrawFillRectangle(b.x, b.y, b.w, b.h, ink, aa);
    default:
      return im.DrawFillCircle(b.x, b.y, b.w, ink, aa);
  }
}

std::unique_ptr<pf::Bitmap> Canvas(int32_t w, int32_t h, pf::PixelFormat format) {
  if (format == pf::kPixelFormat24bppRGB) return Ramp(w, h);
  std::unique_ptr<pf::Bitmap> b;
  pf::Bitmap::Create(w, h, format, b);
  for (int32_t y = 0; y < h; ++y) std::memset(b->Row(y), (y / 16) & 0xFF, static_cast<size_t>(b->Stride()));
  return b;
}

void ShapesTessivo(benchmark::State& state, Shape shape, bool aa, int32_t w, int32_t h, pf::PixelFormat format) {
  tessivo::cImaging im;
  int32_t canvas = 0;
  tessivo::RegisterImage(canvas, Canvas(w, h, format), "", "", tessivo::OriginMemory);
  im.SetNativeImage(canvas);
  for (auto _ : state)
    for (int i = 0; i < ShapeCount(shape); ++i)
      if (DrawTessivo(im, shape, i, w, h, aa) != tessivo::OK) {
        state.SkipWithError("drawing failed");
        break;
      }
  tessivo::ReleaseImageEntry(canvas);
}

void ShapesMagick(benchmark::State& state, Shape shape, bool aa) {
  MagickWand* canvas = RampWand(kCanvasWidth, kCanvasHeight);
  PixelWand* ink = NewPixelWand();
  PixelSetColor(ink, "#2060A0");
  for (auto _ : state) {
    DrawingWand* draw = NewDrawingWand();
    DrawSetStrokeAntialias(draw, aa ? MagickTrue : MagickFalse);
    if (shape == Shape::Line) {
      DrawSetStrokeColor(draw, ink);
      DrawSetStrokeWidth(draw, 1);
    } else {
      DrawSetFillColor(draw, ink);
    }
    for (int i = 0; i < ShapeCount(shape); ++i) {
      if (shape == Shape::Line) {
        const Segment s = LinePlace(i, kCanvasWidth, kCanvasHeight);
        DrawLine(draw, s.x1, s.y1, s.x2, s.y2);
        continue;
      }
      const Box b = ShapePlace(i, kCanvasWidth, kCanvasHeight);
      if (shape == Shape::FillEllipse) {
        DrawEllipse(draw, b.x + b.w / 2.0, b.y + b.h / 2.0, b.w / 2.0, b.h / 2.0, 0, 360);
      } else if (shape == Shape::FillPolygon) {
        const std::vector<int32_t> p = Pentagon(b);
        PointInfo points[5];
        for (int k = 0; k < 5; ++k) points[k] = PointInfo{static_cast<double>(p[2 * k]), static_cast<double>(p[2 * k + 1])};
        DrawPolygon(draw, 5, points);
      } else if (shape == Shape::FillRectangle) {
        DrawRectangle(draw, b.x, b.y, b.x + b.w - 1, b.y + b.h - 1);
      } else {
        DrawCircle(draw, b.x + b.w / 2.0, b.y + b.w / 2.0, b.x + b.w / 2.0, b.y);
      }
    }
    if (MagickDrawImage(canvas, draw) == MagickFalse) state.SkipWithError("MagickDrawImage failed");
    DestroyDrawingWand(draw);
  }
  DestroyPixelWand(ink);
  DestroyMagickWand(canvas);
}

// libvips draws in place on a memory image; lines are aliased there.
void ShapesVips(benchmark::State& state, Shape shape) {
  const std::unique_ptr<pf::Bitmap> ramp = Ramp(kCanvasWidth, kCanvasHeight);
  std::vector<uint8_t> rgb(static_cast<size_t>(kCanvasWidth) * kCanvasHeight * 3);
  for (int32_t y = 0; y < kCanvasHeight; ++y)
    std::memcpy(&rgb[static_cast<size_t>(y) * kCanvasWidth * 3], ramp->Row(y), static_cast<size_t>(kCanvasWidth) * 3);
  VipsImage* canvas = vips_image_new_from_memory_copy(rgb.data(), rgb.size(), kCanvasWidth, kCanvasHeight, 3, VIPS_FORMAT_UCHAR);
  double ink[3] = {kVipsInk[0], kVipsInk[1], kVipsInk[2]};
  for (auto _ : state)
    for (int i = 0; i < ShapeCount(shape); ++i) {
      int failed = 0;
      if (shape == Shape::Line) {
        const Segment s = LinePlace(i, kCanvasWidth, kCanvasHeight);
        failed = vips_draw_line(canvas, ink, 3, s.x1, s.y1, s.x2, s.y2, nullptr);
      } else {
        const Box b = ShapePlace(i, kCanvasWidth, kCanvasHeight);
        if (shape == Shape::FillRectangle)
          failed = vips_draw_rect(canvas, ink, 3, b.x, b.y, b.w, b.h, "fill", TRUE, nullptr);
        else
          failed = vips_draw_circle(canvas, ink, 3, b.x + b.w / 2, b.y + b.w / 2, b.w / 2, "fill", TRUE, nullptr);
      }
      if (failed) {
        state.SkipWithError(vips_error_buffer());
        break;
      }
    }
  g_object_unref(canvas);
}

void RegisterShapes() {
  struct Row {
    const char* name;
    Shape shape;
    bool aa, vips;
  };
  const Row rows[] = {{"Lines1px", Shape::Line, false, true},          {"Lines1pxAA", Shape::Line, true, false},
                      {"FillEllipses", Shape::FillEllipse, false, false}, {"FillPolygons", Shape::FillPolygon, false, false},
                      {"FillRectangles", Shape::FillRectangle, false, true}, {"FillCircles", Shape::FillCircle, false, true}};
  for (const Row& r : rows) {
    const std::string name = r.name;
    benchmark::RegisterBenchmark((name + "/tessivo").c_str(), ShapesTessivo, r.shape, r.aa, kCanvasWidth, kCanvasHeight,
                                 pf::kPixelFormat24bppRGB)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/magick").c_str(), ShapesMagick, r.shape, r.aa)->Unit(benchmark::kMillisecond);
    if (r.vips) benchmark::RegisterBenchmark((name + "/vips").c_str(), ShapesVips, r.shape)->Unit(benchmark::kMillisecond);
  }
  // The same small primitives on a 1-megapixel canvas and on an 8-bit indexed 24-megapixel one.
  for (const Row& r : {rows[0], rows[4]}) {
    const std::string name = r.name;
    benchmark::RegisterBenchmark((name + "/tessivo-1MP").c_str(), ShapesTessivo, r.shape, r.aa, 1000, 1000,
                                 pf::kPixelFormat24bppRGB)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/tessivo-8bpp").c_str(), ShapesTessivo, r.shape, r.aa, kCanvasWidth,
                                 kCanvasHeight, pf::kPixelFormat8bppIndexed)->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0])) return 1;
  vips_concurrency_set(1);
  MagickWandGenesis();
  MagickSetResourceLimit(ThreadResource, 1);
  RegisterShapes();
  RegisterImageDrawing();
  RegisterText();
  benchmark::Initialize(&argc, argv);
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  using Pairs = tessivo::bench::RatioReporter::Pairs;
  reporter.PrintRatios("Time ratios, Tessivo / ImageMagick (target at most 1)",
                       Pairs{{"Lines1px/tessivo", "Lines1px/magick"},
                             {"Lines1pxAA/tessivo", "Lines1pxAA/magick"},
                             {"FillEllipses/tessivo", "FillEllipses/magick"},
                             {"FillPolygons/tessivo", "FillPolygons/magick"},
                             {"FillRectangles/tessivo", "FillRectangles/magick"},
                             {"FillCircles/tessivo", "FillCircles/magick"},
                             {"DrawImage256to512x200/tessivo", "DrawImage256to512x200/magick"},
                             {"Text12pxx1000/tessivo", "Text12pxx1000/magick"}},
                       1.0);
  reporter.PrintRatios("Time ratios, Tessivo / libvips (target at most 1.5)",
                       Pairs{{"Lines1px/tessivo", "Lines1px/vips"},
                             {"FillRectangles/tessivo", "FillRectangles/vips"},
                             {"FillCircles/tessivo", "FillCircles/vips"}},
                       1.5);
  reporter.PrintRatios("24 MP against 1 MP (target at most 1.2)",
                       Pairs{{"Lines1px/tessivo", "Lines1px/tessivo-1MP"},
                             {"FillRectangles/tessivo", "FillRectangles/tessivo-1MP"}},
                       1.2);
  reporter.PrintRatios("8-bit indexed against 24-bit (target at most 2)",
                       Pairs{{"Lines1px/tessivo-8bpp", "Lines1px/tessivo"},
                             {"FillRectangles/tessivo-8bpp", "FillRectangles/tessivo"}},
                       2.0);
  MagickWandTerminus();
  vips_shutdown();
  return 0;
}
