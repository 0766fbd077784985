// Showing images on windows and device contexts, the device context of an image, the virtual
// screen and the clipboard, all read back through the host API.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>
#include <memory>

#include "core/image_registry.h"
#include "support/scripted_host.h"
#include "platform/bitmap.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_image.h"
#include "tessivo/host_surfaces.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;

// A native w x h image whose pixel (x, y) has the colour `colour(x, y)`.
template <typename F>
int32_t Image(cImaging& im, int32_t w, int32_t h, F colour, pf::PixelFormat format = pf::kPixelFormat32bppRGB) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, format, b), pf::Status::Ok);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b->SetPixel(x, y, colour(x, y));
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

uint32_t Checker(int32_t x, int32_t y) { return ((x + y) & 1) ? 0xFFFF0000u : 0xFF0000FFu; }

host::Pixels Window(int32_t hwnd) {
  host::Pixels p;
  EXPECT_TRUE(host::ReadWindowPixels(hwnd, p));
  return p;
}

TEST(Display, OneToOneAndNearestScalingLandExactlyAndModesOutsideTheRangeAreNearest) {
  cImaging im;
  Image(im, 4, 3, Checker);
  const int32_t hwnd = host::CreateWindowSurface(20, 10, 0xFFFFFFFF);
  ASSERT_NE(hwnd, 0);
  ASSERT_EQ(im.DisplayImageOnHwnd(hwnd, 2, 1, 4, 3), OK);
  host::Pixels w = Window(hwnd);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
      ASSERT_EQ(w.At(x, y), inside ? Checker(x - 2, y - 1) : 0xFFFFFFFFu) << x << "," << y;
    }
  // Twice the size with interpolation 12 (outside 0..7): nearest neighbour, 2 x 2 blocks.
  const int32_t hdc = host::GetWindowDC(hwnd);
  ASSERT_EQ(im.DisplayImageOnHDC(hdc, 10, 0, 8, 6, static_cast<InterpolationMode>(12)), OK);
  w = Window(hwnd);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 10; x < 18; ++x) ASSERT_EQ(w.At(x, y), Checker((x - 10) / 2, y / 2)) << x << "," << y;
  EXPECT_TRUE(host::ReleaseDC(hdc));
  EXPECT_FALSE(host::ReleaseDC(hdc));
  EXPECT_TRUE(host::DestroyWindowSurface(hwnd));
  im.RemoveAllImage();
}

TEST(Display, BilinearSamplesAtPixelCentresAndSourceRectanglesPickTheirArea) {
  cImaging im;
  Image(im, 2, 1, [](int32_t x, int32_t) { return x ? 0xFFFFFFFFu : 0xFF000000u; });
  const int32_t hwnd = host::CreateWindowSurface(4, 2, 0xFF808080);
  ASSERT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, 4, 1), OK);
  host::Pixels w = Window(hwnd);
  const int expected[4] = {0, 64, 191, 255};  // centres at 0.25, 0.75, 1.25, 1.75 source pixels
  for (int32_t x = 0; x < 4; ++x) EXPECT_NEAR(static_cast<int>(w.At(x, 0) & 0xFF), expected[x], 2) << x;
  EXPECT_EQ(w.At(0, 1), 0xFF808080u);

  // The right source pixel alone, stretched over the second row.
  ASSERT_EQ(im.DisplayImageRectOnHwnd(hwnd, 0, 1, 4, 1, 1, 0, 1, 1), OK);
  w = Window(hwnd);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(w.At(x, 1), 0xFFFFFFFFu);
  host::DestroyWindowSurface(hwnd);
  im.RemoveAllImage();
}

TEST(Display, BadRectanglesAndHandlesDrawNothing) {
  cImaging im;
  const int32_t hwnd = host::CreateWindowSurface(8, 8, 0xFFFFFFFF);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, 4, 4), InvalidParameter);  // no native image
  Image(im, 4, 4, Checker);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, 0, 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, 4, -4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 1e30f, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, -3e9f, 0, 3e9f, 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, std::numeric_limits<float>::infinity(), 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageRectOnHwnd(hwnd, 0, 0, 4, 4, 0, 0, 0, 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageRectOnHwnd(hwnd, 2147483600, 0, 100, 4, 0, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(im.DisplayImageRectOnHwnd(hwnd, 0, 0, 4, 4, 2147483600, 0, 100, 4), InvalidParameter);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  const host::Pixels w = Window(hwnd);
  for (uint32_t p : w.argb) ASSERT_EQ(p, 0xFFFFFFFFu);
  EXPECT_EQ(im.DisplayImageOnHDC(hwnd, 0, 0, 4, 4), InvalidParameter);  // a window is no DC
  host::DestroyWindowSurface(hwnd);
  EXPECT_EQ(im.DisplayImageOnHwnd(hwnd, 0, 0, 4, 4), InvalidParameter);  // destroyed
  EXPECT_EQ(host::CreateWindowSurface(0, 5), 0);
  im.RemoveAllImage();
}

TEST(Display, ImageDeviceContextsDrawIntoTheImageAcrossControlsOfOneThread) {
  cImaging a, b;
  const int32_t canvas = Image(a, 6, 6, [](int32_t, int32_t) { return 0xFF00FF00u; });
  const int32_t hdc = b.GetTessivoImageDC(canvas);  // another control shares the registry
  ASSERT_NE(hdc, 0);
  EXPECT_EQ(b.GetTessivoImageDC(canvas), hdc);
  Image(b, 2, 2, Checker);
  ASSERT_EQ(b.DisplayImageOnHDC(hdc, 2, 2, 2, 2), OK);
  uint32_t p = 0;
  ResolveImage(canvas)->GetPixel(3, 2, p);
  EXPECT_EQ(p, Checker(1, 0));
  ResolveImage(canvas)->GetPixel(0, 0, p);
  EXPECT_EQ(p, 0xFF00FF00u);
  host::Pixels seen;
  ASSERT_TRUE(host::ReadDCPixels(hdc, seen));
  EXPECT_EQ(seen.At(2, 2), Checker(0, 0));

  EXPECT_EQ(a.ReleaseTessivoImageDC(hdc), OK);
  EXPECT_EQ(a.ReleaseTessivoImageDC(hdc), GenericError);
  EXPECT_EQ(a.GetTessivoImageDC(12345), 0);
  EXPECT_EQ(a.GetStat(), GenericError);
  // Closing the image releases its device context.
  const int32_t again = a.GetTessivoImageDC(canvas);
  ASSERT_NE(again, 0);
  a.CloseImage(canvas);
  EXPECT_EQ(b.DisplayImageOnHDC(again, 0, 0, 2, 2), InvalidParameter);
  EXPECT_FALSE(host::ReleaseDC(again));
  b.RemoveAllImage();
}

TEST(Display, WindowsAndTheVirtualScreenBecomeImages) {
  cImaging im;
  host::Pixels screen;
  screen.width = 3, screen.height = 2;
  screen.argb = {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112};
  ASSERT_TRUE(host::SetVirtualScreen(screen));
  EXPECT_EQ(im.GetDesktopHwnd(), host::DesktopWindow());
  const int32_t shot = im.CreateImageFromHwnd();
  ASSERT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.GetNativeImage(), shot);
  uint32_t p = 0;
  ResolveImage(shot)->GetPixel(2, 1, p);
  EXPECT_EQ(p, 0xFF101112u);
  EXPECT_EQ(im.CreateImageFromHwnd(-1), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  im.RemoveAllImage();
}

TEST(Display, ClipboardCarriesTheImageOrARegionAndClears) {
  cImaging im;
  const int32_t src = Image(im, 5, 4, Checker, pf::kPixelFormat24bppRGB);
  ASSERT_EQ(im.CopyToClipboard(), OK);
  EXPECT_TRUE(host::ClipboardHasFormat(2));
  EXPECT_TRUE(host::ClipboardHasFormat(8));
  const int32_t back = im.CreateImageFromClipboard();
  ASSERT_EQ(im.GetStat(), OK);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      uint32_t p = 0;
      ResolveImage(back)->GetPixel(x, y, p);
      ASSERT_EQ(p, Checker(x, y));
    }
  im.SetNativeImage(src);
  ASSERT_EQ(im.CopyRegionToClipboard(1, 1, 2, 3), OK);
  host::Pixels clip;
  ASSERT_TRUE(host::ReadClipboardImage(clip));
  EXPECT_EQ(clip.width, 2);
  EXPECT_EQ(clip.height, 3);
  EXPECT_EQ(clip.At(1, 2), Checker(2, 3));
  EXPECT_EQ(im.CopyRegionToClipboard(4, 0, 5, 1), InvalidParameter);
  ASSERT_TRUE(host::ReadClipboardImage(clip));  // a failed copy leaves the clipboard alone
  EXPECT_EQ(clip.width, 2);

  im.DeleteClipboardData();
  EXPECT_FALSE(host::ClipboardHasFormat(2));
  EXPECT_EQ(im.CreateImageFromClipboard(), 0);
  EXPECT_EQ(im.GetStat(), GenericError);
  im.RemoveAllImage();
}

TEST(Display, AnimatedGifsShowEachFrameInTurnWhileTheHostPumpsEvents) {
  testing::ScopedHost host;
  cImaging im;
  const uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  int32_t frames[3];
  for (int i = 0; i < 3; ++i) {
    const uint32_t c = colours[i];
    frames[i] = Image(im, 4, 4, [c](int32_t, int32_t) { return c; });
  }
  const int32_t doc = im.GifCreateMultiPageFromTessivoImage(frames[0]);
  ASSERT_NE(doc, 0) << im.GetStat();
  ASSERT_EQ(im.GifAppendPageFromTessivoImage(doc, frames[1]), OK);
  ASSERT_EQ(im.GifAppendPageFromTessivoImage(doc, frames[2]), OK);
  for (int32_t page = 1; page <= 3; ++page) ASSERT_EQ(im.GifSetPageTime(doc, page, 2), OK);
  im.SetNativeImage(doc);

  const int32_t hwnd = host::CreateWindowSurface(10, 10, 0xFFFFFFFF);
  const int32_t hdc = host::GetWindowDC(hwnd);
  std::vector<uint32_t> seen;  // what the window shows each time the host gets its events
  host->pump = [&](int64_t, int64_t) {
    host::Pixels w;
    if (host::ReadWindowPixels(hwnd, w) && (seen.empty() || seen.back() != w.At(3, 3))) seen.push_back(w.At(3, 3));
    return true;
  };
  ASSERT_EQ(im.GifDisplayAnimatedGif(hdc, 2, 2, 6, 6), OK);
  EXPECT_EQ(seen, std::vector<uint32_t>(colours, colours + 3));
  EXPECT_EQ(Window(hwnd).At(0, 0), 0xFFFFFFFFu);

  // A single image is shown once; no native image or a bad device context are statuses.
  im.SetNativeImage(frames[1]);
  ASSERT_EQ(im.GifDisplayAnimatedGif(hdc, 0, 0, 10, 10), OK);
  EXPECT_EQ(Window(hwnd).At(0, 0), colours[1]);
  EXPECT_EQ(im.GifDisplayAnimatedGif(hwnd, 0, 0, 10, 10), InvalidParameter);
  im.CloseNativeImage();
  EXPECT_EQ(im.GifDisplayAnimatedGif(hdc, 0, 0, 10, 10), GenericError);
  host::ReleaseDC(hdc);
  host::DestroyWindowSurface(hwnd);
  im.RemoveAllImage();
}

TEST(Display, PrintDialogsTakeTheDesktopOrALiveWindowAsTheirOwner) {
  testing::ScopedHost host;
  cImaging im;
  Image(im, 4, 4, Checker);
  const int32_t hwnd = host::CreateWindowSurface(4, 4);
  EXPECT_FALSE(im.PrintImageDialogHWND(hwnd));  // the scripted dialog is cancelled
  EXPECT_TRUE(host->dialogShown.has_value());
  host->dialogShown.reset();
  EXPECT_FALSE(im.PrintImageDialogFitHWND(0));
  EXPECT_TRUE(host->dialogShown.has_value());
  host->dialogShown.reset();
  const int32_t hdc = host::GetWindowDC(hwnd);
  EXPECT_FALSE(im.PrintImageDialogBySizeHWND(hdc, 0, 0, 10, 10));  // a device context owns nothing
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  host::DestroyWindowSurface(hwnd);
  EXPECT_FALSE(im.PrintImageDialogHWND(hwnd));
  EXPECT_FALSE(host->dialogShown.has_value());
  host::ReleaseDC(hdc);
  im.RemoveAllImage();
}

TEST(Display, WholeImagesScaledBilinearlyMatchTheGeneralDrawing) {
  cImaging im;
  uint32_t seed = 7;
  auto noise = [&seed](int32_t, int32_t) {
    seed = seed * 1664525u + 1013904223u;
    return 0xFF000000u | (seed >> 8);
  };
  for (pf::PixelFormat format : {pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppRGB}) {
    const int32_t id = Image(im, 37, 23, noise, format);
    // Reduced, enlarged, and partly outside the window.
    const int32_t rects[3][4] = {{1, 2, 12, 7}, {0, 0, 90, 61}, {-20, 30, 80, 50}};
    for (const auto& rc : rects) {
      const int32_t hwnd = host::CreateWindowSurface(64, 64, 0xFF102030);
      ASSERT_EQ(im.DisplayImageOnHwnd(hwnd, rc[0], rc[1], rc[2], rc[3]), OK);
      // The same drawing through the general path.
      std::unique_ptr<pf::Bitmap> expected;
      ASSERT_EQ(pf::Bitmap::Create(64, 64, pf::kPixelFormat32bppRGB, expected), pf::Status::Ok);
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) expected->SetPixel(x, y, 0xFF102030);
      pf::Graphics g(*expected);
      g.SetSmoothingMode(pf::SmoothingMode::None);
      g.SetPixelOffsetMode(pf::PixelOffsetMode::Half);
      pf::ImageDrawOptions options;
      ASSERT_EQ(g.DrawImage(*ResolveImage(id), pf::Rect{0, 0, 37, 23}, pf::DestinationOf(rc[0], rc[1], rc[2], rc[3]),
                            options),
                pf::Status::Ok);
      // The general path quantizes positions and weights to 1/128: on noise of full contrast that
      // is up to 4 levels (a sample misplaced by a tenth of a pixel would be off by dozens).
      const host::Pixels w = Window(hwnd);
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) {
          uint32_t e = 0;
          expected->GetPixel(x, y, e);
          const uint32_t got = w.At(x, y);
          for (int shift = 0; shift < 32; shift += 8)
            ASSERT_LE(std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((e >> shift) & 0xFF)), 4)
                << "format " << format << " rect " << rc[2] << "x" << rc[3] << " at " << x << "," << y;
        }
      host::DestroyWindowSurface(hwnd);
    }
  }
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
