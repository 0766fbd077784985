// CreateImageFromURL against the loopback HTTP server: decoding, the host's event pump between
// chunks, re-entry and cancelling from it, and the settings of the instance.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/io_fixtures.h"
#include "support/loopback_server.h"
#include "support/pixel_images.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

class UrlTransfer : public ::testing::Test {
 protected:
  ScopedTempFolder temp;
  test::LoopbackServer server{"http_server.py", temp.path()};
  ScopedHost host;
  cImaging im;
  void SetUp() override { ASSERT_GT(server.port(), 0) << "the loopback HTTP server did not start"; }
  int port() const { return server.port(); }
};

TEST_F(UrlTransfer, DownloadedImageBecomesNative) {
  const std::vector<uint32_t> source = NoisePixels(20 * 6);
  MakeImage(im, 20, 6, source);
  ASSERT_EQ(im.SaveAsPNG(temp.File("pic.png")), OK);
  // The scheme on the host is dropped and does not select TLS: only port 443 does.
  for (const char* h : {"127.0.0.1", "HTTP://127.0.0.1", "hTtPs://127.0.0.1"}) {
    const int32_t id = im.CreateImageFromURL(h, "\\file\\pic.png", port());
    ASSERT_NE(id, 0) << h << " " << im.GetStat();
    EXPECT_EQ(im.GetNativeImage(), id);
    EXPECT_EQ(Pixels(im), source);
    EXPECT_EQ(im.CloseImage(id), OK);
  }
  EXPECT_TRUE(temp.TempFiles().empty());
}

TEST_F(UrlTransfer, PumpRunsAfterEachChunk) {
  std::vector<int64_t> remaining;
  host->pump = [&](int64_t received, int64_t total) {
    remaining.push_back(total - received);
    return true;
  };
  im.SetHttpTransfertBufferSize(4096);
  EXPECT_EQ(im.CreateImageFromURL("127.0.0.1", "/ok/10000", port()), 0);  // not an image
  EXPECT_EQ(remaining, (std::vector<int64_t>{5904, 1808, 0}));
  // Sizes below 1 are ignored; the 4096 stays.
  remaining.clear();
  im.SetHttpTransfertBufferSize(0);
  im.SetHttpTransfertBufferSize(-4096);
  im.CreateImageFromURL("127.0.0.1", "/ok/10000", port());
  EXPECT_EQ(remaining.size(), 3u);
  // The default is 4096 too, and a large size takes the body in one chunk.
  remaining.clear();
  im.SetHttpTransfertBufferSize(1 << 30);
  im.CreateImageFromURL("127.0.0.1", "/ok/10000", port());
  EXPECT_EQ(remaining, std::vector<int64_t>{0});
}

TEST_F(UrlTransfer, ReentryIsRefusedAndThePumpCanCancel) {
  MakeImage(im, 3, 2, NoisePixels(6));
  ASSERT_EQ(im.SaveAsBmp(temp.File("pic.bmp")), OK);
  int32_t innerId = -1;
  TessivoStatus innerStatus = OK;
  host->pump = [&](int64_t, int64_t) {
    innerId = im.CreateImageFromURL("127.0.0.1", "/file/pic.bmp", port());
    innerStatus = im.GetStat();
    return true;
  };
  const int32_t outer = im.CreateImageFromURL("127.0.0.1", "/file/pic.bmp", port());
  EXPECT_NE(outer, 0);
  EXPECT_EQ(innerId, 0);
  EXPECT_EQ(innerStatus, ObjectBusy);
  // Once the first download has ended, the next one runs.
  host->pump = [](int64_t, int64_t) { return false; };
  EXPECT_EQ(im.CreateImageFromURL("127.0.0.1", "/file/pic.bmp", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetHttpTransferError);
  EXPECT_EQ(im.GetNativeImage(), outer);
  EXPECT_EQ(temp.TempFiles().size(), 1u);  // the outer image's own file only
}

TEST_F(UrlTransfer, BadAnswersAndHostileInput) {
  const std::pair<const char*, TessivoStatus> cases[] = {
      {"/missing", InternetHttpQueryError},      {"/nolen", InternetHttpInvalidFileLength},
      {"/endless", InternetHttpInvalidFileLength}, {"/cut", InternetHttpTransferError},
  };
  for (const auto& [path, status] : cases) {
    EXPECT_EQ(im.CreateImageFromURL("127.0.0.1", path, port()), 0) << path;
    EXPECT_EQ(im.GetStat(), status) << path;
  }
  for (int32_t p : {70000, -1}) {
    EXPECT_EQ(im.CreateImageFromURL("127.0.0.1", "/ok/1", p), 0);
    EXPECT_EQ(im.GetStat(), InternetConnectError);
  }
  EXPECT_EQ(im.CreateImageFromURL("  ", "/ok/1", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetConnectError);
  EXPECT_TRUE(temp.TempFiles().empty());
}

}  // namespace
}  // namespace tessivo
