#include "support/codec_fixtures.h"

#include <gif_lib.h>
#include <lcms2.h>
#include <png.h>
#include <cstdio>
#include <jpeglib.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace tessivo::testing {

namespace {

void PngAppend(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

}  // namespace

Bytes PngFile(const PngSpec& spec) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("png fixture");
  }
  png_set_write_fn(png, &out, PngAppend, PngFlush);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
    palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!spec.transparency.empty()) {
    if (spec.colorType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(png, info, spec.transparency.data(), static_cast<int>(spec.transparency.size()),
                   nullptr);
    } else {
      png_color_16 key{};
      auto sample = [&](size_t i) {
        return static_cast<png_uint_16>((spec.transparency[2 * i] << 8) | spec.transparency[2 * i + 1]);
      };
      if (spec.colorType == PNG_COLOR_TYPE_GRAY) {
        key.gray = sample(0);
      } else {
        key.red = sample(0);
        key.green = sample(1);
        key.blue = sample(2);
      }
      png_set_tRNS(png, info, nullptr, 0, &key);
    }
  }
  if (spec.pixelsPerMeter > 0) {
    png_set_pHYs(png, info, spec.pixelsPerMeter, spec.pixelsPerMeter, PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  size_t rowBytes = png_get_rowbytes(png, info);
  int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (uint32_t y = 0; y < spec.height; ++y) {
      png_write_row(png, const_cast<png_bytep>(spec.rows.data() + rowBytes * y));
    }
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes TiffFile(const std::vector<TiffPage>& pages) {
  char path[] = "/tmp/tessivo-fixture-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("tiff fixture");
  TIFF* tif = TIFFFdOpen(fd, path, "w");
  for (const TiffPage& p : pages) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
    if (p.compression == COMPRESSION_JPEG) {
      TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
      if (p.photometric == PHOTOMETRIC_YCBCR) {
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      }
    }
    if (p.extraSample != 0) {
      uint16_t extra = static_cast<uint16_t>(p.extraSample - 1);
      TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!p.colormap.empty()) {
      size_t n = p.colormap.size() / 3;
      TIFFSetField(tif, TIFFTAG_COLORMAP, p.colormap.data(), p.colormap.data() + n,
                   p.colormap.data() + 2 * n);
    }
    if (p.photometric == PHOTOMETRIC_SEPARATED) TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    if (p.xResolution > 0) {
      TIFFSetField(tif, TIFFTAG_XRESOLUTION, p.xResolution);
      TIFFSetField(tif, TIFFTAG_YRESOLUTION, p.yResolution);
      TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, p.resolutionUnit);
    }
    if (!p.make.empty()) TIFFSetField(tif, TIFFTAG_MAKE, p.make.c_str());
    const int planes = p.planar == PLANARCONFIG_SEPARATE ? p.samplesPerPixel : 1;
    const int samplesPerRow = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samplesPerPixel;
    const size_t rowBytes = (static_cast<size_t>(p.width) * p.bitsPerSample * samplesPerRow + 7) / 8;
    const size_t planeBytes = rowBytes * p.height;
    if (p.tileSize > 0) {
      TIFFSetField(tif, TIFFTAG_TILEWIDTH, p.tileSize);
      TIFFSetField(tif, TIFFTAG_TILELENGTH, p.tileSize);
      const size_t tileRow = (static_cast<size_t>(p.tileSize) * p.bitsPerSample * samplesPerRow) / 8;
      Bytes tile(tileRow * p.tileSize);
      for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t ty = 0; ty < p.height; ty += p.tileSize) {
          for (uint32_t tx = 0; tx < p.width; tx += p.tileSize) {
            std::fill(tile.begin(), tile.end(), 0);
            for (uint32_t r = 0; r < p.tileSize && ty + r < p.height; ++r) {
              size_t offset = tx * p.bitsPerSample * samplesPerRow / 8;
              size_t bytes = std::min(tileRow, rowBytes - offset);
              std::memcpy(tile.data() + r * tileRow,
                          p.samples.data() + plane * planeBytes + (ty + r) * rowBytes + offset, bytes);
            }
            TIFFWriteTile(tif, tile.data(), tx, ty, 0, static_cast<uint16_t>(plane));
          }
        }
      }
    } else {
      TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.compression == COMPRESSION_JPEG ? 16 : 3);
      for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t y = 0; y < p.height; ++y) {
          TIFFWriteScanline(tif, const_cast<uint8_t*>(p.samples.data() + plane * planeBytes + y * rowBytes),
                            y, static_cast<uint16_t>(plane));
        }
      }
    }
    TIFFWriteDirectory(tif);
  }
  TIFFClose(tif);
  FILE* f = std::fopen(path, "rb");
  Bytes out;
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  std::remove(path);
  return out;
}

namespace {

int GifAppend(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

ColorMapObject* MapOf(const Bytes& rgb) {
  int count = static_cast<int>(rgb.size() / 3);
  std::vector<GifColorType> colours(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    colours[static_cast<size_t>(i)] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
  }
  return GifMakeMapObject(count, colours.data());
}

}  // namespace

Bytes GifFile(const GifSpec& spec) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, GifAppend, &error);
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MapOf(spec.palette);
  EGifPutScreenDesc(gif, spec.width, spec.height, 8, spec.background, global);
  GifFreeMapObject(global);
  if (spec.loopCount >= 0) {
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    unsigned char loop[3] = {1, static_cast<unsigned char>(spec.loopCount & 0xFF),
                             static_cast<unsigned char>(spec.loopCount >> 8)};
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
  }
  if (!spec.comment.empty()) EGifPutComment(gif, spec.comment.c_str());
  for (const GifFrame& f : spec.frames) {
    GraphicsControlBlock control{};
    control.DisposalMode = f.disposal;
    control.DelayTime = f.delay;
    control.TransparentColor = f.transparent;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    ColorMapObject* local = f.localPalette.empty() ? nullptr : MapOf(f.localPalette);
    EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local);
    if (local) GifFreeMapObject(local);
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (f.interlaced ? 4 : 1); ++pass) {
      for (int y = f.interlaced ? kStart[pass] : 0; y < f.height; y += f.interlaced ? kStep[pass] : 1) {
        EGifPutLine(gif, const_cast<GifPixelType*>(f.indices.data() + y * f.width), f.width);
      }
    }
  }
  EGifCloseFile(gif, &error);
  return out;
}

Bytes CmykJpegFile(uint32_t width, uint32_t height, const Bytes& cmyk) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 98, TRUE);
  jpeg_start_compress(&cinfo, TRUE);  // writes the Adobe marker for CMYK
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<JSAMPROW>(cmyk.data() + static_cast<size_t>(cinfo.next_scanline) * width * 4);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

namespace {

Bytes SaveProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  Bytes out(size);
  cmsSaveProfileToMem(profile, out.data(), &size);
  cmsCloseProfile(profile);
  return out;
}

}  // namespace

Bytes SrgbProfile() { return SaveProfile(cmsCreate_sRGBProfile()); }

Bytes WideGamutProfile() {
  cmsCIExyY white{0.3457, 0.3585, 1.0};
  cmsCIExyYTRIPLE primaries{{0.7347, 0.2653, 1.0}, {0.1152, 0.8264, 1.0}, {0.1566, 0.0177, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(gamma);
  return SaveProfile(profile);
}

}  // namespace tessivo::testing
