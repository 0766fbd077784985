// Sizes and positions of printed images on the sheet.
#include <gtest/gtest.h>

#include <limits>

#include "print/print_layout.h"

namespace tessivo::print {
namespace {

const Sheet kA4{210, 297, 5, 5};  // printable area 200 x 287

Placement Place(LayoutRequest r, const Sheet& sheet = kA4) {
  Placement p;
  EXPECT_EQ(Layout(r, sheet, p), LayoutResult::Ok);
  return p;
}

TEST(PrintLayout, NaturalSizeFollowsTheResolution) {
  EXPECT_NEAR(NaturalLength(2480, 300), 210.0, 0.05);
  EXPECT_NEAR(NaturalLength(3508, 300), 297.0, 0.05);
  // No resolution, or a broken one: measured at 72 dpi.
  EXPECT_NEAR(NaturalLength(72, 0), 25.4, 1e-9);
  EXPECT_NEAR(NaturalLength(72, -5), 25.4, 1e-9);
  EXPECT_NEAR(NaturalLength(72, std::numeric_limits<float>::quiet_NaN()), 25.4, 1e-9);

  LayoutRequest r{2480, 3508, 300, 300};
  const Placement p = Place(r);
  EXPECT_EQ(p.width, 210);
  EXPECT_EQ(p.height, 297);
  EXPECT_EQ(p.x, 5);  // from the printable area's corner
  EXPECT_EQ(p.y, 5);
}

TEST(PrintLayout, FitCentresInThePrintableArea) {
  LayoutRequest r{400, 200, 96, 96};
  r.fit = true;
  r.alignment = 2;  // middle centre
  const Placement p = Place(r);
  EXPECT_EQ(p.width, 200);
  EXPECT_EQ(p.height, 100);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 98);  // 5 + 93.5, the half rounded to even
  // A small image grows to the area too.
  r = LayoutRequest{10, 40, 300, 300};
  r.fit = true;
  const Placement tall = Place(r);
  EXPECT_EQ(tall.height, 287);
  EXPECT_EQ(tall.width, 72);  // 287 / 4 = 71.75
}

TEST(PrintLayout, ShrinkKeepsTheImageInsideTheArea) {
  LayoutRequest r{4000, 1000, 100, 100};  // 1016 x 254 mm
  r.shrink = true;
  Placement p = Place(r);
  EXPECT_EQ(p.width, 200);
  EXPECT_EQ(p.height, 50);
  // Both sides too large, the height chosen first, the width still too wide afterwards.
  r = LayoutRequest{3000, 4000, 10, 10};
  r.shrink = true;
  p = Place(r);
  EXPECT_LE(p.width, 200);
  EXPECT_LE(p.height, 287);
  EXPECT_NEAR(p.width / p.height, 0.75, 0.01);
  // A small image is left as it is, bottom-right aligned on the whole sheet.
  r = LayoutRequest{300, 300, 300, 300};
  r.shrink = true;
  r.alignment = 8;
  p = Place(r);
  EXPECT_EQ(p.width, 25);
  EXPECT_EQ(p.x, 185);
  EXPECT_EQ(p.y, 272);
}

TEST(PrintLayout, RefusesWhatCannotBePlaced) {
  Placement p;
  LayoutRequest r{100, 100, 72, 72};
  r.left = -1;
  EXPECT_EQ(Layout(r, kA4, p), LayoutResult::InvalidInput);
  r.left = 0;
  r.width = -10;
  r.height = 10;
  EXPECT_EQ(Layout(r, kA4, p), LayoutResult::InvalidInput);
  r.width = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Layout(r, kA4, p), LayoutResult::InvalidInput);
  r.width = 0;
  r.pixelWidth = 0;
  EXPECT_EQ(Layout(r, kA4, p), LayoutResult::InvalidInput);
  // Margins wider than half the sheet leave no printable area to fit or shrink into.
  r.pixelWidth = 100;
  r.fit = true;
  EXPECT_EQ(Layout(r, Sheet{210, 297, 106, 5}, p), LayoutResult::NoPrintableArea);
  r.fit = false;
  r.shrink = true;
  EXPECT_EQ(Layout(r, Sheet{210, 297, 105, 5}, p), LayoutResult::NoPrintableArea);
  // Placing at a given size needs no area.
  r.shrink = false;
  r.width = r.height = 20;
  EXPECT_EQ(Layout(r, Sheet{210, 297, 106, 5}, p), LayoutResult::Ok);
  // A tiny image still covers a whole millimetre.
  r = LayoutRequest{1, 1, 600, 600};
  EXPECT_EQ(Layout(r, kA4, p), LayoutResult::Ok);
  EXPECT_EQ(p.width, 1);
}

TEST(PrintLayout, AutomaticRotationTurnsLandscapeImagesOnPortraitSheets) {
  LayoutRequest r{3000, 1000, 10, 10};  // 7620 x 2540 mm, wider than the sheet
  r.autoRotation = true;
  const Placement p = Place(r);
  EXPECT_TRUE(p.rotate270);
  EXPECT_GT(p.height, p.width);
  r.autoRotation = false;
  EXPECT_FALSE(Place(r).rotate270);
}

}  // namespace
}  // namespace tessivo::print
