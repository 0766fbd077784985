// Image attributes: how source colours are changed while an image is drawn. A remap table
// replaces exact ARGB colours; a colour key makes colours whose red, green and blue each lie
// within the key's range fully transparent (alpha is not compared). The remap table applies
// first, then the key, so a colour remapped into the key range is keyed out too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace tessivo::platform {

struct ColorRemapPair {
  uint32_t oldColor = 0;  // ARGB
  uint32_t newColor = 0;  // ARGB
};

class ImageAttributes {
 public:
  // The first pair listed for a colour wins, as a lookup table built in order would have it.
  void SetRemapTable(std::span<const ColorRemapPair> pairs);
  void ClearRemapTable() { remap_.clear(); }
  // Keys out colours with low.c <= c <= high.c for c in red, green, blue (ARGB values).
  void SetColorKey(uint32_t low, uint32_t high);
  void ClearColorKey() { key_.reset(); }

  bool Empty() const { return remap_.empty() && !key_; }

  // The colour `argb` becomes when drawn through these attributes.
  uint32_t Apply(uint32_t argb) const;
  // Applies the attributes to straight (not premultiplied) ARGB pixels in place.
  void ApplyInPlace(std::span<uint32_t> argbPixels) const;

 private:
  struct ColorKey {
    uint32_t low = 0, high = 0;
  };
  std::unordered_map<uint32_t, uint32_t> remap_;
  std::optional<ColorKey> key_;
};

}  // namespace tessivo::platform
