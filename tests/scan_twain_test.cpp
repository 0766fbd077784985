// Scanning through the tvtwain plug-in against SANE's test backend, each test with its own
// SANE configuration; images are compared with what scanimage makes of the same settings.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"
#include "transfer/twain_library.h"

namespace fs = std::filesystem;
using namespace tessivo;

namespace {

class TwainScan : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(fs::exists("/usr/bin/scanimage")) << "sane-utils is needed";
    dir_ = fs::temp_directory_path() / ("sane-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "dll.conf") << "test\n";
    ::setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
    ::setenv("TESSIVO_PLUGIN_DIR", TESSIVO_BINARY_DIR "/lib", 1);
  }
  void TearDown() override {
    cImaging().TwainUnloadSourceManager();  // the session is process-wide
    fs::remove_all(dir_);
  }
  void Config(const std::string& lines) {
    std::ofstream(dir_ / "test.conf") << "number_of_devices 2\ntest-picture \"Color pattern\"\n"
                                         "resolution 25.0\n" << lines;
  }
  // Raster bytes of scanimage's PNM of the first device with `args`.
  std::vector<uint8_t> Reference(const std::string& args, int& w, int& h, int& maxval) {
    fs::path out = dir_ / "ref.pnm";
    // scanimage now and then deadlocks in the dynamic loader while unloading its backends at
    // exit, after the page is written: it gets a minute, and a complete page is what counts.
    std::string cmd = "timeout -k 5 60 scanimage -d test:0 --format=pnm " + args + " > " + out.string();
    const int rc = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(rc) && (WEXITSTATUS(rc) == 0 || WEXITSTATUS(rc) == 124)) << cmd;
    std::ifstream in(out, std::ios::binary);
    // The header's numbers, past scanimage's comment lines.
    auto number = [&in]() {
      for (;;) {
        in >> std::ws;
        if (in.peek() != '#') break;
        std::string comment;
        std::getline(in, comment);
      }
      int v = 0;
      in >> v;
      return v;
    };
    std::string magic;
    in >> magic;
    w = number();
    h = number();
    maxval = magic == "P4" ? 1 : number();
    in.get();
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
  tessivo::testing::ScopedHost host_;
};

// Scans with the given settings and checks every pixel against scanimage's file.
void ExpectSameAsScanimage(TwainScan& t, cImaging& img, const std::string& mode, int depth,
                           TwainPixelType type) {
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentPixelType(type));
  if (depth != 1) {
    ASSERT_TRUE(img.TwainSetCurrentBitDepth(type == TWPT_RGB ? depth * 3 : depth));
  }
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  int32_t id = img.TwainAcquireToTessivoImage();
  ASSERT_NE(id, 0);
  EXPECT_EQ(img.GetStat(), OK);
  int w = 0, h = 0, maxval = 0;
  auto ref = t.Reference("--mode " + mode + " --depth " + std::to_string(depth), w, h, maxval);
  platform::Bitmap* b = ResolveImage(id);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->Width(), w);
  ASSERT_EQ(b->Height(), h);
  const int channels = type == TWPT_RGB ? 3 : 1;
  const int bytes = depth / 8;
  size_t refRow = depth == 1 ? (w + 7) / 8 : static_cast<size_t>(w) * channels * bytes;
  ASSERT_EQ(ref.size(), refRow * h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* got = b->Row(y);
    const uint8_t* want = ref.data() + y * refRow;
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < channels; ++c) {
        uint32_t g, r;
        if (depth == 1) {
          g = (got[x / 8] >> (7 - x % 8)) & 1;
          r = 1 - ((want[x / 8] >> (7 - x % 8)) & 1);  // PBM: 1 is black
        } else if (depth == 8) {
          g = got[x * channels + (channels == 3 ? 2 - c : 0)];
          r = want[x * channels + c];
        } else {
          const uint8_t* p = got + 2 * (x * channels + (channels == 3 ? 2 - c : 0));
          g = uint32_t(p[0]) | uint32_t(p[1]) << 8;  // native (little-endian) samples
          const uint8_t* q = want + 2 * (x * channels + c);
          r = uint32_t(q[0]) << 8 | q[1];  // PNM: big-endian
        }
        ASSERT_EQ(g, r) << mode << depth << " at " << x << "," << y << " channel " << c;
      }
    }
  }
  EXPECT_TRUE(img.TwainCloseSource());
  EXPECT_TRUE(img.TwainCloseSourceManager());  // the next settings are read at the next start
}

TEST_F(TwainScan, SessionStatesAndSources) {
  Config("");
  cImaging img;
  EXPECT_TRUE(img.TwainIsAvailable());
  EXPECT_EQ(img.TwainGetSourceCount(), 2);
  EXPECT_EQ(img.TwainGetState(), TWAIN_SM_OPEN);
  EXPECT_EQ(img.TwainGetSourceName(2), "test:1");
  EXPECT_EQ(img.TwainGetSourceName(0), "");
  EXPECT_EQ(img.TwainGetSourceName(3), "");
  EXPECT_EQ(img.TwainGetDefaultSourceName(), "test:0");
  // Acquiring with no source open fails without an image.
  EXPECT_EQ(img.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(img.GetStat(), TwainError);
  EXPECT_EQ(img.TwainGetLastConditionCode(), TWCC_SEQERROR);
  EXPECT_FALSE(img.TwainOpenSource("no-such-device"));
  EXPECT_TRUE(img.TwainOpenDefaultSource());
  EXPECT_EQ(img.TwainGetState(), TWAIN_SOURCE_OPEN);
  EXPECT_EQ(img.TwainGetCurrentSourceName(), "test:0");
  EXPECT_TRUE(img.TwainIsDeviceOnline());
  EXPECT_TRUE(img.TwainCloseSourceManager());
  EXPECT_EQ(img.TwainGetState(), TWAIN_SM_LOADED);
  EXPECT_FALSE(img.TwainIsDeviceOnline());
}

TEST_F(TwainScan, EveryModeAndDepthMatchesScanimage) {
  Config("");
  cImaging img;
  ExpectSameAsScanimage(*this, img, "Gray", 1, TWPT_BW);
  ExpectSameAsScanimage(*this, img, "Gray", 8, TWPT_GRAY);
  ExpectSameAsScanimage(*this, img, "Gray", 16, TWPT_GRAY);
  ExpectSameAsScanimage(*this, img, "Color", 8, TWPT_RGB);
  ExpectSameAsScanimage(*this, img, "Color", 16, TWPT_RGB);
}

TEST_F(TwainScan, ThreePassAndHandScannerMatchScanimage) {
  Config("three-pass true\n");
  {
    cImaging img;
    ExpectSameAsScanimage(*this, img, "Color", 8, TWPT_RGB);
  }
  {
    // Reads of 1000 bytes hold whole colour lines and end inside the next one.
    Config("read-limit true\nread-limit-size 1000\n");
    cImaging img;
    ExpectSameAsScanimage(*this, img, "Color", 8, TWPT_RGB);
  }
  Config("hand-scanner true\nread-limit true\nread-limit-size 1\n");
  cImaging img;
  ExpectSameAsScanimage(*this, img, "Gray", 8, TWPT_GRAY);
}

TEST_F(TwainScan, CapabilitiesRoundTripAndRefuseBadValues) {
  Config("");
  cImaging img;
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  EXPECT_TRUE(img.TwainSetCurrentPixelType(TWPT_RGB));
  EXPECT_EQ(img.TwainGetCurrentPixelType(), TWPT_RGB);
  EXPECT_EQ(img.TwainGetCurrentBitDepth(), 24);
  EXPECT_TRUE(img.TwainSetCurrentBitDepth(48));
  EXPECT_EQ(img.TwainGetCurrentBitDepth(), 48);
  EXPECT_TRUE(img.TwainSetCurrentPixelType(TWPT_BW));
  EXPECT_EQ(img.TwainGetCurrentBitDepth(), 1);
  EXPECT_FALSE(img.TwainSetCurrentPixelType(TWPT_CMYK));
  EXPECT_EQ(img.TwainGetLastConditionCode(), TWCC_BADVALUE);
  EXPECT_FALSE(img.TwainSetCurrentBitDepth(12));
  EXPECT_TRUE(img.TwainSetCurrentResolution(1200));
  EXPECT_DOUBLE_EQ(img.TwainGetCurrentResolution(), 1200);
  EXPECT_FALSE(img.TwainSetCurrentResolution(1201));
  EXPECT_EQ(img.TwainGetLastConditionCode(), TWCC_BADVALUE);
  EXPECT_FALSE(img.TwainSetCurrentResolution(-5));
  EXPECT_DOUBLE_EQ(img.TwainGetCurrentResolution(), 1200);
}

TEST_F(TwainScan, DeviceFailuresGiveTheirStatuses) {
  Config("read-status-code \"SANE_STATUS_CANCELLED\"\n");
  {
    cImaging img;
    ASSERT_TRUE(img.TwainOpenSource("test:0"));
    EXPECT_EQ(img.TwainAcquireToTessivoImage(), 0);
    EXPECT_EQ(img.GetStat(), TwainTransferCanceled);
    EXPECT_TRUE(img.TwainUserClosedSource());
    EXPECT_EQ(img.TwainGetState(), TWAIN_SOURCE_OPEN);
    EXPECT_TRUE(img.TwainUnloadSourceManager());
  }
  Config("read-status-code \"SANE_STATUS_JAMMED\"\n");
  cImaging img;
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  EXPECT_EQ(img.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(img.GetStat(), TwainTransferError);
  EXPECT_TRUE(img.TwainLastXferFail());
  EXPECT_EQ(img.TwainGetLastConditionCode(), TWCC_PAPERJAM);
  EXPECT_TRUE(img.TwainUnloadSourceManager());
}

std::string FileText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Names in `dir` other than the SANE configuration and `keep`.
std::vector<std::string> Leftovers(const fs::path& dir, const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string n = e.path().filename().string();
    if (n != "dll.conf" && n != "test.conf" && n != keep) names.push_back(n);
  }
  return names;
}

TEST_F(TwainScan, AcquireToFileWritesEachFormatWithTheScannedPixels) {
  Config("");
  cImaging img;
  EXPECT_EQ(img.TwainAcquireToFile((dir_ / "early.png").string(), 0), BadTwainState);
  img.TwainGetSourceCount();  // the source manager open, no source yet
  EXPECT_EQ(img.TwainAcquireToFile((dir_ / "early.png").string(), 0), BadTwainState);
  EXPECT_FALSE(fs::exists(dir_ / "early.png"));
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentPixelType(TWPT_RGB));
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  const int32_t scanned = img.TwainAcquireToTessivoImage();
  ASSERT_NE(scanned, 0);
  platform::Bitmap* want = ResolveImage(scanned);
  for (const char* name : {"page.png", "page.BMP", "page.tif", "page.tiff", "page.jpg"}) {
    SCOPED_TRACE(name);
    const fs::path target = dir_ / name;
    std::ofstream(target) << "an older file";
    ASSERT_EQ(img.TwainAcquireToFile(target.string(), 0), OK);
    EXPECT_EQ(img.GetStat(), OK);
    const int32_t id = img.CreateImageFromFile(target.string());
    ASSERT_NE(id, 0);
    platform::Bitmap* got = ResolveImage(id);
    ASSERT_EQ(got->Width(), want->Width());
    ASSERT_EQ(got->Height(), want->Height());
    if (std::string(name) == "page.jpg") continue;  // lossy
    ASSERT_EQ(got->Format(), want->Format());
    for (int y = 0; y < want->Height(); ++y)
      ASSERT_EQ(std::memcmp(got->Row(y), want->Row(y), 3 * want->Width()), 0) << "row " << y;
  }
  EXPECT_TRUE(Leftovers(dir_, "ref.pnm").size() == 5) << "only the five pages remain";
}

TEST_F(TwainScan, FailedAcquireToFileKeepsTheOldFileAndLeavesNothing) {
  Config("read-status-code \"SANE_STATUS_JAMMED\"\n");
  cImaging img;
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  const fs::path target = dir_ / "keep.tif";
  std::ofstream(target) << "the user's file";
  EXPECT_EQ(img.TwainAcquireToFile(target.string(), 0), TwainTransferError);
  EXPECT_EQ(FileText(target), "the user's file");
  EXPECT_TRUE(img.TwainUnloadSourceManager());

  Config("");
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  // A folder of that name, and a folder that does not exist: nothing replaced, nothing left.
  fs::create_directory(dir_ / "folder.png");
  EXPECT_EQ(img.TwainAcquireToFile((dir_ / "folder.png").string(), 0), TwainError);
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.png"));
  EXPECT_EQ(img.TwainAcquireToFile((dir_ / "absent" / "x.png").string(), 0), TwainError);
  EXPECT_EQ(img.TwainAcquireToFile("", 0), InvalidParameter);
  std::vector<std::string> left = Leftovers(dir_, "keep.tif");
  EXPECT_EQ(left, std::vector<std::string>{"folder.png"});
  EXPECT_EQ(FileText(target), "the user's file");
}

TEST_F(TwainScan, LaterPagesShowNothingOfEarlierOnes) {
  Config("");
  cImaging img;
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  ASSERT_TRUE(img.TwainSetImageLayout(0, 0, 1.1, 1.0));  // grey rows end in padding
  ASSERT_TRUE(img.TwainSetCurrentPixelType(TWPT_RGB));
  const TwainLibrary* t = Twain();
  ASSERT_NE(t, nullptr);
  // The plug-in hands its block to the next page once this one is freed.
  tvtwain_image* colour = t->AcquireNative(0);
  ASSERT_NE(colour, nullptr);
  t->FreeNative(colour);
  ASSERT_TRUE(img.TwainSetCurrentPixelType(TWPT_GRAY));
  ASSERT_TRUE(img.TwainSetCurrentBitDepth(8));
  tvtwain_image* grey = t->AcquireNative(0);
  ASSERT_NE(grey, nullptr);
  tvtwain_image_info info{};
  ASSERT_EQ(t->GetImageInfo(grey, &info), 1);
  EXPECT_NE(info.width % 4, 0) << info.width;
  for (int y = 0; y < info.height; ++y)
    for (int i = info.width; i < info.stride; ++i)
      ASSERT_EQ(info.bits[int64_t{y} * info.stride + i], 0) << "row " << y << " byte " << i;
  t->FreeNative(grey);
}

TEST_F(TwainScan, ScannedImagesOutliveTheSessionAndTheNextPage) {
  Config("");
  cImaging img;
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentPixelType(TWPT_RGB));
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  const int32_t first = img.TwainAcquireToTessivoImage();
  ASSERT_NE(first, 0);
  std::unique_ptr<platform::Bitmap> copy;
  ASSERT_EQ(ResolveImage(first)->Clone(copy), platform::Status::Ok);
  // Another page while the first is kept, then the session ends under both.
  const int32_t second = img.TwainAcquireToTessivoImage();
  ASSERT_NE(second, 0);
  EXPECT_NE(ResolveImage(first)->Scan0(), ResolveImage(second)->Scan0());
  EXPECT_TRUE(img.TwainCloseSource());
  EXPECT_TRUE(img.TwainUnloadSourceManager());
  const platform::Bitmap* kept = ResolveImage(first);
  for (int y = 0; y < copy->Height(); ++y)
    ASSERT_EQ(std::memcmp(kept->Row(y), copy->Row(y), 3 * copy->Width()), 0) << "row " << y;
  EXPECT_EQ(img.FxNegative(), OK);  // the second page is native and editable in place
  EXPECT_EQ(img.CloseImage(second), OK);
  EXPECT_EQ(img.CloseImage(first), OK);
}

TEST_F(TwainScan, ScansHandedOverAsDibsHoldTheScannedPixels) {
  Config("");
  cImaging img;
  EXPECT_EQ(img.TwainAcquireToDib(), 0);  // no source open
  EXPECT_EQ(img.GetStat(), TwainError);
  ASSERT_TRUE(img.TwainOpenSource("test:0"));
  ASSERT_TRUE(img.TwainSetCurrentPixelType(TWPT_RGB));
  ASSERT_TRUE(img.TwainSetCurrentResolution(25));
  const int32_t scanned = img.TwainAcquireToTessivoImage();
  ASSERT_NE(scanned, 0);
  const int32_t dib = img.TwainAcquireToDib();
  ASSERT_NE(dib, 0);
  EXPECT_EQ(img.GetStat(), OK);
  const int32_t fromDib = img.CreateImageFromDIB(dib);
  ASSERT_NE(fromDib, 0) << img.GetStat();
  EXPECT_EQ(img.RemoveDib(dib), OK);
  platform::Bitmap* want = ResolveImage(scanned);
  platform::Bitmap* got = ResolveImage(fromDib);
  ASSERT_EQ(got->Width(), want->Width());
  ASSERT_EQ(got->Height(), want->Height());
  ASSERT_EQ(got->Format(), want->Format());
  for (int y = 0; y < want->Height(); ++y)
    ASSERT_EQ(std::memcmp(got->Row(y), want->Row(y), 3 * want->Width()), 0) << "row " << y;
  EXPECT_NEAR(got->HorizontalResolution(), 25, 0.01);
}

TEST(TwainAbsent, OldLibraryGivesItsMessageAndNeutralResults) {
  ::setenv("TESSIVO_PLUGIN_DIR", TESSIVO_FAKE_PLUGIN_DIR, 1);
  tessivo::testing::ScopedHost host;
  cImaging img;
  EXPECT_FALSE(img.TwainIsAvailable());
  EXPECT_EQ(img.TwainGetSourceCount(), 0);
  EXPECT_EQ(img.TwainGetDefaultSourceName(), "");
  EXPECT_EQ(img.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(img.GetStat(), WrongTvTwainVersion);
  EXPECT_EQ(img.TwainAcquireToDib(), 0);
  EXPECT_EQ(img.GetStat(), WrongTvTwainVersion);
  ASSERT_FALSE(host->messages.empty());
  EXPECT_EQ(host->messages.back().text, "Bad TVTWAIN.DLL version.");
  ::setenv("TESSIVO_PLUGIN_DIR", "/nonexistent", 1);
  EXPECT_EQ(img.CreateImageFromTwain(), 0);
  EXPECT_EQ(img.GetStat(), WrongTvTwainVersion);
  EXPECT_EQ(host->messages.back().text, "Can't found TVTWAIN.DLL file.");
}

}  // namespace
