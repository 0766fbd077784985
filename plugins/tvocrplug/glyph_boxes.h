// Character boxes fitted to the ink of the binarised page. Tesseract's LSTM engine places
// characters by the time steps of its network: their boxes are estimates that overlap their
// neighbours and can take in ink of the line above. The word boxes are exact, so each word's
// ink decides: when it falls into exactly as many separate column runs as the word has
// characters, those runs are the characters' boxes; otherwise each estimate is shrunk to the ink
// inside it.
#pragma once
#include <cstdint>
#include <vector>

struct Pix;

namespace tvocrplug {

struct GlyphBox {
  int left = 0, top = 0, right = 0, bottom = 0;  // right/bottom exclusive
};

// Fits `glyphs` (the characters of one word, in order) inside `word` to the ink of `binary`
// (1 bit per pixel, 1 = ink, as Tesseract thresholded the page).
void FitGlyphsToInk(const Pix* binary, const GlyphBox& word, std::vector<GlyphBox>& glyphs);

}  // namespace tvocrplug
