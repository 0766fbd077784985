// The platform codecs: encoder list and parameters, round trips through every encoder for
// every pixel format, decoder variants of each format, frames, resolution, streams, files
// and lossless JPEG transforms.
#include <gtest/gtest.h>

#include <tiffio.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/codecs/codecs.h"
#include "platform/codecs/property_tags.h"
#include "support/codec_fixtures.h"

namespace tessivo::platform {
namespace {

using testing::Bytes;

const std::string kBmp = "{557CF400-1A04-11D3-9A73-0000F81EF32E}";
const std::string kJpeg = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";
const std::string kGif = "{557CF402-1A04-11D3-9A73-0000F81EF32E}";
const std::string kTiff = "{557CF405-1A04-11D3-9A73-0000F81EF32E}";
const std::string kPng = "{557CF406-1A04-11D3-9A73-0000F81EF32E}";

Bytes Encode(const Bitmap& image, const std::string& clsid,
             const std::vector<EncoderParameter>& params = {}) {
  MemoryStream stream;
  EXPECT_EQ(EncodeImageStream(image, stream, clsid, params), Status::Ok);
  return stream.TakeBytes();
}

std::unique_ptr<Bitmap> Decode(const Bytes& bytes, bool icm = false) {
  std::unique_ptr<Bitmap> image;
  EXPECT_EQ(DecodeImageMemory(bytes.data(), bytes.size(), icm, image), Status::Ok);
  return image;
}

uint32_t Pixel(const Bitmap& b, int32_t x, int32_t y) {
  uint32_t argb = 0;
  EXPECT_EQ(b.GetPixel(x, y, argb), Status::Ok);
  return argb;
}

std::unique_ptr<Bitmap> AsArgb(const Bitmap& b) {
  std::unique_ptr<Bitmap> out;
  EXPECT_EQ(b.CloneArea({0, 0, b.Width(), b.Height()}, kPixelFormat32bppARGB, out), Status::Ok);
  return out;
}

// Random pixels valid for the format: premultiplied colours within their alpha, no bits set
// beyond the last pixel of a packed row.
std::unique_ptr<Bitmap> RandomImage(PixelFormat f, int32_t w, int32_t h, uint32_t seed) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, f, b), Status::Ok);
  std::mt19937 rng(seed);
  const int bits = BitsPerPixel(f);
  const int32_t rowBytes = (w * bits + 7) / 8;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b->Row(y);
    for (int32_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(rng());
    if ((w * bits) % 8) row[rowBytes - 1] &= static_cast<uint8_t>(0xFF00 >> ((w * bits) % 8));
    if (f == kPixelFormat32bppPARGB) {
      for (int32_t x = 0; x < w; ++x) {
        for (int c = 0; c < 3; ++c) row[4 * x + c] = std::min(row[4 * x + c], row[4 * x + 3]);
      }
    } else if (f == kPixelFormat64bppPARGB) {
      auto* px = reinterpret_cast<uint16_t*>(row);
      for (int32_t x = 0; x < w; ++x) {
        for (int c = 0; c < 3; ++c) px[4 * x + c] = std::min(px[4 * x + c], px[4 * x + 3]);
      }
    }
  }
  return b;
}

// A smooth image for the lossy encoder.
std::unique_ptr<Bitmap> Gradient(PixelFormat f, int32_t w, int32_t h) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, kPixelFormat32bppARGB, b), Status::Ok);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t r = x * 255 / w, g = y * 255 / h, bl = (x + y) * 127 / (w + h);
      b->SetPixel(x, y, 0xFF000000u | r << 16 | g << 8 | bl);
    }
  }
  if (f == kPixelFormat32bppARGB) return b;
  std::unique_ptr<Bitmap> out;
  EXPECT_EQ(b->CloneArea({0, 0, w, h}, f, out), Status::Ok);
  return out;
}

double MeanError(const Bitmap& a, const Bitmap& b) {
  auto x = AsArgb(a), y = AsArgb(b);
  double sum = 0;
  for (int32_t r = 0; r < a.Height(); ++r) {
    for (int32_t i = 0; i < a.Width() * 4; ++i) sum += std::abs(x->Row(r)[i] - y->Row(r)[i]);
  }
  return sum / (a.Width() * a.Height() * 4.0);
}

// The same pixels, compared as 8-bit ARGB (colour ignored where both are fully transparent)
// and, when the formats agree, byte for byte.
void ExpectSamePixels(const Bitmap& expected, const Bitmap& actual, bool ignoreAlpha = false) {
  ASSERT_EQ(expected.Width(), actual.Width());
  ASSERT_EQ(expected.Height(), actual.Height());
  auto x = AsArgb(expected), y = AsArgb(actual);
  int mismatches = 0;
  for (int32_t r = 0; r < expected.Height(); ++r) {
    for (int32_t c = 0; c < expected.Width(); ++c) {
      uint32_t p = Pixel(*x, c, r), q = Pixel(*y, c, r);
      if (ignoreAlpha) p |= 0xFF000000u, q |= 0xFF000000u;
      if ((p >> 24) == 0 && (q >> 24) == 0) continue;
      if (p != q && ++mismatches < 4) ADD_FAILURE() << std::hex << p << " != " << q << " at " << c << "," << r;
    }
  }
  if (expected.Format() == actual.Format() && !ignoreAlpha) {
    const int32_t bytes = (expected.Width() * BitsPerPixel(expected.Format()) + 7) / 8;
    for (int32_t r = 0; r < expected.Height(); ++r) {
      ASSERT_EQ(std::memcmp(expected.Row(r), actual.Row(r), bytes), 0) << "row " << r;
    }
  }
}

TEST(PlatformCodecs, EncoderListAndParameterIds) {
  const auto& encoders = ImageEncoders();
  ASSERT_EQ(encoders.size(), 5u);
  const char* descriptions[] = {"BMP", "JPEG", "GIF", "TIFF", "PNG"};
  const char* patterns[] = {"*.BMP;*.DIB;*.RLE", "*.JPG;*.JPEG;*.JPE;*.JFIF", "*.GIF",
                            "*.TIF;*.TIFF", "*.PNG"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(encoders[i].formatDescription, descriptions[i]);
    EXPECT_EQ(encoders[i].filenameExtension, patterns[i]);
    EXPECT_EQ(encoders[i].mimeType.rfind("image/", 0), 0u);
    EXPECT_EQ(FindEncoder(encoders[i].clsid), &encoders[i]);
  }
  EXPECT_EQ(FindEncoder("{557cf401-1a04-11d3-9a73-0000f81ef32e}")->format, RawFormat::JPEG);
  EXPECT_EQ(FindEncoder("{00000000-0000-0000-0000-000000000000}"), nullptr);
  EXPECT_EQ(ImageDecoders().back().format, RawFormat::Icon);
  EncoderParameterId id;
  ASSERT_TRUE(EncoderParameterFromGuid("{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}", id));
  EXPECT_EQ(id, EncoderParameterId::Quality);
  EXPECT_STREQ(EncoderParameterGuid(EncoderParameterId::SaveFlag),
               "{292266fc-ac40-47bf-8cfc-a85b89a655de}");
  EXPECT_FALSE(EncoderParameterFromGuid("{1d5be4b5}", id));
}

TEST(PlatformCodecs, BadEncoderParametersAreRefused) {
  auto image = RandomImage(kPixelFormat24bppRGB, 8, 8, 1);
  MemoryStream s;
  using P = EncoderParameterId;
  EXPECT_EQ(EncodeImageStream(*image, s, "{bad}"), Status::UnknownImageFormat);
  EXPECT_EQ(EncodeImageStream(*image, s, kPng, {{P::Quality, 50}}), Status::InvalidParameter);
  EXPECT_EQ(EncodeImageStream(*image, s, kJpeg, {{P::Quality, -1}}), Status::InvalidParameter);
  EXPECT_EQ(EncodeImageStream(*image, s, kJpeg, {{P::Transformation, 12}}), Status::InvalidParameter);
  EXPECT_EQ(EncodeImageStream(*image, s, kTiff, {{P::Compression, 7}}), Status::InvalidParameter);
  EXPECT_EQ(EncodeImageStream(*image, s, kTiff, {{P::ColorDepth, 2}}), Status::InvalidParameter);
  // The CCITT schemes and run lengths are for 1-bit images only.
  for (int32_t c : {EncoderValueCompressionCCITT3, EncoderValueCompressionCCITT4,
                    EncoderValueCompressionRle}) {
    EXPECT_EQ(EncodeImageStream(*image, s, kTiff, {{P::Compression, c}}), Status::InvalidParameter);
  }
  EXPECT_EQ(s.Bytes().size(), 0u);
}

struct Expectation {
  PixelFormat source, bmp, png, tiff;
};
// What each lossless encoder gives back for each format.
const Expectation kRoundTrips[] = {
    {kPixelFormat1bppIndexed, kPixelFormat1bppIndexed, kPixelFormat1bppIndexed, kPixelFormat1bppIndexed},
    {kPixelFormat4bppIndexed, kPixelFormat4bppIndexed, kPixelFormat4bppIndexed, kPixelFormat4bppIndexed},
    {kPixelFormat8bppIndexed, kPixelFormat8bppIndexed, kPixelFormat8bppIndexed, kPixelFormat8bppIndexed},
    {kPixelFormat16bppGrayScale, kPixelFormat24bppRGB, kPixelFormat48bppRGB, kPixelFormat48bppRGB},
    {kPixelFormat16bppRGB555, kPixelFormat16bppRGB555, kPixelFormat24bppRGB, kPixelFormat24bppRGB},
    {kPixelFormat16bppRGB565, kPixelFormat16bppRGB565, kPixelFormat24bppRGB, kPixelFormat24bppRGB},
    {kPixelFormat16bppARGB1555, kPixelFormat16bppARGB1555, kPixelFormat32bppARGB, kPixelFormat32bppARGB},
    {kPixelFormat24bppRGB, kPixelFormat24bppRGB, kPixelFormat24bppRGB, kPixelFormat24bppRGB},
    {kPixelFormat32bppRGB, kPixelFormat32bppRGB, kPixelFormat24bppRGB, kPixelFormat24bppRGB},
    {kPixelFormat32bppARGB, kPixelFormat32bppARGB, kPixelFormat32bppARGB, kPixelFormat32bppARGB},
    {kPixelFormat32bppPARGB, kPixelFormat32bppARGB, kPixelFormat32bppARGB, kPixelFormat32bppPARGB},
    {kPixelFormat48bppRGB, kPixelFormat24bppRGB, kPixelFormat48bppRGB, kPixelFormat48bppRGB},
    {kPixelFormat64bppARGB, kPixelFormat32bppARGB, kPixelFormat64bppARGB, kPixelFormat64bppARGB},
    {kPixelFormat64bppPARGB, kPixelFormat32bppARGB, kPixelFormat64bppARGB, kPixelFormat64bppPARGB},
};

class CodecRoundTrip : public ::testing::TestWithParam<Expectation> {};

TEST_P(CodecRoundTrip, LosslessEncodersKeepEveryPixel) {
  const Expectation& e = GetParam();
  auto image = RandomImage(e.source, 37, 11, static_cast<uint32_t>(e.source));
  image->SetResolution(150.0f, 75.0f);
  const std::pair<std::string, PixelFormat> encoders[] = {{kBmp, e.bmp}, {kPng, e.png}, {kTiff, e.tiff}};
  for (const auto& [clsid, expected] : encoders) {
    SCOPED_TRACE(clsid);
    auto decoded = Decode(Encode(*image, clsid));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->Format(), expected);
    EXPECT_NEAR(decoded->HorizontalResolution(), 150.0f, 0.05f);
    EXPECT_NEAR(decoded->VerticalResolution(), 75.0f, 0.05f);
    // TIFF palettes carry no alpha; the halftone and VGA palettes have none anyway.
    ExpectSamePixels(*image, *decoded);
  }
}

TEST_P(CodecRoundTrip, GifKeepsIndexedImagesAndMapsOthersToItsPalette) {
  const Expectation& e = GetParam();
  auto image = RandomImage(e.source, 19, 7, 99);
  auto decoded = Decode(Encode(*image, kGif));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->Format(), kPixelFormat8bppIndexed);
  EXPECT_EQ(decoded->GetRawFormat(), RawFormat::GIF);
  if (IsIndexed(e.source)) {
    ExpectSamePixels(*image, *decoded);
    return;
  }
  // Opaque pixels land on the palette's nearest colours; pixels below half alpha become
  // transparent.
  std::unique_ptr<Bitmap> mapped;
  ASSERT_EQ(image->CloneArea({0, 0, 19, 7}, kPixelFormat8bppIndexed, mapped), Status::Ok);
  auto argb = AsArgb(*image);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 19; ++x) {
      uint32_t got = Pixel(*decoded, x, y);
      if ((Pixel(*argb, x, y) >> 24) < 0x80) {
        EXPECT_EQ(got >> 24, 0u);
      } else {
        EXPECT_EQ(got, Pixel(*mapped, x, y) | 0xFF000000u);
      }
    }
  }
}

TEST_P(CodecRoundTrip, JpegStaysCloseToTheOriginal) {
  const Expectation& e = GetParam();
  auto image = Gradient(e.source, 64, 48);
  auto decoded = Decode(Encode(*image, kJpeg, {{EncoderParameterId::Quality, 95}}));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->Format(), kPixelFormat24bppRGB);  // no grey ramp among these
  EXPECT_LT(MeanError(*image, *decoded), IsIndexed(e.source) ? 12.0 : 3.0);
}

std::string FormatName(const ::testing::TestParamInfo<Expectation>& info) {
  static const char* const kNames[] = {"1bppIndexed", "4bppIndexed", "8bppIndexed", "16bppGrayScale",
                                       "16bppRGB555", "16bppRGB565", "16bppARGB1555", "24bppRGB",
                                       "32bppRGB", "32bppARGB", "32bppPARGB", "48bppRGB",
                                       "64bppARGB", "64bppPARGB"};
  return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(AllFormats, CodecRoundTrip, ::testing::ValuesIn(kRoundTrips), FormatName);

TEST(PlatformCodecs, JpegQualityGreyscaleAndFlags) {
  auto image = Gradient(kPixelFormat24bppRGB, 96, 64);
  Bytes low = Encode(*image, kJpeg, {{EncoderParameterId::Quality, 10}});
  Bytes high = Encode(*image, kJpeg, {{EncoderParameterId::Quality, 100}});
  Bytes capped = Encode(*image, kJpeg, {{EncoderParameterId::Quality, 150}});
  EXPECT_LT(low.size(), high.size());
  EXPECT_EQ(capped, high);
  auto colour = Decode(high);
  EXPECT_EQ(colour->Flags() & (ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI | ImageFlagsReadOnly),
            ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI | ImageFlagsReadOnly);
  EXPECT_EQ(colour->GetRawFormat(), RawFormat::JPEG);
  // An 8-bit grey ramp image is written as greyscale and read back the same way.
  std::unique_ptr<Bitmap> grey = RandomImage(kPixelFormat8bppIndexed, 16, 16, 5);
  Palette ramp;
  for (uint32_t i = 0; i < 256; ++i) ramp.entries.push_back(0xFF000000u | i * 0x010101u);
  grey->SetPalette(ramp);
  auto decoded = Decode(Encode(*grey, kJpeg));
  EXPECT_EQ(decoded->Format(), kPixelFormat8bppIndexed);
  EXPECT_EQ(decoded->GetPalette().entries, ramp.entries);
  EXPECT_NE(decoded->Flags() & ImageFlagsColorSpaceGRAY, 0u);
}

TEST(PlatformCodecs, TiffCompressionsAndColourDepth) {
  auto bilevel = RandomImage(kPixelFormat1bppIndexed, 61, 23, 7);
  for (int32_t c : {EncoderValueCompressionLZW, EncoderValueCompressionCCITT3,
                    EncoderValueCompressionCCITT4, EncoderValueCompressionRle,
                    EncoderValueCompressionNone}) {
    SCOPED_TRACE(c);
    Bytes file = Encode(*bilevel, kTiff, {{EncoderParameterId::Compression, c}});
    auto decoded = Decode(file);
    ASSERT_NE(decoded, nullptr);
    ExpectSamePixels(*bilevel, *decoded);
    PropertyItem compression;
    ASSERT_EQ(decoded->GetProperty(0x0103, compression), Status::Ok);
    const uint16_t expected[] = {0, 0, COMPRESSION_LZW, COMPRESSION_CCITTFAX3,
                                 COMPRESSION_CCITTFAX4, COMPRESSION_CCITTRLE, COMPRESSION_NONE};
    uint16_t stored = static_cast<uint16_t>(compression.value[0] | compression.value[1] << 8);
    EXPECT_EQ(stored, expected[c]);
  }
  // A colour depth converts the image before it is written.
  auto colour = Gradient(kPixelFormat32bppARGB, 20, 10);
  EXPECT_EQ(Decode(Encode(*colour, kTiff, {{EncoderParameterId::ColorDepth, 24}}))->Format(),
            kPixelFormat24bppRGB);
  EXPECT_EQ(Decode(Encode(*colour, kTiff, {{EncoderParameterId::ColorDepth, 8}}))->Format(),
            kPixelFormat8bppIndexed);
  auto mono = Decode(Encode(*colour, kTiff, {{EncoderParameterId::ColorDepth, 1},
                                             {EncoderParameterId::Compression,
                                              EncoderValueCompressionCCITT4}}));
  EXPECT_EQ(mono->Format(), kPixelFormat1bppIndexed);
}

TEST(PlatformCodecs, MultiFrameTiffWritesAndSelectsPages) {
  using P = EncoderParameterId;
  auto first = RandomImage(kPixelFormat24bppRGB, 30, 20, 1);
  auto second = RandomImage(kPixelFormat1bppIndexed, 17, 9, 2);
  auto third = RandomImage(kPixelFormat8bppIndexed, 5, 40, 3);
  MemoryStream stream;
  std::unique_ptr<MultiFrameEncoder> encoder;
  EXPECT_EQ(MultiFrameEncoder::Begin(*first, stream, kTiff, {}, encoder), Status::InvalidParameter);
  EXPECT_EQ(MultiFrameEncoder::Begin(*first, stream, kPng, {{P::SaveFlag, EncoderValueMultiFrame}},
                                     encoder),
            Status::InvalidParameter);
  ASSERT_EQ(MultiFrameEncoder::Begin(*first, stream, kTiff, {{P::SaveFlag, EncoderValueMultiFrame}},
                                     encoder),
            Status::Ok);
  EXPECT_EQ(encoder->AddFrame(*second, {{P::SaveFlag, EncoderValueFrameDimensionPage},
                                        {P::Compression, EncoderValueCompressionCCITT4}}),
            Status::Ok);
  EXPECT_EQ(encoder->AddFrame(*third, {{P::SaveFlag, EncoderValueMultiFrame}}), Status::InvalidParameter);
  EXPECT_EQ(encoder->AddFrame(*third), Status::Ok);
  EXPECT_EQ(encoder->FramesWritten(), 3u);
  EXPECT_EQ(encoder->Flush(), Status::Ok);
  EXPECT_EQ(encoder->AddFrame(*third), Status::WrongState);

  auto decoded = Decode(stream.Bytes());
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->FrameCount(FrameDimension::Page), 3u);
  ExpectSamePixels(*first, *decoded);
  ASSERT_EQ(decoded->SelectActiveFrame(FrameDimension::Page, 2), Status::Ok);
  ExpectSamePixels(*third, *decoded);
  ASSERT_EQ(decoded->SelectActiveFrame(FrameDimension::Page, 1), Status::Ok);
  ExpectSamePixels(*second, *decoded);
  EXPECT_EQ(decoded->SelectActiveFrame(FrameDimension::Page, 3), Status::InvalidParameter);
  EXPECT_EQ(decoded->GetRawFormat(), RawFormat::TIFF);
}

TEST(PlatformCodecs, MultiFrameTiffFileIsCompletedByTheDestructor) {
  std::string path = ::testing::TempDir() + "codecs-multi.tif";
  auto page = RandomImage(kPixelFormat4bppIndexed, 9, 9, 4);
  {
    std::unique_ptr<MultiFrameEncoder> encoder;
    ASSERT_EQ(MultiFrameEncoder::Begin(*page, path, kTiff,
                                       {{EncoderParameterId::SaveFlag, EncoderValueMultiFrame}}, encoder),
              Status::Ok);
    EXPECT_EQ(encoder->AddFrame(*page, {{EncoderParameterId::SaveFlag, EncoderValueLastFrame}}), Status::Ok);
    EXPECT_EQ(encoder->Flush(), Status::WrongState);  // the last frame completed it
  }
  std::unique_ptr<Bitmap> decoded;
  ASSERT_EQ(DecodeImageFile(path, false, decoded), Status::Ok);
  EXPECT_EQ(decoded->FrameCount(FrameDimension::Page), 2u);
  std::remove(path.c_str());
  // A file that cannot begin is not left behind.
  std::unique_ptr<MultiFrameEncoder> encoder;
  EXPECT_EQ(MultiFrameEncoder::Begin(*page, path, kTiff, {{EncoderParameterId::Compression, 3}}, encoder),
            Status::InvalidParameter);
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

// --- Decoder variants ---

TEST(PlatformCodecs, BmpVariants) {
  // 4x3, RLE8 with a run, a literal, a delta and an early end of bitmap.
  Bytes rle8 = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 40 + 12, 0, 0, 0,
                40, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0,
                0, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,
                0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0,  // blue, green, red
                4, 1, 0, 0, 0, 3, 2, 0, 1, 0, 0, 2, 1, 1, 0, 1};
  auto b = Decode(rle8);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Format(), kPixelFormat8bppIndexed);
  EXPECT_NEAR(b->HorizontalResolution(), 72.0f, 0.1f);  // 2835 pixels per metre
  const uint8_t expected[3][4] = {{0, 0, 0, 0}, {2, 0, 1, 0}, {1, 1, 1, 1}};  // top row first
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b->Row(y)[x], expected[y][x]) << x << "," << y;
  }
  // Top-down 565 bit fields.
  Bytes top = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 40 + 12, 0, 0, 0,
               40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 16, 0, 3, 0, 0, 0,
               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
               0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0,
               0x00, 0xF8, 0x1F, 0x00, 0xE0, 0x07, 0xFF, 0xFF};
  b = Decode(top);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Format(), kPixelFormat16bppRGB565);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFF0000FFu);
  EXPECT_EQ(Pixel(*b, 0, 1), 0xFF00FF00u);
  EXPECT_FALSE(b->Flags() & ImageFlagsHasRealDPI);
  EXPECT_EQ(b->HorizontalResolution(), 96.0f);
}

TEST(PlatformCodecs, PngVariants) {
  using testing::PngSpec;
  // Palette with transparency: indexed, alpha in the palette.
  PngSpec pal{3, 1, 3, 2};
  pal.rows = {0b00011011};
  pal.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
  pal.transparency = {0, 128};
  auto b = Decode(testing::PngFile(pal));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Format(), kPixelFormat4bppIndexed);
  EXPECT_EQ(Pixel(*b, 0, 0), 0x00FF0000u);
  EXPECT_EQ(Pixel(*b, 1, 0), 0x8000FF00u);
  EXPECT_EQ(Pixel(*b, 2, 0), 0xFF0000FFu);
  EXPECT_NE(b->Flags() & ImageFlagsHasTranslucent, 0u);
  // 16-bit grey with alpha, interlaced.
  PngSpec ga{5, 9, 4, 16, true};
  for (int i = 0; i < 5 * 9; ++i) ga.rows.insert(ga.rows.end(), {uint8_t(i), 0x10, 0xFF, 0xFF});
  ga.pixelsPerMeter = 11811;  // 300 dpi
  b = Decode(testing::PngFile(ga));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Format(), kPixelFormat64bppARGB);
  const uint16_t* px = reinterpret_cast<const uint16_t*>(b->Row(8));
  EXPECT_EQ(px[4 * 4], 44 * 256 + 0x10);
  EXPECT_EQ(px[4 * 4 + 3], 0xFFFF);
  EXPECT_NEAR(b->HorizontalResolution(), 300.0f, 0.01f);
  EXPECT_NE(b->Flags() & ImageFlagsColorSpaceGRAY, 0u);
  // 2-bit grey widens to an 8-bit grey ramp; RGB with a colour key gains alpha.
  PngSpec grey{4, 1, 0, 2};
  grey.rows = {0b00011011};
  b = Decode(testing::PngFile(grey));
  EXPECT_EQ(b->Format(), kPixelFormat8bppIndexed);
  EXPECT_EQ(Pixel(*b, 2, 0), 0xFFAAAAAAu);
  PngSpec key{2, 1, 2, 8};
  key.rows = {1, 2, 3, 4, 5, 6};
  key.transparency = {0, 4, 0, 5, 0, 6};
  b = Decode(testing::PngFile(key));
  EXPECT_EQ(b->Format(), kPixelFormat32bppARGB);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFF010203u);
  EXPECT_EQ(Pixel(*b, 1, 0) >> 24, 0u);
}

TEST(PlatformCodecs, JpegCmykIsConvertedAndFlagged) {
  Bytes cmyk;
  for (int i = 0; i < 16 * 16; ++i) cmyk.insert(cmyk.end(), {0, 255, 255, 255});  // full cyan
  auto b = Decode(testing::CmykJpegFile(16, 16, cmyk));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Format(), kPixelFormat32bppRGB);
  EXPECT_NE(b->Flags() & ImageFlagsColorSpaceCMYK, 0u);
  uint32_t p = Pixel(*b, 8, 8);
  EXPECT_LT((p >> 16) & 0xFF, 10u);
  EXPECT_GT((p >> 8) & 0xFF, 245u);
  EXPECT_GT(p & 0xFF, 245u);
}

TEST(PlatformCodecs, TiffVariants) {
  using testing::TiffPage;
  // A tiled, planar RGB page with a 16-bit grey page and a min-is-white bilevel page.
  TiffPage rgb{40, 33, 8, 3, PHOTOMETRIC_RGB, PLANARCONFIG_SEPARATE, COMPRESSION_ADOBE_DEFLATE};
  rgb.tileSize = 16;
  for (int plane = 0; plane < 3; ++plane) {
    for (int i = 0; i < 40 * 33; ++i) rgb.samples.push_back(static_cast<uint8_t>(i * (plane + 1)));
  }
  rgb.xResolution = rgb.yResolution = 118.11f;
  rgb.resolutionUnit = RESUNIT_CENTIMETER;
  rgb.make = "Maker";
  TiffPage grey16{3, 2, 16, 1, PHOTOMETRIC_MINISBLACK, 1, COMPRESSION_LZW};
  for (uint16_t v : {0, 1000, 65535, 2, 40000, 7}) {
    grey16.samples.insert(grey16.samples.end(), {uint8_t(v), uint8_t(v >> 8)});
  }
  TiffPage white{9, 2, 1, 1, PHOTOMETRIC_MINISWHITE, 1, COMPRESSION_PACKBITS};
  white.samples = {0x80, 0x00, 0x00, 0x80};
  TiffPage cmyk{2, 1, 8, 4, PHOTOMETRIC_SEPARATED, 1, COMPRESSION_NONE};
  cmyk.samples = {0, 0, 0, 0, 255, 0, 255, 0};  // white, then green (cyan + yellow)
  TiffPage palette{2, 1, 4, 1, PHOTOMETRIC_PALETTE, 1, COMPRESSION_NONE};
  palette.samples = {0x1F};
  palette.colormap.assign(48, 0);
  palette.colormap[1] = 65535;       // red of entry 1
  palette.colormap[32 + 15] = 65535;  // blue of entry 15
  TiffPage ycbcr{32, 16, 8, 3, PHOTOMETRIC_YCBCR, 1, COMPRESSION_JPEG};
  ycbcr.samples.assign(32 * 16 * 3, 200);
  TiffPage cmyk16{1, 1, 16, 4, PHOTOMETRIC_SEPARATED, 1, COMPRESSION_NONE};
  cmyk16.samples = {0, 0, 0xFF, 0xFF, 0, 0, 0, 0};  // full magenta

  auto b = Decode(testing::TiffFile({rgb, grey16, white, cmyk, palette, ycbcr, cmyk16}));
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->FrameCount(FrameDimension::Page), 7u);
  EXPECT_EQ(b->Format(), kPixelFormat24bppRGB);
  EXPECT_EQ(Pixel(*b, 39, 32), 0xFF000000u | ((39 + 32 * 40) & 0xFF) << 16 |
                                   ((2 * (39 + 32 * 40)) & 0xFF) << 8 | ((3 * (39 + 32 * 40)) & 0xFF));
  EXPECT_NEAR(b->HorizontalResolution(), 300.0f, 0.01f);
  PropertyItem make;
  ASSERT_EQ(b->GetProperty(kPropertyTagEquipMake, make), Status::Ok);
  EXPECT_STREQ(reinterpret_cast<const char*>(make.value.data()), "Maker");

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 1), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat48bppRGB);
  const uint16_t* g = reinterpret_cast<const uint16_t*>(b->Row(1));
  EXPECT_EQ(g[3], 40000);
  EXPECT_EQ(g[4], 40000);
  EXPECT_EQ(b->HorizontalResolution(), 96.0f);
  EXPECT_EQ(b->GetProperty(kPropertyTagEquipMake, make), Status::PropertyNotFound);

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 2), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat1bppIndexed);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFF000000u);  // a set bit is black in min-is-white
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(*b, 8, 1), 0xFF000000u);

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 3), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat32bppRGB);
  EXPECT_NE(b->Flags() & ImageFlagsColorSpaceCMYK, 0u);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFF00FF00u);

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 4), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat4bppIndexed);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFF0000FFu);

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 5), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat24bppRGB);
  EXPECT_NEAR(static_cast<int>(Pixel(*b, 5, 5) & 0xFF), 200, 3);

  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 6), Status::Ok);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFF00FFu);
}

TEST(PlatformCodecs, GifFramesDelaysLoopCommentAndDisposal) {
  testing::GifSpec spec;
  spec.width = 4;
  spec.height = 2;
  spec.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  spec.loopCount = 3;
  spec.comment = "made for tests";
  spec.frames.push_back({0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1}, 10, 1, -1});
  spec.frames.push_back({1, 0, 2, 2, {2, 3, 3, 2}, 20, 2, 3});  // index 3 transparent
  spec.frames.push_back({0, 1, 1, 1, {3}, 0, 0, -1, {9, 9, 9, 8, 8, 8, 7, 7, 7, 6, 6, 6}});
  auto b = Decode(testing::GifFile(spec));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->FrameCount(FrameDimension::Time), 3u);
  EXPECT_EQ(b->FrameCount(FrameDimension::Page), 1u);
  EXPECT_EQ(b->Format(), kPixelFormat8bppIndexed);
  PropertyItem item;
  ASSERT_EQ(b->GetProperty(kPropertyTagFrameDelay, item), Status::Ok);
  EXPECT_EQ(item.type, PropertyTagTypeLong);
  EXPECT_EQ(item.value, (Bytes{10, 0, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(b->GetProperty(kPropertyTagLoopCount, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{3, 0}));
  ASSERT_EQ(b->GetProperty(kPropertyTagGifComment, item), Status::Ok);
  EXPECT_STREQ(reinterpret_cast<const char*>(item.value.data()), "made for tests");
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFF0000u);

  // Frame 1 paints green over red except where its pixels are transparent.
  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Time, 1), Status::Ok);
  EXPECT_EQ(Pixel(*b, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(Pixel(*b, 2, 0), 0xFFFF0000u);
  // Frame 2 comes after frame 1's area was cleared (disposal 2) and brings its own colours.
  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Time, 2), Status::Ok);
  EXPECT_EQ(b->Format(), kPixelFormat32bppARGB);
  EXPECT_EQ(Pixel(*b, 0, 1), 0xFF060606u);
  EXPECT_EQ(Pixel(*b, 1, 0) >> 24, 0u);  // cleared to transparent
  EXPECT_EQ(Pixel(*b, 3, 0), 0xFFFF0000u);
  // Going back starts again from the first frame.
  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Time, 0), Status::Ok);
  EXPECT_EQ(Pixel(*b, 1, 0), 0xFFFF0000u);
}

TEST(PlatformCodecs, IconsGiveTheLargestImageWithAlpha) {
  auto small = RandomImage(kPixelFormat24bppRGB, 16, 16, 8);
  Bytes png = Encode(*Gradient(kPixelFormat32bppARGB, 32, 32), kPng);
  Bytes bmp = Encode(*small, kBmp);
  // The icon's BMP image: header without the file header, height doubled, then the mask.
  Bytes dib(bmp.begin() + 14, bmp.end());
  dib[8] = 32;
  dib.resize(dib.size() + 4 * 16, 0);
  dib[dib.size() - 4 * 16] = 0x80;  // bottom row, first pixel masked
  Bytes ico = {0, 0, 1, 0, 2, 0};
  auto entry = [&](uint8_t size, const Bytes& data, uint32_t offset) {
    Bytes e = {size, size, 0, 0, 1, 0, 32, 0};
    for (uint32_t v : {static_cast<uint32_t>(data.size()), offset}) {
      for (int i = 0; i < 4; ++i) e.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    ico.insert(ico.end(), e.begin(), e.end());
  };
  entry(16, dib, 6 + 32);
  entry(32, png, static_cast<uint32_t>(6 + 32 + dib.size()));
  Bytes file = ico;
  file.insert(file.end(), dib.begin(), dib.end());
  file.insert(file.end(), png.begin(), png.end());
  auto b = Decode(file);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 32);
  EXPECT_EQ(b->Format(), kPixelFormat32bppARGB);
  EXPECT_EQ(b->GetRawFormat(), RawFormat::Icon);
  // Without the PNG entry the masked DIB is chosen.
  file[4] = 1;
  b = Decode(file);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 16);
  EXPECT_EQ(Pixel(*b, 0, 15) >> 24, 0u);
  EXPECT_EQ(Pixel(*b, 1, 15), Pixel(*small, 1, 15));
}

// --- Streams, files and transforms ---

TEST(PlatformCodecs, StreamsReadWriteAndSeek) {
  MemoryStream m;
  EXPECT_EQ(m.Write("abcdef", 6), Status::Ok);
  EXPECT_EQ(m.Seek(-2, SeekOrigin::End), Status::Ok);
  char buffer[8] = {};
  size_t read = 0;
  EXPECT_EQ(m.Read(buffer, 8, read), Status::Ok);
  EXPECT_EQ(std::string(buffer, read), "ef");
  EXPECT_EQ(m.Seek(-1, SeekOrigin::Begin), Status::InvalidParameter);
  EXPECT_EQ(m.Seek(10, SeekOrigin::Begin), Status::Ok);
  EXPECT_EQ(m.Write("x", 1), Status::Ok);  // the gap is zero-filled
  EXPECT_EQ(m.Bytes().size(), 11u);
  EXPECT_EQ(m.Bytes()[8], 0);

  std::unique_ptr<FileStream> f;
  EXPECT_EQ(FileStream::Open("/nonexistent/x", FileStream::Mode::Read, f), Status::FileNotFound);
  EXPECT_EQ(FileStream::Open("/", FileStream::Mode::Read, f), Status::AccessDenied);
  std::string path = ::testing::TempDir() + "codecs-stream.bin";
  ASSERT_EQ(FileStream::Open(path, FileStream::Mode::Create, f), Status::Ok);
  EXPECT_EQ(f->Write("12345", 5), Status::Ok);
  uint64_t size = 0;
  EXPECT_EQ(f->Size(size), Status::Ok);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(f->Seek(1, SeekOrigin::Begin), Status::Ok);
  EXPECT_EQ(f->Read(buffer, 2, read), Status::Ok);
  EXPECT_EQ(std::string(buffer, read), "23");
  // Writing right after reading, reading right after writing, seeking where the stream is and
  // past its end: the position and size kept by the stream stay those of the file.
  EXPECT_EQ(f->Write("ab", 2), Status::Ok);
  EXPECT_EQ(f->Position(), 5u);
  EXPECT_EQ(f->Seek(0, SeekOrigin::Current), Status::Ok);
  EXPECT_EQ(f->Read(buffer, 4, read), Status::Ok);
  EXPECT_EQ(read, 0u) << "at the end";
  EXPECT_EQ(f->Seek(-5, SeekOrigin::End), Status::Ok);
  EXPECT_EQ(f->Read(buffer, 5, read), Status::Ok);
  EXPECT_EQ(std::string(buffer, read), "123ab");
  EXPECT_EQ(f->Seek(2, SeekOrigin::End), Status::Ok);
  EXPECT_EQ(f->Write("z", 1), Status::Ok);
  EXPECT_EQ(f->Size(size), Status::Ok);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(f->Seek(0, SeekOrigin::Begin), Status::Ok);
  EXPECT_EQ(f->Read(buffer, 8, read), Status::Ok);
  EXPECT_EQ(std::string(buffer, read), std::string("123ab\0\0z", 8));
  f.reset();
  ASSERT_EQ(FileStream::Open(path, FileStream::Mode::Read, f), Status::Ok);
  EXPECT_EQ(f->Size(size), Status::Ok);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(f->Seek(-1, SeekOrigin::End), Status::Ok);
  EXPECT_EQ(f->Read(buffer, 4, read), Status::Ok);
  EXPECT_EQ(std::string(buffer, read), "z");
  f.reset();
  std::remove(path.c_str());

  // A stream is decoded from its current position.
  auto image = RandomImage(kPixelFormat24bppRGB, 5, 5, 3);
  MemoryStream s;
  s.Write("junk", 4);
  EXPECT_EQ(EncodeImageStream(*image, s, kPng), Status::Ok);
  s.Seek(4, SeekOrigin::Begin);
  std::unique_ptr<Bitmap> decoded;
  ASSERT_EQ(DecodeImageStream(s, false, decoded), Status::Ok);
  ExpectSamePixels(*image, *decoded);
}

TEST(PlatformCodecs, FilesAndTheirFailures) {
  auto image = RandomImage(kPixelFormat8bppIndexed, 12, 12, 6);
  std::string path = ::testing::TempDir() + "codecs-file.bmp";
  ASSERT_EQ(EncodeImageFile(*image, path, kBmp), Status::Ok);
  std::unique_ptr<Bitmap> decoded;
  ASSERT_EQ(DecodeImageFile(path, false, decoded), Status::Ok);
  ExpectSamePixels(*image, *decoded);
  EXPECT_EQ(decoded->GetRawFormat(), RawFormat::BMP);
  std::remove(path.c_str());
  EXPECT_EQ(DecodeImageFile(path, false, decoded), Status::FileNotFound);
  EXPECT_EQ(decoded, nullptr);
  EXPECT_EQ(EncodeImageFile(*image, "/nonexistent-dir/x.bmp", kBmp), Status::Win32Error);
  // An unknown encoder writes nothing.
  EXPECT_EQ(EncodeImageFile(*image, path, "{}"), Status::UnknownImageFormat);
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST(PlatformCodecs, LosslessJpegTransforms) {
  auto image = Gradient(kPixelFormat24bppRGB, 32, 16);
  Bytes jpeg = Encode(*image, kJpeg, {{EncoderParameterId::Quality, 90}});
  auto original = Decode(jpeg);
  Bytes rotated;
  ASSERT_EQ(TransformJpegMemory(jpeg, EncoderValueTransformRotate90, rotated), Status::Ok);
  auto r = Decode(rotated);
  ASSERT_EQ(r->Width(), 16);
  ASSERT_EQ(r->Height(), 32);
  // Rotating the decoded pixels gives the decoded rotated file, up to rounding.
  std::unique_ptr<Bitmap> expected;
  ASSERT_EQ(original->Clone(expected), Status::Ok);
  ASSERT_EQ(expected->RotateFlip(Rotate90FlipNone), Status::Ok);
  EXPECT_LT(MeanError(*expected, *r), 1.5);
  Bytes flipped;
  ASSERT_EQ(TransformJpegMemory(jpeg, EncoderValueTransformFlipVertical, flipped), Status::Ok);
  auto f = Decode(flipped);
  ASSERT_EQ(original->RotateFlip(Rotate180FlipX), Status::Ok);
  EXPECT_LT(MeanError(*original, *f), 1.5);

  EXPECT_EQ(TransformJpegMemory(jpeg, 12, rotated), Status::InvalidParameter);
  Bytes png = Encode(*image, kPng);
  EXPECT_EQ(TransformJpegMemory(png, EncoderValueTransformRotate90, rotated), Status::UnknownImageFormat);
  std::string path = ::testing::TempDir() + "codecs-transform.jpg";
  ASSERT_EQ(EncodeImageFile(*image, path, kJpeg), Status::Ok);
  EXPECT_EQ(TransformJpegFile(path, path, EncoderValueTransformRotate270), Status::Ok);
  std::unique_ptr<Bitmap> fromFile;
  ASSERT_EQ(DecodeImageFile(path, false, fromFile), Status::Ok);
  EXPECT_EQ(fromFile->Width(), 16);
  std::remove(path.c_str());
  EXPECT_EQ(TransformJpegFile(path, path, EncoderValueTransformRotate90), Status::FileNotFound);
}

}  // namespace
}  // namespace tessivo::platform
