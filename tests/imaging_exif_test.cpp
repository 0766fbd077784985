// EXIF tags of the native image through the public methods: each setter type written, saved
// as JPEG, PNG and TIFF and checked with exiftool, read back after a reload; a file tagged by
// exiftool listed as exiftool lists it; deletes that survive a save and a page change; and
// hostile arguments that must give their status and change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::ScopedTempFolder;
using namespace std::string_literals;

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << out;
  return out;
}

// exiftool's numeric JSON view of a file, which must carry no warning (a tag written under
// a type its directory does not declare gives "Non-standard format").
std::string ExiftoolJson(const std::string& path, const std::string& options = "") {
  const std::string json = Output("exiftool -j -n " + options + " '" + path + "'");
  EXPECT_EQ(json.find("Warning"), std::string::npos) << json;
  return json;
}

bool Shows(const std::string& json, const std::string& key, const std::string& value) {
  return json.find("\"" + key + "\": " + value + ",") != std::string::npos ||
         json.find("\"" + key + "\": " + value + "\n") != std::string::npos;
}

// The tag number of item `id` on the native image; 0 when it has none.
int32_t NumberOf(cImaging& im, int32_t id) {
  for (int32_t n = 1; n <= im.ExifTagCount(); ++n)
    if (im.ExifTagGetID(n) == id) return n;
  return 0;
}

std::string ValueOf(cImaging& im, int32_t id) {
  const int32_t n = NumberOf(im, id);
  return n ? im.ExifTagGetValueString(n) : "<absent>";
}

constexpr auto kStandardOutputSensitivity = static_cast<Tags>(0x8831);  // LONG
constexpr auto kOffsetSchema = static_cast<Tags>(0xEA1D);               // SLONG

struct Written {
  Tags id;
  TagTypes type;
  std::string text;
  const char* exiftoolName;
  const char* exiftoolValue;
  std::string readBack;  // text keeps its terminating zero
};

const std::vector<Written> kEachSetterType = {
    {TagArtist, TagTypeASCII, "Ann Example", "Artist", "\"Ann Example\"", "Ann Example\0"s},
    {TagExifUserComment, TagTypeASCII, "ASCII art", "UserComment", "\"ASCII art\"", "ASCII art\0"s},
    {TagGpsVer, TagTypeByte, "2, 3, 0, 0", "GPSVersionID", "\"2 3 0 0\"", "2, 3, 0, 0"},
    {TagExifColorSpace, TagTypeShort, "65535", "ColorSpace", "65535", "65535"},
    {kStandardOutputSensitivity, TagTypeLong, "4000000000", "StandardOutputSensitivity", "4000000000", "-294967296"},
    {TagExifFNumber, TagTypeRational, "2.8", "FNumber", "2.8", "2.8"},
    {TagExifExposureBias, TagTypeSRational, "-1/3", "ExposureCompensation", "-0.3333333333", "-0.333333333333333"},
};

TEST(ExifTags, EachSetterTypeReachesJpegPngAndTiffAndReadsBack) {
  ScopedTempFolder dir;
  // PNG: exiftool warns unless the eXIf chunk comes before the image data.
  for (const char* format : {"jpg", "png", "tif"}) {
    SCOPED_TRACE(format);
    cImaging im;
    ASSERT_NE(im.CreateNewImage(16, 12, 24, static_cast<int32_t>(0xFF336699u)), 0);
    for (const Written& w : kEachSetterType) EXPECT_EQ(im.ExifTagSetValueString(w.id, w.type, w.text), OK) << w.text;
    EXPECT_EQ(im.ExifTagSetValueString(kOffsetSchema, TagTypeSLONG, "-7"), OK);
    EXPECT_EQ(im.ExifTagCount(), 8);
    EXPECT_EQ(im.ExifTagGetType(NumberOf(im, TagExifColorSpace)), TagTypeShort);
    EXPECT_EQ(im.ExifTagGetLength(NumberOf(im, TagExifUserComment)), 18);

    const std::string path = dir.File(std::string("setters.") + format);
    EXPECT_EQ(format[0] == 'j' ? im.SaveAsJPEG(path) : format[0] == 'p' ? im.SaveAsPNG(path) : im.SaveAsTIFF(path), OK);
    const std::string json = ExiftoolJson(path);
    // libtiff keeps the rationals of its EXIF directory at float precision.
    const bool floatRationals = format[0] == 't';
    for (const Written& w : kEachSetterType) {
      if (floatRationals && (w.type == TagTypeRational || w.type == TagTypeSRational)) {
        const size_t at = json.find("\"" + std::string(w.exiftoolName) + "\": ");
        ASSERT_NE(at, std::string::npos) << w.exiftoolName << "\n" << json;
        EXPECT_NEAR(std::stod(json.substr(at + std::string(w.exiftoolName).size() + 4)), std::stod(w.exiftoolValue), 1e-6);
        continue;
      }
      EXPECT_TRUE(Shows(json, w.exiftoolName, w.exiftoolValue)) << w.exiftoolName << "\n" << json;
    }
    if (format[0] == 'j') EXPECT_TRUE(Shows(json, "OffsetSchema", "-7")) << json;

    const int32_t reloaded = im.CreateImageFromFile(path);
    ASSERT_NE(reloaded, 0);
    im.SetNativeImage(reloaded);
    for (const Written& w : kEachSetterType) {
      if (floatRationals && (w.type == TagTypeRational || w.type == TagTypeSRational))
        EXPECT_NEAR(std::stod(ValueOf(im, w.id)), std::stod(w.readBack), 1e-6) << w.exiftoolName;
      else
        EXPECT_EQ(ValueOf(im, w.id), w.readBack) << w.exiftoolName;
    }
    EXPECT_EQ(im.ExifTagGetName(NumberOf(im, TagExifFNumber)), "ExifFNumber");
  }
}

TEST(ExifTags, AFileTaggedByExiftoolListsWhatExiftoolLists) {
  ScopedTempFolder dir;
  cImaging im;
  ASSERT_NE(im.CreateNewImage(16, 12, 24), 0);
  const std::string path = dir.File("tagged.jpg");
  ASSERT_EQ(im.SaveAsJPEG(path), OK);
  Output("exiftool -q -overwrite_original -Artist='Bo Writer' -UserComment='Snow, at dusk' -FNumber=5.6 "
         "-GPSLatitude=47.5 -GPSLatitudeRef=N -GPSLongitude=8.25 -GPSLongitudeRef=E '" + path + "'");
  const std::string json = ExiftoolJson(path);
  ASSERT_TRUE(Shows(json, "FNumber", "5.6")) << json;

  const int32_t id = im.CreateImageFromFile(path);
  ASSERT_NE(id, 0);
  im.SetNativeImage(id);
  EXPECT_EQ(ValueOf(im, TagArtist), "Bo Writer\0"s);
  EXPECT_EQ(ValueOf(im, TagExifUserComment).substr(0, 13), "Snow, at dusk");
  EXPECT_EQ(ValueOf(im, TagExifFNumber), "5.6");
  EXPECT_EQ(ValueOf(im, TagGpsLatitudeRef).substr(0, 1), "N");
  EXPECT_EQ(ValueOf(im, TagGpsLatitude), "47, 30, 0");
  EXPECT_EQ(ValueOf(im, TagGpsLongitude), "8, 15, 0");
  EXPECT_EQ(im.ExifTagGetName(NumberOf(im, TagGpsLongitudeRef)), "GpsLongitudeRef");
  SafeArray<uint8_t> bytes;
  EXPECT_EQ(im.ExifTagGetValueBytes(NumberOf(im, TagExifFNumber), bytes), 8);
  EXPECT_EQ(bytes.LBound(), 0);
  EXPECT_EQ(bytes.storage(), (std::vector<uint8_t>{28, 0, 0, 0, 5, 0, 0, 0})) << "5.6 as exiftool wrote it";
}

TEST(ExifTags, DeletesSurviveASaveAndEditsAPageChange) {
  ScopedTempFolder dir;
  cImaging im;
  ASSERT_NE(im.CreateNewImage(8, 8, 24), 0);
  for (const Written& w : kEachSetterType) ASSERT_EQ(im.ExifTagSetValueString(w.id, w.type, w.text), OK);
  EXPECT_EQ(im.ExifTagDelete(NumberOf(im, TagArtist)), OK);
  EXPECT_EQ(im.ExifTagDelete(NumberOf(im, TagExifFNumber)), OK);
  EXPECT_EQ(im.ExifTagCount(), 5);
  const std::string path = dir.File("deleted.jpg");
  ASSERT_EQ(im.SaveAsJPEG(path), OK);
  std::string json = ExiftoolJson(path);
  EXPECT_EQ(json.find("\"Artist\""), std::string::npos) << json;
  EXPECT_EQ(json.find("\"FNumber\""), std::string::npos) << json;
  EXPECT_TRUE(Shows(json, "ColorSpace", "65535")) << json;

  EXPECT_EQ(im.ExifTagDeleteAll(), OK);
  EXPECT_EQ(im.ExifTagCount(), 0);
  EXPECT_EQ(im.ExifTagDeleteAll(), OK) << "nothing left to delete";
  ASSERT_EQ(im.SaveAsJPEG(path), OK);
  json = ExiftoolJson(path);
  EXPECT_EQ(json.find("ColorSpace"), std::string::npos) << json;

  // A document: tags written on page 2 and deleted on page 3 are still so after paging.
  const int32_t a = im.CreateNewImage(10, 4, 24), b = im.CreateNewImage(11, 4, 24), c = im.CreateNewImage(12, 4, 24);
  im.SetNativeImage(c);
  ASSERT_EQ(im.ExifTagSetValueString(TagArtist, TagTypeASCII, "Third"), OK);
  const int32_t doc = im.TiffCreateMultiPageFromTessivoImage(a);
  ASSERT_NE(doc, 0);
  ASSERT_EQ(im.TiffAppendPageFromTessivoImage(doc, b), OK);
  ASSERT_EQ(im.TiffAppendPageFromTessivoImage(doc, c), OK);
  im.SetNativeImage(doc);
  ASSERT_EQ(im.TiffSelectPage(doc, 3), OK);
  ASSERT_NE(NumberOf(im, TagArtist), 0);
  EXPECT_EQ(im.ExifTagDeleteAll(), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(im.ExifTagSetValueString(TagExifFNumber, TagTypeRational, "4"), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 1), OK);
  EXPECT_EQ(NumberOf(im, TagExifFNumber), 0);
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(ValueOf(im, TagExifFNumber), "4");
  ASSERT_EQ(im.TiffSelectPage(doc, 3), OK);
  EXPECT_EQ(NumberOf(im, TagArtist), 0) << "the deletion was kept";
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(im.ExifTagDelete(NumberOf(im, TagExifFNumber)), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 1), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(NumberOf(im, TagExifFNumber), 0);
}

TEST(ExifTags, PreserveCarriesTagsAcrossARebuildOnlyWhenOn) {
  cImaging im;
  ASSERT_NE(im.CreateNewImage(8, 8, 24), 0);
  ASSERT_EQ(im.ExifTagSetValueString(TagArtist, TagTypeASCII, "Kept"), OK);
  EXPECT_EQ(im.ConvertTo32BppARGB(), OK);
  EXPECT_EQ(ValueOf(im, TagArtist), "Kept\0"s);
  EXPECT_EQ(im.SetColorKey(static_cast<int32_t>(0xFF000000u), static_cast<int32_t>(0xFF101010u)), OK);
  EXPECT_EQ(ValueOf(im, TagArtist), "Kept\0"s) << "a colour key rebuilds the image";
  EXPECT_EQ(im.RotateAngle(30), OK);
  EXPECT_EQ(ValueOf(im, TagArtist), "Kept\0"s);
  im.TagsSetPreserve(false);
  EXPECT_EQ(im.ConvertTo24BppRGB(), OK);
  EXPECT_EQ(NumberOf(im, TagArtist), 0);
  ASSERT_EQ(im.ExifTagSetValueString(TagArtist, TagTypeASCII, "Dropped"), OK);
  EXPECT_EQ(im.SetColorKey(static_cast<int32_t>(0xFF000000u), static_cast<int32_t>(0xFF101010u)), OK);
  EXPECT_EQ(NumberOf(im, TagArtist), 0);
}

TEST(ExifTags, HostileArgumentsGiveTheirStatusAndChangeNothing) {
  cImaging im;
  SafeArray<uint8_t> untouched = SafeArray<uint8_t>::FromVector({7, 7}, 3);
  // No image: neutral values, the status of the last operation kept; edits refused.
  EXPECT_EQ(im.ExifTagSetValueString(TagArtist, TagTypeASCII, "x"), GenericError);
  EXPECT_EQ(im.ExifTagCount(), 0);
  EXPECT_EQ(im.GetStat(), GenericError);
  ASSERT_NE(im.CreateNewImage(8, 8, 24), 0);
  ASSERT_EQ(im.ExifTagSetValueString(TagExifColorSpace, TagTypeShort, "1"), OK);
  const int32_t image = im.GetNativeImage();
  im.SetNativeImage(0);
  for (TessivoStatus s : {im.ExifTagDelete(1), im.ExifTagDeleteAll(),
                          im.ExifTagSetValueBytes(TagArtist, TagTypeByte, SafeArray<uint8_t>::FromVector({1}))})
    EXPECT_EQ(s, GenericError);
  im.SetNativeImage(987654);
  EXPECT_EQ(im.ExifTagCount(), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.ExifTagDelete(1), InvalidParameter);
  EXPECT_EQ(im.ExifTagSetValueString(TagArtist, TagTypeASCII, "x"), InvalidParameter);
  EXPECT_EQ(im.ExifTagGetID(1), 0);
  im.SetNativeImage(image);

  for (int32_t n : {0, 2, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    const TessivoStatus before = im.GetStat();
    EXPECT_EQ(im.ExifTagGetID(n), 0) << n;
    EXPECT_EQ(im.ExifTagGetLength(n), 0);
    EXPECT_EQ(im.ExifTagGetType(n), TagTypeUndefined);
    EXPECT_EQ(im.ExifTagGetName(n), "");
    EXPECT_EQ(im.ExifTagGetValueString(n), "");
    EXPECT_EQ(im.ExifTagGetValueBytes(n, untouched), 0);
    EXPECT_EQ(im.GetStat(), before) << "getters leave the status alone";
    EXPECT_EQ(im.ExifTagDelete(n), PropertyNotFound) << n;
  }
  EXPECT_EQ(untouched.LBound(), 3);

  const auto bytes = [](std::vector<uint8_t> v) { return SafeArray<uint8_t>::FromVector(std::move(v)); };
  const std::vector<TessivoStatus> refused = {
      im.ExifTagSetValueBytes(TagExifColorSpace, TagTypeShort, bytes({1, 2, 3})),
      im.ExifTagSetValueBytes(TagExifColorSpace, TagTypeShort, SafeArray<uint8_t>()),
      im.ExifTagSetValueBytes(TagExifFNumber, TagTypeRational, bytes({1, 0, 0, 0, 1, 0, 0})),
      im.ExifTagSetValueBytes(TagExifColorSpace, TagTypeSSHORT, bytes({1, 0})),
      im.ExifTagSetValueBytes(static_cast<Tags>(-1), TagTypeByte, bytes({1})),
      im.ExifTagSetValueBytes(static_cast<Tags>(0x10000), TagTypeByte, bytes({1})),
      im.ExifTagSetValueBytes(TagArtist, static_cast<TagTypes>(std::numeric_limits<int32_t>::min()), bytes({1})),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeShort, "65536"),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeLong, "2147483648,-2147483649"),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeSLONG, "2147483648"),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeRational, "NaN"),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeByte, "1,300"),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeASCII, ""),
      im.ExifTagSetValueString(TagExifColorSpace, TagTypeUndefined, "1"),
      im.ExifTagSetValueString(static_cast<Tags>(std::numeric_limits<int32_t>::min()), TagTypeShort, "1"),
  };
  for (size_t i = 0; i < refused.size(); ++i) EXPECT_EQ(refused[i], InvalidParameter) << i;
  EXPECT_EQ(im.ExifTagCount(), 1);
  EXPECT_EQ(im.ExifTagGetValueString(1), "1") << "the item written first is intact";

  EXPECT_EQ(im.ExifTagSetValueBytes(TagExifColorSpace, TagTypeShort, SafeArray<uint8_t>::FromVector({0xFF, 0xFF}, 5)), OK);
  EXPECT_EQ(im.ExifTagGetValueString(1), "65535") << "bytes from the array's lower bound";
  EXPECT_EQ(im.ExifTagSetValueBytes(TagExifFNumber, TagTypeRational, bytes({1, 0, 0, 0, 3, 0, 0, 0})), OK);
  EXPECT_EQ(im.ExifTagGetValueString(2), "0.333333333333333");
}

}  // namespace
}  // namespace tessivo
