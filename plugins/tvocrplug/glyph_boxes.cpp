#include "glyph_boxes.h"

#include <algorithm>
#include <cstddef>

#include <leptonica/allheaders.h>

namespace tvocrplug {
namespace {

class InkMap {
 public:
  explicit InkMap(const Pix* binary) {
    Pix* pix = const_cast<Pix*>(binary);  // Leptonica's getters take non-const pointers
    width_ = static_cast<int>(pixGetWidth(pix));
    height_ = static_cast<int>(pixGetHeight(pix));
    data_ = pixGetData(pix);
    wpl_ = pixGetWpl(pix);
  }
  bool Valid() const { return data_ != nullptr && width_ > 0 && height_ > 0; }
  bool Ink(int x, int y) const { return GET_DATA_BIT(data_ + static_cast<ptrdiff_t>(y) * wpl_, x) != 0; }
  // `box` clipped to the map.
  GlyphBox Clip(GlyphBox box) const {
    box.left = std::clamp(box.left, 0, width_), box.right = std::clamp(box.right, box.left, width_);
    box.top = std::clamp(box.top, 0, height_), box.bottom = std::clamp(box.bottom, box.top, height_);
    return box;
  }
  // The box of the ink inside `box`; `box` itself when it holds none.
  GlyphBox InkBox(const GlyphBox& area) const {
    const GlyphBox box = Clip(area);
    GlyphBox ink{box.right, box.bottom, box.left, box.top};
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x)
        if (Ink(x, y)) {
          ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x + 1);
          ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y + 1);
        }
    return ink.left < ink.right ? ink : area;
  }

 private:
  int width_ = 0, height_ = 0, wpl_ = 0;
  const l_uint32* data_ = nullptr;
};

}  // namespace

void FitGlyphsToInk(const Pix* binary, const GlyphBox& word, std::vector<GlyphBox>& glyphs) {
  if (binary == nullptr || glyphs.empty()) return;
  const InkMap ink(binary);
  if (!ink.Valid()) return;
  const GlyphBox area = ink.Clip(word);
  // Column runs of the word's ink, left to right.
  std::vector<GlyphBox> runs;
  for (int x = area.left; x < area.right; ++x) {
    bool inked = false;
    for (int y = area.top; y < area.bottom && !inked; ++y) inked = ink.Ink(x, y);
    if (!inked) continue;
    if (!runs.empty() && runs.back().right == x)
      ++runs.back().right;
    else
      runs.push_back({x, area.top, x + 1, area.bottom});
  }
  if (runs.size() == glyphs.size()) {
    for (size_t i = 0; i < glyphs.size(); ++i) glyphs[i] = ink.InkBox(runs[i]);
    return;
  }
  for (GlyphBox& glyph : glyphs) {
    GlyphBox inside = glyph;
    inside.left = std::max(inside.left, area.left), inside.right = std::min(inside.right, area.right);
    inside.top = std::max(inside.top, area.top), inside.bottom = std::min(inside.bottom, area.bottom);
    if (inside.left < inside.right && inside.top < inside.bottom) glyph = ink.InkBox(inside);
  }
}

}  // namespace tvocrplug
