// Automation conversions of Variant.
#include <gtest/gtest.h>

#include <limits>

#include "tessivo/variant.h"

namespace tessivo {
namespace {

DispatchErrorCode ErrorOf(const auto& convert) {
  try {
    convert();
  } catch (const VariantError& e) {
    return e.code();
  }
  return DispatchOK;
}

TEST(VariantConversion, FloatingToIntegerRoundsHalfToEven) {
  EXPECT_EQ(Variant(2.5).ToLong(), 2);
  EXPECT_EQ(Variant(3.5).ToLong(), 4);
  EXPECT_EQ(Variant(-2.5).ToLong(), -2);
  EXPECT_EQ(Variant(0.5f).ToInteger(), 0);
  EXPECT_EQ(Variant(1.5).ToByte(), 2);
  EXPECT_EQ(Variant(2.4999).ToLong(), 2);
  EXPECT_EQ(Variant(-0.5).ToByte(), 0);
  EXPECT_EQ(Variant(std::string("6.5")).ToLong(), 6);
  EXPECT_EQ(Variant(4.5).ToLongPtr(), 4);
}

TEST(VariantConversion, OutOfRangeIsOverflow) {
  EXPECT_EQ(ErrorOf([] { Variant(255.5).ToByte(); }), DispatchOverflow);  // rounds to 256
  EXPECT_EQ(ErrorOf([] { Variant(int32_t{-1}).ToByte(); }), DispatchOverflow);
  EXPECT_EQ(ErrorOf([] { Variant(int32_t{32768}).ToInteger(); }), DispatchOverflow);
  EXPECT_EQ(ErrorOf([] { Variant(2147483647.5).ToLong(); }), DispatchOverflow);
  EXPECT_EQ(Variant(2147483647.4).ToLong(), 2147483647);
  EXPECT_EQ(Variant(-2147483648.5).ToLong(), std::numeric_limits<int32_t>::min());  // even
  EXPECT_EQ(ErrorOf([] { Variant(int64_t{1} << 40).ToLong(); }), DispatchOverflow);
  EXPECT_EQ(ErrorOf([] { Variant(std::numeric_limits<double>::quiet_NaN()).ToLong(); }), DispatchOverflow);
  EXPECT_EQ(ErrorOf([] { Variant(1e39).ToSingle(); }), DispatchOverflow);
  EXPECT_EQ(ErrorOf([] { Variant(9.3e18).ToLongPtr(); }), DispatchOverflow);
}

TEST(VariantConversion, StringsParseAsNumbers) {
  EXPECT_EQ(Variant(" 42 ").ToLong(), 42);
  EXPECT_EQ(Variant("-17").ToInteger(), -17);
  EXPECT_EQ(Variant("1e3").ToLong(), 1000);
  EXPECT_EQ(Variant("&HFF").ToByte(), 255);
  EXPECT_EQ(Variant("0xFF000000").ToLong(), -16777216);  // eight hex digits: a 32-bit pattern
  EXPECT_DOUBLE_EQ(Variant(".25").ToDouble(), 0.25);
  EXPECT_EQ(Variant("True").ToLong(), -1);
  EXPECT_EQ(ErrorOf([] { Variant("abc").ToLong(); }), DispatchTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant("").ToDouble(); }), DispatchTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant("12abc").ToLong(); }), DispatchTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant("1 2").ToLong(); }), DispatchTypeMismatch);
  try {
    Variant("pixels").ToLong();
  } catch (const VariantError& e) {
    EXPECT_NE(std::string(e.what()).find("\"pixels\" is not a number"), std::string::npos) << e.what();
  }
}

TEST(VariantConversion, BooleansAreMinusOneAndZero) {
  EXPECT_EQ(Variant(true).ToLong(), -1);
  EXPECT_EQ(Variant(false).ToDouble(), 0.0);
  EXPECT_EQ(ErrorOf([] { Variant(true).ToByte(); }), DispatchOverflow);
  EXPECT_TRUE(Variant(int32_t{7}).ToBoolean());
  EXPECT_FALSE(Variant(0.0).ToBoolean());
  EXPECT_TRUE(Variant("true").ToBoolean());
  EXPECT_FALSE(Variant(" FALSE ").ToBoolean());
  EXPECT_TRUE(Variant("-1").ToBoolean());
  EXPECT_EQ(ErrorOf([] { Variant("yes").ToBoolean(); }), DispatchTypeMismatch);
  EXPECT_EQ(Variant(true).ToString(), "True");
}

TEST(VariantConversion, EmptyIsZeroEmptyStringAndFalse) {
  Variant empty;
  EXPECT_EQ(empty.type(), vtEmpty);
  EXPECT_EQ(empty.ToLong(), 0);
  EXPECT_EQ(empty.ToString(), "");
  EXPECT_FALSE(empty.ToBoolean());
  EXPECT_FALSE(empty.ToArray<int32_t>().allocated());
}

TEST(VariantConversion, NumbersToStringsAreShortestExact) {
  EXPECT_EQ(Variant(0.1).ToString(), "0.1");
  EXPECT_EQ(Variant(0.1f).ToString(), "0.1");  // the Single's own shortest form
  EXPECT_EQ(Variant(1e20).ToString(), "1E+20");
  EXPECT_EQ(Variant(int32_t{-5}).ToString(), "-5");
  EXPECT_EQ(Variant(uint8_t{200}).ToString(), "200");
  EXPECT_EQ(Variant(5.9901307).ToString(), "5.9901307");
}

TEST(VariantConversion, ArraysConvertElementwiseKeepingShape) {
  SafeArray<int32_t> source({ArrayBound{1, 3}, ArrayBound{0, 2}});
  for (std::size_t i = 0; i < source.size(); ++i) source.data()[i] = static_cast<int32_t>(i * 40);
  Variant v(source);
  EXPECT_EQ(v.type(), vtArray | vtLong);
  SafeArray<uint8_t> bytes = v.ToArray<uint8_t>();
  ASSERT_EQ(bytes.dims(), 2);
  EXPECT_EQ(bytes.LBound(1), 1);
  EXPECT_EQ(bytes.UBound(1), 3);
  EXPECT_EQ(bytes(3, 1), 200);  // element (3, 1) lies at 2 + 1 * 3 = 5
  SafeArray<std::string> texts = v.ToArray<std::string>();
  EXPECT_EQ(texts(2, 0), "40");

  source.data()[5] = 256;
  try {
    Variant(source).ToArray<uint8_t>();
    ADD_FAILURE() << "expected an overflow";
  } catch (const VariantError& e) {
    EXPECT_EQ(e.code(), DispatchOverflow);
    EXPECT_NE(std::string(e.what()).find("array element 5"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ErrorOf([] { Variant(int32_t{3}).ToArray<int32_t>(); }), DispatchTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { v.ToLong(); }), DispatchTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { v.ToString(); }), DispatchTypeMismatch);
}

TEST(VariantConversion, ArrayBoundsStayInTheLongRange) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  SafeArray<int32_t> top({ArrayBound{kMax - 2, 3}});
  EXPECT_EQ(top.UBound(), kMax);
  EXPECT_EQ(SafeArray<int32_t>({ArrayBound{kMin, 2}}).LBound(), kMin);
  // An upper bound past the last Long, or an empty dimension whose UBound would be below the
  // first, cannot be made, so no caller ever reads a wrapped bound.
  EXPECT_THROW(SafeArray<int32_t>({ArrayBound{kMax - 2, 4}}), std::invalid_argument);
  EXPECT_THROW(SafeArray<int32_t>({ArrayBound{0, 1}, ArrayBound{kMin, 0}}), std::invalid_argument);
  EXPECT_THROW(SafeArray<int32_t>::FromVector({1, 2}, kMax), std::invalid_argument);
}

}  // namespace
}  // namespace tessivo
