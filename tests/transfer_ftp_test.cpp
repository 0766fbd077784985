// FTP through cImaging against a real pyftpdlib server on 127.0.0.1 (python3-pyftpdlib).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "support/io_fixtures.h"
#include "support/loopback_server.h"
#include "support/pixel_images.h"
#include "tessivo/imaging.h"
#include "transfer/inet.h"
#include "transfer/inet_text.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;
namespace fs = std::filesystem;

class FtpTransfer : public ::testing::Test {
 protected:
  ScopedTempFolder temp;  // the toolkit's temporary folder for the test
  std::string root = temp.File("served");
  std::unique_ptr<test::LoopbackServer> server;
  cImaging im;

  void Serve(const std::string& mode) {
    server.reset();
    fs::create_directories(root + "/dir");
    server = std::make_unique<test::LoopbackServer>("ftp_server.py", std::vector<std::string>{root, mode});
    ASSERT_GT(server->port(), 0) << "the loopback FTP server did not start (python3-pyftpdlib)";
  }
  void SetUp() override { Serve("any"); }
  int port() const { return server->port(); }
  // A 16 x 9 image of pseudo-random colours, native.
  std::vector<uint32_t> MakeSource() {
    std::vector<uint32_t> pixels = NoisePixels(16 * 9);
    MakeImage(im, 16, 9, pixels);
    return pixels;
  }
};

TEST(FtpPaths, RemotePathsBecomeUrlPaths) {
  EXPECT_EQ(NormalizeFtpPath(" \\dir\\file.png "), "dir/file.png");
  EXPECT_EQ(NormalizeFtpPath("//dir/file.png"), "dir/file.png");
  EXPECT_EQ(NormalizeFtpPath("///abs/file.png"), "/abs/file.png");
  // Only a leading separator is escaped, so the server starts from its root; every byte a URL
  // cannot carry as it is gets percent-encoded, "%" itself included.
  EXPECT_EQ(FtpUrlPath("/abs/a b.png"), "/%2Fabs/a%20b.png");
  EXPECT_EQ(FtpUrlPath("dir/100%;x?.png"), "/dir/100%25%3Bx%3F.png");
  EXPECT_EQ(FtpUrlPath("caf\xC3\xA9"), "/caf%C3%A9");
}

TEST_F(FtpTransfer, ImagesAndFilesRoundTripExactly) {
  const std::vector<uint32_t> source = MakeSource();
  // Backslashes and a leading separator: stored under the login folder as dir/pic.png.
  ASSERT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", "\\dir\\pic.png", "user", "secret", port()), OK);
  ASSERT_TRUE(FileExists(root + "/dir/pic.png"));
  EXPECT_TRUE(temp.TempFiles().empty());

  const int32_t id = im.CreateImageFromFTP(" 127.0.0.1 ", "//dir/pic.png", "", "", port());
  ASSERT_NE(id, 0) << im.GetStat();
  EXPECT_EQ(im.GetNativeImage(), id);
  EXPECT_EQ(Pixels(im), source);
  // The download belongs to the image and goes with it.
  EXPECT_EQ(temp.TempFiles().size(), 1u);
  EXPECT_EQ(im.CloseImage(id), OK);
  EXPECT_TRUE(temp.TempFiles().empty());

  std::vector<uint8_t> bytes(300000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>((i * 131) ^ (i >> 9));
  bytes[10] = '\r';
  bytes[11] = '\n';  // a text-mode transfer would change these
  WriteBytes(temp.File("data.bin"), bytes);
  ASSERT_EQ(im.UploadFileToFTP(temp.File("data.bin"), "127.0.0.1", "dir/data.bin", "user", "secret", port()), OK);
  EXPECT_EQ(ReadBytes(root + "/dir/data.bin"), bytes);
  // A third leading separator names the server's root, which is the login folder here.
  ASSERT_EQ(im.UploadFileToFTP(temp.File("data.bin"), "127.0.0.1", "///dir/a b%.bin", "", "", port()), OK);
  EXPECT_EQ(ReadBytes(root + "/dir/a b%.bin"), bytes);
}

TEST_F(FtpTransfer, SaveToFtpWritesEachFormat) {
  MakeSource();
  auto sent = [&](const std::string& format, int32_t parameter) {
    EXPECT_EQ(im.SaveToFTP(format, parameter, "127.0.0.1", "out.img", "", "", port()), OK) << format;
    return ReadBytes(root + "/out.img");
  };
  auto local = [&](auto save) {
    EXPECT_EQ(save(temp.File("local.img")), OK);
    return ReadBytes(temp.File("local.img"));
  };
  EXPECT_EQ(sent(" bmp ", 0), local([&](const std::string& p) { return im.SaveAsBmp(p); }));
  EXPECT_EQ(sent("JPG", 90), local([&](const std::string& p) { return im.SaveAsJPEG(p, 90); }));
  // An unknown name is a JPEG of quality 75.
  EXPECT_EQ(sent("jpeg", 10), local([&](const std::string& p) { return im.SaveAsJPEG(p, 75); }));
  EXPECT_EQ(sent("png", 0), local([&](const std::string& p) { return im.SaveAsPNG(p); }));
  EXPECT_EQ(sent("Gif", 0), local([&](const std::string& p) { return im.SaveAsGIF(p); }));
  EXPECT_EQ(TiffCompressionOf(sent("tif", CompressionNone)), 1);
  im.SetNativeImage(RegisterPattern(platform::kPixelFormat1bppIndexed, 32, 8));
  EXPECT_EQ(TiffCompressionOf(sent("tif", CompressionCCITT4)), 4);
  fs::remove(root + "/out.img");
  EXPECT_EQ(im.SaveToFTP("PDF", 0, "127.0.0.1", "out.img", "", "", port()), NotImplemented);
  EXPECT_FALSE(FileExists(root + "/out.img"));
  fs::remove(temp.File("local.img"));
  EXPECT_TRUE(temp.TempFiles().empty());
}

TEST_F(FtpTransfer, FailuresGetTheirStatusAndLeaveNoFiles) {
  MakeSource();
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "dir/none.png", "user", "wrong", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetConnectError);
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "dir/none.png", "", "", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetFtpGetFileError);
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "dir/", "", "", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetFtpGetFileError);
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "cut.bin", "", "", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetFtpGetFileError);
  WriteBytes(root + "/text.png", std::vector<uint8_t>(100, 'a'));
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "text.png", "", "", port()), 0);
  EXPECT_NE(im.GetStat(), OK);
  EXPECT_EQ(im.UploadFileToFTP(temp.File("absent"), "127.0.0.1", "a", "", "", port()), InternetFtpWriteFileError);
  EXPECT_EQ(im.UploadFileToFTP(temp.path(), "127.0.0.1", "a", "", "", port()), InternetFtpWriteFileError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", "nodir/x.png", "", "", port()), InternetFtpWriteFileError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", "x.png", "user", "wrong", port()), InternetConnectError);
  cImaging empty;
  EXPECT_EQ(empty.SaveToFTP("PNG", 0, "127.0.0.1", "x.png", "", "", port()), GenericError);
  EXPECT_FALSE(FileExists(root + "/x.png"));
  EXPECT_TRUE(temp.TempFiles().empty());

  const int down = port();
  server->stop();
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "dir/pic.png", "", "", down), 0);
  EXPECT_EQ(im.GetStat(), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", "x.png", "", "", down), InternetConnectError);
  EXPECT_TRUE(temp.TempFiles().empty());
}

TEST_F(FtpTransfer, HostileInputIsRefusedBeforeAnythingIsSent) {
  MakeSource();
  const std::string file = "dir/x.png";
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "", file, "", "", port()), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", file, "", "", 70000), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", file, "", "", -1), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1\r\nDELE a", file, "", "", port()), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", "x.png\r\nDELE dir", "", "", port()), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", file, "user\r\nDELE a", "", port()), InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "127.0.0.1", file, "user", std::string("se\0cret", 7), port()),
            InternetConnectError);
  EXPECT_EQ(im.SaveToFTP("PNG", 0, "not a host", file, "", "", port()), InternetConnectError);
  EXPECT_NE(im.SaveToFTP("PNG", 0, "127.0.0.1", std::string(1 << 20, 'a'), "", "", port()), OK);
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", std::string(1 << 20, 'a'), "", "", port()), 0);
  EXPECT_NE(im.GetStat(), OK);
  EXPECT_FALSE(FileExists(root + "/" + file));
  EXPECT_TRUE(temp.TempFiles().empty());

  Serve("garbage");
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", file, "", "", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetConnectError);
}

TEST_F(FtpTransfer, PassiveAndActiveModes) {
  MakeSource();
  Serve("active");  // the server refuses PASV and EPSV
  EXPECT_EQ(im.SaveToFTP("BMP", 0, "127.0.0.1", "a.bmp", "", "", port()), InternetFtpWriteFileError);
  im.SetFtpPassiveMode(false);
  ASSERT_EQ(im.SaveToFTP("BMP", 0, "127.0.0.1", "a.bmp", "", "", port()), OK);
  EXPECT_NE(im.CreateImageFromFTP("127.0.0.1", "a.bmp", "", "", port()), 0);

  Serve("passive");  // the server refuses PORT and EPRT
  EXPECT_EQ(im.CreateImageFromFTP("127.0.0.1", "a.bmp", "", "", port()), 0);
  EXPECT_EQ(im.GetStat(), InternetFtpGetFileError);
  im.SetFtpPassiveMode(true);
  EXPECT_NE(im.CreateImageFromFTP("127.0.0.1", "a.bmp", "", "", port()), 0);
}

TEST_F(FtpTransfer, StalledTransferEnds) {
  cInet inet;
  inet.setStallTimeout(1);
  ASSERT_EQ(inet.ftpOpenSession("127.0.0.1", port(), "", ""), OK);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(inet.ftpGetFile("stall.bin", temp.File("part")), InternetFtpGetFileError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace tessivo
