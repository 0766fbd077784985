// The filter engine: zones, write-back per pixel format, the palette and packed-bit paths,
// failures that leave the image alone, per-thread buffers and routines added by other modules.
#include <gtest/gtest.h>

#include <thread>

#include "pixel/apply_filter.h"
#include "pixel/filter_codes.h"
#include "pixel/filter_registry.h"
#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;
using Fx = TessivoStatus (cImaging::*)();

// Every filter without parameters, and those with one, bound to a typical value.
std::vector<std::pair<const char*, std::function<TessivoStatus(cImaging&)>>> AllFilters() {
  std::vector<std::pair<const char*, std::function<TessivoStatus(cImaging&)>>> all;
  const std::pair<const char*, Fx> plain[] = {
      {"Sharpen", &cImaging::FxSharpen},       {"SharpenMore", &cImaging::FxSharpenMore},
      {"EdgeEnhance", &cImaging::FxEdgeEnhance}, {"Blur", &cImaging::FxBlur},
      {"Smooth", &cImaging::FxSmooth},         {"Relief", &cImaging::FxRelief},
      {"Contour", &cImaging::FxContour},       {"Emboss", &cImaging::FxEmboss},
      {"EmbossMore", &cImaging::FxEmbossMore}, {"Engrave", &cImaging::FxEngrave},
      {"EngraveMore", &cImaging::FxEngraveMore}, {"Dilate", &cImaging::FxDilate},
      {"Erode", &cImaging::FxErode},           {"ConnectedContour", &cImaging::FxConnectedContour},
      {"Despeckle", &cImaging::FxDespeckle},   {"DespeckleMore", &cImaging::FxDespeckleMore},
      {"Aqua", &cImaging::FxAqua},             {"Negative", &cImaging::FxNegative},
      {"Grayscale", &cImaging::FxGrayscale},   {"Sepia", &cImaging::FxSepia},
      {"Fire", &cImaging::FxFire},             {"RedEyes", &cImaging::FxRedEyesCorrection},
      {"ScanLine", &cImaging::FxScanLine},     {"AddNoise", &cImaging::FxAddNoise},
      {"Diffuse", &cImaging::FxDiffuse},       {"DiffuseMore", &cImaging::FxDiffuseMore},
      {"Pixelize", &cImaging::FxPixelize},     {"MirrorRounded", &cImaging::FxMirrorRounded},
      {"Parasite", &cImaging::FxParasite},     {"Parasite4", &cImaging::FxParasite4},
      {"Parasite2x2", &cImaging::FxParasite2x2}, {"Dilate8", &cImaging::FxDilate8},
      {"Dilate4", &cImaging::FxDilate4},       {"DilateV", &cImaging::FxDilateV},
      {"Erode4", &cImaging::FxErode4},         {"Erode8", &cImaging::FxErode8},
      {"FillHoleV", &cImaging::FxFillHoleV},   {"FillHoleH", &cImaging::FxFillHoleH},
      {"RemoveLinesV", &cImaging::FxRemoveLinesV}, {"RemoveLinesV2", &cImaging::FxRemoveLinesV2},
      {"RemoveLinesV3", &cImaging::FxRemoveLinesV3}, {"RemoveLinesH", &cImaging::FxRemoveLinesH},
      {"RemoveLinesH2", &cImaging::FxRemoveLinesH2}, {"RemoveLinesH3", &cImaging::FxRemoveLinesH3}};
  for (auto [name, fx] : plain) all.emplace_back(name, [fx](cImaging& im) { return (im.*fx)(); });
  all.emplace_back("Soften", [](cImaging& im) { return im.FxSoften(50); });
  all.emplace_back("Colorize", [](cImaging& im) { return im.FxColorize(30, 60, 90); });
  all.emplace_back("BlackNWhiteT", [](cImaging& im) { return im.FxBlackNWhiteT(100); });
  all.emplace_back("Dither", [](cImaging& im) { return im.FxBlackNWhite(2); });
  all.emplace_back("Diffusion", [](cImaging& im) { return im.FxBlackNWhite(3); });
  all.emplace_back("Twirl", [](cImaging& im) { return im.FxTwirl(40); });
  all.emplace_back("Swirl", [](cImaging& im) { return im.FxSwirl(40); });
  all.emplace_back("hWaves", [](cImaging& im) { return im.FxhWaves(2, 3); });
  all.emplace_back("vWaves", [](cImaging& im) { return im.FxvWaves(2, 3); });
  all.emplace_back("Matrix", [](cImaging& im) {
    const int32_t b = static_cast<int32_t>(kBlack), w = static_cast<int32_t>(kWhite);
    const int32_t in = im.MatrixCreate3x3x(b, b, b, b, b, b, b, b, b);
    const int32_t out = im.MatrixCreate3x3x(w, w, w, w, w, w, w, w, w);
    return im.MatrixFilter3x3x(in, out);
  });
  return all;
}

TEST(FilterZone, PixelsOutsideTheZoneNeverChange) {
  // Black-and-white paper with noise in it, so that the document filters find work as well.
  std::vector<uint32_t> px = NoisePixels(9 * 8);
  for (size_t i = 0; i < px.size(); i += 3) px[i] = (px[i] & 0x100) ? kBlack : kWhite;
  for (auto& [name, run] : AllFilters()) {
    cImaging im;
    MakeImage(im, 9, 8, px);
    im.SetROI(2, 1, 5, 6);
    ASSERT_EQ(run(im), OK) << name;
    const std::vector<uint32_t> out = Pixels(im);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 9; ++x)
        if (x < 2 || x >= 7 || y < 1 || y >= 7) {
          ASSERT_EQ(out[y * 9 + x], px[y * 9 + x]) << name << " at " << x << "," << y;
        }
  }
}

TEST(FilterZone, TinyZonesLeaveInteriorFiltersWithoutEffect) {
  const char* interior[] = {"Sharpen", "SharpenMore", "EdgeEnhance", "Blur", "Smooth", "Soften", "Relief",
                            "Contour", "EmbossMore", "EngraveMore", "Dilate", "Erode", "ConnectedContour",
                            "Despeckle", "DespeckleMore", "Aqua", "Parasite", "Parasite4", "Parasite2x2",
                            "Dilate8", "Erode4", "Erode8", "Matrix"};
  const std::vector<uint32_t> px = NoisePixels(16);
  for (auto& [name, run] : AllFilters()) {
    if (std::find_if(std::begin(interior), std::end(interior), [&](const char* n) { return std::string(n) == name; }) ==
        std::end(interior))
      continue;
    for (int size : {1, 2}) {
      cImaging im;
      MakeImage(im, 4, 4, px);
      im.SetROI(1, 1, size, size);
      EXPECT_EQ(run(im), OK) << name;
      EXPECT_EQ(Pixels(im), px) << name << " on a " << size << "x" << size << " zone";
    }
  }
}

TEST(FilterZone, MissingAndUnknownImages) {
  cImaging im;
  EXPECT_EQ(im.FxBlur(), GenericError);
  im.SetNativeImage(424242);
  EXPECT_EQ(im.FxBlur(), InvalidParameter);
  EXPECT_EQ(im.FloodFill(0, 0, 0), InvalidParameter);
  const int32_t id = UniformImage(im, 3, 3, Grey(9));
  ImagingState& state = im.State();
  EXPECT_EQ(ApplyFilter(state, id, 250).status, InvalidParameter) << "no routine has that code";
  EXPECT_EQ(ApplyFilter(state, 0, kFilterBlur).status, GenericError);
}

TEST(WriteBack, OneBitImagesInvertPackedBitsAndWriteByBlue) {
  cImaging im;
  const int32_t id = im.CreateNewImage(10, 2, 1, static_cast<int32_t>(kWhite));
  platform::Bitmap* image = ResolveImage(id);
  const uint8_t lastByteBefore = image->Row(0)[1];
  ASSERT_EQ(im.FxNegative(), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), kBlack);
  EXPECT_EQ(PixelAt(im, 9, 1), kBlack);
  EXPECT_EQ(image->Row(0)[0], 0x00);
  EXPECT_EQ(image->Row(0)[1] & 0xC0, (~lastByteBefore) & 0xC0);

  im.SetROI(2, 0, 3, 2);
  ASSERT_EQ(im.FxNegative(), OK);
  EXPECT_EQ(PixelAt(im, 1, 0), kBlack);
  EXPECT_EQ(PixelAt(im, 2, 0), kWhite);
  EXPECT_EQ(PixelAt(im, 4, 1), kWhite);
  EXPECT_EQ(PixelAt(im, 5, 1), kBlack) << "bits after the zone are outside it";

  // Any other routine: a bit is set exactly when the blue byte is 255. Blur of a white pixel
  // with one black neighbour gives 223: black.
  im.ResetROI();
  im.CreateNewImage(3, 3, 1, static_cast<int32_t>(kWhite));
  ASSERT_EQ(im.FxBlur(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), kWhite);
  ASSERT_EQ(im.PixelSetColor(0, 0, 0), InvalidParameter) << "indexed: set pixels through arrays";
  SafeArray<int32_t> one = SafeArray<int32_t>::FromVector({static_cast<int32_t>(kBlack)});
  ASSERT_EQ(im.SetPixelArray(one, 0, 0, 1, 1), OK);
  ASSERT_EQ(im.FxBlur(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), kBlack);
}

platform::Palette GreyPalette(std::initializer_list<uint32_t> greys) {
  platform::Palette p;
  for (uint32_t g : greys) p.entries.push_back(Grey(g));
  return p;
}

SafeArray<uint8_t> Indices(cImaging& im, int32_t w, int32_t h) {
  SafeArray<uint8_t> a;
  EXPECT_EQ(im.GetPixelArray8bpp1D(a, 0, 0, w, h), OK);
  return a;
}

TEST(WriteBack, ColourPalettesChangeInsteadOfPixels) {
  for (int16_t depth : {4, 8}) {
    cImaging im;
    const int32_t id = im.CreateNewImage(4, 1, depth, static_cast<int32_t>(0xFFFF0000u));
    platform::Bitmap* image = ResolveImage(id);
    const platform::Palette before = image->GetPalette();
    SafeArray<int32_t> pixels;
    ASSERT_EQ(im.GetPixelArray1D(pixels, 0, 0, 4, 1), OK);
    ASSERT_EQ(im.FxNegative(), OK);
    const platform::Palette after = image->GetPalette();
    ASSERT_EQ(after.entries.size(), before.entries.size());
    for (size_t i = 0; i < before.entries.size(); ++i)
      EXPECT_EQ(after.entries[i], before.entries[i] ^ 0x00FFFFFFu) << "entry " << i;
    EXPECT_EQ(PixelAt(im, 2, 0), static_cast<uint32_t>(pixels(2)) ^ 0x00FFFFFFu) << "same index, new colour";
  }
}

TEST(WriteBack, GreyPalettesMapToTheirOwnEntries) {
  cImaging im;
  const int32_t id = im.CreateNewImage(4, 1, 8);
  platform::Bitmap* image = ResolveImage(id);
  platform::Palette ramp;
  for (uint32_t i = 0; i < 256; ++i) ramp.entries.push_back(Grey(i));
  ASSERT_EQ(image->SetPalette(ramp), platform::Status::Ok);
  SafeArray<uint8_t> idx = SafeArray<uint8_t>::FromVector({0, 1, 100, 255});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 4, 1), OK);
  ASSERT_EQ(im.FxNegative(), OK);
  EXPECT_EQ(Indices(im, 4, 1).storage(), (std::vector<uint8_t>{255, 254, 155, 0}));

  // Four greys: 85 becomes 170, which is entry 2 (index = blue byte would write 170).
  ASSERT_EQ(image->SetPalette(GreyPalette({0, 85, 170, 255})), platform::Status::Ok);
  idx = SafeArray<uint8_t>::FromVector({0, 1, 2, 3});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 4, 1), OK);
  ASSERT_EQ(im.FxNegative(), OK);
  EXPECT_EQ(Indices(im, 4, 1).storage(), (std::vector<uint8_t>{3, 2, 1, 0}));
  // Greys between entries take the nearest: sepia turns 170 into blue 149 and 85 into 64.
  ASSERT_EQ(im.FxSepia(), OK);
  EXPECT_EQ(Indices(im, 4, 1).storage(), (std::vector<uint8_t>{3, 2, 1, 0}));

  // A reversed ramp: entry i holds grey 255 - i.
  platform::Palette reversed;
  for (uint32_t i = 0; i < 256; ++i) reversed.entries.push_back(Grey(255 - i));
  ASSERT_EQ(image->SetPalette(reversed), platform::Status::Ok);
  idx = SafeArray<uint8_t>::FromVector({0, 10, 200, 255});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 4, 1), OK);
  ASSERT_EQ(im.FxNegative(), OK);  // grey g becomes 255 - g, which is entry g
  EXPECT_EQ(Indices(im, 4, 1).storage(), (std::vector<uint8_t>{255, 245, 55, 0}));
}

TEST(Engine, MarkTransparentCountsAndColours) {
  cImaging im;
  const int32_t id = MakeImage(im, 3, 1, {0x00123456u, 0x01FFFFFFu, 0x00000000u});
  const FilterOutcome out = ApplyFilter(im.State(), id, kFilterMarkTransparent);
  ASSERT_EQ(out.status, OK);
  EXPECT_EQ(out.value, 2.0);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{0x000000FFu, 0x01FFFFFFu, 0x000000FFu}));
}

TessivoStatus ReenteringRoutine(FilterJob&) {
  std::unique_ptr<platform::Bitmap> other;
  platform::Bitmap::Create(2, 2, platform::kPixelFormat32bppARGB, other);
  return RunFilter(*other, ZoneRect{0, 0, 2, 2}, *FindFilter(kFilterNegative), {}).status;
}

TessivoStatus AddOneToRed(FilterJob& job) {
  for (int y = 1; y <= job.height; ++y)
    for (int x = 1; x <= job.width; ++x) job.At(x, y) += 0x10000;
  job.result = job.width * job.height;
  return OK;
}

TEST(Engine, RoutinesFromOtherModulesAndReentry) {
  cImaging im;
  const int32_t id = UniformImage(im, 2, 2, Grey(10));
  RegisterFilter(FilterDescriptor{200, &AddOneToRed, false, false, false});
  FilterOutcome out = ApplyFilter(im.State(), id, 200);
  EXPECT_EQ(out.status, OK);
  EXPECT_EQ(out.value, 4.0);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(11, 10, 10));
  RegisterFilter(FilterDescriptor{201, &AddOneToRed, false, true, false});
  EXPECT_EQ(ApplyFilter(im.State(), id, 201).status, OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(11, 10, 10)) << "an analysis writes nothing back";

  RegisterFilter(FilterDescriptor{202, &ReenteringRoutine, false, false, false});
  EXPECT_EQ(ApplyFilter(im.State(), id, 202).status, ObjectBusy) << "the engine is not re-entrant";
  EXPECT_EQ(ApplyFilter(im.State(), id, kFilterNegative).status, OK) << "and is free again afterwards";
}

TEST(Engine, FiltersMarkThePageChanged) {
  cImaging im;
  const int32_t id = UniformImage(im, 3, 3, Grey(10));
  ImageRegistry::Current().Entry(id)->pageModified = false;
  ASSERT_EQ(im.FxSoften(105), GenericError);
  EXPECT_FALSE(ImageRegistry::Current().Entry(id)->pageModified);
  ASSERT_EQ(im.FxBlur(), OK);
  EXPECT_TRUE(ImageRegistry::Current().Entry(id)->pageModified);
}

TEST(Engine, ThreadsRunIndependentFilters) {
  const std::vector<uint32_t> px = NoisePixels(64 * 48);
  auto sharpen = [&] {
    cImaging im;
    MakeImage(im, 64, 48, px);
    EXPECT_EQ(im.FxSharpen(), OK);
    EXPECT_EQ(im.FxDespeckle(), OK);
    return Pixels(im);
  };
  const std::vector<uint32_t> reference = sharpen();
  std::vector<uint32_t> a, b;
  std::thread ta([&] { for (int i = 0; i < 5; ++i) a = sharpen(); });
  std::thread tb([&] { for (int i = 0; i < 5; ++i) b = sharpen(); });
  ta.join();
  tb.join();
  EXPECT_EQ(a, reference);
  EXPECT_EQ(b, reference);
}

TEST(Engine, OtherPixelFormatsGoThroughThirtyTwoBits) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(6 * 5);
  MakeImage(im, 6, 5, px, 24);
  ASSERT_EQ(im.FxNegative(), OK);
  const std::vector<uint32_t> out = Pixels(im);
  for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(out[i], px[i] ^ 0x00FFFFFFu);
}

}  // namespace
}  // namespace tessivo
