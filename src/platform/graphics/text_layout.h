// Lays a UTF-8 string out in a font: lines broken at line feeds (and, in a layout box of
// some width, wrapped at blanks, or inside a word too long for a line), each line one line
// spacing high, the first baseline at the top plus the face's Windows ascent. Advances are
// the design widths without kerning. The measured box is the widest line's advance (trailing
// blanks counted when asked) by the lines' spacing.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/font_face.h"
#include "platform/graphics/graphics_path.h"

namespace tessivo::platform {

struct RectF {
  double x = 0, y = 0, width = 0, height = 0;
};

enum class StringAlignment : int32_t { Near = 0, Center = 1, Far = 2 };

struct StringFormat {
  StringAlignment alignment = StringAlignment::Near;      // horizontal, within the layout width
  StringAlignment lineAlignment = StringAlignment::Near;  // vertical, within the layout height
  bool measureTrailingSpaces = false;
};

class TextLayout {
 public:
  // A layout width or height of 0 is unbounded in that direction (no wrapping, no vertical
  // alignment); Near alignment is then used for it.
  TextLayout(std::string_view utf8, Font font, const RectF& layout, const StringFormat& format);

  // The box the text takes (empty text: width and height 0).
  const RectF& Bounds() const { return bounds_; }
  // The glyph outlines with underline and strikeout bars, for filling with the winding rule.
  GraphicsPath Outline() const;

 private:
  struct Line {
    std::u32string text;
    double width = 0;  // advance, trailing blanks counted as the format says
    double x = 0, top = 0;
  };
  double Advance(char32_t c) const;

  Font font_;
  std::vector<Line> lines_;
  RectF bounds_;
};

// UTF-8 to code points; a byte that is not part of valid UTF-8 becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace tessivo::platform
