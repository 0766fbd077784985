#include "platform/graphics/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tessivo::platform {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

struct FaceRecord {
  std::vector<std::string> families;  // lower case
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  int width = FC_WIDTH_NORMAL;
  FaceFile file;
};

// Weights from demibold up count as bold, as the platform's font styles do.
bool IsBold(int weight) { return weight >= FC_WEIGHT_DEMIBOLD; }
bool IsItalic(int slant) { return slant != FC_SLANT_ROMAN; }

// Windows names and the metric-compatible families that stand in for them.
constexpr std::pair<std::string_view, std::string_view> kWindowsAliases[] = {
    {"arial", "liberation sans"},
    {"times new roman", "liberation serif"},
    {"courier new", "liberation mono"},
};

struct Catalog {
  FcConfig* config = nullptr;
  std::vector<FaceRecord> faces;
  std::vector<std::string> families;       // display names, sorted
  std::vector<std::string> lowerFamilies;  // the same in lower case

  Catalog() {
    config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_FILE, FC_INDEX, static_cast<char*>(nullptr));
    FcFontSet* set = FcFontList(config, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (set == nullptr) return;
    for (int i = 0; i < set->nfont; ++i) {
      FcPattern* font = set->fonts[i];
      FcChar8* file = nullptr;
      if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
      FaceRecord rec;
      rec.file.path = reinterpret_cast<const char*>(file);
      FcPatternGetInteger(font, FC_INDEX, 0, &rec.file.index);
      FcPatternGetInteger(font, FC_WEIGHT, 0, &rec.weight);
      FcPatternGetInteger(font, FC_SLANT, 0, &rec.slant);
      FcPatternGetInteger(font, FC_WIDTH, 0, &rec.width);
      FcChar8* name = nullptr;
      for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
        const std::string display = reinterpret_cast<const char*>(name);
        rec.families.push_back(Lower(display));
        families.push_back(display);
      }
      if (!rec.families.empty()) faces.push_back(std::move(rec));
    }
    FcFontSetDestroy(set);
    std::sort(families.begin(), families.end(), [](const std::string& a, const std::string& b) {
      const std::string la = Lower(a), lb = Lower(b);
      return la != lb ? la < lb : a < b;
    });
    families.erase(std::unique(families.begin(), families.end(),
                               [](const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }),
                   families.end());
    for (const std::string& f : families) lowerFamilies.push_back(Lower(f));
  }
  ~Catalog() {
    if (config != nullptr) FcConfigDestroy(config);
  }
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;

  bool Installed(const std::string& lower) const {
    return std::binary_search(lowerFamilies.begin(), lowerFamilies.end(), lower);
  }

  // Families Fontconfig's own rules bind firmly (strong or same binding) to the name, in order.
  std::vector<std::string> ConfiguredAliases(std::string_view name) const {
    std::vector<std::string> out;
    if (config == nullptr) return out;
    const std::string n(name);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(n.c_str()));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcPatternIter iter;
    FcPatternIterStart(pattern, &iter);
    if (FcPatternFindIter(pattern, &iter, FC_FAMILY)) {
      const int count = FcPatternIterValueCount(pattern, &iter);
      for (int i = 0; i < count; ++i) {
        FcValue value;
        FcValueBinding binding = FcValueBindingWeak;
        if (FcPatternIterGetValue(pattern, &iter, i, &value, &binding) != FcResultMatch) continue;
        if (value.type != FcTypeString || binding == FcValueBindingWeak) continue;
        out.push_back(Lower(reinterpret_cast<const char*>(value.u.s)));
      }
    }
    FcPatternDestroy(pattern);
    return out;
  }
};

Catalog& TheCatalog() {
  thread_local Catalog catalog;
  return catalog;
}

}  // namespace

const std::vector<std::string>& InstalledFontFamilies() { return TheCatalog().families; }

Status ResolveFontFamily(std::string_view name, std::string& family) {
  const Catalog& cat = TheCatalog();
  const std::string lower = Lower(name);
  if (lower.empty()) return Status::FontFamilyNotFound;
  if (cat.Installed(lower)) {
    family = lower;
    return Status::Ok;
  }
  for (const auto& [windows, stand_in] : kWindowsAliases) {
    if (lower == windows && cat.Installed(std::string(stand_in))) {
      family = stand_in;
      return Status::Ok;
    }
  }
  for (const std::string& alias : cat.ConfiguredAliases(name)) {
    if (alias != lower && cat.Installed(alias)) {
      family = alias;
      return Status::Ok;
    }
  }
  return Status::FontFamilyNotFound;
}

namespace {

const FaceRecord* BestFace(const std::string& family, bool bold, bool italic) {
  const FaceRecord* best = nullptr;
  int bestScore = 0;
  const int target = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
  for (const FaceRecord& rec : TheCatalog().faces) {
    if (IsBold(rec.weight) != bold || IsItalic(rec.slant) != italic) continue;
    if (std::find(rec.families.begin(), rec.families.end(), family) == rec.families.end()) continue;
    const int score = std::abs(rec.width - FC_WIDTH_NORMAL) * 1000 + std::abs(rec.weight - target) * 4 +
                      (rec.slant == FC_SLANT_ITALIC ? 0 : 1);
    if (best == nullptr || score < bestScore) best = &rec, bestScore = score;
  }
  return best;
}

}  // namespace

bool FamilyHasStyle(const std::string& family, bool bold, bool italic) {
  return BestFace(family, bold, italic) != nullptr;
}

Status FindFontFace(const std::string& family, bool bold, bool italic, FaceFile& face) {
  const FaceRecord* rec = BestFace(family, bold, italic);
  if (rec == nullptr) return Status::FontStyleNotFound;
  face = rec->file;
  return Status::Ok;
}

}  // namespace tessivo::platform
