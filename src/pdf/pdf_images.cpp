// Image XObjects of cPDF: the encoding chosen from bit depth and palette, the pixel rows
// extracted by the writer, palettes as colour table objects, and placements on pages.
#include <cmath>
#include <fstream>
#include <iterator>

#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "pdf/ccitt_g4.h"
#include "pdf/jpeg_header.h"
#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/stream.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

enum ImageMode : int32_t { kRaw = 0, kFlate = 1, kG4 = 2, kJpeg = 3 };
constexpr const char* kJpegEncoder = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";

bool IsGreyRamp(const platform::Palette& palette) {
  if (palette.entries.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t c = palette.entries[i];
    if (((c >> 16) & 0xFF) != i || ((c >> 8) & 0xFF) != i || (c & 0xFF) != i) return false;
  }
  return true;
}

// Whole-number dots per inch, ties to even.
int32_t RoundDpi(float dpi) {
  if (!std::isfinite(dpi)) return 0;
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(dpi)));
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

int32_t cPDF::PdfAddImageFile(const std::string& path) {
  if (!PdfGetNativePdf()) return 0;
  // A JPEG file goes in as it stands: no decoding, no second generation of loss.
  if (compressData_) {
    if (int32_t n = AddJpegFile(path)) return n;
  }
  int32_t id = 0;
  LoadOptions options;
  if (LoadImageFile(path, options, id) != OK || id == 0) return 0;
  int32_t n = 0;
  if (const Bitmap* image = ResolveImage(id)) n = PdfAddBitmap(*image);
  ImageRegistry::Current().Release(id);
  return n;
}

int32_t cPDF::PdfAddImageId(int32_t imageId) {
  if (!PdfGetNativePdf()) return 0;
  const Bitmap* image = ResolveImage(imageId);
  return image ? PdfAddBitmap(*image) : 0;
}

int32_t cPDF::AddJpegFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  pdf::JpegHeader header;
  if (!pdf::ReadJpegHeader(bytes, header)) return 0;
  EnsureHeader();
  const std::string name = "Img" + std::to_string(images_.size() + 1);
  int16_t n = OpenObject(0);
  if (n == 0) return 0;
  const char* space = header.components == 1 ? "/DeviceGray" : header.components == 3 ? "/DeviceRGB" : "/DeviceCMYK";
  std::string dictionary = "<</Subtype/Image/Length " + std::to_string(bytes.size()) +
                           "/Filter/DCTDecode/Name/" + name + "/BitsPerComponent 8/ColorSpace" + space;
  // Adobe's CMYK JPEGs hold inverted samples.
  if (header.components == 4 && header.adobe) dictionary += "/Decode [1 0 1 0 1 0 1 0]";
  dictionary += "/Width " + std::to_string(header.width) + "/Height " + std::to_string(header.height) +
                "/Type/XObject>>stream";
  WriteLine(dictionary);
  WriteBytesLine(Encrypted(n, bytes));
  WriteLine("endstream");
  CloseObject();
  imageEntries_ += "/" + name + " " + std::to_string(n) + " 0 R\r";
  images_.push_back({header.width, header.height, RoundDpi(header.dpiX), RoundDpi(header.dpiY)});
  return static_cast<int32_t>(images_.size());
}

int32_t cPDF::PdfAddBitmap(const Bitmap& image) {
  if (!PdfGetNativePdf()) return 0;
  const int32_t width = image.Width(), height = image.Height();
  int32_t depth = platform::BitsPerPixel(image.Format());
  if (width <= 0 || height <= 0 || depth <= 0) return 0;

  int32_t mode = kRaw;
  if (compressData_) {
    if (depth == 1) mode = kG4;
    else if (depth == 4) mode = kFlate;
    else if (depth == 8) mode = IsGreyRamp(image.GetPalette()) ? (CodecPlugin() ? kJpeg : kRaw) : kFlate;
    else mode = kJpeg;
  }

  std::string samples;
  int32_t rowBytes = 0;
  if (mode == kJpeg) {
    platform::MemoryStream stream;
    if (platform::EncodeImageStream(image, stream, kJpegEncoder,
                                            {{platform::EncoderParameterId::Quality, jpegQuality_}}) !=
        platform::Status::Ok)
      return 0;
    std::vector<uint8_t> bytes = stream.TakeBytes();
    samples.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (depth > 8) depth = 24;
  } else {
    PixelFormat target;
    switch (depth) {
      case 1: target = platform::kPixelFormat1bppIndexed; rowBytes = (width + 7) / 8; break;
      case 4: target = platform::kPixelFormat4bppIndexed; rowBytes = (width + 1) / 2; break;
      case 8: target = platform::kPixelFormat8bppIndexed; rowBytes = width; break;
      default: target = platform::kPixelFormat24bppRGB; rowBytes = 3 * width; depth = 24; break;
    }
    samples.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(height));
    platform::BitmapData data;
    data.stride = rowBytes;
    data.scan0 = samples.data();
    // Reading never changes the image; the lock wants a mutable bitmap only for its records.
    Bitmap& source = const_cast<Bitmap&>(image);
    if (source.LockBits(nullptr, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                        target, data) != platform::Status::Ok)
      return 0;
    source.UnlockBits(data);
    if (depth == 24) {
      for (size_t i = 0; i + 2 < samples.size(); i += 3) std::swap(samples[i], samples[i + 2]);
    }
  }

  std::string palette;
  if (depth <= 8) {
    platform::Palette entries = image.GetPalette();
    if (entries.entries.empty()) entries = platform::DefaultPalette(image.Format());
    if (!entries.entries.empty()) {
      palette.assign(static_cast<size_t>(3) << depth, '\0');
      for (size_t i = 0; i < entries.entries.size() && i < (size_t{1} << depth); ++i) {
        const uint32_t c = entries.entries[i];
        palette[3 * i] = static_cast<char>((c >> 16) & 0xFF);
        palette[3 * i + 1] = static_cast<char>((c >> 8) & 0xFF);
        palette[3 * i + 2] = static_cast<char>(c & 0xFF);
      }
    }
  }

  const std::string name = "Img" + std::to_string(images_.size() + 1);
  if (!WriteImageXObject(name, samples, palette, width, height, depth, rowBytes, mode)) return 0;
  images_.push_back({width, height, RoundDpi(image.HorizontalResolution()),
                     RoundDpi(image.VerticalResolution())});
  return static_cast<int32_t>(images_.size());
}

bool cPDF::WriteImageXObject(const std::string& name, const std::string& samples,
                             const std::string& palette, int32_t width, int32_t height,
                             int32_t bitsPerPixel, int32_t rowBytes, int32_t mode) {
  if (!PdfGetNativePdf()) return false;
  std::string encoded;
  const std::string* data = &samples;
  if (mode == kFlate) {
    if (CompressBytes(samples, compressLevel_, encoded)) data = &encoded;
    else mode = kRaw;
  } else if (mode == kG4) {
    if (pdf::EncodeG4(reinterpret_cast<const uint8_t*>(samples.data()), width, height, rowBytes, encoded))
      data = &encoded;
    else mode = kRaw;
  } else if (mode != kJpeg) {
    mode = kRaw;
  }

  EnsureHeader();
  const int16_t n = OpenObject(0);
  if (n == 0) return false;
  std::string filter;
  if (mode == kFlate) filter = "/Filter/FlateDecode";
  else if (mode == kG4) filter = "/Filter/CCITTFaxDecode/DecodeParms<</K -1/Columns " + std::to_string(width) + ">>";
  else if (mode == kJpeg) filter = "/Filter/DCTDecode";

  const std::string size = "/Width " + std::to_string(width) + "/Height " + std::to_string(height);
  std::string dictionary = "<</Subtype/Image/Length " + std::to_string(data->size()) + filter + "/Name/" + name;
  bool indexed = false;
  const bool blackWhite = palette.size() == 6 && palette == std::string("\0\0\0\xFF\xFF\xFF", 6);
  const bool whiteBlack = palette.size() == 6 && palette == std::string("\xFF\xFF\xFF\0\0\0", 6);
  if (bitsPerPixel == 1 && (blackWhite || whiteBlack)) {
    // Group 4 data decodes to the complement of the rows, hence the swapped arrays.
    const bool straight = blackWhite == (mode != kG4);
    dictionary += std::string("/BitsPerComponent 1/ColorSpace/DeviceGray/") +
                  (straight ? "Decode [ 0 1 ]" : "Decode [ 1 0 ]") + size;
  } else if (bitsPerPixel <= 8 && !palette.empty()) {
    indexed = true;
    dictionary += "/BitsPerComponent " + std::to_string(bitsPerPixel) + "/ColorSpace [/Indexed/DeviceRGB " +
                  std::to_string((1 << bitsPerPixel) - 1) + " " + std::to_string(n + 1) + " 0 R]" + size;
  } else {
    dictionary += "/BitsPerComponent 8/ColorSpace/DeviceRGB" + size;
  }
  dictionary += "/Type/XObject>>stream";
  WriteLine(dictionary);
  WriteBytesLine(Encrypted(n, *data));
  WriteLine("endstream");
  CloseObject();
  imageEntries_ += "/" + name + " " + std::to_string(n) + " 0 R\r";

  if (indexed) {
    const int16_t table = OpenObject(0);
    WriteLine("<</Length " + std::to_string(palette.size()) + ">>stream");
    WriteBytesLine(Encrypted(table, palette));
    WriteLine("endstream");
    CloseObject();
  }
  return !HasFailed();
}

int32_t cPDF::ImageWidth(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(images_.size()) ? images_[static_cast<size_t>(n - 1)].width : 0;
}
int32_t cPDF::ImageHeight(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(images_.size()) ? images_[static_cast<size_t>(n - 1)].height : 0;
}
int32_t cPDF::ImageResX(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(images_.size()) ? images_[static_cast<size_t>(n - 1)].resX : 0;
}
int32_t cPDF::ImageResY(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(images_.size()) ? images_[static_cast<size_t>(n - 1)].resY : 0;
}

void cPDF::DrawImg(int32_t n, float x, float y, float width, float height) {
  if (n < 1 || n > static_cast<int32_t>(images_.size()) || !PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent("q\n" + pdf::FormatFixed(width, 2) + " 0 0 " + pdf::FormatFixed(height, 2) + " " +
                pdf::FormatFixed(x, 2) + " " + pdf::FormatFixed(y, 2) + " cm\n/Img" + std::to_string(n) +
                " Do\nQ\n");
}

}  // namespace tessivo
