// GIF encoding with giflib: one GIF89a frame of 8-bit indices. Indexed images keep their
// palette; other formats are mapped onto the default 8-bit (halftone) palette by the bitmap's
// conversion. Pixels with alpha below one half become transparent through a palette entry
// no opaque pixel uses. The GifComment item is written as a comment extension.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/encoders.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

struct Output {
  Stream* stream;
  Status status = Status::Ok;
};

int WriteOutput(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Output*>(gif->UserData);
  if (length <= 0) return 0;
  Status s = out->stream->Write(data, static_cast<size_t>(length));
  if (s != Status::Ok) {
    out->status = s;
    return 0;
  }
  return length;
}

struct GifWriter {
  GifFileType* gif = nullptr;
  ~GifWriter() {
    if (gif) EGifCloseFile(gif, nullptr);
  }
};

// 8-bit indices and the colour table to write.
struct Indexed {
  std::vector<uint8_t> pixels;
  std::vector<uint32_t> colours;  // ARGB
  int transparent = -1;
};

// Per-pixel alpha of `image` (empty when it has none worth a transparent entry).
Status AlphaOf(const Bitmap& image, std::vector<uint8_t>& alpha) {
  alpha.clear();
  bool paletteAlpha = false;
  if (IsIndexed(image.Format())) {
    for (uint32_t c : image.GetPalette().entries) paletteAlpha |= (c >> 24) < 0x80;
  }
  if (!HasAlpha(image.Format()) && !paletteAlpha) return Status::Ok;
  std::unique_ptr<Bitmap> holder;
  const Bitmap* argb = nullptr;
  Status s = PixelsInFormat(image, kPixelFormat32bppARGB, holder, argb);
  if (s != Status::Ok) return s;
  alpha.resize(static_cast<size_t>(image.Width()) * image.Height());
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* row = argb->Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      alpha[static_cast<size_t>(y) * image.Width() + x] = row[4 * x + 3];
    }
  }
  return Status::Ok;
}

Status ToIndexed(const Bitmap& image, Indexed& out) {
  const int32_t w = image.Width(), h = image.Height();
  std::unique_ptr<Bitmap> holder;
  const Bitmap* indexed = nullptr;
  Status s = PixelsInFormat(image, kPixelFormat8bppIndexed, holder, indexed);
  if (s != Status::Ok) return s;
  out.pixels.resize(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(out.pixels.data() + static_cast<size_t>(y) * w, indexed->Row(y),
                static_cast<size_t>(w));
  }
  out.colours = indexed->GetPalette().entries;
  out.colours.resize(256, 0xFF000000u);
  std::vector<uint8_t> alpha;
  s = AlphaOf(image, alpha);
  if (s != Status::Ok || alpha.empty()) return s;
  // A palette entry no opaque pixel uses carries the transparency.
  std::vector<bool> used(256, false);
  bool anyTransparent = false;
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    if (alpha[i] >= 0x80) used[out.pixels[i]] = true;
    else anyTransparent = true;
  }
  if (!anyTransparent) return Status::Ok;
  for (int i = 255; i >= 0; --i) {
    if (!used[static_cast<size_t>(i)]) {
      out.transparent = i;
      break;
    }
  }
  if (out.transparent < 0) return Status::Ok;  // every entry in use: stays opaque
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    if (alpha[i] < 0x80) out.pixels[i] = static_cast<uint8_t>(out.transparent);
  }
  return Status::Ok;
}

}  // namespace

Status EncodeGif(const Bitmap& image, Stream& stream) {
  if (image.Width() > 65535 || image.Height() > 65535) return Status::InvalidParameter;
  Indexed indexed;
  Status s = ToIndexed(image, indexed);
  if (s != Status::Ok) return s;
  std::vector<GifColorType> colours(256);
  for (size_t i = 0; i < 256; ++i) {
    uint32_t c = indexed.colours[i];
    colours[i] = {static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                  static_cast<GifByteType>(c)};
  }
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  if (map == nullptr) return Status::OutOfMemory;

  Output output{&stream};
  GifWriter writer;
  int error = 0;
  writer.gif = EGifOpen(&output, WriteOutput, &error);
  if (writer.gif == nullptr) {
    GifFreeMapObject(map);
    return Status::OutOfMemory;
  }
  EGifSetGifVersion(writer.gif, true);
  bool ok = EGifPutScreenDesc(writer.gif, image.Width(), image.Height(), 8, 0, map) != GIF_ERROR;
  GifFreeMapObject(map);  // giflib keeps its own copy
  PropertyItem comment;
  if (ok && image.GetProperty(kPropertyTagGifComment, comment) == Status::Ok &&
      !comment.value.empty()) {
    std::string text(comment.value.begin(), comment.value.end());
    text = text.substr(0, text.find('\0'));
    if (!text.empty()) ok = EGifPutComment(writer.gif, text.c_str()) != GIF_ERROR;
  }
  if (ok && indexed.transparent >= 0) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.DelayTime = 0;
    control.TransparentColor = indexed.transparent;
    GifByteType extension[4];
    size_t length = EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(writer.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                          extension) != GIF_ERROR;
  }
  ok = ok && EGifPutImageDesc(writer.gif, 0, 0, image.Width(), image.Height(), false, nullptr) !=
                 GIF_ERROR;
  for (int32_t y = 0; ok && y < image.Height(); ++y) {
    ok = EGifPutLine(writer.gif, indexed.pixels.data() + static_cast<size_t>(y) * image.Width(),
                     image.Width()) != GIF_ERROR;
  }
  int closeError = 0;
  int closed = EGifCloseFile(writer.gif, &closeError);
  writer.gif = nullptr;  // EGifCloseFile frees it either way
  if (output.status != Status::Ok) return output.status;
  return ok && closed != GIF_ERROR ? Status::Ok : Status::GenericError;
}

}  // namespace tessivo::platform::codecs
