// Codec metadata: EXIF, GPS and thumbnail items through JPEG, TIFF and PNG files; ICC
// profiles kept and applied; resolution read from each format.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/codecs/codecs.h"
#include "platform/codecs/property_tags.h"
#include "support/codec_fixtures.h"

namespace tessivo::platform {
namespace {

using testing::Bytes;

const std::string kJpeg = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";
const std::string kGif = "{557CF402-1A04-11D3-9A73-0000F81EF32E}";
const std::string kTiff = "{557CF405-1A04-11D3-9A73-0000F81EF32E}";
const std::string kPng = "{557CF406-1A04-11D3-9A73-0000F81EF32E}";

Bytes Encode(const Bitmap& image, const std::string& clsid) {
  MemoryStream stream;
  EXPECT_EQ(EncodeImageStream(image, stream, clsid), Status::Ok);
  return stream.TakeBytes();
}

std::unique_ptr<Bitmap> Decode(const Bytes& bytes, bool icm = false) {
  std::unique_ptr<Bitmap> image;
  EXPECT_EQ(DecodeImageMemory(bytes.data(), bytes.size(), icm, image), Status::Ok);
  return image;
}

std::unique_ptr<Bitmap> Filled(int32_t w, int32_t h, uint32_t argb) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, kPixelFormat24bppRGB, b), Status::Ok);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) b->SetPixel(x, y, argb);
  }
  return b;
}

PropertyItem Item(uint32_t id, uint16_t type, Bytes value) { return {id, type, std::move(value)}; }
PropertyItem Ascii(uint32_t id, const std::string& text) {
  Bytes v(text.begin(), text.end());
  v.push_back(0);
  return Item(id, PropertyTagTypeASCII, v);
}
Bytes Rational(uint32_t n, uint32_t d) {
  Bytes v(8);
  for (int i = 0; i < 4; ++i) v[i] = static_cast<uint8_t>(n >> (8 * i)), v[4 + i] = static_cast<uint8_t>(d >> (8 * i));
  return v;
}
double RationalOf(const PropertyItem& item, size_t index = 0) {
  auto le = [&](size_t at) {
    return static_cast<uint32_t>(item.value[at] | item.value[at + 1] << 8 | item.value[at + 2] << 16 |
                                 item.value[at + 3] << 24);
  };
  return static_cast<double>(le(8 * index)) / le(8 * index + 4);
}

// An image carrying IFD0, Exif, GPS and codec-private items.
std::unique_ptr<Bitmap> WithExif() {
  auto image = Filled(40, 30, 0xFF336699);
  image->SetResolution(300.0f, 300.0f);
  Bytes latitude = Rational(52, 1);
  for (uint8_t b : Rational(31, 1)) latitude.push_back(b);
  for (uint8_t b : Rational(1234, 100)) latitude.push_back(b);
  const PropertyItem items[] = {
      Ascii(kPropertyTagEquipMake, "Tessivo Camera"),
      Ascii(kPropertyTagEquipModel, "T-1"),
      Ascii(kPropertyTagDateTime, "2024:05:06 07:08:09"),
      Item(kPropertyTagExifExposureTime, PropertyTagTypeRational, Rational(1, 250)),
      Item(kPropertyTagExifFNumber, PropertyTagTypeRational, Rational(28, 10)),
      Item(0x8827, PropertyTagTypeShort, {200, 0}),  // ISO speed
      Ascii(kPropertyTagExifDTOrig, "2024:05:06 07:08:09"),
      Item(kPropertyTagGpsVer, PropertyTagTypeByte, {2, 3, 0, 0}),
      Ascii(0x0001, "N"),
      Item(0x0002, PropertyTagTypeRational, latitude),
      Item(kPropertyTagFrameDelay, PropertyTagTypeLong, {1, 0, 0, 0}),  // not EXIF
      Item(kPropertyTagImageWidth, PropertyTagTypeShort, {9, 0}),       // describes the file
  };
  for (const PropertyItem& item : items) EXPECT_EQ(image->SetProperty(item), Status::Ok);
  return image;
}

void ExpectExifKept(const Bitmap& decoded, bool exactRationals) {
  PropertyItem item;
  ASSERT_EQ(decoded.GetProperty(kPropertyTagEquipMake, item), Status::Ok);
  EXPECT_EQ(item.type, PropertyTagTypeASCII);
  EXPECT_STREQ(reinterpret_cast<const char*>(item.value.data()), "Tessivo Camera");
  ASSERT_EQ(decoded.GetProperty(kPropertyTagDateTime, item), Status::Ok);
  EXPECT_STREQ(reinterpret_cast<const char*>(item.value.data()), "2024:05:06 07:08:09");
  ASSERT_EQ(decoded.GetProperty(kPropertyTagExifExposureTime, item), Status::Ok);
  EXPECT_EQ(item.type, PropertyTagTypeRational);
  EXPECT_NEAR(RationalOf(item), 1.0 / 250, 1e-8);
  if (exactRationals) {
    EXPECT_EQ(item.value, Rational(1, 250));
  }
  ASSERT_EQ(decoded.GetProperty(0x8827, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{200, 0}));
  ASSERT_EQ(decoded.GetProperty(kPropertyTagGpsVer, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{2, 3, 0, 0}));
  ASSERT_EQ(decoded.GetProperty(0x0002, item), Status::Ok);
  ASSERT_EQ(item.value.size(), 24u);
  EXPECT_NEAR(RationalOf(item, 2), 12.34, 1e-4);
  ASSERT_EQ(decoded.GetProperty(kPropertyTagXResolution, item), Status::Ok);
  EXPECT_DOUBLE_EQ(RationalOf(item), 300.0);
  // Pointers and items that belong to other formats or to the old file do not come back.
  for (uint32_t id : {kPropertyTagExifIFD, kPropertyTagGpsIFD, kPropertyTagFrameDelay}) {
    EXPECT_EQ(decoded.GetProperty(id, item), Status::PropertyNotFound) << id;
  }
}

TEST(PlatformCodecMetadata, ExifSurvivesAJpegRoundTrip) {
  auto image = WithExif();
  // A JPEG thumbnail comes back as ThumbnailData with its directory tags.
  Bytes thumbnail = Encode(*Filled(8, 6, 0xFFFF0000), kJpeg);
  ASSERT_EQ(image->SetProperty(Item(kPropertyTagThumbnailData, PropertyTagTypeByte, thumbnail)), Status::Ok);
  auto decoded = Decode(Encode(*image, kJpeg));
  ASSERT_NE(decoded, nullptr);
  ExpectExifKept(*decoded, true);
  PropertyItem item;
  ASSERT_EQ(decoded->GetProperty(kPropertyTagImageWidth, item), Status::PropertyNotFound);
  ASSERT_EQ(decoded->GetProperty(kPropertyTagThumbnailData, item), Status::Ok);
  EXPECT_EQ(item.value, thumbnail);
  ASSERT_EQ(decoded->GetProperty(kPropertyTagThumbnailCompression, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{6, 0}));
  EXPECT_EQ(decoded->HorizontalResolution(), 300.0f);
  // Decoding again and writing again changes nothing.
  auto again = Decode(Encode(*decoded, kJpeg));
  ASSERT_NE(again, nullptr);
  ExpectExifKept(*again, true);
}

TEST(PlatformCodecMetadata, ExifSurvivesTiffAndPngRoundTrips) {
  auto image = WithExif();
  ASSERT_EQ(image->SetProperty(Item(0x0129, PropertyTagTypeShort, {2, 0, 5, 0})), Status::Ok);
  auto tiff = Decode(Encode(*image, kTiff));
  ASSERT_NE(tiff, nullptr);
  ExpectExifKept(*tiff, false);  // libtiff keeps rationals as floating point
  PropertyItem item;
  ASSERT_EQ(tiff->GetProperty(0x0129, item), Status::Ok);  // page 3 of 6 (a pair of shorts)
  EXPECT_EQ(item.value, (Bytes{2, 0, 5, 0}));
  ASSERT_EQ(tiff->GetProperty(kPropertyTagImageWidth, item), Status::Ok);
  EXPECT_EQ(item.value[0], 40);  // the file's own structure, not the old item
  auto png = Decode(Encode(*image, kPng));
  ASSERT_NE(png, nullptr);
  ExpectExifKept(*png, true);
  // GIF keeps no EXIF.
  auto gif = Decode(Encode(*image, kGif));
  EXPECT_EQ(gif->GetProperty(kPropertyTagEquipMake, item), Status::PropertyNotFound);
}

// Values wider than the tag's storage narrow as integers do; a huge rational narrows without
// undefined conversion (the sanitized build stops on one).
TEST(PlatformCodecMetadata, WideValuesNarrowIntoShortTags) {
  auto image = Filled(9, 5, 0xFF808080);
  // Halftone hints are a pair of shorts; these longs do not fit one.
  ASSERT_EQ(image->SetProperty(Item(0x0141, PropertyTagTypeLong, {0x0F, 0, 0x3A, 0x52, 0x43, 0x12, 0x1A, 0xFF})),
            Status::Ok);
  ASSERT_EQ(image->SetProperty(Item(0x0129, PropertyTagTypeRational, [] {
                Bytes v = Rational(4000000000u, 1);
                Bytes w = Rational(7, 2);
                v.insert(v.end(), w.begin(), w.end());
                return v;
              }())),
            Status::Ok);
  auto tiff = Decode(Encode(*image, kTiff));
  ASSERT_NE(tiff, nullptr);
  PropertyItem item;
  ASSERT_EQ(tiff->GetProperty(0x0141, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{0x0F, 0, 0x43, 0x12}));
  ASSERT_EQ(tiff->GetProperty(0x0129, item), Status::Ok);
  EXPECT_EQ(item.value, (Bytes{0, 0x28, 3, 0}));  // 4000000000 mod 65536 = 0x2800, 3.5 -> 3
}

TEST(PlatformCodecMetadata, IccProfilesAreKeptAndAppliedOnRequest) {
  const Bytes wide = testing::WideGamutProfile();
  auto image = Filled(8, 8, 0xFF60C040);
  ASSERT_EQ(image->SetProperty(Item(kPropertyTagICCProfile, PropertyTagTypeUndefined, wide)), Status::Ok);
  for (const std::string& clsid : {kJpeg, kPng, kTiff}) {
    SCOPED_TRACE(clsid);
    Bytes file = Encode(*image, clsid);
    auto plain = Decode(file, false);
    auto managed = Decode(file, true);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(managed, nullptr);
    PropertyItem item;
    ASSERT_EQ(plain->GetProperty(kPropertyTagICCProfile, item), Status::Ok);
    EXPECT_EQ(item.value, wide);
    uint32_t before = 0, after = 0;
    plain->GetPixel(4, 4, before);
    managed->GetPixel(4, 4, after);
    EXPECT_NE(before, after);
    // Green in the wide space is greener than sRGB can show: red drops to make up for it.
    EXPECT_LT((after >> 16) & 0xFF, (before >> 16) & 0xFF);
  }
  // An sRGB profile leaves the colours where they were.
  ASSERT_EQ(image->SetProperty(Item(kPropertyTagICCProfile, PropertyTagTypeUndefined, testing::SrgbProfile())),
            Status::Ok);
  auto managed = Decode(Encode(*image, kPng), true);
  uint32_t argb = 0;
  managed->GetPixel(0, 0, argb);
  EXPECT_NEAR(static_cast<int>((argb >> 8) & 0xFF), 0xC0, 1);
}

TEST(PlatformCodecMetadata, ResolutionOfEachFormat) {
  auto image = Filled(10, 10, 0xFF808080);
  image->SetResolution(200.0f, 100.0f);
  for (const std::string& clsid : {kJpeg, kPng, kTiff}) {
    auto decoded = Decode(Encode(*image, clsid));
    EXPECT_NEAR(decoded->HorizontalResolution(), 200.0f, 0.05f) << clsid;
    EXPECT_NEAR(decoded->VerticalResolution(), 100.0f, 0.05f) << clsid;
    EXPECT_NE(decoded->Flags() & ImageFlagsHasRealDPI, 0u) << clsid;
  }
  // GIF stores none: the default 96 dpi, not flagged as real.
  auto gif = Decode(Encode(*image, kGif));
  EXPECT_EQ(gif->HorizontalResolution(), 96.0f);
  EXPECT_EQ(gif->Flags() & ImageFlagsHasRealDPI, 0u);
  // A TIFF in dots per centimetre.
  testing::TiffPage page{2, 2, 8, 1, 1, 1, 1};
  page.samples.assign(4, 0);
  page.xResolution = 40;
  page.yResolution = 20;
  page.resolutionUnit = 3;
  auto tiff = Decode(testing::TiffFile({page}));
  EXPECT_NEAR(tiff->HorizontalResolution(), 101.6f, 0.01f);
  EXPECT_NEAR(tiff->VerticalResolution(), 50.8f, 0.01f);
}

}  // namespace
}  // namespace tessivo::platform
