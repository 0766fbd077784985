// Hostile input for every decoder: truncated and corrupted files, forged dimensions and
// unknown bytes give statuses, never crashes or huge allocations.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/codecs/codecs.h"
#include "support/codec_fixtures.h"

namespace tessivo::platform {
namespace {

using testing::Bytes;

Bytes Encode(const Bitmap& image, const std::string& clsid,
             const std::vector<EncoderParameter>& params = {}) {
  MemoryStream stream;
  EXPECT_EQ(EncodeImageStream(image, stream, clsid, params), Status::Ok);
  return stream.TakeBytes();
}

std::unique_ptr<Bitmap> Pattern(PixelFormat f) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(23, 17, f, b), Status::Ok);
  std::mt19937 rng(3);
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < b->Stride(); ++x) b->Row(y)[x] = static_cast<uint8_t>(rng() % 7 * 40);
  }
  return b;
}

// Decodes `bytes`; a decoded image must be usable, frames included.
Status DecodeAndTouch(const Bytes& bytes) {
  std::unique_ptr<Bitmap> image;
  Status s = DecodeImageMemory(bytes.data(), bytes.size(), true, image);
  if (s != Status::Ok) {
    EXPECT_EQ(image, nullptr);
    return s;
  }
  EXPECT_GT(image->Width(), 0);
  uint32_t argb = 0;
  EXPECT_EQ(image->GetPixel(image->Width() - 1, image->Height() - 1, argb), Status::Ok);
  for (FrameDimension d : {FrameDimension::Page, FrameDimension::Time}) {
    uint32_t frames = std::min(image->FrameCount(d), 4u);
    for (uint32_t i = 0; i < frames; ++i) image->SelectActiveFrame(d, i);
  }
  return s;
}

struct Sample {
  const char* name;
  Bytes bytes;
};

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  auto rgb = Pattern(kPixelFormat24bppRGB);
  auto indexed = Pattern(kPixelFormat4bppIndexed);
  samples.push_back({"bmp", Encode(*indexed, "{557CF400-1A04-11D3-9A73-0000F81EF32E}")});
  samples.push_back({"jpeg", Encode(*rgb, "{557CF401-1A04-11D3-9A73-0000F81EF32E}")});
  samples.push_back({"gif", Encode(*rgb, "{557CF402-1A04-11D3-9A73-0000F81EF32E}")});
  samples.push_back({"tiff", Encode(*rgb, "{557CF405-1A04-11D3-9A73-0000F81EF32E}")});
  samples.push_back({"png", Encode(*rgb, "{557CF406-1A04-11D3-9A73-0000F81EF32E}")});
  // RLE8 bitmap, animated GIF and a two-page CCITT TIFF exercise the stateful paths.
  samples.push_back({"rle8", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 4, 0,
                              0, 0, 3, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0,
                              4, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 2, 1, 1, 0, 1}});
  testing::GifSpec gif;
  gif.width = 6;
  gif.height = 4;
  gif.palette = {0, 0, 0, 255, 255, 255};
  gif.loopCount = 0;
  gif.frames.push_back({0, 0, 6, 4, Bytes(24, 1), 5, 2, 0});
  gif.frames.push_back({2, 1, 3, 2, Bytes(6, 0), 5, 3, -1, {}, true});
  gif.frames.push_back({1, 1, 2, 2, Bytes(4, 1), 5, 1, -1});
  samples.push_back({"animated gif", testing::GifFile(gif)});
  auto bilevel = Pattern(kPixelFormat1bppIndexed);
  MemoryStream multi;
  std::unique_ptr<MultiFrameEncoder> encoder;
  EXPECT_EQ(MultiFrameEncoder::Begin(*bilevel, multi, "{557CF405-1A04-11D3-9A73-0000F81EF32E}",
                                     {{EncoderParameterId::SaveFlag, EncoderValueMultiFrame},
                                      {EncoderParameterId::Compression, EncoderValueCompressionCCITT4}},
                                     encoder),
            Status::Ok);
  encoder->AddFrame(*bilevel);
  encoder->Flush();
  samples.push_back({"multi-page tiff", multi.TakeBytes()});
  return samples;
}

TEST(PlatformCodecHostile, TruncatedFilesGiveAStatus) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    ASSERT_EQ(DecodeAndTouch(sample.bytes), Status::Ok);
    const size_t size = sample.bytes.size();
    for (size_t length = 0; length < size; length += length < 128 ? 1 : size / 64 + 1) {
      Bytes cut(sample.bytes.begin(), sample.bytes.begin() + static_cast<ptrdiff_t>(length));
      Status s = DecodeAndTouch(cut);
      if (length < 8) {
        EXPECT_NE(s, Status::Ok) << length;
      }
    }
  }
}

TEST(PlatformCodecHostile, CorruptedFilesGiveAStatus) {
  std::mt19937 rng(20240601);
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    for (int round = 0; round < 150; ++round) {
      Bytes damaged = sample.bytes;
      int changes = 1 + static_cast<int>(rng() % 8);
      for (int i = 0; i < changes; ++i) {
        size_t at = rng() % damaged.size();
        // Headers are where the interesting damage is: aim there half the time.
        if (rng() % 2) at %= std::min<size_t>(damaged.size(), 64);
        damaged[at] = static_cast<uint8_t>(rng());
      }
      DecodeAndTouch(damaged);
    }
  }
}

TEST(PlatformCodecHostile, ForgedDimensionsAndUnknownBytes) {
  std::unique_ptr<Bitmap> image;
  EXPECT_EQ(DecodeImageMemory(nullptr, 0, false, image), Status::UnknownImageFormat);
  const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!', '!', '!'};
  EXPECT_EQ(DecodeImageMemory(text.data(), text.size(), false, image), Status::UnknownImageFormat);
  EXPECT_EQ(DetectImageFormat(text.data(), text.size()), RawFormat::Undefined);

  // A PNG header claiming 100000 x 100000 pixels.
  testing::PngSpec spec{1, 1, 2, 8};
  spec.rows = {1, 2, 3};
  Bytes png = testing::PngFile(spec);
  png[16] = 0, png[17] = 1, png[18] = 0x86, png[19] = 0xA0;  // width 100000
  png[20] = 0, png[21] = 1, png[22] = 0x86, png[23] = 0xA0;
  // Recompute the IHDR checksum so that only the size is wrong.
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 12; i < 29; ++i) {
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  crc = ~crc;
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  EXPECT_EQ(DecodeImageMemory(png.data(), png.size(), false, image), Status::OutOfMemory);

  // A chunk after the pixels claiming 1.3 GB: the image survives, nothing that size is made.
  Bytes tail = testing::PngFile(spec);
  ASSERT_EQ(std::string(tail.end() - 8, tail.end() - 4), "IEND");
  tail[tail.size() - 12] = 0x50;
  ASSERT_EQ(DecodeImageMemory(tail.data(), tail.size(), false, image), Status::Ok);
  EXPECT_EQ(image->Width(), 1);
  tail.resize(tail.size() - 4);  // the same without the chunk's checksum
  ASSERT_EQ(DecodeImageMemory(tail.data(), tail.size(), false, image), Status::Ok);

  // BMP: zero width, then 60000 x 60000 at 32 bits.
  auto small = Pattern(kPixelFormat24bppRGB);
  Bytes bmp = Encode(*small, "{557CF400-1A04-11D3-9A73-0000F81EF32E}");
  Bytes zero = bmp;
  zero[18] = zero[19] = 0;
  EXPECT_EQ(DecodeImageMemory(zero.data(), zero.size(), false, image), Status::UnknownImageFormat);
  Bytes huge = bmp;
  huge[18] = 0x60, huge[19] = 0xEA, huge[22] = 0x60, huge[23] = 0xEA, huge[28] = 32;
  EXPECT_EQ(DecodeImageMemory(huge.data(), huge.size(), false, image), Status::OutOfMemory);
  // Pixel data cut short.
  Bytes cut(bmp.begin(), bmp.end() - 100);
  EXPECT_EQ(DecodeImageMemory(cut.data(), cut.size(), false, image), Status::GenericError);

  // A GIF whose logical screen is 65535 x 65535.
  Bytes gif = Encode(*small, "{557CF402-1A04-11D3-9A73-0000F81EF32E}");
  gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
  EXPECT_EQ(DecodeImageMemory(gif.data(), gif.size(), false, image), Status::OutOfMemory);

  // A TIFF page of 50000 x 1 grey pixels whose directory is edited to claim 50000 rows.
  testing::TiffPage page{50000, 1, 8, 1, 1, 1, 5};
  page.samples.assign(50000, 0);
  Bytes tiff = testing::TiffFile({page});
  ASSERT_EQ(tiff[0], 'I');
  size_t ifd = tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<size_t>(tiff[7]) << 24;
  size_t entries = tiff[ifd] | tiff[ifd + 1] << 8;
  for (size_t i = 0; i < entries; ++i) {
    uint8_t* e = tiff.data() + ifd + 2 + 12 * i;
    if (e[0] == 0x01 && e[1] == 0x01) e[8] = 0x50, e[9] = 0xC3;  // ImageLength = 50000
  }
  EXPECT_EQ(DecodeImageMemory(tiff.data(), tiff.size(), false, image), Status::OutOfMemory);
}

}  // namespace
}  // namespace tessivo::platform
