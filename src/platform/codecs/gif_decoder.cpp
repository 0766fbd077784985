// GIF decoding with giflib's record-level interface (never DGifSlurp, which would allocate
// every frame at the size its descriptor claims). Frames are composited on the logical
// screen with their disposal methods; they stay 8bppIndexed while every frame shares the
// first frame's colours and transparent index, and become 32bppARGB otherwise. Frame delays
// (FrameDelay), the loop count (LoopCount) and comments (GifComment) are property items.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codecs/decoders.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

// More frames than this are ignored (real animations have a few hundred).
constexpr size_t kMaxFrames = 65536;

struct FrameInfo {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int delay = 0;        // hundredths of a second
  int disposal = 0;     // 0/1 keep, 2 restore background, 3 restore previous
  int transparent = -1;
  std::vector<uint32_t> colours;  // ARGB, the frame's effective colour table
};

struct GifInfo {
  int screenWidth = 0, screenHeight = 0;
  int background = 0;
  bool hasLoop = false;
  int loopCount = 0;
  std::string comment;
  std::vector<FrameInfo> frames;
};

struct MemoryInput {
  const uint8_t* data;
  size_t size;
  size_t position;
};

int ReadInput(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  if (length <= 0) return 0;
  size_t n = std::min(static_cast<size_t>(length), in->size - in->position);
  std::memcpy(out, in->data + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

class GifReader {
 public:
  GifReader(const uint8_t* data, size_t size) : input_{data, size, 0} {
    int error = 0;
    gif_ = DGifOpen(&input_, ReadInput, &error);
  }
  ~GifReader() {
    if (gif_) DGifCloseFile(gif_, nullptr);
  }
  GifReader(const GifReader&) = delete;
  GifReader& operator=(const GifReader&) = delete;
  GifFileType* get() const { return gif_; }

 private:
  MemoryInput input_;
  GifFileType* gif_ = nullptr;
};

std::vector<uint32_t> ColoursOf(const ColorMapObject* map) {
  std::vector<uint32_t> colours;
  if (map == nullptr || map->Colors == nullptr) return colours;
  int count = std::clamp(map->ColorCount, 0, 256);
  colours.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const GifColorType& c = map->Colors[i];
    colours.push_back(0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue);
  }
  return colours;
}

// Walks the extension blocks of the record just begun; `onBlock(index, block)` sees each
// block (block[0] is its length).
template <typename OnBlock>
bool ReadExtension(GifFileType* gif, int& code, OnBlock&& onBlock) {
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  for (int index = 0; block != nullptr; ++index) {
    onBlock(index, block);
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

bool SkipImageData(GifFileType* gif) {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
  while (block != nullptr) {
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// One pass over the records: frames with their control data, loop count and comment.
// Stops quietly at damaged data after the first frame (the frames before it stay usable).
Status ScanGif(const uint8_t* data, size_t size, GifInfo& info) {
  GifReader reader(data, size);
  GifFileType* gif = reader.get();
  if (gif == nullptr) return Status::UnknownImageFormat;
  info.screenWidth = gif->SWidth;
  info.screenHeight = gif->SHeight;
  info.background = gif->SBackGroundColor;
  std::vector<uint32_t> global = ColoursOf(gif->SColorMap);
  FrameInfo pending;  // control data for the next image
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (info.frames.size() < kMaxFrames && DGifGetRecordType(gif, &type) != GIF_ERROR &&
         type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      bool netscape = false;
      bool ok = ReadExtension(gif, code, [&](int index, const GifByteType* block) {
        if (code == GRAPHICS_EXT_FUNC_CODE && index == 0 && block[0] >= 4) {
          pending.disposal = (block[1] >> 2) & 7;
          pending.delay = block[2] | (block[3] << 8);
          pending.transparent = (block[1] & 1) ? block[4] : -1;
        } else if (code == APPLICATION_EXT_FUNC_CODE && index == 0 && block[0] == 11) {
          netscape = std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                     std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0;
        } else if (code == APPLICATION_EXT_FUNC_CODE && netscape && index == 1 &&
                   block[0] >= 3 && block[1] == 1) {
          info.hasLoop = true;
          info.loopCount = block[2] | (block[3] << 8);
        } else if (code == COMMENT_EXT_FUNC_CODE && info.comment.size() < 65536) {
          info.comment.append(reinterpret_cast<const char*>(block + 1), block[0]);
        }
      });
      if (!ok) break;
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageHeader(gif) == GIF_ERROR) break;
      FrameInfo frame = pending;
      frame.left = gif->Image.Left;
      frame.top = gif->Image.Top;
      frame.width = gif->Image.Width;
      frame.height = gif->Image.Height;
      frame.interlaced = gif->Image.Interlace;
      frame.colours = gif->Image.ColorMap ? ColoursOf(gif->Image.ColorMap) : global;
      pending = FrameInfo();
      bool complete = SkipImageData(gif);
      if (frame.width > 0 && frame.height > 0) info.frames.push_back(std::move(frame));
      if (!complete) break;
    } else {
      break;
    }
  }
  if (info.frames.empty()) return Status::UnknownImageFormat;
  if (info.screenWidth <= 0 || info.screenHeight <= 0) {
    // No usable logical screen: the first frame's extent stands in for it.
    info.screenWidth = info.frames[0].left + info.frames[0].width;
    info.screenHeight = info.frames[0].top + info.frames[0].height;
  }
  return Status::Ok;
}

// The composited screen after some frame: indices while every frame so far used the first
// frame's colours and transparent index, and always ARGB.
class Compositor {
 public:
  Compositor(const GifInfo& info, const uint8_t* data, size_t size)
      : info_(info), data_(data), size_(size) {
    const FrameInfo& first = info.frames[0];
    size_t pixels = static_cast<size_t>(info.screenWidth) * info.screenHeight;
    // The screen starts out transparent when the first frame has a transparent colour,
    // else in the background colour.
    clearIndex_ = first.transparent >= 0 ? first.transparent : info.background;
    indices_.assign(pixels, static_cast<uint8_t>(clearIndex_));
    argb_.assign(pixels, ClearColour(first));
  }

  // Composites frames up to `target` (from the start when it lies behind).
  Status Advance(size_t target) {
    if (target + 1 < next_) Restart();
    if (next_ > target) return Status::Ok;
    GifReader reader(data_, size_);
    GifFileType* gif = reader.get();
    if (gif == nullptr) return Status::GenericError;
    size_t frame = 0;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (frame <= target && DGifGetRecordType(gif, &type) != GIF_ERROR &&
           type != TERMINATE_RECORD_TYPE) {
      if (type == EXTENSION_RECORD_TYPE) {
        int code = 0;
        if (!ReadExtension(gif, code, [](int, const GifByteType*) {})) break;
        continue;
      }
      if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageHeader(gif) == GIF_ERROR) break;
      if (gif->Image.Width <= 0 || gif->Image.Height <= 0) {  // not counted as a frame
        if (!SkipImageData(gif)) break;
        continue;
      }
      if (frame < next_) {
        if (!SkipImageData(gif)) break;
      } else {
        Draw(gif, info_.frames[frame]);
        next_ = frame + 1;
      }
      ++frame;
    }
    return next_ > target ? Status::Ok : Status::GenericError;
  }

  bool Indexed() const { return indexed_; }
  const std::vector<uint8_t>& Indices() const { return indices_; }
  const std::vector<uint32_t>& Argb() const { return argb_; }

 private:
  uint32_t ClearColour(const FrameInfo& frame) const {
    if (frame.transparent >= 0) return 0;
    const std::vector<uint32_t>& c = info_.frames[0].colours;
    return info_.background >= 0 && static_cast<size_t>(info_.background) < c.size()
               ? c[static_cast<size_t>(info_.background)]
               : 0xFF000000u;
  }

  void Restart() {
    std::fill(indices_.begin(), indices_.end(), static_cast<uint8_t>(clearIndex_));
    std::fill(argb_.begin(), argb_.end(), ClearColour(info_.frames[0]));
    indexed_ = true;
    next_ = 0;
  }

  // Applies the previous frame's disposal, then draws this frame's rows (damaged data ends
  // the frame early; what was read is kept).
  void Draw(GifFileType* gif, const FrameInfo& frame) {
    const int sw = info_.screenWidth, sh = info_.screenHeight;
    if (next_ > 0) Dispose(info_.frames[next_ - 1]);
    const FrameInfo& first = info_.frames[0];
    if (frame.colours != first.colours || frame.transparent != first.transparent) indexed_ = false;
    if (frame.disposal == 3) {
      savedIndices_ = indices_;
      savedArgb_ = argb_;
    }
    std::vector<uint8_t> line(static_cast<size_t>(frame.width));
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};
    int passes = frame.interlaced ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      int start = frame.interlaced ? kPassStart[pass] : 0;
      int step = frame.interlaced ? kPassStep[pass] : 1;
      for (int y = start; y < frame.height; y += step) {
        if (DGifGetLine(gif, line.data(), frame.width) == GIF_ERROR) return;
        int sy = frame.top + y;
        if (sy < 0 || sy >= sh) continue;
        for (int x = 0; x < frame.width; ++x) {
          int sx = frame.left + x;
          uint8_t index = line[static_cast<size_t>(x)];
          if (sx < 0 || sx >= sw || index == frame.transparent) continue;
          size_t at = static_cast<size_t>(sy) * sw + sx;
          indices_[at] = index;
          argb_[at] = index < frame.colours.size() ? frame.colours[index] : 0xFF000000u;
        }
      }
    }
  }

  void Dispose(const FrameInfo& previous) {
    if (previous.disposal == 2) {
      uint8_t index = static_cast<uint8_t>(previous.transparent >= 0 ? previous.transparent
                                                                     : info_.background);
      uint32_t colour = ClearColour(previous);
      if (index != clearIndex_) indexed_ = false;
      for (int y = std::max(0, previous.top);
           y < std::min(info_.screenHeight, previous.top + previous.height); ++y) {
        for (int x = std::max(0, previous.left);
             x < std::min(info_.screenWidth, previous.left + previous.width); ++x) {
          size_t at = static_cast<size_t>(y) * info_.screenWidth + x;
          indices_[at] = index;
          argb_[at] = colour;
        }
      }
    } else if (previous.disposal == 3 && !savedIndices_.empty()) {
      indices_ = savedIndices_;
      argb_ = savedArgb_;
    }
  }

  const GifInfo& info_;
  const uint8_t* data_;
  size_t size_;
  int clearIndex_ = 0;
  std::vector<uint8_t> indices_;
  std::vector<uint32_t> argb_;
  std::vector<uint8_t> savedIndices_;
  std::vector<uint32_t> savedArgb_;
  bool indexed_ = true;
  size_t next_ = 0;  // frames composited so far
};

void AddGifProperties(const GifInfo& info, Bitmap& image) {
  std::vector<uint8_t> delays(info.frames.size() * 4);
  for (size_t i = 0; i < info.frames.size(); ++i) {
    WriteLe32(delays.data() + 4 * i, static_cast<uint32_t>(info.frames[i].delay));
  }
  AddProperty(image, kPropertyTagFrameDelay, PropertyTagTypeLong, delays.data(), delays.size());
  if (info.hasLoop) {
    uint8_t loop[2];
    WriteLe16(loop, static_cast<uint16_t>(info.loopCount));
    AddProperty(image, kPropertyTagLoopCount, PropertyTagTypeShort, loop, 2);
  }
  if (!info.comment.empty()) AddAsciiProperty(image, kPropertyTagGifComment, info.comment);
}

Status MakeFrameBitmap(const GifInfo& info, const Compositor& c, std::unique_ptr<Bitmap>& out) {
  const int w = info.screenWidth, h = info.screenHeight;
  std::unique_ptr<Bitmap> image;
  bool indexed = c.Indexed();
  Status s = NewDecodedBitmap(w, h, indexed ? kPixelFormat8bppIndexed : kPixelFormat32bppARGB,
                              image);
  if (s != Status::Ok) return s;
  if (indexed) {
    const FrameInfo& first = info.frames[0];
    Palette palette;
    palette.entries = first.colours;
    palette.entries.resize(256, 0xFF000000u);
    if (first.transparent >= 0) {
      palette.entries[static_cast<size_t>(first.transparent)] &= 0x00FFFFFFu;
      palette.flags |= PaletteFlagsHasAlpha;
    }
    image->SetPalette(palette);
    for (int y = 0; y < h; ++y) {
      std::memcpy(image->Row(y), c.Indices().data() + static_cast<size_t>(y) * w,
                  static_cast<size_t>(w));
    }
  } else {
    for (int y = 0; y < h; ++y) {
      uint8_t* row = image->Row(y);
      const uint32_t* src = c.Argb().data() + static_cast<size_t>(y) * w;
      for (int x = 0; x < w; ++x) WriteLe32(row + 4 * x, src[x]);
    }
  }
  AddGifProperties(info, *image);
  FinishDecodedBitmap(*image, RawFormat::GIF, ImageFlagsColorSpaceRGB);
  out = std::move(image);
  return Status::Ok;
}

class GifFrames final : public FrameSource {
 public:
  GifFrames(SharedBytes data, GifInfo info, std::unique_ptr<Compositor> compositor)
      : data_(std::move(data)), info_(std::move(info)), compositor_(std::move(compositor)) {}

  uint32_t FrameCount(FrameDimension dimension) const override {
    return dimension == FrameDimension::Time ? static_cast<uint32_t>(info_.frames.size()) : 1;
  }

  Status DecodeFrame(FrameDimension dimension, uint32_t index, Bitmap& into) override {
    if (index >= FrameCount(dimension)) return Status::InvalidParameter;
    if (!compositor_) compositor_ = std::make_unique<Compositor>(info_, data_->data(), data_->size());
    Status s = compositor_->Advance(index);
    if (s != Status::Ok) return s;
    std::unique_ptr<Bitmap> frame;
    s = MakeFrameBitmap(info_, *compositor_, frame);
    if (s != Status::Ok) return s;
    into.TakeContentFrom(*frame);
    return Status::Ok;
  }

 private:
  SharedBytes data_;
  GifInfo info_;  // the compositor refers to it: it never moves once here
  std::unique_ptr<Compositor> compositor_;
};

}  // namespace

Status DecodeGif(const SharedBytes& data, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (data->size() < 6 || std::memcmp(data->data(), "GIF", 3) != 0) {
    return Status::UnknownImageFormat;
  }
  GifInfo info;
  Status s = ScanGif(data->data(), data->size(), info);
  if (s != Status::Ok) return s;
  // Check the screen size before the compositor allocates it.
  std::unique_ptr<Bitmap> probe;
  s = NewDecodedBitmap(info.screenWidth, info.screenHeight, kPixelFormat32bppARGB, probe);
  if (s != Status::Ok) return s;
  probe.reset();
  Compositor first(info, data->data(), data->size());
  s = first.Advance(0);
  if (s != Status::Ok) return s;
  s = MakeFrameBitmap(info, first, out);
  if (s != Status::Ok) return s;
  if (info.frames.size() > 1) {
    // The frame source composites afresh from its own copy of the frame list.
    out->SetFrameSource(std::make_shared<GifFrames>(data, std::move(info), nullptr));
  }
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
