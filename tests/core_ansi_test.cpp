// The Windows-1252 form of text.
#include <gtest/gtest.h>

#include "core/ansi.h"

namespace tessivo {
namespace {

TEST(Ansi, Utf8ToWindows1252) {
  EXPECT_EQ(Utf8ToAnsi("plain"), "plain");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC \xC3\xA9 \xC5\x92"), "\x80 \xE9 \x8C");  // € é Œ
  EXPECT_EQ(Utf8ToAnsi("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94");         // “q”
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?");                              // outside the code page
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80!"), "?!");
  // Invalid UTF-8: each stray byte becomes '?', the rest still converts.
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");          // overlong
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80x"), "???x");   // a surrogate
  EXPECT_EQ(Utf8ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Ansi, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = AnsiToUtf8(all);
  EXPECT_EQ(Utf8ToAnsi(utf8), all);
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(AnsiToUtf8("\x81"), "\xC2\x81");  // unassigned: the control character of that value
}

}  // namespace
}  // namespace tessivo
