// EXIF values in and out of their bytes: the text parser of the setters (ranges, rounding,
// decimals kept in rationals, the user comment header) and the bounds of the item record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/property_item.h"
#include "formats/tag_value_format.h"
#include "formats/tag_value_parse.h"

namespace tessivo {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Parsed(uint32_t id, int32_t type, const std::string& text) {
  platform::PropertyItem item;
  EXPECT_TRUE(ParseTagText(id, type, text, item)) << type << " '" << text << "'";
  EXPECT_EQ(item.type, type);
  return item.value;
}

bool Refused(int32_t type, const std::string& text, uint32_t id = 0x9999) {
  platform::PropertyItem item{7, 7, {1, 2, 3}};
  const bool refused = !ParseTagText(id, type, text, item);
  EXPECT_EQ(item.value, (Bytes{1, 2, 3})) << "a refused text leaves the item alone";
  return refused;
}

Bytes Le32(std::initializer_list<uint32_t> values) {
  Bytes out;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return out;
}

TEST(TagTextParse, NumbersByTypeWithTheirRanges) {
  EXPECT_EQ(Parsed(1, 3, "1, 2,3"), (Bytes{1, 0, 2, 0, 3, 0}));
  EXPECT_EQ(Parsed(1, 3, "65535,-32768"), (Bytes{0xFF, 0xFF, 0x00, 0x80}));
  EXPECT_EQ(Parsed(1, 1, "0,255,2.5,3.5,12abc,"), (Bytes{0, 255, 2, 4, 12, 0})) << "halves to even";
  EXPECT_EQ(Parsed(1, 4, "4294967295,-2147483648"), Le32({0xFFFFFFFFu, 0x80000000u}));
  EXPECT_EQ(Parsed(1, 9, "-1,2147483647"), Le32({0xFFFFFFFFu, 0x7FFFFFFFu}));
  EXPECT_EQ(Parsed(1, 4, "1e3"), Le32({1000}));
  for (const char* text : {"256", "-1", "-0.6"}) EXPECT_TRUE(Refused(1, text)) << text;
  for (const char* text : {"65536", "-32769"}) EXPECT_TRUE(Refused(3, text)) << text;
  for (const char* text : {"4294967296", "-2147483649", "1e999"}) EXPECT_TRUE(Refused(4, text)) << text;
  EXPECT_TRUE(Refused(9, "2147483648"));
  for (const char* text : {"NaN", "-nan", "inf", "1,Infinity", "", "   "}) EXPECT_TRUE(Refused(4, text)) << text;
  for (int32_t type : {0, 6, 7, 8, 11, 12, -1}) EXPECT_TRUE(Refused(type, "1")) << type;
}

TEST(TagTextParse, RationalsKeepTheirDecimals) {
  EXPECT_EQ(Parsed(1, 5, "2.8"), Le32({28, 10}));
  EXPECT_EQ(Parsed(1, 5, "72, 1/3 ,0"), Le32({72, 1, 1, 3, 0, 1}));
  EXPECT_EQ(Parsed(1, 10, "-1/3,-0.25"), Le32({0xFFFFFFFFu, 3, static_cast<uint32_t>(-25), 100}));
  EXPECT_EQ(Parsed(1, 5, "0.1234567891234"), Le32({123456789, 1000000000})) << "at most nine decimals";
  EXPECT_EQ(Parsed(1, 5, "4000000.5"), Le32({40000005, 10}));
  EXPECT_EQ(Parsed(1, 5, "4000000000.5"), Le32({4000000000u, 1})) << "decimals dropped to fit";
  EXPECT_TRUE(Refused(5, "5000000000"));
  EXPECT_TRUE(Refused(5, "1/4294967296"));
  EXPECT_TRUE(Refused(10, "3000000000/1"));
  EXPECT_TRUE(Refused(5, "nan/1"));
}

TEST(TagTextParse, TextAndTheUserCommentHeader) {
  auto text = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
  EXPECT_EQ(text(Parsed(315, 2, "Ann")), std::string("Ann\0", 4));
  EXPECT_EQ(text(Parsed(315, 2, "Zoë")), std::string("Zo\xEB\0", 4)) << "one byte per character";
  const Bytes hello = Parsed(37510, 2, "Hello");
  EXPECT_EQ(hello.size(), 14u);
  EXPECT_EQ(text(hello), std::string("ASCII   Hello\0", 14));
  EXPECT_EQ(text(Parsed(37510, 2, "ASCII art")), std::string("ASCII   ASCII art\0", 18));
  EXPECT_EQ(text(Parsed(37510, 2, "ASCII   kept")), std::string("ASCII   kept\0", 13));
  EXPECT_EQ(text(Parsed(37510, 2, std::string("ASCII\0\0\0z", 9))), std::string("ASCII\0\0\0z\0", 10));
  EXPECT_EQ(FormatTagValue(37510, 2, 18, 1, Parsed(37510, 2, "ASCII art")), std::string("ASCII art\0", 10));
  EXPECT_TRUE(Refused(2, "", 315));
  EXPECT_TRUE(Refused(2, "", 37510));
}

TEST(PropertyItemRecord, ReadsStayInsideTheValue) {
  // A Short item of 3 values (6 bytes): ParseLong would reach past it at index 2 and 3.
  const auto item = cGDIPPropertyItem::FromPlatform({40961, 3, {1, 0, 2, 0, 3, 0}});
  EXPECT_EQ(item.ValueCount(), 3);
  EXPECT_EQ(item.ElementDataSize(), 2);
  EXPECT_EQ(item.DataBufferSize(), 6);
  EXPECT_EQ(item.ParseLong(1), 0x00020001);
  EXPECT_EQ(item.ParseLong(2), 0);
  EXPECT_EQ(item.ParseLong(0), 0);
  EXPECT_EQ(item.name(), "ExifColorSpace");

  SafeArray<uint8_t> big({ArrayBound{1, 10}});
  item.GetData(big);
  EXPECT_EQ(big(1), 1);
  EXPECT_EQ(big(5), 3);
  EXPECT_EQ(big(7), 0) << "bytes past the value are left alone";
  SafeArray<uint8_t> small({ArrayBound{0, 2}});
  item.GetData(small);
  EXPECT_EQ(small.storage(), (Bytes{1, 0}));
  SafeArray<uint8_t> exact;
  item.GetDataB(exact);
  EXPECT_EQ(exact.LBound(), 0);
  EXPECT_EQ(exact.storage(), (Bytes{1, 0, 2, 0, 3, 0}));

  cGDIPPropertyItem loaded;
  const Bytes buffer{9, 9, 9, 9, 9};
  loaded.LoadFromBuffer(315, 100, 2, buffer.data(), 16 + 5);
  EXPECT_EQ(loaded.Length(), 5) << "never more than the buffer holds";
  loaded.LoadFromBuffer(315, 3, 2, buffer.data(), 16 + 5);
  EXPECT_EQ(loaded.Bytes(), (Bytes{9, 9, 9}));
  loaded.LoadFromBuffer(315, 0, 2, buffer.data(), 16 + 5);
  EXPECT_EQ(loaded.DataPtr(), nullptr);
  loaded.LoadFromBuffer(34853, 4, 4, nullptr, 20);
  EXPECT_EQ(loaded.DataPtr(), nullptr);
  EXPECT_EQ(loaded.name(), "8825");
}

}  // namespace
}  // namespace tessivo
