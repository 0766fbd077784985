// TIFF encoding with libtiff, one directory per page: bilevel and indexed images as
// min-is-black/min-is-white or palette pages, 8-bit grey ramps as grey, 16-bit grey, 8 and
// 16-bit RGB with unassociated or associated alpha. LZW (with horizontal differencing for
// 8/16-bit samples), CCITT group 3/4 and modified Huffman run lengths (1-bit only), or none.
// Each page carries its resolution, ICC profile and property items: IFD0 tags libtiff knows
// directly, Exif and GPS items in their own directories.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/encoders.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"
#include "platform/codecs/tiff_io.h"
#include "platform/codecs/tiff_raw_pages.h"
#include "platform/sample_swap.h"
#include "platform/stream.h"

namespace tessivo::platform::codecs {

namespace {

PixelFormat FormatForDepth(int32_t depth) {
  switch (depth) {
    case 1: return kPixelFormat1bppIndexed;
    case 4: return kPixelFormat4bppIndexed;
    case 8: return kPixelFormat8bppIndexed;
    case 16:
    case 24: return kPixelFormat24bppRGB;
    case 32: return kPixelFormat32bppARGB;
    case 48: return kPixelFormat48bppRGB;
    case 64: return kPixelFormat64bppARGB;
    default: return kPixelFormatUndefined;
  }
}

PixelFormat StoredFormat(PixelFormat f) {
  switch (f) {
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppRGB565:
    case kPixelFormat32bppRGB:
      return kPixelFormat24bppRGB;
    case kPixelFormat16bppARGB1555:
      return kPixelFormat32bppARGB;
    default:
      return f;
  }
}

enum class PageKind { MinIsBlack, MinIsWhite, Palette, Grey8, Grey16, Rgb };

struct PageLayout {
  PageKind kind = PageKind::Rgb;
  uint16_t bitsPerSample = 8;
  uint16_t samplesPerPixel = 3;
  uint16_t extraSample = 0;  // EXTRASAMPLE_* when samplesPerPixel is 4
};

PageLayout LayoutFor(PixelFormat f, const Palette& p) {
  PageLayout l;
  auto entry = [&](size_t i) { return i < p.entries.size() ? p.entries[i] & 0xFFFFFFu : 0u; };
  if (f == kPixelFormat1bppIndexed) {
    l.bitsPerSample = 1;
    l.samplesPerPixel = 1;
    if (entry(0) == 0 && entry(1) == 0xFFFFFF) l.kind = PageKind::MinIsBlack;
    else if (entry(0) == 0xFFFFFF && entry(1) == 0) l.kind = PageKind::MinIsWhite;
    else l.kind = PageKind::Palette;
  } else if (f == kPixelFormat4bppIndexed) {
    l = {PageKind::Palette, 4, 1};
  } else if (f == kPixelFormat8bppIndexed) {
    l = {IsGreyRamp256(p) ? PageKind::Grey8 : PageKind::Palette, 8, 1};
  } else if (f == kPixelFormat16bppGrayScale) {
    l = {PageKind::Grey16, 16, 1};
  } else {
    bool wide = f == kPixelFormat48bppRGB || f == kPixelFormat64bppARGB ||
                f == kPixelFormat64bppPARGB;
    l.bitsPerSample = wide ? 16 : 8;
    if (HasAlpha(f)) {
      l.samplesPerPixel = 4;
      l.extraSample = IsPremultiplied(f) ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
    }
  }
  return l;
}

uint16_t TiffCompression(int32_t value) {
  switch (value) {
    case EncoderValueCompressionCCITT3: return COMPRESSION_CCITTFAX3;
    case EncoderValueCompressionCCITT4: return COMPRESSION_CCITTFAX4;
    case EncoderValueCompressionRle: return COMPRESSION_CCITTRLE;
    case EncoderValueCompressionNone: return COMPRESSION_NONE;
    default: return COMPRESSION_LZW;
  }
}

// A bilevel page for the CCITT schemes, which know no palette: the darker entry is black.
bool DarkFirst(const Bitmap& image) {
  const Palette& p = image.GetPalette();
  auto luma = [&](size_t i) {
    uint32_t c = i < p.entries.size() ? p.entries[i] : 0;
    return 299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF);
  };
  return luma(0) <= luma(1);
}

// One sample row of the page in file order (RGB instead of the bitmap's BGR).
void FileRow(const Bitmap& image, const PageLayout& l, int32_t y, uint8_t* out) {
  const uint8_t* row = image.Row(y);
  const int32_t w = image.Width();
  if (l.kind != PageKind::Rgb) {
    std::memcpy(out, row, static_cast<size_t>(PackedRowBytes(w, l.bitsPerSample)));
    return;
  }
  const int spp = l.samplesPerPixel;
  if (l.bitsPerSample == 8 && spp == 3) {
    SwapOuterSamples24(row, out, w);
  } else if (l.bitsPerSample == 8) {
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* s = row + static_cast<size_t>(x) * spp;
      uint8_t* d = out + static_cast<size_t>(x) * spp;
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      if (spp == 4) d[3] = s[3];
    }
  } else {
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* s = row + static_cast<size_t>(x) * spp * 2;
      uint16_t* d = reinterpret_cast<uint16_t*>(out) + static_cast<size_t>(x) * spp;
      d[0] = ReadLe16(s + 4);
      d[1] = ReadLe16(s + 2);
      d[2] = ReadLe16(s);
      if (spp == 4) d[3] = ReadLe16(s + 6);
    }
  }
}

// The fields of a page that describe its pixels, as WritePage and WriteRawPage both set them.
struct PageFields {
  uint32_t width = 0;
  uint32_t height = 0;
  PageLayout layout;
  uint16_t compression = COMPRESSION_LZW;
  const Palette* palette = nullptr;  // for palette pages
  float dpiX = 0;
  float dpiY = 0;
  bool page = false;  // one page of a multi-page file
};

void SetPageFields(TIFF* tif, const PageFields& f) {
  const PageLayout& layout = f.layout;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, f.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, f.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, f.compression);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  if (f.page) TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
  switch (layout.kind) {
    case PageKind::MinIsBlack:
    case PageKind::Grey8:
    case PageKind::Grey16:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
      break;
    case PageKind::MinIsWhite:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
      break;
    case PageKind::Palette: {
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
      size_t n = size_t{1} << layout.bitsPerSample;
      std::vector<uint16_t> r(n), g(n), b(n);
      for (size_t i = 0; i < n; ++i) {
        uint32_t c = f.palette && i < f.palette->entries.size() ? f.palette->entries[i] : 0;
        r[i] = static_cast<uint16_t>(((c >> 16) & 0xFF) * 257);
        g[i] = static_cast<uint16_t>(((c >> 8) & 0xFF) * 257);
        b[i] = static_cast<uint16_t>((c & 0xFF) * 257);
      }
      TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
      break;
    }
    case PageKind::Rgb:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
      if (layout.samplesPerPixel == 4) {
        uint16_t extra = layout.extraSample;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
      }
      break;
  }
  if (f.compression == COMPRESSION_LZW && layout.bitsPerSample >= 8 &&
      layout.kind != PageKind::Palette) {
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  }
  if (f.dpiX > 0 && f.dpiY > 0) {
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, f.dpiX);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, f.dpiY);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  }
}

// --- Property items as TIFF fields ---

bool IsOneByteItem(const PropertyItem& item) {
  return item.type == PropertyTagTypeByte || item.type == PropertyTagTypeASCII ||
         item.type == PropertyTagTypeSByte || item.type == PropertyTagTypeUndefined;
}

// The numbers an item holds, whatever its type. The bytes of text count as numbers, so that
// an item kept as text (the user comment) fills a tag declared UNDEFINED or BYTE.
std::vector<double> Numbers(const PropertyItem& item) {
  std::vector<double> v;
  const uint8_t* b = item.value.data();
  size_t n = item.value.size();
  switch (item.type) {
    case PropertyTagTypeByte:
    case PropertyTagTypeASCII:
    case PropertyTagTypeUndefined:
      for (size_t i = 0; i < n; ++i) v.push_back(b[i]);
      break;
    case PropertyTagTypeSByte:
      for (size_t i = 0; i < n; ++i) v.push_back(static_cast<int8_t>(b[i]));
      break;
    case PropertyTagTypeShort:
      for (size_t i = 0; i + 2 <= n; i += 2) v.push_back(ReadLe16(b + i));
      break;
    case PropertyTagTypeSShort:
      for (size_t i = 0; i + 2 <= n; i += 2) v.push_back(static_cast<int16_t>(ReadLe16(b + i)));
      break;
    case PropertyTagTypeLong:
      for (size_t i = 0; i + 4 <= n; i += 4) v.push_back(ReadLe32(b + i));
      break;
    case PropertyTagTypeSLong:
      for (size_t i = 0; i + 4 <= n; i += 4) v.push_back(static_cast<int32_t>(ReadLe32(b + i)));
      break;
    case PropertyTagTypeRational:
    case PropertyTagTypeSRational:
      for (size_t i = 0; i + 8 <= n; i += 8) {
        bool sign = item.type == PropertyTagTypeSRational;
        // Each branch converted on its own: a conditional of int32_t and uint32_t would make
        // both unsigned and turn -1/3 into 4294967295/3.
        const uint32_t rawNum = ReadLe32(b + i), rawDen = ReadLe32(b + i + 4);
        const double num = sign ? static_cast<double>(static_cast<int32_t>(rawNum)) : static_cast<double>(rawNum);
        const double den = sign ? static_cast<double>(static_cast<int32_t>(rawDen)) : static_cast<double>(rawDen);
        v.push_back(den != 0 ? num / den : 0.0);
      }
      break;
    default:
      break;
  }
  return v;
}

// A number as an integer for an integer tag. Rationals can hold anything a double can, and a
// double outside the target's range does not convert: it is clamped to 64 bits first, then
// narrowed the way integers narrow (modulo), which is what the item's own integer bytes give.
int64_t IntegerOf(double d) {
  if (!(d == d)) return 0;  // NaN
  if (d >= 9.2e18) return INT64_MAX;
  if (d <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(d);
}

// Sets `item` on the current directory through libtiff's description of the tag (its
// storage type, count and whether a count is passed). Items that do not fit are skipped.
void SetField(TIFF* tif, const PropertyItem& item) {
  const TIFFField* field = TIFFFindField(tif, item.id, TIFF_ANY);
  if (field == nullptr || item.value.empty()) return;
  const TIFFDataType type = TIFFFieldDataType(field);
  const int passCount = TIFFFieldPassCount(field);
  const int countSize = TIFFFieldSetGetCountSize(field);
  const int writeCount = TIFFFieldWriteCount(field);
  const int storage = TIFFFieldSetGetSize(field);
  if (type == TIFF_ASCII) {
    if (!IsOneByteItem(item)) return;  // the same bytes under any one-byte type
    std::string text(item.value.begin(), item.value.end());
    text = text.substr(0, text.find('\0'));
    if (passCount) {
      // Counted ASCII (rare): the count includes the terminating zero.
      uint32_t count = static_cast<uint32_t>(text.size() + 1);
      if (countSize == 2) TIFFSetField(tif, item.id, static_cast<int>(count), text.c_str());
      else TIFFSetField(tif, item.id, count, text.c_str());
    } else {
      TIFFSetField(tif, item.id, text.c_str());
    }
    return;
  }
  std::vector<double> numbers = Numbers(item);
  if (numbers.empty()) return;
  // Values in libtiff's storage for the tag.
  std::vector<uint8_t> storageBytes;
  auto append = [&](const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    storageBytes.insert(storageBytes.end(), b, b + n);
  };
  bool floating = type == TIFF_RATIONAL || type == TIFF_SRATIONAL || type == TIFF_FLOAT ||
                  type == TIFF_DOUBLE;
  for (double d : numbers) {
    if (floating && storage == 4) {
      float f = static_cast<float>(d);
      append(&f, 4);
    } else if (floating && storage == 8) {
      append(&d, 8);
    } else if (storage == 1) {
      uint8_t b = static_cast<uint8_t>(IntegerOf(d));
      append(&b, 1);
    } else if (storage == 2) {
      uint16_t s = static_cast<uint16_t>(IntegerOf(d));
      append(&s, 2);
    } else if (storage == 4) {
      uint32_t l = static_cast<uint32_t>(IntegerOf(d));
      append(&l, 4);
    } else if (storage == 8) {
      uint64_t q = static_cast<uint64_t>(IntegerOf(d));
      append(&q, 8);
    } else {
      return;
    }
  }
  uint32_t count = static_cast<uint32_t>(numbers.size());
  const void* data = storageBytes.data();
  if (passCount) {
    if (countSize == 2) {
      TIFFSetField(tif, item.id, static_cast<int>(std::min<uint32_t>(count, 65535)), data);
    } else {
      TIFFSetField(tif, item.id, count, data);
    }
  } else if (writeCount == 1) {
    // A single value goes by value (promoted as variadic arguments are).
    if (floating) {
      TIFFSetField(tif, item.id, numbers[0]);
    } else if (storage == 8) {
      TIFFSetField(tif, item.id, static_cast<uint64_t>(IntegerOf(numbers[0])));
    } else {
      TIFFSetField(tif, item.id, static_cast<uint32_t>(IntegerOf(numbers[0])));
    }
  } else if (writeCount == 2 && type == TIFF_SHORT) {
    // Pairs of shorts (page number, halftone hints, dot range) go as two values.
    if (count < 2) return;
    TIFFSetField(tif, item.id, static_cast<int>(static_cast<uint16_t>(IntegerOf(numbers[0]))),
                 static_cast<int>(static_cast<uint16_t>(IntegerOf(numbers[1]))));
  } else if (writeCount > 1 && count >= static_cast<uint32_t>(writeCount)) {
    TIFFSetField(tif, item.id, data);  // a fixed-size array
  }
}

}  // namespace

struct TiffWriter::State {
  TiffHandle tif;
};

TiffWriter::~TiffWriter() = default;

Status TiffWriter::Open(Stream& out, std::unique_ptr<TiffWriter>& writer) {
  writer.reset(new TiffWriter);
  writer->state_ = std::make_unique<State>();
  writer->state_->tif = TiffHandle::OpenStream(out, "w");
  if (!writer->state_->tif) {
    writer.reset();
    return Status::Win32Error;
  }
  return Status::Ok;
}

namespace {

bool IsCcitt(uint16_t compression) {
  return compression == COMPRESSION_CCITTFAX3 || compression == COMPRESSION_CCITTFAX4 ||
         compression == COMPRESSION_CCITTRLE;
}

PixelFormat TargetFormat(const Bitmap& image, const EncodeSettings& settings) {
  return settings.colorDepth != 0 ? FormatForDepth(settings.colorDepth)
                                  : StoredFormat(image.Format());
}

// Writes a custom directory (Exif or GPS) holding `items`; its file offset or 0.
uint64_t WriteSubDirectory(TIFF* tif, bool gps, const std::vector<const PropertyItem*>& items) {
  if (items.empty()) return 0;
  int created = gps ? TIFFCreateGPSDirectory(tif) : TIFFCreateEXIFDirectory(tif);
  if (created != 0) return 0;
  for (const PropertyItem* item : items) SetField(tif, *item);
  uint64_t offset = 0;
  if (!TIFFWriteCustomDirectory(tif, &offset)) offset = 0;
  // Back to an ordinary image directory for the page itself.
  TIFFFreeDirectory(tif);
  TIFFCreateDirectory(tif);
  return offset;
}

}  // namespace

Status TiffWriter::CheckPage(const Bitmap& image, const EncodeSettings& settings) {
  PixelFormat target = TargetFormat(image, settings);
  if (target == kPixelFormatUndefined) return Status::InvalidParameter;
  if (IsCcitt(TiffCompression(settings.compression)) && BitsPerPixel(target) != 1) {
    return Status::InvalidParameter;
  }
  return Status::Ok;
}

Status TiffWriter::WritePage(const Bitmap& source, const EncodeSettings& settings) {
  if (!state_ || !state_->tif) return Status::WrongState;
  Status s = CheckPage(source, settings);
  if (s != Status::Ok) return s;
  TIFF* tif = state_->tif.get();
  PixelFormat target = TargetFormat(source, settings);
  std::unique_ptr<Bitmap> holder;
  const Bitmap* image = nullptr;
  s = PixelsInFormat(source, target, holder, image);
  if (s != Status::Ok) return s;
  PageLayout layout = LayoutFor(image->Format(), image->GetPalette());
  uint16_t compression = TiffCompression(settings.compression);
  if (IsCcitt(compression) && layout.kind == PageKind::Palette) {
    layout.kind = DarkFirst(*image) ? PageKind::MinIsBlack : PageKind::MinIsWhite;
  }
  // Exif and GPS directories go first: libtiff writes them apart from the page chain.
  std::vector<const PropertyItem*> exifItems, gpsItems, mainItems;
  for (const PropertyItem& item : source.Properties()) {
    if (item.id <= kPropertyTagGpsLast) gpsItems.push_back(&item);
    else if (!IsPortableExifTag(item.id)) continue;
    else if (IsExifDirectoryTag(item.id)) exifItems.push_back(&item);
    else mainItems.push_back(&item);
  }
  uint64_t exifOffset = WriteSubDirectory(tif, false, exifItems);
  uint64_t gpsOffset = WriteSubDirectory(tif, true, gpsItems);

  SetPageFields(tif, {static_cast<uint32_t>(image->Width()), static_cast<uint32_t>(image->Height()),
                      layout, compression, &image->GetPalette(), source.HorizontalResolution(),
                      source.VerticalResolution(),
                      pages_ > 0 || settings.saveFlag == EncoderValueMultiFrame});
  for (const PropertyItem* item : mainItems) SetField(tif, *item);
  PropertyItem icc;
  if (source.GetProperty(kPropertyTagICCProfile, icc) == Status::Ok && !icc.value.empty()) {
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(icc.value.size()),
                 icc.value.data());
  }
  if (exifOffset != 0) TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset);
  if (gpsOffset != 0) TIFFSetField(tif, TIFFTAG_GPSIFD, gpsOffset);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

  tmsize_t scanline = TIFFScanlineSize(tif);
  if (scanline <= 0) return Status::GenericError;
  std::vector<uint8_t> row(static_cast<size_t>(scanline));
  const auto height = static_cast<uint32_t>(image->Height());
  for (uint32_t y = 0; y < height; ++y) {
    FileRow(*image, layout, static_cast<int32_t>(y), row.data());
    if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) return Status::GenericError;
  }
  if (!TIFFWriteDirectory(tif)) return Status::GenericError;
  ++pages_;
  return state_->tif.HadError() ? Status::GenericError : Status::Ok;
}

namespace {

// The palette a bilevel page decodes to: black first unless its file says min-is-white.
Palette BilevelPalette(const RawTiffPage& page) {
  Palette p;
  p.flags = PaletteFlagsGrayScale;
  p.entries = page.MinIsWhite() ? std::vector<uint32_t>{0xFFFFFFFFu, 0xFF000000u}
                                : std::vector<uint32_t>{0xFF000000u, 0xFFFFFFFFu};
  return p;
}

// Sets the fields WritePage would set for `page` decoded, without metadata, on the current
// directory; true when they describe the page's strips as they are (same compression, layout,
// predictor, coding options and strip height), so that the strips can be written unchanged.
bool SetRawPageFields(TIFF* tif, const RawTiffPage& page, const EncodeSettings& settings,
                      bool multiPage) {
  if (settings.colorDepth != 0 && FormatForDepth(settings.colorDepth) != page.Format()) return false;
  const uint16_t compression = TiffCompression(settings.compression);
  if (compression != page.compression) return false;
  const Palette palette = BilevelPalette(page);
  const PageLayout layout = LayoutFor(page.Format(), palette);
  SetPageFields(tif, {page.width, page.height, layout, compression, &palette, page.dpiX,
                      page.dpiY, multiPage});
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  // The one property a copyable page can carry, written back as a decoded page's would be.
  if (page.hasPageNumber) TIFFSetField(tif, TIFFTAG_PAGENUMBER, page.pageNumber[0], page.pageNumber[1]);
  uint16_t photometric = 0, bits = 0, samples = 0, predictor = PREDICTOR_NONE;
  uint32_t rows = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  if (compression == COMPRESSION_LZW) TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &predictor);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
  bool same = photometric == page.photometric && bits == page.bitsPerSample &&
              samples == page.samplesPerPixel && predictor == page.predictor &&
              std::min(rows, page.height) == page.rowsPerStrip;
  uint32_t options = 0;
  if (compression == COMPRESSION_CCITTFAX3) {
    TIFFGetFieldDefaulted(tif, TIFFTAG_GROUP3OPTIONS, &options);
    same = same && options == page.group3Options;
  } else if (compression == COMPRESSION_CCITTFAX4) {
    TIFFGetFieldDefaulted(tif, TIFFTAG_GROUP4OPTIONS, &options);
    same = same && options == page.group4Options;
  }
  return same;
}

// Drops the fields set for a directory that will not be written and starts a fresh one. The
// compression goes back to none first: that frees the coder state the old compression set up,
// which starting a new directory would otherwise leave behind.
void DiscardDirectory(TIFF* tif) {
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFFreeDirectory(tif);
  TIFFCreateDirectory(tif);
}

}  // namespace

Status TiffWriter::CheckRawPage(const RawTiffPage& page, const EncodeSettings& settings) {
  MemoryStream scratch;
  TiffHandle tif = TiffHandle::OpenStream(scratch, "w");
  if (!tif) return Status::GenericError;
  const bool same = SetRawPageFields(tif.get(), page, settings, true);
  DiscardDirectory(tif.get());  // nothing of the trial is written
  return same ? Status::Ok : Status::NotImplemented;
}

Status TiffWriter::WriteRawPage(const RawTiffPage& page, const EncodeSettings& settings) {
  if (!state_ || !state_->tif) return Status::WrongState;
  TIFF* tif = state_->tif.get();
  if (!SetRawPageFields(tif, page, settings,
                        pages_ > 0 || settings.saveFlag == EncoderValueMultiFrame)) {
    DiscardDirectory(tif);  // the page goes the decoding way instead
    return Status::NotImplemented;
  }
  for (size_t i = 0; i < page.strips.size(); ++i) {
    const std::vector<uint8_t>& strip = page.strips[i];
    if (TIFFWriteRawStrip(tif, static_cast<uint32_t>(i), const_cast<uint8_t*>(strip.data()),
                          static_cast<tmsize_t>(strip.size())) < 0)
      return Status::GenericError;
  }
  if (!TIFFWriteDirectory(tif)) return Status::GenericError;
  ++pages_;
  return state_->tif.HadError() ? Status::GenericError : Status::Ok;
}

Status TiffWriter::Close() {
  if (!state_) return Status::WrongState;
  bool ok = state_->tif.Close();
  state_.reset();
  return ok ? Status::Ok : Status::Win32Error;
}

}  // namespace tessivo::platform::codecs
