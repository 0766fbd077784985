// One learned document layout: the averaged signature of its sample pages and a caller's tag.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "recognition/ard/layout_signature.h"

namespace tessivo::recognition {

struct TemplateRecord {
  int32_t id = 0;
  std::array<int32_t, kPatternCount> signature{};
  int32_t area = 0;    // averaged width x height of the samples, in pixels
  int32_t ink = 0;     // averaged dark pixels in the sampled cells
  int32_t topInk = 0;  // the same, in the top fifth of the page
  int32_t imageCount = 0;
  std::string tag;  // UTF-8
  // Relevance from the last lookup; `inLastLookup` is false for templates made or loaded since.
  double lastRelevance = 0;
  bool inLastLookup = false;
};

}  // namespace tessivo::recognition
