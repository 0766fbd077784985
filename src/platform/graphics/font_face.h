// Fonts for string drawing: a FreeType face with the metrics layout needs, and a Font (face,
// em size in pixels, underline and strikeout). Glyph outlines and advances are read once per
// face, unscaled and unhinted, so measured widths are the design widths (Liberation Sans gives
// Arial's), whatever the size.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/graphics/graphics_path.h"
#include "platform/status.h"

namespace tessivo::platform {

// The units a font size is given in, numbered as the platform numbers them.
enum class FontUnit : int32_t { World = 0, Display = 1, Pixel = 2, Point = 3, Inch = 4, Document = 5, Millimeter = 6 };

// The size as an em height in pixels at `dpi` (the target's vertical resolution). World and
// Pixel are pixels; Display has no meaning on an image: InvalidParameter, as are sizes that
// are not finite and above 0.
Status FontEmPixels(double size, FontUnit unit, double dpi, double& emPixels);

class FontFace {
 public:
  struct Glyph {
    double advance = 0;                          // font units
    std::vector<GraphicsPath::Figure> outline;  // font units, y up
  };

  // Loads (or finds in the thread's cache) the face of a file.
  static Status Open(const std::string& path, int index, std::shared_ptr<FontFace>& face);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  double UnitsPerEm() const { return unitsPerEm_; }
  double WinAscent() const { return winAscent_; }  // font units above the baseline
  double LineSpacing() const { return lineSpacing_; }
  double UnderlinePosition() const { return underlinePosition_; }  // centre, y up
  double UnderlineThickness() const { return underlineThickness_; }
  double StrikeoutPosition() const { return strikeoutPosition_; }  // top, y up
  double StrikeoutThickness() const { return strikeoutThickness_; }

  // The glyph of a code point (the face's missing-glyph shape when it has none).
  const Glyph& GlyphOf(char32_t codePoint);

 private:
  FontFace() = default;
  void* ftFace_ = nullptr;  // FT_Face, kept out of this header
  double unitsPerEm_ = 2048, winAscent_ = 0, lineSpacing_ = 0;
  double underlinePosition_ = 0, underlineThickness_ = 0, strikeoutPosition_ = 0, strikeoutThickness_ = 0;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

struct Font {
  std::shared_ptr<FontFace> face;
  double emPixels = 0;
  bool underline = false, strikeout = false;

  double Scale() const { return emPixels / face->UnitsPerEm(); }
  double LineSpacingPixels() const { return face->LineSpacing() * Scale(); }
  double AscentPixels() const { return face->WinAscent() * Scale(); }
};

// The font of an installed family (or alias) and style bits (1 bold, 2 italic, 4 underline,
// 8 strikeout; others InvalidParameter): FontFamilyNotFound, FontStyleNotFound as the catalog
// answers.
Status CreateFont(std::string_view familyName, int32_t style, double emPixels, Font& font);

}  // namespace tessivo::platform
