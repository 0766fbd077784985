#include "pdf/ccitt_g4.h"

#include <tiffio.h>

#include <algorithm>
#include <vector>

#include "core/codec_plugin.h"
#include "platform/codecs/tiff_io.h"
#include "platform/stream.h"

namespace tessivo::pdf {

bool EncodeG4WithLibtiff(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
                         std::string& out) {
  out.clear();
  if (!rows || width <= 0 || height <= 0 || rowBytes < (width + 7) / 8) return false;
  platform::MemoryStream file;
  {
    platform::codecs::TiffHandle tiff = platform::codecs::TiffHandle::OpenStream(file, "w");
    if (!tiff) return false;
    TIFF* tif = tiff.get();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    // libtiff's fax coder codes 0 bits as white runs whatever the photometric tag says;
    // MinIsWhite only names that meaning for TIFF readers.
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
    // TIFFWriteScanline may modify its buffer for some codecs; give it a copy of each row.
    std::vector<uint8_t> line(static_cast<size_t>((width + 7) / 8));
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* row = rows + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
      std::copy(row, row + line.size(), line.begin());
      if (TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) < 0) return false;
    }
    if (!TIFFWriteDirectory(tif) || !tiff.Close()) return false;
  }
  const std::vector<uint8_t>& bytes = file.Bytes();
  platform::codecs::TiffHandle reader =
      platform::codecs::TiffHandle::OpenMemory(bytes.data(), bytes.size(), 1LL << 30);
  if (!reader) return false;
  tmsize_t size = TIFFRawStripSize(reader.get(), 0);
  if (size <= 0) return false;
  out.resize(static_cast<size_t>(size));
  if (TIFFReadRawStrip(reader.get(), 0, out.data(), size) != size) {
    out.clear();
    return false;
  }
  return true;
}

bool EncodeG4(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
              std::string& out) {
  out.clear();
  if (!rows || width <= 0 || height <= 0 || rowBytes < (width + 7) / 8) return false;
  if (const TvimgplugApi* plugin = CodecPlugin()) {
    // The plug-in takes rows with 0 = black and codes black as black runs; handing it the
    // complement gives the same stream as coding the rows as they stand.
    // A buffer kept per thread: documents of many pages code one page after another, and a
    // fresh page-sized buffer each time costs more in page faults than the inversion itself.
    thread_local std::vector<uint8_t> inverted;
    const size_t size = static_cast<size_t>(rowBytes) * static_cast<size_t>(height);
    if (inverted.size() < size) inverted.resize(size);
    if (inverted.capacity() > 4 * size && inverted.capacity() > (size_t{64} << 20)) {
      inverted.resize(size);
      inverted.shrink_to_fit();  // do not keep a huge page's buffer for small ones
    }
    for (size_t i = 0; i < size; ++i) inverted[i] = static_cast<uint8_t>(~rows[i]);
    uint8_t* data = nullptr;
    uint32_t length = 0;
    if (plugin->CompressCCITT4(inverted.data(), width, height, rowBytes, &data, &length) == 0 &&
        data) {
      out.assign(reinterpret_cast<const char*>(data), length);
      plugin->FreeBuffer(data);
      return length > 0;
    }
    if (data) plugin->FreeBuffer(data);
    // A failing plug-in call is not the end: libtiff's coder is at hand.
  }
  return EncodeG4WithLibtiff(rows, width, height, rowBytes, out);
}

}  // namespace tessivo::pdf
