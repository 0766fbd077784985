// The filter routines' rules, family by family, on small images computed by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

int RedOf(uint32_t v) { return (v >> 16) & 0xFF; }
int GreenOf(uint32_t v) { return (v >> 8) & 0xFF; }
int BlueOf(uint32_t v) { return v & 0xFF; }

// --- 3x3 convolutions ---------------------------------------------------------------------

TEST(Convolution, SharpenReadsReplacedNeighbours) {
  cImaging im;
  std::vector<uint32_t> px(12, Grey(100));
  px[5] = Grey(200);  // (1, 1)
  MakeImage(im, 4, 3, px);
  ASSERT_EQ(im.FxSharpen(), OK);
  // (1,1): (200*26 - 2*800) div 10 = 360 -> 255. (2,1) sees its replaced left neighbour:
  // S = 255 + 7*100 = 955, (100*26 - 1910) div 10 = 69 (80 if it read the original 200).
  EXPECT_EQ(PixelAt(im, 1, 1), Grey(255));
  EXPECT_EQ(PixelAt(im, 2, 1), Grey(69));
  EXPECT_EQ(PixelAt(im, 0, 1), Grey(100)) << "the one-pixel frame keeps its values";
  EXPECT_EQ(PixelAt(im, 3, 1), Grey(100));

  // SharpenMore (k = 0): (100*24 - 2*S) div 8 on the same pattern; the centre darkened by a
  // brighter ring truncates toward zero before clamping.
  std::vector<uint32_t> ring(9, Grey(110));
  ring[4] = Grey(100);
  MakeImage(im, 3, 3, ring);
  ASSERT_EQ(im.FxSharpenMore(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Grey(80));  // (2400 - 1760) / 8
}

TEST(Convolution, BlurSmoothSoftenAndEdgeEnhance) {
  cImaging im;
  const std::vector<uint32_t> px = {Rgb(10, 0, 1), Rgb(20, 0, 2), Rgb(30, 0, 3),   //
                                    Rgb(40, 0, 4), Rgb(50, 9, 5), Rgb(60, 0, 6),   //
                                    Rgb(70, 0, 7), Rgb(80, 0, 8), Rgb(91, 0, 9)};
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxBlur(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(401 / 8, 0, 40 / 8)) << "S8 div 8, centre excluded";

  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxSmooth(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb((20 + 40 + 60 + 80 + 50) / 5, 9 / 5, (2 + 4 + 6 + 8 + 5) / 5));

  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxSoften(0), OK);  // (sum4 + 101c) div 105
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb((200 + 5050) / 105, 909 / 105, (20 + 505) / 105));

  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxEdgeEnhance(), OK);  // (10c - S8) div 2
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb((500 - 401) / 2, 90 / 2, (50 - 40) / 2));

  MakeImage(im, 3, 3, px);
  EXPECT_EQ(im.FxSoften(105), GenericError) << "a zero divisor is refused";
  EXPECT_EQ(Pixels(im), px) << "and nothing is written";
  EXPECT_EQ(im.FxSoften(200), OK) << "a negative divisor truncates toward zero";
}

// The in-place rule pixel by pixel (neighbours above and to the left already replaced), set
// against images wide enough for the row kernels' vector blocks and their scalar tails.
std::vector<uint32_t> InPlaceRule(std::vector<uint32_t> px, int w, int h, int a, int b, int d, bool eight) {
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) {
      uint32_t out = px[static_cast<size_t>(y) * w + x] & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        auto c = [&](int dx, int dy) { return static_cast<int>((px[static_cast<size_t>(y + dy) * w + x + dx] >> shift) & 0xFF); };
        int sum = c(0, -1) + c(-1, 0) + c(1, 0) + c(0, 1);
        if (eight) sum += c(-1, -1) + c(1, -1) + c(-1, 1) + c(1, 1);
        out |= static_cast<uint32_t>(std::clamp((a * c(0, 0) + b * sum) / d, 0, 255)) << shift;
      }
      px[static_cast<size_t>(y) * w + x] = out;
    }
  return px;
}

TEST(Convolution, WideRowsFollowThePixelRule) {
  cImaging im;
  for (int w : {6, 9, 37, 70}) {
    const int h = 5;
    const std::vector<uint32_t> noise = NoisePixels(static_cast<size_t>(w) * h, static_cast<uint32_t>(w));
    const struct {
      TessivoStatus (cImaging::*filter)();
      int a, b, d;
      bool eight;
    } rules[] = {{&cImaging::FxBlur, 0, 1, 8, true}, {&cImaging::FxSmooth, 1, 1, 5, false},
                 {&cImaging::FxEdgeEnhance, 10, -1, 2, true}, {&cImaging::FxSharpen, 26, -2, 10, true}};
    for (const auto& rule : rules) {
      MakeImage(im, w, h, noise);
      ASSERT_EQ((im.*rule.filter)(), OK);
      EXPECT_EQ(Pixels(im), InPlaceRule(noise, w, h, rule.a, rule.b, rule.d, rule.eight)) << "width " << w << ", a " << rule.a;
    }
  }
}

TEST(Convolution, ReliefContourAndTheOffsetFamily) {
  cImaging im;
  // Relief on a ramp whose numerator is -1: -1 div 2 = 0 (toward zero), + 50.
  std::vector<uint32_t> px(9, Grey(10));
  px[4] = Grey(0);   // n = 2*10 + 10 + 10 + 0 - 11 - 10 - 2*10 = -1
  px[5] = Grey(11);
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxRelief(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Grey(50));

  UniformImage(im, 4, 4, Grey(90));
  ASSERT_EQ(im.FxContour(), OK);
  EXPECT_EQ(PixelAt(im, 1, 2), Grey(255));
  EXPECT_EQ(PixelAt(im, 0, 0), Grey(90));

  // Uniform grey through the offset family: red 0, green and blue 120 where the routine runs.
  UniformImage(im, 4, 3, Grey(77));
  ASSERT_EQ(im.FxEmboss(), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(0, 120, 120)) << "emboss starts on the first row and column";
  EXPECT_EQ(PixelAt(im, 2, 1), Rgb(0, 120, 120));
  EXPECT_EQ(PixelAt(im, 3, 1), Grey(77)) << "the last column is not reached";
  EXPECT_EQ(PixelAt(im, 1, 2), Grey(77));
  for (auto fx : {&cImaging::FxEmbossMore, &cImaging::FxEngrave, &cImaging::FxEngraveMore}) {
    UniformImage(im, 4, 4, Grey(77));
    ASSERT_EQ((im.*fx)(), OK);
    EXPECT_EQ(PixelAt(im, 1, 1), Rgb(0, 120, 120));
  }

  // Engrave: red and blue results trade places. Offset 0, pixel (10, 20, 30) over (50, 80, 130).
  MakeImage(im, 2, 2, {Rgb(10, 20, 30), Grey(0), Grey(0), Rgb(50, 80, 130)});
  ASSERT_EQ(im.FxEngraveColor(0), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(100, 60, 40));
  // Emboss: red from the blue difference, green and blue from the green difference, o0 and o1.
  MakeImage(im, 2, 2, {Rgb(10, 20, 30), Grey(0), Grey(0), Rgb(50, 80, 130)});
  ASSERT_EQ(im.FxEmbossColor(5 | 7 << 8), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(95, 53, 53));

  // EngraveMore's blue computation: right column minus (2 * lower-left + upper-left).
  MakeImage(im, 3, 3, {Rgb(0, 0, 10), Grey(0), Rgb(0, 0, 100),  //
                       Rgb(0, 0, 200), Grey(0), Rgb(0, 0, 100),  //
                       Rgb(0, 0, 20), Grey(0), Rgb(0, 0, 100)});
  ASSERT_EQ(im.FxEngraveMoreColor(0), OK);
  EXPECT_EQ(RedOf(PixelAt(im, 1, 1)), 300 - 50) << "the left-middle pixel is not used";
}

// --- Rank filters --------------------------------------------------------------------------

TEST(Rank, MaximumMinimumAndContour) {
  cImaging im;
  std::vector<uint32_t> px(9, Rgb(50, 60, 70));
  px[0] = Rgb(200, 10, 70);
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxDilate(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(200, 60, 70));
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxErode(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(50, 10, 70));
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxConnectedContour(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(0, 50, 0));
}

TEST(Rank, MediansRankEachChannelOnItsOwn) {
  cImaging im;
  // Channel values chosen so the per-channel medians come from different pixels.
  const std::vector<uint32_t> px = {Rgb(9, 1, 5), Rgb(8, 2, 5), Rgb(7, 3, 5), Rgb(6, 4, 5), Rgb(255, 255, 0),
                                    Rgb(4, 6, 5), Rgb(3, 7, 5), Rgb(2, 8, 5), Rgb(1, 9, 5)};
  MakeImage(im, 3, 3, px);
  ASSERT_EQ(im.FxDespeckle(), OK);
  EXPECT_EQ(PixelAt(im, 1, 1), Rgb(6, 6, 5));
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(9, 1, 5));

  // 5x5: only the centre is processed; its median is the 13th of 25 values.
  std::vector<uint32_t> big(25);
  for (int i = 0; i < 25; ++i) big[i] = Grey(static_cast<uint32_t>((i * 7) % 25 * 10));
  MakeImage(im, 5, 5, big);
  ASSERT_EQ(im.FxDespeckleMore(), OK);
  EXPECT_EQ(PixelAt(im, 2, 2), Grey(120));
  EXPECT_EQ(PixelAt(im, 1, 2), big[11]);

  // Random images against a plain sort: the sorting network must agree everywhere.
  const std::vector<uint32_t> noise = NoisePixels(8 * 7);
  MakeImage(im, 8, 7, noise);
  ASSERT_EQ(im.FxDespeckle(), OK);
  const std::vector<uint32_t> out = Pixels(im);
  for (int y = 1; y < 6; ++y)
    for (int x = 1; x < 7; ++x)
      for (int shift : {0, 8, 16}) {
        std::vector<int> v;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) v.push_back((noise[(y + dy) * 8 + x + dx] >> shift) & 0xFF);
        std::sort(v.begin(), v.end());
        ASSERT_EQ(static_cast<int>((out[y * 8 + x] >> shift) & 0xFF), v[4]) << x << "," << y;
      }
}

TEST(Rank, AquaTakesTheCalmestCornerWindow) {
  cImaging im;
  // Left half 10, right half varied: the calm up-left window (rows 0-2, columns 0-2) wins for
  // the centre (2, 2); its mean is 10 though the pixel itself is 200.
  std::vector<uint32_t> px(25, Grey(10));
  for (int y = 0; y < 5; ++y)
    for (int x = 3; x < 5; ++x) px[y * 5 + x] = Grey(static_cast<uint32_t>(40 * y + 60 * x));
  px[12] = Grey(200);
  for (int y = 3; y < 5; ++y) px[y * 5 + 1] = Grey(static_cast<uint32_t>(100 + y));
  MakeImage(im, 5, 5, px);
  ASSERT_EQ(im.FxAqua(), OK);
  // Up-left window: eight 10s and the 200: mean 31, spread 8*21 + 169 = 337. Up-right and the
  // lower windows hold the ramp or the 10x values: all spread more.
  EXPECT_EQ(PixelAt(im, 2, 2), Grey(31));
  EXPECT_EQ(PixelAt(im, 1, 1), px[6]) << "only x, y in 3..W-2 are processed";
}

// --- Point filters -------------------------------------------------------------------------

TEST(Point, GreyNegativeAndThresholds) {
  cImaging im;
  MakeImage(im, 3, 1, {Rgb(10, 20, 31), Rgb(1, 1, 2), 0x80102030u});
  ASSERT_EQ(im.FxGrayscale(), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Grey(20));
  EXPECT_EQ(PixelAt(im, 1, 0), Grey(1));
  EXPECT_EQ(PixelAt(im, 2, 0) >> 24, 0x80u) << "alpha stays";
  ASSERT_EQ(im.FxNegative(), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Grey(235));

  MakeImage(im, 4, 1, {Grey(127), Rgb(127, 127, 128), Grey(0), Grey(253)});
  ASSERT_EQ(im.FxBlackNWhiteT(128), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kBlack, kWhite, kBlack, kWhite}));
  MakeImage(im, 2, 1, {Grey(0), Grey(253)});
  ASSERT_EQ(im.FxBlackNWhiteT(-4), OK);   // clamped to 1: 0 is below it
  EXPECT_EQ(PixelAt(im, 0, 0), kBlack);
  MakeImage(im, 2, 1, {Grey(253), Grey(254)});
  ASSERT_EQ(im.FxBlackNWhiteT(999), OK);  // clamped to 254
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kBlack, kWhite}));
  MakeImage(im, 2, 1, {Grey(179), Grey(180)});
  ASSERT_EQ(im.FxBlackNWhite(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kBlack, kWhite}));

  ASSERT_EQ(im.PixelSetColor(5, 5, 0), InvalidParameter);
  EXPECT_EQ(im.FxBlackNWhite(7), InvalidParameter) << "an unknown mode returns the last status";
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kBlack, kWhite}));
}

TEST(Point, SepiaColorizeFireRedEyesScanLines) {
  cImaging im;
  MakeImage(im, 3, 1, {Grey(100), kBlack, kWhite});
  ASSERT_EQ(im.FxSepia(), OK);  // L = 300/765: m1 = 0.2941, m2 = 0.4902, hue 0.5
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Rgb(125, 100, 75), kBlack, kWhite}));

  MakeImage(im, 2, 1, {Grey(100), kWhite});
  const std::vector<uint32_t> before = Pixels(im);
  EXPECT_EQ(im.FxColorize(0, 50, 200), GenericError) << "lightness 2 overflows";
  EXPECT_EQ(Pixels(im), before);
  ASSERT_EQ(im.FxColorize(100, 50, 100), OK);  // hue 100% wraps to 0
  const std::vector<uint32_t> wrapped = Pixels(im);
  MakeImage(im, 2, 1, {Grey(100), kWhite});
  ASSERT_EQ(im.FxColorize(0, 50, 100), OK);
  EXPECT_EQ(Pixels(im), wrapped);

  MakeImage(im, 3, 1, {Rgb(10, 20, 30), Rgb(200, 100, 250), Rgb(90, 0, 10)});
  ASSERT_EQ(im.FxFire(), OK);
  // red' = round(20 + 10) = 30, blue' = round(|30 - 80/3|) = 3; the second uses the unclamped
  // red' 383 for blue' = round(383 - 733/3) = 139; the third (blue < red) is unchanged.
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Rgb(30, 20, 3), Rgb(255, 100, 139), Rgb(90, 0, 10)}));

  MakeImage(im, 3, 1, {Rgb(200, 50, 50), Rgb(59, 0, 0), Rgb(100, 90, 90)});
  ASSERT_EQ(im.FxRedEyesCorrection(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(50), Rgb(59, 0, 0), Rgb(100, 90, 90)}));

  MakeImage(im, 1, 3, {Grey(100), Grey(100), Grey(250)});
  ASSERT_EQ(im.FxScanLine(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(120), Grey(80), Grey(250)})) << "odd last row stays";
}

TEST(Point, NoiseStaysWithinItsSpread) {
  cImaging im;
  const std::vector<uint32_t> px(64, 0x7F808080u);
  MakeImage(im, 8, 8, px);
  ASSERT_EQ(im.FxAddNoise(), OK);
  const std::vector<uint32_t> out = Pixels(im);
  EXPECT_NE(out, px);
  for (uint32_t v : out) {
    EXPECT_EQ(v >> 24, 0x7Fu);
    for (int c : {RedOf(v), GreenOf(v), BlueOf(v)}) EXPECT_LE(std::abs(c - 128), 51);
  }
}

// --- Dithering -------------------------------------------------------------------------------

TEST(Dither, OrderedDitherFollowsTheMatrix) {
  cImaging im;
  UniformImage(im, 4, 4, Grey(128));  // level 9: black where the threshold is above 9
  ASSERT_EQ(im.FxBlackNWhite(2), OK);
  const int thresholds[4][4] = {{1, 9, 3, 11}, {13, 5, 15, 7}, {4, 12, 2, 10}, {16, 8, 14, 6}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(im, x, y), thresholds[x][y] > 9 ? kBlack : kWhite) << x << y;
}

TEST(Dither, ErrorDiffusionCarriesErrorsAlongAndDown) {
  cImaging im;
  // Threshold = mean grey 140. The first pixel's error 120 adds 120*8/32 = 30 to the second:
  // 120 + 300/15 = 140 is not below the threshold, so it turns white.
  MakeImage(im, 4, 1, {Grey(120), Grey(120), Grey(120), Grey(200)});
  ASSERT_EQ(im.FxBlackNWhite(3), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kBlack, kWhite, kBlack, kWhite}));
  // One column: the white first pixel's error -55 reaches the next row as -55*8/32 = -13, and
  // 170 - 130/15 = 162 falls below the threshold 165.
  MakeImage(im, 1, 3, {Grey(200), Grey(170), Grey(125)});
  ASSERT_EQ(im.FxBlackNWhite(3), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{kWhite, kBlack, kBlack}));
}

// --- Geometric distortions ------------------------------------------------------------------

TEST(Distort, TwirlClampsItsFactorAndFillsWhite) {
  cImaging a, b;
  const std::vector<uint32_t> px = NoisePixels(7 * 6);
  for (auto [low, high] : {std::pair{0, 1}, std::pair{500, 100}}) {
    MakeImage(a, 7, 6, px);
    MakeImage(b, 7, 6, px);
    ASSERT_EQ(a.FxTwirl(low), OK);
    ASSERT_EQ(b.FxTwirl(high), OK);
    EXPECT_EQ(Pixels(a), Pixels(b)) << low << " behaves as " << high;
  }
  // Factor 100 sends corners outside: white on a whole image, untouched inside a smaller zone.
  const std::vector<uint32_t> whole = Pixels(a);
  EXPECT_NE(std::count(whole.begin(), whole.end(), kWhite), 0);
  MakeImage(a, 7, 6, px);
  a.SetROI(0, 0, 7, 5);
  ASSERT_EQ(a.FxTwirl(100), OK);
  const std::vector<uint32_t> zone = Pixels(a);
  EXPECT_EQ(std::count(zone.begin(), zone.end(), kWhite), 0);
  EXPECT_EQ(zone[6 * 7 - 1], px[6 * 7 - 1]);
}

TEST(Distort, SwirlMirrorAndWaves) {
  cImaging im;
  // Swirl on 2x1: both pixels take all four bytes of the first.
  MakeImage(im, 2, 1, {0x80112233u, 0xFF445566u});
  ASSERT_EQ(im.FxSwirl(0), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{0x80112233u, 0x80112233u}));

  // Rounded mirror on 4x2: row 1 (m = -1, q = 1.5) writes columns 0, 0, 2, 3; row 2 (m = 1,
  // q = 0.5) writes columns 1, 2, 2, 2; the rest keeps the white fill.
  const std::vector<uint32_t> s = {Grey(1), Grey(2), Grey(3), Grey(4), Grey(5), Grey(6), Grey(7), Grey(8)};
  MakeImage(im, 4, 2, s);
  ASSERT_EQ(im.FxMirrorRounded(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(2), kWhite, Grey(3), Grey(4), kWhite, Grey(5), Grey(8), kWhite}));
  MakeImage(im, 4, 1, s);
  EXPECT_EQ(im.FxMirrorRounded(), GenericError) << "a one-row zone has no scale";

  // Horizontal waves (1, 1): columns 0 and 1 move up by round(sin 1) = round(sin 2) = 1,
  // column 2 by round(sin 3) = 0. Parameters below 1 count as 1.
  std::vector<uint32_t> grid(12);
  for (int i = 0; i < 12; ++i) grid[i] = Grey(static_cast<uint32_t>(i));
  MakeImage(im, 3, 4, grid);
  ASSERT_EQ(im.FxhWaves(0, -3), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(3), Grey(4), Grey(2), Grey(6), Grey(7), Grey(5), Grey(9), Grey(10),
                                               Grey(8), Grey(9), Grey(10), Grey(11)}));
  // Vertical waves: every pixel moves one index left in row-major order; the first is dropped,
  // the last index keeps its pixel.
  MakeImage(im, 3, 2, std::vector<uint32_t>(grid.begin(), grid.begin() + 6));
  ASSERT_EQ(im.FxvWaves(1, 1), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(1), Grey(2), Grey(3), Grey(4), Grey(5), Grey(5)}));
}

TEST(Distort, PixelizeAndDiffuse) {
  cImaging im;
  std::vector<uint32_t> grid(7 * 4);
  for (int i = 0; i < 28; ++i) grid[i] = Grey(static_cast<uint32_t>(i * 9));
  MakeImage(im, 7, 4, grid);
  ASSERT_EQ(im.FxPixelize(), OK);
  // Blocks: columns {0}, {1..3}, {4..6}; rows {0..2}, {3}. Truncated means.
  auto mean = [&](int x0, int x1, int y0, int y1) {
    int sum = 0, n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) sum += static_cast<int>(grid[y * 7 + x] & 0xFF), ++n;
    return Grey(static_cast<uint32_t>(sum / n));
  };
  EXPECT_EQ(PixelAt(im, 0, 1), mean(0, 0, 0, 2));
  EXPECT_EQ(PixelAt(im, 2, 2), mean(1, 3, 0, 2));
  EXPECT_EQ(PixelAt(im, 6, 3), mean(4, 6, 3, 3));

  const std::vector<uint32_t> noise = NoisePixels(10 * 10);
  MakeImage(im, 10, 10, noise);
  ASSERT_EQ(im.FxDiffuseMore(), OK);
  const std::set<uint32_t> colours(noise.begin(), noise.end());
  const std::vector<uint32_t> out = Pixels(im);
  EXPECT_NE(out, noise);
  for (uint32_t v : out) EXPECT_TRUE(colours.count(v)) << "only the image's own pixels move";
}

// --- Black-and-white document cleaning --------------------------------------------------------

std::vector<uint32_t> Paper(int w, int h, std::initializer_list<std::pair<int, int>> black) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h, kWhite);
  for (auto [x, y] : black) px[static_cast<size_t>(y) * w + x] = kBlack;
  return px;
}

size_t BlackCount(cImaging& im) {
  const std::vector<uint32_t> px = Pixels(im);
  return static_cast<size_t>(std::count(px.begin(), px.end(), kBlack));
}

TEST(Document, Parasites) {
  cImaging im;
  MakeImage(im, 5, 5, Paper(5, 5, {{2, 2}, {0, 3}}));
  ASSERT_EQ(im.FxParasite(), OK);
  EXPECT_EQ(Pixels(im), Paper(5, 5, {{0, 3}})) << "the frame pixel stays";

  // A black pixel with black diagonals: only the four-neighbour rule removes it.
  const auto diagonal = Paper(5, 5, {{2, 2}, {1, 1}, {3, 3}});
  MakeImage(im, 5, 5, diagonal);
  ASSERT_EQ(im.FxParasite(), OK);
  EXPECT_EQ(BlackCount(im), 3u);
  ASSERT_EQ(im.FxParasite4(), OK);
  EXPECT_EQ(BlackCount(im), 0u) << "each has four white edge neighbours";

  MakeImage(im, 6, 6, Paper(6, 6, {{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
  ASSERT_EQ(im.FxParasite2x2(), OK);
  EXPECT_EQ(BlackCount(im), 0u);
  MakeImage(im, 7, 6, Paper(7, 6, {{2, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 3}}));
  ASSERT_EQ(im.FxParasite2x2(), OK);
  EXPECT_EQ(BlackCount(im), 5u) << "a touching pixel keeps the block";
}

TEST(Document, DilateErodeAndFillHoles) {
  cImaging im;
  for (auto [fx, count] : {std::pair{&cImaging::FxDilate8, 9u}, std::pair{&cImaging::FxDilate4, 5u},
                           std::pair{&cImaging::FxDilateV, 3u}}) {
    MakeImage(im, 5, 5, Paper(5, 5, {{2, 2}}));
    ASSERT_EQ((im.*fx)(), OK);
    EXPECT_EQ(BlackCount(im), count);
  }
  const auto plus = Paper(5, 5, {{2, 2}, {1, 2}, {3, 2}, {2, 1}, {2, 3}});
  MakeImage(im, 5, 5, plus);
  ASSERT_EQ(im.FxErode4(), OK);
  EXPECT_EQ(Pixels(im), Paper(5, 5, {{2, 2}}));
  MakeImage(im, 5, 5, plus);
  ASSERT_EQ(im.FxErode8(), OK);
  EXPECT_EQ(BlackCount(im), 0u);

  MakeImage(im, 3, 3, Paper(3, 3, {{0, 0}, {2, 0}, {1, 1}, {1, 2}}));
  ASSERT_EQ(im.FxFillHoleV(), OK);  // (1, 0) between two black pixels on its row
  EXPECT_EQ(Pixels(im), Paper(3, 3, {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {1, 2}}));
  MakeImage(im, 3, 3, Paper(3, 3, {{0, 0}, {0, 2}}));
  ASSERT_EQ(im.FxFillHoleH(), OK);  // (0, 1) between two black pixels in its column
  EXPECT_EQ(Pixels(im), Paper(3, 3, {{0, 0}, {0, 1}, {0, 2}}));
}

TEST(Document, RemoveLinesByWidth) {
  cImaging im;
  // A one-pixel vertical line at column 2 and a two-pixel one at columns 5-6, on 9x3 paper.
  std::vector<std::pair<int, int>> lines;
  for (int y = 0; y < 3; ++y) lines.insert(lines.end(), {{2, y}, {5, y}, {6, y}});
  auto paper = [&](int skipA, int skipB) {
    std::vector<uint32_t> px(27, kWhite);
    for (auto [x, y] : lines)
      if (x != skipA && x != skipB) px[y * 9 + x] = kBlack;
    return px;
  };
  MakeImage(im, 9, 3, paper(-1, -1));
  ASSERT_EQ(im.FxRemoveLinesV(), OK);
  EXPECT_EQ(Pixels(im), paper(2, -1));
  MakeImage(im, 9, 3, paper(-1, -1));
  ASSERT_EQ(im.FxRemoveLinesV2(), OK);
  EXPECT_EQ(Pixels(im), paper(5, 6));
  MakeImage(im, 9, 3, paper(-1, -1));
  ASSERT_EQ(im.FxRemoveLinesV3(), OK);
  EXPECT_EQ(Pixels(im), paper(-1, -1));

  // The same across columns: a one-pixel horizontal line.
  MakeImage(im, 3, 5, Paper(3, 5, {{0, 2}, {1, 2}, {2, 2}}));
  ASSERT_EQ(im.FxRemoveLinesH(), OK);
  EXPECT_EQ(BlackCount(im), 0u);
  MakeImage(im, 3, 7, Paper(3, 7, {{1, 2}, {1, 3}, {1, 4}}));
  ASSERT_EQ(im.FxRemoveLinesH3(), OK);
  EXPECT_EQ(BlackCount(im), 0u);
}

TEST(Patterns, MatricesAreNumberedAndReplaceMatches) {
  cImaging im;
  const uint32_t A = Rgb(10, 10, 10);
  const uint32_t redder = Rgb(20, 10, 10), greener = Rgb(10, 20, 10);
  auto create = [&](uint32_t v) {
    const int32_t c = static_cast<int32_t>(v);
    return im.MatrixCreate3x3x(c, c, c, c, c, c, c, c, c);
  };
  EXPECT_EQ(create(A), 1);
  EXPECT_EQ(create(redder), 2);
  EXPECT_EQ(create(greener), 3);

  UniformImage(im, 4, 3, A);
  ASSERT_EQ(im.PixelSetColor(9, 9, 0), InvalidParameter);
  for (auto [in, out] : {std::pair{0, 2}, std::pair{1, -1}, std::pair{4, 1}, std::pair{1, 4}})
    EXPECT_EQ(im.MatrixFilter3x3x(in, out), InvalidParameter) << in << " -> " << out;
  EXPECT_EQ(Pixels(im), std::vector<uint32_t>(12, A));

  // Red is matched on the source copy: after the first match changed red, the second
  // position still matches and every cell turns redder.
  ASSERT_EQ(im.MatrixFilter3x3x(1, 2), OK);
  EXPECT_EQ(Pixels(im), std::vector<uint32_t>(12, redder));
  // Green is matched on the buffer: the first replacement spoils the second match.
  UniformImage(im, 4, 3, A);
  ASSERT_EQ(im.MatrixFilter3x3x(1, 3), OK);
  const std::vector<uint32_t> out = Pixels(im);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(out[y * 4 + 2], greener);
    EXPECT_EQ(out[y * 4 + 3], A);
  }
}

TEST(FloodFill, FourConnectedAreaOpaqueResult) {
  cImaging im;
  // A black ring around (1..2, 1..2) on 5x5 white; (4, 4) is translucent white.
  std::vector<uint32_t> px = Paper(5, 5, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {3, 1}, {0, 2}, {3, 2}, {0, 3},
                                          {1, 3}, {2, 3}, {3, 3}});
  px[24] = 0x40FFFFFFu;
  MakeImage(im, 5, 5, px);
  ASSERT_EQ(im.FloodFill(1, 1, static_cast<int32_t>(0x00FF0000u)), OK);
  const std::vector<uint32_t> out = Pixels(im);
  EXPECT_EQ(out[6], 0xFFFF0000u);
  EXPECT_EQ(out[12], 0xFFFF0000u);
  EXPECT_EQ(out[4], kWhite) << "the outside is not reached through the ring";
  EXPECT_EQ(out[24], kWhite) << "the whole image comes out opaque";
  EXPECT_EQ(im.FloodFill(5, 0, 0), Win32Error);
  EXPECT_EQ(im.FloodFill(-1, 2, 0), Win32Error);

  // Diagonal contact does not connect.
  MakeImage(im, 2, 2, {kWhite, kBlack, kBlack, kWhite});
  ASSERT_EQ(im.FloodFill(0, 0, 0x0000FF), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{0xFF0000FFu, kBlack, kBlack, kWhite}));
}

}  // namespace
}  // namespace tessivo
