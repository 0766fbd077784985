#include "platform/codecs/tiff_raw_pages.h"

#include <algorithm>
#include <cmath>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/tiff_io.h"
#include "platform/file_mapping.h"
#include "platform/stream.h"

namespace tessivo::platform {

using codecs::TiffHandle;

PixelFormat RawTiffPage::Format() const {
  return bitsPerSample == 1 ? kPixelFormat1bppIndexed : kPixelFormat24bppRGB;
}

bool RawTiffPage::MinIsWhite() const { return photometric == PHOTOMETRIC_MINISWHITE; }

namespace {

// The fields a qualifying directory may hold: those the TIFF encoder writes for a page without
// metadata (the T4/T6 options and fill order only with their default values, checked apart).
bool IsCopyableTag(uint16_t tag) {
  switch (tag) {
    case TIFFTAG_SUBFILETYPE:
    case TIFFTAG_IMAGEWIDTH:
    case TIFFTAG_IMAGELENGTH:
    case TIFFTAG_BITSPERSAMPLE:
    case TIFFTAG_COMPRESSION:
    case TIFFTAG_PHOTOMETRIC:
    case TIFFTAG_FILLORDER:
    case TIFFTAG_STRIPOFFSETS:
    case TIFFTAG_ORIENTATION:
    case TIFFTAG_SAMPLESPERPIXEL:
    case TIFFTAG_ROWSPERSTRIP:
    case TIFFTAG_STRIPBYTECOUNTS:
    case TIFFTAG_XRESOLUTION:
    case TIFFTAG_YRESOLUTION:
    case TIFFTAG_PLANARCONFIG:
    case TIFFTAG_T4OPTIONS:
    case TIFFTAG_T6OPTIONS:
    case TIFFTAG_RESOLUTIONUNIT:
    case TIFFTAG_PREDICTOR:
    case TIFFTAG_PAGENUMBER:
      return true;
    default:
      return false;
  }
}

uint16_t Read16(const uint8_t* p, bool little) {
  return little ? static_cast<uint16_t>(p[0] | p[1] << 8) : static_cast<uint16_t>(p[1] | p[0] << 8);
}

// Whether the classic-TIFF directory at `offset` holds copyable tags only. A resolution needs
// its unit (a missing unit means different things to different readers); a page without any
// resolution is read at the bitmaps' default one, as the decoder leaves it.
bool DirectoryTagsCopyable(const uint8_t* data, size_t size, uint64_t offset) {
  if (size < 8 || offset > size - 2) return false;
  const bool little = data[0] == 'I';
  const uint16_t count = Read16(data + offset, little);
  if (offset + 2 + uint64_t{count} * 12 > size) return false;
  bool unit = false, resolution = false;
  for (uint16_t i = 0; i < count; ++i) {
    const uint16_t tag = Read16(data + offset + 2 + size_t{i} * 12, little);
    if (!IsCopyableTag(tag)) return false;
    unit = unit || tag == TIFFTAG_RESOLUTIONUNIT;
    resolution = resolution || tag == TIFFTAG_XRESOLUTION || tag == TIFFTAG_YRESOLUTION;
  }
  return unit || !resolution;
}

bool WholeDpi(float v) { return v >= 1 && v <= 1e6f && std::floor(v) == v; }

bool IsCopyableCompression(uint16_t c) {
  return c == COMPRESSION_NONE || c == COMPRESSION_LZW || c == COMPRESSION_CCITTRLE ||
         c == COMPRESSION_CCITTFAX3 || c == COMPRESSION_CCITTFAX4;
}

// The current directory of `tif` as a copyable page, strips included.
bool ReadCurrentPage(TIFF* tif, const uint8_t* data, size_t size, RawTiffPage& page) {
  page = RawTiffPage();
  if (TIFFIsTiled(tif) || !DirectoryTagsCopyable(data, size, TIFFCurrentDirOffset(tif)))
    return false;
  uint16_t planar = 0, fillOrder = 0, orientation = 0, unit = 0;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width) ||
      !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height) ||
      !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &page.photometric))
    return false;
  const bool hasX = TIFFGetField(tif, TIFFTAG_XRESOLUTION, &page.dpiX) != 0;
  const bool hasY = TIFFGetField(tif, TIFFTAG_YRESOLUTION, &page.dpiY) != 0;
  if (hasX != hasY) return false;
  if (!hasX) {
    // What a decoded page reports, and its encoder then writes, with the inch unit.
    page.dpiX = page.dpiY = kDefaultDpi;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &page.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &page.samplesPerPixel);
  // Only the LZW codec knows the predictor field; other codecs answer nothing usable.
  if (page.compression == COMPRESSION_LZW) TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &page.predictor);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (!hasX) unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &page.rowsPerStrip);
  page.hasPageNumber = TIFFGetField(tif, TIFFTAG_PAGENUMBER, &page.pageNumber[0], &page.pageNumber[1]) != 0;
  if (page.compression == COMPRESSION_CCITTFAX3)
    TIFFGetFieldDefaulted(tif, TIFFTAG_GROUP3OPTIONS, &page.group3Options);
  if (page.compression == COMPRESSION_CCITTFAX4)
    TIFFGetFieldDefaulted(tif, TIFFTAG_GROUP4OPTIONS, &page.group4Options);

  const bool bilevel = page.bitsPerSample == 1 && page.samplesPerPixel == 1 &&
                       (page.photometric == PHOTOMETRIC_MINISBLACK ||
                        page.photometric == PHOTOMETRIC_MINISWHITE);
  const bool rgb = page.bitsPerSample == 8 && page.samplesPerPixel == 3 &&
                   page.photometric == PHOTOMETRIC_RGB &&
                   (page.compression == COMPRESSION_LZW || page.compression == COMPRESSION_NONE);
  if (!(bilevel || rgb) || !IsCopyableCompression(page.compression) ||
      planar != PLANARCONFIG_CONTIG || fillOrder != FILLORDER_MSB2LSB ||
      orientation != ORIENTATION_TOPLEFT || unit != RESUNIT_INCH || !WholeDpi(page.dpiX) ||
      !WholeDpi(page.dpiY) || page.width == 0 || page.height == 0 || page.rowsPerStrip == 0)
    return false;
  // Pages the decoder would refuse for their size are left to it, so that it says why.
  const int64_t rowBytes = codecs::PackedRowBytes(page.width, page.bitsPerSample * page.samplesPerPixel);
  if (rowBytes <= 0 || rowBytes > codecs::DecodePixelLimit() / page.height) return false;
  const uint32_t rows = std::min(page.rowsPerStrip, page.height);
  page.rowsPerStrip = rows;
  const uint32_t strips = page.height / rows + (page.height % rows != 0 ? 1 : 0);
  if (TIFFNumberOfStrips(tif) != strips) return false;
  page.strips.resize(strips);
  uint64_t total = 0;
  for (uint32_t s = 0; s < strips; ++s) {
    const uint64_t bytes = TIFFGetStrileByteCount(tif, s);
    total += bytes;
    // Strips cannot together be longer than their file (forged counts would make every strip
    // a copy of the whole file).
    if (bytes == 0 || bytes > size || total > size) return false;
    page.strips[s].resize(static_cast<size_t>(bytes));
    if (TIFFReadRawStrip(tif, s, page.strips[s].data(), static_cast<tmsize_t>(bytes)) !=
        static_cast<tmsize_t>(bytes))
      return false;
  }
  return true;
}

bool IsClassicTiff(const uint8_t* data, size_t size) {
  if (size < 8) return false;
  const bool little = data[0] == 'I' && data[1] == 'I';
  const bool big = data[0] == 'M' && data[1] == 'M';
  return (little || big) && Read16(data + 2, little) == 42;
}

}  // namespace

struct RawTiffPages::State {
  std::unique_ptr<FileMapping> mapping;
  TiffHandle tif;
  uint32_t current = 0;  // the directory libtiff has read
};

RawTiffPages::~RawTiffPages() = default;

std::unique_ptr<RawTiffPages> RawTiffPages::Open(const std::string& path) {
  auto state = std::make_unique<State>();
  if (FileMapping::Open(path, state->mapping) != Status::Ok) return nullptr;
  const uint8_t* data = state->mapping->data();
  const size_t size = state->mapping->size();
  if (!IsClassicTiff(data, size)) return nullptr;
  state->tif = TiffHandle::OpenMemory(data, size, codecs::DecodePixelLimit());
  if (!state->tif) return nullptr;
  std::unique_ptr<RawTiffPages> pages(new RawTiffPages());
  // The chain is followed without trusting it: libtiff detects loops, the bound does the rest.
  uint32_t count = 1;
  while (count < 100000 && TIFFReadDirectory(state->tif.get())) ++count;
  if (!TIFFSetDirectory(state->tif.get(), 0) || !state->mapping->Intact()) return nullptr;
  pages->count_ = count;
  pages->state_ = std::move(state);
  return pages;
}

bool RawTiffPages::Read(uint32_t index, RawTiffPage& page) {
  State& s = *state_;
  TIFF* tif = s.tif.get();
  if (index >= count_) return false;
  if (index < s.current) {
    if (!TIFFSetDirectory(tif, static_cast<tdir_t>(index))) return false;
    s.current = index;
  }
  while (s.current < index) {
    if (!TIFFReadDirectory(tif)) return false;
    ++s.current;
  }
  const bool read = ReadCurrentPage(tif, s.mapping->data(), s.mapping->size(), page);
  if (!read || !s.mapping->Intact()) {
    page = RawTiffPage();
    return false;
  }
  return true;
}

bool ReadRawTiffFile(const std::string& path, RawTiffPage& page) {
  std::unique_ptr<RawTiffPages> pages = RawTiffPages::Open(path);
  return pages && pages->Count() == 1 && pages->Read(0, page);
}

Status WriteRawTiffFile(const RawTiffPage& page, const std::string& path) {
  std::unique_ptr<FileStream> file;
  Status s = FileStream::Open(path, FileStream::Mode::Create, file);
  if (s != Status::Ok) return s;
  {
    TiffHandle handle = TiffHandle::OpenStream(*file, "w");
    if (!handle) return Status::Win32Error;
    TIFF* tif = handle.get();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (page.compression == COMPRESSION_LZW && page.predictor != 1)
      TIFFSetField(tif, TIFFTAG_PREDICTOR, page.predictor);
    if (page.compression == COMPRESSION_CCITTFAX3 && page.group3Options != 0)
      TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, page.group3Options);
    if (page.compression == COMPRESSION_CCITTFAX4 && page.group4Options != 0)
      TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, page.group4Options);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, page.dpiX);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, page.dpiY);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
    if (page.hasPageNumber) TIFFSetField(tif, TIFFTAG_PAGENUMBER, page.pageNumber[0], page.pageNumber[1]);
    for (size_t i = 0; i < page.strips.size(); ++i) {
      const std::vector<uint8_t>& strip = page.strips[i];
      if (TIFFWriteRawStrip(tif, static_cast<uint32_t>(i), const_cast<uint8_t*>(strip.data()),
                            static_cast<tmsize_t>(strip.size())) < 0)
        return Status::GenericError;
    }
    if (!TIFFWriteDirectory(tif) || !handle.Close()) return Status::GenericError;
  }
  return file->Flush();
}

}  // namespace tessivo::platform
