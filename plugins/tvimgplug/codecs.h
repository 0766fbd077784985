// The plug-in's decoders and encoders, one family per library: libjpeg-turbo for JPEG, libtiff
// for TIFF (pages, multi-page writing, CCITT Group 4), ImageMagick for every other format.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap.h"

namespace tvimg {

// The largest file the plug-in reads.
inline constexpr uint64_t kMaxFileBytes = uint64_t{2} << 30;

// A file read into memory, shared by the decoders; empty when it cannot be read.
class MappedFile {
 public:
  explicit MappedFile(const char* path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool ok() const { return data_ != nullptr; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

// Writes `bytes` to `path` through a temporary file renamed into place, so that a failed write
// never leaves a truncated file behind.
bool WriteFileAtomically(const std::string& path, const uint8_t* bytes, size_t size);

// Decodes a file's bytes with the decoder of `format` (TVIMG_UNKNOWN: judged by signature);
// null when the bytes are not a picture of that format or break a limit.
BitmapPtr LoadFromMemory(int32_t format, const uint8_t* data, size_t size);

// JPEG (libjpeg-turbo). Grey files become 8-bit grey, colour 24-bit, CMYK/YCCK 24-bit RGB with
// cmykSource set. Markers: EXIF (APP1), IPTC (APP13), ICC profile (APP2).
BitmapPtr LoadJpeg(const uint8_t* data, size_t size);
// `quality` 1..100 (0: 75). Indexed images are written as grey when their palette is the grey
// ramp, else expanded to RGB; 32-bit images lose their alpha.
bool SaveJpeg(const tvimg_bitmap& bitmap, const std::string& path, int quality);

// TIFF (libtiff) over bytes in memory.
struct TiffDocument;  // an open TIFF for reading pages
TiffDocument* OpenTiff(const uint8_t* data, size_t size);
void CloseTiff(TiffDocument* document);
int32_t TiffPageCount(TiffDocument* document);
BitmapPtr LoadTiffPage(TiffDocument* document, int32_t page);

// TIFF compressions as the save flags name them.
enum class TiffCompression { Default, Lzw, Jpeg, Ccitt4, PackBits, Deflate, None };
TiffCompression TiffCompressionFromFlags(int32_t flags);
// The quality of JPEG-compressed TIFF pages (0..100), for the calling thread.
void SetTiffJpegQuality(int32_t quality);
// Writes one or more pages to one file.
bool SaveTiff(const std::vector<const tvimg_bitmap*>& pages, const std::string& path,
              TiffCompression compression);
// Sets (or, with an empty profile, removes) the colour profile of every page of a TIFF file held
// in `bytes`, which are rewritten.
bool ReplaceTiffIccProfile(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& profile);
// CCITT Group 4 data of packed 1-bit rows (0 = black) as a PDF filter expects it.
bool CompressCcitt4(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
                    std::vector<uint8_t>& out);

// Every other format, through ImageMagick; `format` is a TvimgFormat.
BitmapPtr LoadWithMagick(int32_t format, const uint8_t* data, size_t size);
// A placeable Windows metafile rendered at `scale` pixels per metafile unit.
BitmapPtr LoadMetafile(const uint8_t* data, size_t size, double scale);
bool SaveWithMagick(int32_t format, const tvimg_bitmap& bitmap, const std::string& path,
                    int32_t flags);
// An animated GIF of the frames, with their delays, disposals and the first frame's loop count.
bool SaveGifFrames(const std::vector<const tvimg_bitmap*>& frames, const std::string& path);

// The same for every frame of a file ImageMagick reads and writes in `format`.
bool ReplaceIccProfileWithMagick(int32_t format, const std::string& path,
                                 const std::vector<uint8_t>& profile);

// Formats the toolkit's own decoders cover that ImageMagick lacks.
BitmapPtr LoadKoala(const uint8_t* data, size_t size);

// Colour profiles of files, in place: JPEG by rewriting its markers, TIFF through libtiff,
// other formats through ImageMagick. `profile` empty removes.
bool ReplaceIccProfileInFile(const std::string& path, const std::vector<uint8_t>& profile);

}  // namespace tvimg
