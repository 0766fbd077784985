// cImaging: text on the native image and the installed fonts.
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <variant>

#include "core/image_registry.h"
#include "imaging/draw_surface.h"
#include "imaging/text_drawing.h"
#include "imaging/texture_file.h"
#include "platform/graphics/font_catalog.h"
#include "platform/graphics/font_face.h"
#include "platform/graphics/linear_gradient.h"
#include "platform/graphics/text_layout.h"
#include "platform/graphics/texture_brush.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::PointF;
using platform::RectF;
using platform::Status;

// Brush of the glyphs: a colour, or a gradient from the first colour to the second over the
// measured box.
struct SolidText {
  int32_t argb;
};
struct GradientText {
  int32_t fromArgb, toArgb;
};
// A texture repeated from the image's origin: one read from a file for this draw, or a
// registered image (the native image itself included; the brush copies it before drawing).
struct TextureText {
  const std::string* filePath = nullptr;
  int32_t imageId = 0;
};
using TextPaint = std::variant<SolidText, GradientText, TextureText>;

struct TextRequest {
  const std::string& text;
  int32_t left, top;
  float size;
  const std::string& fontName;
  int32_t style;
  bool antiAlias;
  TextPaint paint;
  std::optional<float> angle;
  std::optional<int32_t> backArgb;
};

bool ValidStyle(int32_t style) { return style >= 0 && style <= 15; }

// The font of a request at the image's vertical resolution, in the instance's font unit.
Status MakeFont(const ImagingState& state, const platform::Bitmap& image, float size, const std::string& name,
                int32_t style, platform::Font& font) {
  if (!ValidStyle(style)) return Status::InvalidParameter;
  double em = 0;
  if (Status s = platform::FontEmPixels(size, static_cast<platform::FontUnit>(state.fontUnit),
                                        image.VerticalResolution(), em);
      s != Status::Ok)
    return s;
  return platform::CreateFont(name, style, em, font);
}

// Checks run before the surface opens: on failure nothing is drawn.
TessivoStatus PrepareFont(ImagingState& state, float size, const std::string& name, int32_t style,
                          platform::Font& font) {
  TessivoStatus failure = OK;
  const platform::Bitmap* image = NativeBitmap(state, failure);
  if (image == nullptr) return failure;
  return static_cast<TessivoStatus>(MakeFont(state, *image, size, name, style, font));
}

void UseTextHint(platform::Graphics& g, bool antiAlias) {
  g.SetTextRenderingHint(antiAlias ? platform::TextRenderingHint::AntiAlias
                                   : platform::TextRenderingHint::SingleBitPerPixel);
}

platform::GraphicsPath BoxPath(const RectF& r) {
  platform::GraphicsPath path;
  path.AddRectangle(r.x, r.y, r.width, r.height);
  return path;
}

Status Paint(platform::Graphics& g, const platform::TextLayout& layout, const TextPaint& paint,
             const platform::Bitmap* texture) {
  const RectF& box = layout.Bounds();
  if (std::holds_alternative<TextureText>(paint))
    return g.DrawString(layout, platform::TextureBrush{texture, platform::kInterpolationBilinear});
  if (const auto* solid = std::get_if<SolidText>(&paint))
    return g.DrawString(layout, platform::SolidBrush{static_cast<uint32_t>(solid->argb)});
  const auto& gradient = std::get<GradientText>(paint);
  // A box without width has no direction to blend along: the first colour alone.
  if (!(box.width > 0)) return g.DrawString(layout, platform::SolidBrush{static_cast<uint32_t>(gradient.fromArgb)});
  return g.DrawString(layout, platform::HorizontalGradientBrush(box.x, box.y, box.width, box.height,
                                                                static_cast<uint32_t>(gradient.fromArgb),
                                                                static_cast<uint32_t>(gradient.toArgb)));
}

// The text rule: the font first (a missing family or style stops the draw), then the surface;
// the string starts at (left, top) with no wrapping, trailing blanks measured; a rotation turns
// the world about the origin and maps (left, top) back, so the text turns about that point.
TessivoStatus DrawTextRequest(ImagingState& state, const TextRequest& r) {
  return GuardedStatus(state, [&] {
    if (r.angle && !std::isfinite(*r.angle)) return RejectDraw(state);
    platform::Font font;
    if (TessivoStatus s = PrepareFont(state, r.size, r.fontName, r.style, font); s != OK) return state.Set(s);
    TextureFile textureFile;
    const platform::Bitmap* texture = nullptr;
    if (const auto* t = std::get_if<TextureText>(&r.paint)) {
      if (t->filePath != nullptr) {
        if (TessivoStatus s = textureFile.Load(state, *t->filePath); s != OK) return state.Set(s);
        texture = textureFile.Image();
      } else {
        texture = t->imageId == 0 ? nullptr : ResolveImage(t->imageId);
        if (texture == nullptr) return state.Set(InvalidParameter);
      }
    }
    return WithSurface(state, false, [&](platform::Graphics& g) {
      UseTextHint(g, r.antiAlias);
      PointF origin{double(r.left), double(r.top)};
      if (r.angle) {
        if (Status s = g.RotateTransform(*r.angle, platform::MatrixOrder::Append); s != Status::Ok) return s;
        origin = g.DeviceToWorld(origin);
      }
      platform::StringFormat format;
      format.measureTrailingSpaces = true;
      const platform::TextLayout layout(r.text, font, RectF{origin.x, origin.y, 0, 0}, format);
      const RectF& box = layout.Bounds();
      if (!(box.width > 0) && !(box.height > 0)) return Status::Ok;
      if (r.backArgb && box.width > 0) {
        if (Status s = g.FillPath(platform::SolidBrush{static_cast<uint32_t>(*r.backArgb)}, BoxPath(box));
            s != Status::Ok)
          return s;
      }
      return Paint(g, layout, r.paint, texture);
    });
  });
}

}  // namespace

TessivoStatus CheckTextFont(ImagingState& state, float size, const std::string& fontName, int32_t style) {
  platform::Font font;
  if (TessivoStatus s = PrepareFont(state, size, fontName, style, font); s != OK) return s;
  return font.emPixels > kMaxCheckedTextEm ? ValueOverflow : OK;
}

TessivoStatus DrawPlainText(ImagingState& state, const std::string& text, int32_t left, int32_t top, float size,
                            int32_t argb, const std::string& fontName, int32_t style, bool antiAlias) {
  return DrawTextRequest(state, {text, left, top, size, fontName, style, antiAlias, SolidText{argb}, std::nullopt,
                                 std::nullopt});
}

void cImaging::FontSetUnit(UnitMode nUnit) {
  ImagingState& state = State();
  if (nUnit < UnitWorld || nUnit > UnitMillimeter) {
    state.Set(InvalidParameter);
    return;
  }
  state.fontUnit = nUnit;
}

UnitMode cImaging::FontGetUnit() { return static_cast<UnitMode>(State().fontUnit); }

int32_t cImaging::FontGetCount() {
  return Guarded(State(), 0, [] { return static_cast<int32_t>(platform::InstalledFontFamilies().size()); });
}

std::string cImaging::FontGetName(int32_t nIndex) {
  return Guarded(State(), std::string(), [&] {
    const std::vector<std::string>& families = platform::InstalledFontFamilies();
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= families.size()) return std::string();
    return families[static_cast<size_t>(nIndex)];
  });
}

bool cImaging::FontIsStyleAvailable(const std::string& sFontName, FontStyle nStyle) {
  ImagingState& state = State();
  return Guarded(state, false, [&] {
    if (!ValidStyle(nStyle)) {
      state.Set(InvalidParameter);
      return false;
    }
    std::string family;
    if (Status s = platform::ResolveFontFamily(sFontName, family); s != Status::Ok) {
      state.Set(static_cast<TessivoStatus>(s));
      return false;
    }
    return platform::FamilyHasStyle(family, (nStyle & FontStyleBold) != 0, (nStyle & FontStyleItalic) != 0);
  });
}

TessivoStatus cImaging::DrawText(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                 int32_t nColorARGB, const std::string& sFontName, FontStyle nFontStyle,
                                 bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   SolidText{nColorARGB}, std::nullopt, std::nullopt});
}

TessivoStatus cImaging::DrawTextBackColor(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                          int32_t nColorARGB, int32_t nBackColorARGB, const std::string& sFontName,
                                          FontStyle nFontStyle, bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   SolidText{nColorARGB}, std::nullopt, nBackColorARGB});
}

TessivoStatus cImaging::DrawRotatedText(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                        float nAngle, int32_t nColorARGB, const std::string& sFontName,
                                        FontStyle nFontStyle, bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   SolidText{nColorARGB}, nAngle, std::nullopt});
}

TessivoStatus cImaging::DrawRotatedTextBackColor(const std::string& sText, int32_t nLeft, int32_t nTop,
                                                 float nFontSize, float nAngle, int32_t nColorARGB,
                                                 int32_t nBackColorARGB, const std::string& sFontName,
                                                 FontStyle nFontStyle, bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   SolidText{nColorARGB}, nAngle, nBackColorARGB});
}

TessivoStatus cImaging::DrawTextGradient(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                         int32_t nStartColorARGB, int32_t nEndColorARGB,
                                         const std::string& sFontName, FontStyle nFontStyle, bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   GradientText{nStartColorARGB, nEndColorARGB}, std::nullopt, std::nullopt});
}

TessivoStatus cImaging::DrawTextTexture(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                        const std::string& sTextureFilePath, const std::string& sFontName,
                                        FontStyle nFontStyle, bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   TextureText{&sTextureFilePath, 0}, std::nullopt, std::nullopt});
}

TessivoStatus cImaging::DrawTextTextureFromTessivoImage(const std::string& sText, int32_t nLeft, int32_t nTop,
                                                        float nFontSize, int32_t nTextureImageID,
                                                        const std::string& sFontName, FontStyle nFontStyle,
                                                        bool bAntiAlias) {
  return DrawTextRequest(State(), {sText, nLeft, nTop, nFontSize, sFontName, nFontStyle, bAntiAlias,
                                   TextureText{nullptr, nTextureImageID}, std::nullopt, std::nullopt});
}

TessivoStatus cImaging::DrawTextBox(const std::string& sText, int32_t nLeft, int32_t nTop, int32_t nWidth,
                                    int32_t nHeight, float nFontSize, int32_t nColorARGB,
                                    const std::string& sFontName, FontStyle nFontStyle, int32_t nAlignment,
                                    bool bBox, bool bAntiAlias) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    if (nWidth < 0 || nHeight < 0 || nAlignment < 0 || nAlignment > 2) return RejectDraw(state);
    platform::Font font;
    if (TessivoStatus s = PrepareFont(state, nFontSize, sFontName, nFontStyle, font); s != OK) return state.Set(s);
    return WithSurface(state, false, [&](platform::Graphics& g) {
      UseTextHint(g, bAntiAlias);
      const RectF rect{double(nLeft), double(nTop), double(nWidth), double(nHeight)};
      if (bBox) {
        platform::Pen pen;
        pen.argb = static_cast<uint32_t>(nColorARGB);
        if (Status s = g.DrawPath(pen, BoxPath(rect)); s != Status::Ok) return s;
      }
      platform::StringFormat format;
      format.alignment = format.lineAlignment = static_cast<platform::StringAlignment>(nAlignment);
      const platform::TextLayout layout(sText, font, rect, format);
      // The text stays inside the box in each direction the box bounds.
      constexpr int32_t kFar = std::numeric_limits<int32_t>::max() / 2;
      g.IntersectClip({nWidth > 0 ? nLeft : -kFar, nHeight > 0 ? nTop : -kFar, nWidth > 0 ? nWidth : 2 * kFar,
                       nHeight > 0 ? nHeight : 2 * kFar});
      return g.DrawString(layout, platform::SolidBrush{static_cast<uint32_t>(nColorARGB)});
    });
  });
}

}  // namespace tessivo
