#include "pdf/ocr_text_layer.h"

#include "core/utf8_append.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "pdf/pdf_writer.h"

namespace tessivo::pdf {
namespace {

struct Word {
  std::string text;
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  int32_t baseline = -1;  // lowest bottom edge of the letters that stay on the baseline
  int16_t line = 0;
};

// Letters whose ink hangs below the baseline: their bottom edge says nothing about where the
// line's baseline lies.
bool Descends(uint32_t code) {
  switch (code) {
    case 'g': case 'j': case 'p': case 'q': case 'y': case ',': case ';': return true;
    default: return false;
  }
}

// Blanks and control characters are no part of a word; they only separate words.
bool IsSeparator(uint32_t code) { return code <= 0x20 || code == 0x7F || code == 0xA0; }

std::vector<Word> GroupWords(const std::vector<TvocrCharRecord>& records) {
  std::vector<Word> words;
  bool split = true;
  for (const TvocrCharRecord& r : records) {
    if (IsSeparator(r.code)) {
      split = true;
      continue;
    }
    if (split || words.empty() || r.blanks > 0 || r.line != words.back().line) {
      words.push_back({});
      Word& w = words.back();
      w.left = r.left, w.right = r.right, w.top = r.top, w.bottom = r.bottom, w.line = r.line;
    }
    split = false;
    Word& w = words.back();
    AppendUtf8(w.text, r.code);
    w.left = std::min<int32_t>(w.left, r.left);
    w.right = std::max<int32_t>(w.right, r.right);
    w.top = std::min<int32_t>(w.top, r.top);
    w.bottom = std::max<int32_t>(w.bottom, r.bottom);
    if (!Descends(r.code)) w.baseline = std::max<int32_t>(w.baseline, r.bottom);
  }
  return words;
}

int32_t Baseline(const Word& w) { return w.baseline >= 0 ? w.baseline : w.bottom; }

double PointsPerPixel(double dpi) { return 72.0 / (dpi > 0 && std::isfinite(dpi) ? dpi : 72.0); }

void TrimBlanks(std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(text.find_last_not_of(' ') + 1);
  text.erase(0, first);
}

}  // namespace


std::string DrawOcrTextLayer(cPDF& writer, int32_t fontId, const std::vector<TvocrCharRecord>& records,
                             const OcrPageGeometry& geometry) {
  const std::vector<Word> words = GroupWords(records);
  std::string pageText;
  if (words.empty()) return pageText;
  const double sx = PointsPerPixel(geometry.resX), sy = PointsPerPixel(geometry.resY);
  // One size per line, from its tallest word above the baseline: words of one line in one size
  // are read as one line, and a descender does not make its word larger than its neighbours.
  std::map<int16_t, int32_t> lineHeight;
  for (const Word& w : words) {
    int32_t& h = lineHeight[w.line];
    h = std::max(h, Baseline(w) - w.top);
  }
  // Invisible text: neither filled nor stroked, but placed, measured and extracted.
  writer.SetTextMode(3);
  float scaling = 100;  // every page begins at 100 % horizontal scaling
  for (size_t i = 0; i < words.size(); ++i) {
    const Word& w = words[i];
    if (i > 0 && w.line != words[i - 1].line) {
      TrimBlanks(pageText);
      pageText += "\r\n";
    }
    pageText += w.text + " ";

    const int32_t baseline = Baseline(w);
    // A line the plug-in gave no height still gets a selectable size of one point.
    const float size = static_cast<float>(std::max(1.0, lineHeight[w.line] * sy));
    const double target = std::max(0, w.right - w.left) * sx;
    const double natural = writer.TextWidth(w.text, fontId, size) * 100.0 / scaling;
    float wanted = 100;
    if (natural > 0 && target > 0) wanted = static_cast<float>(100.0 * target / natural);
    if (std::fabs(wanted - scaling) > 0.0005f) {
      writer.SetTextHorizontalScaling(wanted);
      scaling = wanted;
    }
    const float x = static_cast<float>(w.left * sx);
    const float y = static_cast<float>(geometry.pageHeight - baseline * sy);
    writer.DrawText(x, y, w.text, fontId, size);
  }
  return pageText;
}

std::string OcrRecordsText(const std::vector<TvocrCharRecord>& records) {
  std::string text;
  int32_t line = 1;
  for (const TvocrCharRecord& r : records) {
    if (r.line != line) {
      text += "\r\n";
      line = r.line;
    }
    if (r.blanks > 0) text += ' ';
    AppendUtf8(text, r.code);
  }
  return text;
}

}  // namespace tessivo::pdf
