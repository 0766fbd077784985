#include "platform/graphics/image_attributes.h"

namespace tessivo::platform {
namespace {

bool ChannelWithin(uint32_t value, uint32_t low, uint32_t high, int shift) {
  const uint32_t v = (value >> shift) & 0xFF;
  return ((low >> shift) & 0xFF) <= v && v <= ((high >> shift) & 0xFF);
}

}  // namespace

void ImageAttributes::SetRemapTable(std::span<const ColorRemapPair> pairs) {
  remap_.clear();
  remap_.reserve(pairs.size());
  for (const ColorRemapPair& p : pairs) remap_.emplace(p.oldColor, p.newColor);
}

void ImageAttributes::SetColorKey(uint32_t low, uint32_t high) { key_ = ColorKey{low, high}; }

uint32_t ImageAttributes::Apply(uint32_t argb) const {
  if (!remap_.empty()) {
    if (auto it = remap_.find(argb); it != remap_.end()) argb = it->second;
  }
  if (key_ && ChannelWithin(argb, key_->low, key_->high, 16) &&
      ChannelWithin(argb, key_->low, key_->high, 8) && ChannelWithin(argb, key_->low, key_->high, 0)) {
    argb &= 0x00FFFFFFu;
  }
  return argb;
}

void ImageAttributes::ApplyInPlace(std::span<uint32_t> argbPixels) const {
  if (Empty()) return;
  // Photographs repeat colours in runs; remembering the last mapping skips most lookups.
  uint32_t lastIn = 0, lastOut = Apply(0);
  for (uint32_t& p : argbPixels) {
    if (p != lastIn) {
      lastIn = p;
      lastOut = Apply(p);
    }
    p = lastOut;
  }
}

}  // namespace tessivo::platform
