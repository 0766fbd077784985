#include "pdf/font_metrics.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

#include "core/ansi.h"

namespace tessivo::pdf {
namespace {

std::string Normalised(const std::string& name) {
  std::string out;
  for (unsigned char c : name)
    if (c != ' ') out += static_cast<char>(std::toupper(c));
  return out;
}

// The usual Windows faces and the Liberation faces that share their metrics.
struct MetricAlias {
  const char* windowsName;
  const char* liberationFamily;
};
constexpr MetricAlias kAliases[] = {
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

std::vector<std::string> InstalledFamilies() {
  std::vector<std::string> families;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* format = nullptr;
      // Only TrueType outlines can be described as /TrueType fonts.
      if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch ||
          std::string(reinterpret_cast<char*>(format)) != "TrueType")
        continue;
      FcChar8* family = nullptr;
      for (int k = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, k, &family) == FcResultMatch; ++k)
        families.emplace_back(reinterpret_cast<char*>(family));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

// The installed file of `family` in the requested style.
bool MatchFile(const std::string& family, bool bold, bool italic, std::string& file, int& index) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  bool ok = false;
  FcChar8* path = nullptr;
  FcChar8* matchedFamily = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
      FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
      Normalised(reinterpret_cast<char*>(matchedFamily)) == Normalised(family)) {
    file = reinterpret_cast<char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    ok = true;
  }
  FcPatternDestroy(match);
  return ok;
}

// The Unicode character of Windows-1252 code `code` (0 for the five unassigned codes).
uint32_t CodePoint(int code) {
  const std::string utf8 = AnsiToUtf8(std::string(1, static_cast<char>(code)));
  const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
  uint32_t cp = 0;
  if (utf8.size() == 1) cp = b[0];
  else if (utf8.size() == 2) cp = (b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu);
  else if (utf8.size() == 3) cp = (b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu);
  if (code >= 0x80 && code <= 0x9F && cp == static_cast<uint32_t>(code)) return 0;
  return cp;
}

struct FreeTypeLibrary {
  FT_Library library = nullptr;
  FreeTypeLibrary() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  ~FreeTypeLibrary() {
    if (library) FT_Done_FreeType(library);
  }
};

}  // namespace

bool MeasureInstalledFace(const std::string& face, bool bold, bool italic, FontRecord& record) {
  const std::string wanted = Normalised(face);
  if (wanted.empty() || !FcInit()) return false;
  std::string installedName, family;
  for (const std::string& f : InstalledFamilies()) {
    if (Normalised(f) == wanted) {
      installedName = family = f;
      break;
    }
  }
  if (family.empty()) {
    for (const MetricAlias& alias : kAliases) {
      if (Normalised(alias.windowsName) != wanted) continue;
      for (const std::string& f : InstalledFamilies())
        if (Normalised(f) == Normalised(alias.liberationFamily)) {
          installedName = alias.windowsName;
          family = f;
        }
    }
  }
  if (family.empty()) return false;
  std::string file;
  int index = 0;
  if (!MatchFile(family, bold, italic, file, index)) return false;

  FreeTypeLibrary ft;
  FT_Face ftFace = nullptr;
  if (!ft.library || FT_New_Face(ft.library, file.c_str(), index, &ftFace) != 0) return false;
  std::unique_ptr<FT_FaceRec_, decltype(&FT_Done_Face)> owner(ftFace, FT_Done_Face);
  if (!FT_IS_SFNT(ftFace) || ftFace->units_per_EM == 0) return false;
  const double scale = 1000.0 / ftFace->units_per_EM;
  auto em = [scale](double units) { return static_cast<int32_t>(std::nearbyint(units * scale)); };

  bool symbol = false;
  for (int i = 0; i < ftFace->num_charmaps; ++i)
    if (ftFace->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) symbol = true;
  if (symbol) FT_Select_Charmap(ftFace, FT_ENCODING_MS_SYMBOL);
  else FT_Select_Charmap(ftFace, FT_ENCODING_UNICODE);
  auto advance = [&](uint32_t cp) {
    FT_UInt glyph = cp == 0 ? 0 : FT_Get_Char_Index(ftFace, symbol ? 0xF000 + (cp & 0xFF) : cp);
    FT_Fixed units = 0;
    if (FT_Get_Advance(ftFace, glyph, FT_LOAD_NO_SCALE, &units) != 0) units = 0;
    return em(static_cast<double>(units));
  };

  record = FontRecord{};
  std::string base = installedName;
  if (bold || italic) base += ",";
  if (bold) base += "Bold";
  if (italic) base += "Italic";
  for (char c : base)
    if (c != ' ') record.baseName += c;
  record.firstChar = 32;
  record.lastChar = 255;
  for (int code = record.firstChar; code <= record.lastChar; ++code)
    record.widths[static_cast<size_t>(code)] = advance(symbol ? static_cast<uint32_t>(code) : CodePoint(code));
  record.missingWidth = advance(0);
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_HHEA));
  if (os2 && os2->version != 0xFFFF) {
    record.ascent = em(os2->usWinAscent);
    record.descent = em(os2->usWinDescent);
    record.averageWidth = em(os2->xAvgCharWidth);
  } else {
    record.ascent = em(ftFace->ascender);
    record.descent = em(-ftFace->descender);
    record.averageWidth = record.widths['x'];
  }
  record.maximumWidth = hhea ? em(hhea->advance_Width_Max) : em(ftFace->max_advance_width);
  record.italicAngle = italic ? -11 : 0;
  record.capHeight = record.ascent;
  record.stemWidth = 0;
  record.flags = symbol ? 4 : 32;
  record.fontFile = file;
  record.faceIndex = index;
  return true;
}

}  // namespace tessivo::pdf
