#include "platform/graphics/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <string>

#include "platform/graphics/font_catalog.h"

namespace tessivo::platform {
namespace {

struct Library {
  FT_Library lib = nullptr;
  // Faces stay open for the thread's life: text is drawn again and again in few faces.
  std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>> faces;
  Library() {
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
  }
  ~Library() {
    faces.clear();
    if (lib != nullptr) FT_Done_FreeType(lib);
  }
};

Library& TheLibrary() {
  thread_local Library library;
  return library;
}

// Outline decomposition into figures, quadratic pieces raised to cubic ones.
struct Decomposer {
  std::vector<GraphicsPath::Figure>* out;
  PointF last;
};

PointF P(const FT_Vector* v) { return {double(v->x), double(v->y)}; }

int MoveTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (!d->out->empty()) d->out->back().closed = true;
  d->out->push_back({P(to), {}, false});
  d->last = P(to);
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->out->empty()) return 1;
  d->out->back().segments.push_back({false, {}, {}, P(to)});
  d->last = P(to);
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->out->empty()) return 1;
  const PointF c = P(control), e = P(to), s = d->last;
  const PointF c1{s.x + 2.0 / 3 * (c.x - s.x), s.y + 2.0 / 3 * (c.y - s.y)};
  const PointF c2{e.x + 2.0 / 3 * (c.x - e.x), e.y + 2.0 / 3 * (c.y - e.y)};
  d->out->back().segments.push_back({true, c1, c2, e});
  d->last = e;
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->out->empty()) return 1;
  d->out->back().segments.push_back({true, P(c1), P(c2), P(to)});
  d->last = P(to);
  return 0;
}

}  // namespace

Status FontEmPixels(double size, FontUnit unit, double dpi, double& emPixels) {
  if (!std::isfinite(size) || !(size > 0)) return Status::InvalidParameter;
  if (!std::isfinite(dpi) || !(dpi > 0)) dpi = 96;
  switch (unit) {
    case FontUnit::World:
    case FontUnit::Pixel:
      emPixels = size;
      break;
    case FontUnit::Point:
      emPixels = size * dpi / 72;
      break;
    case FontUnit::Inch:
      emPixels = size * dpi;
      break;
    case FontUnit::Document:
      emPixels = size * dpi / 300;
      break;
    case FontUnit::Millimeter:
      emPixels = size * dpi / 25.4;
      break;
    default:
      return Status::InvalidParameter;
  }
  return std::isfinite(emPixels) ? Status::Ok : Status::ValueOverflow;
}

Status FontFace::Open(const std::string& path, int index, std::shared_ptr<FontFace>& out) {
  Library& library = TheLibrary();
  if (library.lib == nullptr) return Status::GenericError;
  auto key = std::make_pair(path, index);
  if (auto it = library.faces.find(key); it != library.faces.end()) {
    out = it->second;
    return Status::Ok;
  }
  FT_Face ft = nullptr;
  if (FT_New_Face(library.lib, path.c_str(), index, &ft) != 0) return Status::FontFamilyNotFound;
  if (!FT_IS_SCALABLE(ft) || ft->units_per_EM == 0) {
    FT_Done_Face(ft);
    return Status::NotTrueTypeFont;
  }
  std::shared_ptr<FontFace> face(new FontFace());
  face->ftFace_ = ft;
  face->unitsPerEm_ = ft->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  const double ascent = os2 != nullptr && os2->version != 0xFFFF ? os2->usWinAscent : ft->ascender;
  const double descent = os2 != nullptr && os2->version != 0xFFFF ? os2->usWinDescent : -ft->descender;
  face->winAscent_ = ascent;
  // The line spacing is the larger of the Windows cell and the horizontal header's ascent,
  // descent and line gap (Arial: 2355 units of 2048).
  const double hheaSpacing = hhea != nullptr ? hhea->Ascender - hhea->Descender + hhea->Line_Gap : ft->height;
  face->lineSpacing_ = std::max(ascent + descent, hheaSpacing);
  face->underlinePosition_ = ft->underline_position;
  face->underlineThickness_ = ft->underline_thickness > 0 ? ft->underline_thickness : face->unitsPerEm_ / 14;
  if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    face->strikeoutPosition_ = os2->yStrikeoutPosition;
    face->strikeoutThickness_ = os2->yStrikeoutSize;
  } else {
    face->strikeoutThickness_ = face->underlineThickness_;
    face->strikeoutPosition_ = ascent * 0.3 + face->strikeoutThickness_ / 2;
  }
  library.faces.emplace(key, face);
  out = face;
  return Status::Ok;
}

FontFace::~FontFace() {
  if (ftFace_ != nullptr) FT_Done_Face(static_cast<FT_Face>(ftFace_));
}

const FontFace::Glyph& FontFace::GlyphOf(char32_t codePoint) {
  if (auto it = glyphs_.find(codePoint); it != glyphs_.end()) return it->second;
  auto ft = static_cast<FT_Face>(ftFace_);
  Glyph glyph;
  const FT_UInt index = FT_Get_Char_Index(ft, codePoint);
  if (FT_Load_Glyph(ft, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
    glyph.advance = ft->glyph->advance.x;
    if (ft->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      // Every outline wound the TrueType way, so filled bars added to text wind alike.
      if (FT_Outline_Get_Orientation(&ft->glyph->outline) == FT_ORIENTATION_POSTSCRIPT)
        FT_Outline_Reverse(&ft->glyph->outline);
      FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
      Decomposer d{&glyph.outline, {}};
      if (FT_Outline_Decompose(&ft->glyph->outline, &funcs, &d) != 0) glyph.outline.clear();
      if (!glyph.outline.empty()) glyph.outline.back().closed = true;
    }
  }
  return glyphs_.emplace(codePoint, std::move(glyph)).first->second;
}

Status CreateFont(std::string_view familyName, int32_t style, double emPixels, Font& font) {
  if (style < 0 || style > 15) return Status::InvalidParameter;
  if (!std::isfinite(emPixels) || !(emPixels > 0)) return Status::InvalidParameter;
  std::string family;
  if (Status s = ResolveFontFamily(familyName, family); s != Status::Ok) return s;
  FaceFile file;
  if (Status s = FindFontFace(family, (style & 1) != 0, (style & 2) != 0, file); s != Status::Ok) return s;
  Font f;
  if (Status s = FontFace::Open(file.path, file.index, f.face); s != Status::Ok) return s;
  f.emPixels = emPixels;
  f.underline = (style & 4) != 0;
  f.strikeout = (style & 8) != 0;
  font = std::move(f);
  return Status::Ok;
}

}  // namespace tessivo::platform
