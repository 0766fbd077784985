// Bitmap: the platform layer's raster image. Pixels are rows of `stride` bytes (padded to 4 bytes
// when the bitmap allocates them) in one of the 14 pixel formats; the bitmap also carries a
// palette, a resolution, metadata property items, image flags, the raw format it was decoded
// from, and for decoded multi-frame files a frame source with an active frame.
//
// Every operation returns a Status; a bad argument is a status, never a crash.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pixel_buffer.h"
#include "platform/pixel_format.h"
#include "platform/status.h"

namespace tessivo::platform {

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// What a bitmap was decoded from.
enum class RawFormat { Undefined, MemoryBMP, BMP, EMF, WMF, JPEG, PNG, GIF, TIFF, EXIF, Icon };
// The raw format's identifier as an upper-case braced GUID string.
const char* RawFormatGuid(RawFormat f);

enum PaletteFlags : uint32_t {
  PaletteFlagsHasAlpha = 0x1,
  PaletteFlagsGrayScale = 0x2,
  PaletteFlagsHalftone = 0x4,
};

struct Palette {
  uint32_t flags = 0;
  std::vector<uint32_t> entries;  // ARGB colours, at most 256
};

// The palettes a blank indexed bitmap starts with: 1 bpp black and white, 4 bpp the 16 VGA
// colours, 8 bpp the halftone palette; an empty palette for direct formats.
Palette DefaultPalette(PixelFormat f);

// One metadata item: tag id, value type (1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL,
// 7 UNDEFINED, 9 SLONG, 10 SRATIONAL) and the value bytes, little-endian.
struct PropertyItem {
  uint32_t id = 0;
  uint16_t type = 0;
  std::vector<uint8_t> value;
};

enum ImageLockMode : uint32_t {
  ImageLockModeRead = 0x1,
  ImageLockModeWrite = 0x2,
  ImageLockModeUserInputBuf = 0x4,
};

// The record of a pixel lock: the locked rectangle's rows in the requested format.
struct BitmapData {
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t stride = 0;
  PixelFormat pixelFormat = kPixelFormatUndefined;
  void* scan0 = nullptr;
  intptr_t reserved = 0;  // used by the bitmap to find the lock again
};

enum RotateFlipType : int32_t {
  RotateNoneFlipNone = 0,
  Rotate90FlipNone = 1,
  Rotate180FlipNone = 2,
  Rotate270FlipNone = 3,
  RotateNoneFlipX = 4,
  Rotate90FlipX = 5,
  Rotate180FlipX = 6,
  Rotate270FlipX = 7,
};

enum ImageFlags : uint32_t {
  ImageFlagsNone = 0,
  ImageFlagsScalable = 0x1,
  ImageFlagsHasAlpha = 0x2,
  ImageFlagsHasTranslucent = 0x4,
  ImageFlagsPartiallyScalable = 0x8,
  ImageFlagsColorSpaceRGB = 0x10,
  ImageFlagsColorSpaceCMYK = 0x20,
  ImageFlagsColorSpaceGRAY = 0x40,
  ImageFlagsColorSpaceYCBCR = 0x80,
  ImageFlagsColorSpaceYCCK = 0x100,
  ImageFlagsHasRealDPI = 0x1000,
  ImageFlagsHasRealPixelSize = 0x2000,
  ImageFlagsReadOnly = 0x10000,
  ImageFlagsCaching = 0x20000,
};

enum class FrameDimension { Page, Time, Resolution };

// The resolution of a bitmap that was given none (and of decoded files that state none).
constexpr float kDefaultDpi = 96.0f;

class Bitmap;

// Frames of a decoded multi-frame file (TIFF pages, GIF frames). The bitmap shows one frame at
// a time; selecting another asks the source to decode it into the bitmap.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  virtual uint32_t FrameCount(FrameDimension dimension) const = 0;
  virtual Status DecodeFrame(FrameDimension dimension, uint32_t index, Bitmap& into) = 0;
};

// Largest pixel buffer a bitmap accepts (2^31 bytes): larger requests give OutOfMemory.
inline constexpr int64_t kMaxPixelBytes = int64_t{1} << 31;

class Bitmap {
 public:
  // A blank bitmap whose pixels the bitmap allocates (zero-filled; indexed formats get their
  // default palette). Width or height below 1 or an unknown format: InvalidParameter; more than
  // kMaxPixelBytes of pixels: OutOfMemory.
  static Status Create(int32_t width, int32_t height, PixelFormat format,
                       std::unique_ptr<Bitmap>& out);
  // A bitmap over caller memory: rows of `stride` bytes (negative: bottom-up) from `scan0`,
  // read and written in place for the bitmap's whole life. The caller keeps the memory alive.
  static Status CreateOver(int32_t width, int32_t height, int32_t stride, PixelFormat format,
                           void* scan0, std::unique_ptr<Bitmap>& out);

  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  PixelFormat Format() const { return format_; }
  int32_t Stride() const { return stride_; }
  uint8_t* Scan0() { return scan0_; }
  const uint8_t* Scan0() const { return scan0_; }
  uint8_t* Row(int32_t y) { return scan0_ + static_cast<intptr_t>(y) * stride_; }
  const uint8_t* Row(int32_t y) const { return scan0_ + static_cast<intptr_t>(y) * stride_; }
  bool OwnsPixels() const { return !owned_.empty(); }

  // A deep copy owning its pixels, with palette, resolution, property items, flags, raw format
  // and frame source (shared).
  Status Clone(std::unique_ptr<Bitmap>& out) const;
  // A copy of `area` converted to `format` (indexed targets: see LockBits). The area must lie
  // inside the bitmap and not be empty: InvalidParameter otherwise.
  Status CloneArea(const Rect& area, PixelFormat format, std::unique_ptr<Bitmap>& out) const;
  // A scaled copy of the whole bitmap in 32bppPARGB, `width` x `height` (0 picks 120 on the
  // longer side keeping the aspect ratio).
  Status Thumbnail(int32_t width, int32_t height, std::unique_ptr<Bitmap>& out) const;
  Status RotateFlip(RotateFlipType type);

  // One pixel as ARGB. SetPixel on an indexed bitmap is InvalidParameter, as on the platform.
  Status GetPixel(int32_t x, int32_t y, uint32_t& argb) const;
  Status SetPixel(int32_t x, int32_t y, uint32_t argb);

  // Lock `rect` (nullptr: whole bitmap) for reading and/or writing in `format`, converting from
  // and (on unlock, for write locks) back to the bitmap's own format. With
  // ImageLockModeUserInputBuf the caller's `data.scan0`/`data.stride` receive (read) or supply
  // (write) the rows. Conversions to an indexed format map each colour to the nearest palette
  // entry: the bitmap's own palette when the bitmap is indexed and its palette fits the target,
  // else the target's default palette. One lock at a time: a second gives WrongState.
  Status LockBits(const Rect* rect, uint32_t flags, PixelFormat format, BitmapData& data);
  Status UnlockBits(BitmapData& data);

  const Palette& GetPalette() const { return palette_; }
  Status SetPalette(const Palette& palette);

  float HorizontalResolution() const { return dpiX_; }
  float VerticalResolution() const { return dpiY_; }
  Status SetResolution(float dpiX, float dpiY);

  // Property items, kept in insertion order; setting an existing id replaces it in place.
  const std::vector<PropertyItem>& Properties() const { return properties_; }
  Status GetProperty(uint32_t id, PropertyItem& out) const;  // absent: PropertyNotFound
  Status SetProperty(const PropertyItem& item);
  Status RemoveProperty(uint32_t id);                       // absent: PropertyNotFound

  uint32_t Flags() const { return flags_; }
  void SetFlags(uint32_t flags) { flags_ = flags; }
  RawFormat GetRawFormat() const { return rawFormat_; }
  void SetRawFormat(RawFormat f) { rawFormat_ = f; }

  // Frames: a bitmap without a frame source has one frame in every dimension.
  uint32_t FrameCount(FrameDimension dimension) const;
  uint32_t ActiveFrame() const { return activeFrame_; }
  Status SelectActiveFrame(FrameDimension dimension, uint32_t index);
  void SetFrameSource(std::shared_ptr<FrameSource> source) { frames_ = std::move(source); }
  const std::shared_ptr<FrameSource>& GetFrameSource() const { return frames_; }

  // Decoding is eager, so validation always succeeds; kept for the callers that ask for it.
  Status ForceValidation() const { return Status::Ok; }

  // Replace size, format and pixels with those of `other` (used by frame decoders); palette,
  // resolution, properties and flags are taken from `other` too.
  void TakeContentFrom(Bitmap& other);

 private:
  Bitmap() = default;
  struct LockState;

  int32_t width_ = 0;
  int32_t height_ = 0;
  PixelFormat format_ = kPixelFormatUndefined;
  int32_t stride_ = 0;
  uint8_t* scan0_ = nullptr;
  PixelBuffer owned_;  // empty when the pixels are the caller's
  Palette palette_;
  float dpiX_ = kDefaultDpi;
  float dpiY_ = kDefaultDpi;
  std::vector<PropertyItem> properties_;
  uint32_t flags_ = 0;
  RawFormat rawFormat_ = RawFormat::MemoryBMP;
  std::shared_ptr<FrameSource> frames_;
  uint32_t activeFrame_ = 0;
  std::unique_ptr<LockState> lock_;
};

}  // namespace tessivo::platform
