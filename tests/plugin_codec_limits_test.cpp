// Forged headers reach no decoder: the codec plug-in reads each format's header itself and
// refuses claims beyond its limits before ImageMagick or a delegate library allocates.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "core/plugins.h"
#include "support/codec_plugin_fixture.h"

namespace tessivo {
namespace {

using Bytes = std::vector<uint8_t>;

void PutBe16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}
void PutBe32(Bytes& b, size_t at, uint32_t v) {
  PutBe16(b, at, v >> 16);
  PutBe16(b, at + 2, v & 0xFFFF);
}
void PutLe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// The fuzzer's find: a JBIG header of 1 plane, 2^20 x 2^24 pixels, whose decoder asked the
// system for terabytes (and aborts the process when refused).
Bytes HugeJbig() {
  Bytes b(90, 0);
  b[0] = 0; b[1] = 0; b[2] = 1; b[3] = 0;
  PutBe32(b, 4, 1u << 20);
  PutBe32(b, 8, 1u << 24);
  PutBe32(b, 12, 128);
  b[16] = 0; b[17] = 0; b[18] = 0; b[19] = 0x08;
  for (size_t i = 20; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 37);
  return b;
}

Bytes HugeJ2k() {
  Bytes b(4 + 38 + 3 + 16, 0);
  PutBe16(b, 0, 0xFF4F);
  PutBe16(b, 2, 0xFF51);
  PutBe16(b, 4, 41);
  PutBe32(b, 8, 60000);   // Xsiz
  PutBe32(b, 12, 60000);  // Ysiz
  PutBe32(b, 24, 60000);  // one tile
  PutBe32(b, 28, 60000);
  PutBe16(b, 40, 3);
  return b;
}

Bytes HugeJp2() {
  Bytes b = Text(std::string("\0\0\0\x0CjP  \r\n\x87\n", 12));
  Bytes box(8, 0);
  PutBe32(box, 0, 0);  // to the end of the file
  std::memcpy(box.data() + 4, "jp2c", 4);
  b.insert(b.end(), box.begin(), box.end());
  const Bytes codestream = HugeJ2k();
  b.insert(b.end(), codestream.begin(), codestream.end());
  return b;
}

Bytes ExrWithWindow(int32_t xMax, int32_t yMax) {
  Bytes b(8, 0);
  PutLe32(b, 0, 20000630);
  PutLe32(b, 4, 2);
  auto attribute = [&](const std::string& name, const std::string& type, const Bytes& value) {
    Append(b, name);
    b.push_back(0);
    Append(b, type);
    b.push_back(0);
    Bytes size(4, 0);
    PutLe32(size, 0, static_cast<uint32_t>(value.size()));
    b.insert(b.end(), size.begin(), size.end());
    b.insert(b.end(), value.begin(), value.end());
  };
  Bytes window(16, 0);
  PutLe32(window, 8, static_cast<uint32_t>(xMax));
  PutLe32(window, 12, static_cast<uint32_t>(yMax));
  Bytes channels;
  for (const char* c : {"B", "G", "R"}) {
    Append(channels, c);
    Bytes rest(17, 0);
    rest[1] = 2;  // FLOAT
    rest[9] = 1;
    rest[13] = 1;
    channels.insert(channels.end(), rest.begin(), rest.end());
  }
  channels.push_back(0);
  attribute("channels", "chlist", channels);
  attribute("dataWindow", "box2i", window);
  attribute("displayWindow", "box2i", window);
  b.push_back(0);
  b.resize(b.size() + 64, 0);
  return b;
}

Bytes HugePsd() {
  Bytes b = Text("8BPS");
  b.resize(64, 0);
  PutBe16(b, 4, 1);
  PutBe16(b, 12, 4);
  PutBe32(b, 14, 30000);
  PutBe32(b, 18, 30000);
  PutBe16(b, 22, 16);
  PutBe16(b, 24, 3);
  return b;
}

Bytes HugePcx() {
  Bytes b(256, 0);
  b[0] = 0x0A; b[1] = 5; b[2] = 1; b[3] = 8;
  b[8] = b[9] = b[10] = b[11] = 0xFF;  // 65536 x 65536
  b[65] = 3;
  b[66] = b[67] = 0xFF;
  return b;
}

Bytes HugeSgi() {
  Bytes b(600, 0);
  PutBe16(b, 0, 0x01DA);
  b[3] = 2;
  PutBe16(b, 4, 3);
  PutBe16(b, 6, 65535);
  PutBe16(b, 8, 65535);
  PutBe16(b, 10, 65535);  // channels
  return b;
}

Bytes HugeDds() {
  Bytes b = Text("DDS ");
  b.resize(256, 0);
  PutLe32(b, 4, 124);
  PutLe32(b, 12, 1u << 20);
  PutLe32(b, 16, 1u << 20);
  return b;
}

Bytes HugeSunRaster() {
  Bytes b(64, 0);
  PutBe32(b, 0, 0x59A66A95);
  PutBe32(b, 4, 1u << 30);
  PutBe32(b, 8, 1u << 30);
  PutBe32(b, 12, 24);
  PutBe32(b, 20, 1);
  return b;
}

Bytes HugePict() {
  Bytes b(600, 0);
  PutBe16(b, 512, 0);
  PutBe16(b, 518, 32000);  // bottom
  PutBe16(b, 520, 32000);  // right
  PutBe16(b, 522, 0x0011);
  PutBe16(b, 524, 0x02FF);
  return b;
}

Bytes PngFamily(const char* signature, const char* header, uint32_t side) {
  Bytes b = Text(std::string(signature, 8));
  Bytes chunk(8 + 13 + 4, 0);
  PutBe32(chunk, 0, 13);
  std::memcpy(chunk.data() + 4, header, 4);
  PutBe32(chunk, 8, side);
  PutBe32(chunk, 12, side);
  chunk[16] = 8;
  chunk[17] = 2;
  b.insert(b.end(), chunk.begin(), chunk.end());
  b.resize(b.size() + 32, 0);
  return b;
}

// A GIF of more frames than the plug-in takes from one file.
Bytes GifOfFrames(int frames) {
  Bytes b = Text("GIF89a");
  const uint8_t screen[] = {1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
  b.insert(b.end(), screen, screen + sizeof screen);
  for (int i = 0; i < frames; ++i) {
    const uint8_t frame[] = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0};
    b.insert(b.end(), frame, frame + sizeof frame);
  }
  b.push_back(0x3B);
  return b;
}

struct Forged {
  const char* name;
  int32_t format;
  Bytes bytes;
};

class CodecLimitsTest : public ::testing::Test {
 protected:
  const TvimgplugApi& codec() const { return library_.api(); }
  testing::CodecPluginLibrary library_;
};

TEST_F(CodecLimitsTest, ForgedHeadersAreRefusedQuicklyByNameAndBySignature) {
  ASSERT_TRUE(library_.complete());
  const std::string folder = testing::FreshFolder("codec-limits");
  const Forged forged[] = {
      {"jbig.jbg", TVIMG_JBIG, HugeJbig()},
      {"j2k.j2k", TVIMG_J2K, HugeJ2k()},
      {"jp2.jp2", TVIMG_JP2, HugeJp2()},
      {"exr.exr", TVIMG_EXR, ExrWithWindow(40000, 40000)},
      {"exr-window.exr", TVIMG_EXR, ExrWithWindow(-2, 10)},
      {"psd.psd", TVIMG_PSD, HugePsd()},
      {"pcx.pcx", TVIMG_PCX, HugePcx()},
      {"sgi.sgi", TVIMG_SGI, HugeSgi()},
      {"dds.dds", TVIMG_DDS, HugeDds()},
      {"hdr.hdr", TVIMG_HDR, Text("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 90000 +X 90000\n")},
      {"pfm.pfm", TVIMG_PFM, Text("PF\n70000 70000\n-1.0\n")},
      {"pict.pict", TVIMG_PICT, HugePict()},
      {"ras.ras", TVIMG_RAS, HugeSunRaster()},
      {"mng.mng", TVIMG_MNG, PngFamily("\x8AMNG\r\n\x1A\n", "MHDR", 1u << 20)},
      {"jng.jng", TVIMG_JNG, PngFamily("\x8BJNG\r\n\x1A\n", "JHDR", 1u << 20)},
      {"png.png", TVIMG_PNG, PngFamily("\x89PNG\r\n\x1A\n", "IHDR", 1u << 20)},
      {"frames.gif", TVIMG_GIF, GifOfFrames(5000)},
  };
  for (const Forged& f : forged) {
    SCOPED_TRACE(f.name);
    const std::string path = folder + "/" + f.name;
    testing::WriteBytes(path, f.bytes);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(codec().Load(f.format, path.c_str(), 0), nullptr);
    tvimg_bitmap* guessed = codec().Load(TVIMG_UNKNOWN, path.c_str(), 0);
    EXPECT_EQ(guessed, nullptr);
    codec().Unload(guessed);
    // Refused from the header alone, not after a decoder worked through a huge raster.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

TEST_F(CodecLimitsTest, HonestHeadersNearTheLimitsStillDecode) {
  ASSERT_TRUE(library_.complete());
  const std::string folder = testing::FreshFolder("codec-limits-honest");
  // A GIF of many frames within the limit, a wide PFM strip and an EXR whose windows start at
  // an offset: the header readers must not refuse what is merely unusual.
  const std::string gif = folder + "/frames.gif";
  testing::WriteBytes(gif, GifOfFrames(300));
  tvimg_bitmap* frames = codec().Load(TVIMG_GIF, gif.c_str(), 0);
  ASSERT_NE(frames, nullptr);
  EXPECT_EQ(codec().GetWidth(frames), 1u);
  codec().Unload(frames);

  Bytes pfm = Text("PF\n12000 1\n-1.0\n");
  pfm.resize(pfm.size() + 12000 * 12, 0);
  testing::WriteBytes(folder + "/strip.pfm", pfm);
  tvimg_bitmap* strip = codec().Load(TVIMG_PFM, (folder + "/strip.pfm").c_str(), 0);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(codec().GetWidth(strip), 12000u);
  codec().Unload(strip);
}

TEST_F(CodecLimitsTest, AHostsMemoryLimitRefusesLargerFramesUntilLifted) {
  ASSERT_TRUE(library_.complete());
  void* library = dlopen(PluginPathFor(PluginKind::Codec).c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  using SetMemoryLimit = void (*)(uint64_t);
  auto limit = reinterpret_cast<SetMemoryLimit>(dlsym(library, "tvimgplug_SetMemoryLimit"));
  ASSERT_NE(limit, nullptr);
  const std::string path = testing::FreshFolder("codec-memory-limit") + "/strip.pfm";
  Bytes pfm = Text("PF\n12000 2\n-1.0\n");  // 288 000 bytes of float samples
  pfm.resize(pfm.size() + 12000 * 2 * 12, 0);
  testing::WriteBytes(path, pfm);

  limit(200000);
  EXPECT_EQ(codec().Load(TVIMG_PFM, path.c_str(), 0), nullptr);
  limit(0);
  tvimg_bitmap* strip = codec().Load(TVIMG_PFM, path.c_str(), 0);
  EXPECT_NE(strip, nullptr);
  codec().Unload(strip);
  dlclose(library);
}

}  // namespace
}  // namespace tessivo
