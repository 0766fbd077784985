#include "platform/graphics/text_layout.h"

#include <algorithm>

namespace tessivo::platform {

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + static_cast<size_t>(std::max(extra, 0)) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto n = static_cast<unsigned char>(s[i + k]);
      if ((n >> 6) != 2) ok = false;
      c = (c << 6) | (n & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (ok && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

}  // namespace

double TextLayout::Advance(char32_t c) const {
  if (c < 0x20 && c != U'\t') return 0;  // control characters take no room
  if (c == U'\t') return font_.face->GlyphOf(U' ').advance * 4 * font_.Scale();
  return font_.face->GlyphOf(c).advance * font_.Scale();
}

TextLayout::TextLayout(std::string_view utf8, Font font, const RectF& layout, const StringFormat& format)
    : font_(std::move(font)) {
  const std::u32string text = DecodeUtf8(utf8);
  if (text.empty()) {
    bounds_ = {layout.x, layout.y, 0, 0};
    return;
  }
  const bool wrap = layout.width > 0;
  auto finish = [&](std::u32string line) {
    Line l;
    size_t visible = line.size();
    while (visible > 0 && IsBlank(line[visible - 1])) --visible;
    const size_t counted = format.measureTrailingSpaces ? line.size() : visible;
    for (size_t i = 0; i < counted; ++i) l.width += Advance(line[i]);
    l.text = std::move(line);
    lines_.push_back(std::move(l));
  };
  // Paragraphs at line feeds (CR LF and a lone CR count as one).
  std::vector<std::u32string> paragraphs(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'\r' || text[i] == U'\n') {
      if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      paragraphs.emplace_back();
    } else {
      paragraphs.back().push_back(text[i]);
    }
  }
  for (const std::u32string& p : paragraphs) {
    if (!wrap) {
      finish(p);
      continue;
    }
    // Greedy wrapping: a line takes words while their ink fits; blanks after a word hang.
    size_t start = 0;
    while (start < p.size() || (start == 0 && p.empty())) {
      if (p.empty()) {
        finish({});
        break;
      }
      double width = 0;
      size_t end = start, lastBreak = std::u32string::npos;
      while (end < p.size()) {
        const char32_t c = p[end];
        if (IsBlank(c)) {
          width += Advance(c);
          ++end;
          lastBreak = end;
          continue;
        }
        const double w = Advance(c);
        if (width + w > layout.width + 1e-9 && end > start) break;
        width += w;
        ++end;
      }
      if (end < p.size() && lastBreak != std::u32string::npos && lastBreak > start) end = lastBreak;
      finish(p.substr(start, end - start));
      start = end;
    }
  }

  const double spacing = font_.LineSpacingPixels();
  double widest = 0;
  for (const Line& l : lines_) widest = std::max(widest, l.width);
  const double height = spacing * static_cast<double>(lines_.size());
  auto place = [](StringAlignment a, double room, double used) {
    return a == StringAlignment::Center ? (room - used) / 2 : a == StringAlignment::Far ? room - used : 0.0;
  };
  const double top = layout.y + (layout.height > 0 ? place(format.lineAlignment, layout.height, height) : 0);
  double left = layout.x + widest;
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line& l = lines_[i];
    l.x = layout.x + (layout.width > 0 ? place(format.alignment, layout.width, l.width) : 0);
    l.top = top + spacing * static_cast<double>(i);
    left = std::min(left, l.x);
  }
  bounds_ = {lines_.empty() ? layout.x : left, top, widest, height};
}

GraphicsPath TextLayout::Outline() const {
  GraphicsPath path(FillMode::Winding);
  const double scale = font_.Scale();
  for (const Line& l : lines_) {
    const double baseline = l.top + font_.AscentPixels();
    double pen = l.x;
    for (char32_t c : l.text) {
      const double advance = Advance(c);
      if (c >= 0x20) {
        for (const GraphicsPath::Figure& fig : font_.face->GlyphOf(c).outline) {
          auto map = [&](PointF p) { return PointF{pen + p.x * scale, baseline - p.y * scale}; };
          path.StartFigure(map(fig.start));
          for (const GraphicsPath::Segment& s : fig.segments) {
            if (s.curve)
              path.BezierTo(map(s.c1), map(s.c2), map(s.to));
            else
              path.LineTo(map(s.to));
          }
          path.CloseFigure();
        }
      }
      pen += advance;
    }
    // Bars at least one pixel thick, so that they show without anti-aliasing.
    // Wound as the glyphs are, so that where a bar crosses a descender both stay filled.
    auto bar = [&](double topY, double thickness) {
      if (!(l.width > 0)) return;
      const double bottom = topY + std::max(1.0, thickness);
      path.StartFigure({l.x, topY});
      path.LineTo({l.x + l.width, topY});
      path.LineTo({l.x + l.width, bottom});
      path.LineTo({l.x, bottom});
      path.CloseFigure();
    };
    if (font_.underline) {
      const double t = font_.face->UnderlineThickness() * scale;
      bar(baseline - font_.face->UnderlinePosition() * scale - std::max(1.0, t) / 2, t);
    }
    if (font_.strikeout) bar(baseline - font_.face->StrikeoutPosition() * scale, font_.face->StrikeoutThickness() * scale);
  }
  return path;
}

}  // namespace tessivo::platform
