// File input read in place: the guarded read-only mapping (a file that shrinks under it gives
// zeros and a damage mark, never SIGBUS), decoding from a mapped file giving exactly what
// decoding the same bytes from memory gives, and pixel buffers reused across images.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "core/codec_bitmaps.h"
#include "platform/codecs/codecs.h"
#include "platform/file_mapping.h"
#include "platform/pixel_buffer.h"
#include "support/codec_fixtures.h"
#include "support/codec_plugin_fixture.h"

namespace tessivo {
namespace {

namespace pf = platform;
using testing::Bytes;

constexpr size_t kPage = 4096;

Bytes Noise(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

// Every pixel of two bitmaps, compared as ARGB; the first difference is reported.
void ExpectSamePixels(const pf::Bitmap& a, const pf::Bitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  ASSERT_EQ(a.Format(), b.Format());
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x) {
      uint32_t pa = 0, pb = 0;
      a.GetPixel(x, y, pa);
      b.GetPixel(x, y, pb);
      if (pa != pb) FAIL() << "pixel " << x << "," << y << ": " << std::hex << pa << " vs " << pb;
    }
}

// A noisy RGB PNG (poorly compressible, so the file spans many megabytes of input).
Bytes NoisePng(uint32_t width, uint32_t height, uint32_t seed) {
  testing::PngSpec spec;
  spec.width = width;
  spec.height = height;
  spec.colorType = 2;
  spec.rows.clear();
  for (uint32_t y = 0; y < height; ++y) {
    Bytes row = Noise(size_t{width} * 3, seed + y);
    spec.rows.insert(spec.rows.end(), row.begin(), row.end());
  }
  return testing::PngFile(spec);
}

TEST(FileMapping, ShrunkFileReadsZerosAndIsMarkedDamaged) {
  const std::string path = testing::FreshFolder("mapping") + "/shrinking.bin";
  const Bytes content = Noise(3 * kPage, 7);
  testing::WriteBytes(path, content);
  std::unique_ptr<pf::FileMapping> mapping;
  ASSERT_EQ(pf::FileMapping::Open(path, mapping), pf::Status::Ok);
  ASSERT_EQ(mapping->size(), content.size());
  EXPECT_EQ(std::memcmp(mapping->data(), content.data(), content.size()), 0);
  EXPECT_TRUE(mapping->Intact());

  ASSERT_EQ(::truncate(path.c_str(), kPage), 0);
  // The first page is still the file's; the last one is gone and reads as zeros.
  EXPECT_EQ(mapping->data()[10], content[10]);
  volatile const uint8_t* gone = mapping->data() + 2 * kPage + 5;
  EXPECT_EQ(*gone, 0);
  EXPECT_FALSE(mapping->Intact());

  // A second mapping of the (now short) file is whole again.
  std::unique_ptr<pf::FileMapping> again;
  ASSERT_EQ(pf::FileMapping::Open(path, again), pf::Status::Ok);
  EXPECT_EQ(again->size(), kPage);
  EXPECT_TRUE(again->Intact());
}

TEST(FileMapping, RefusesWhatItCannotMapAndLeavesOtherFaultsAlone) {
  std::unique_ptr<pf::FileMapping> mapping;
  EXPECT_EQ(pf::FileMapping::Open("/no/such/file.png", mapping), pf::Status::FileNotFound);
  EXPECT_EQ(pf::FileMapping::Open(testing::FreshFolder("dir"), mapping), pf::Status::NotImplemented);
  EXPECT_EQ(pf::FileMapping::Open("", mapping), pf::Status::InvalidParameter);
  EXPECT_EQ(mapping, nullptr);
  const std::string empty = testing::FreshFolder("empty") + "/empty.bin";
  testing::WriteBytes(empty, {});
  ASSERT_EQ(pf::FileMapping::Open(empty, mapping), pf::Status::Ok);
  EXPECT_EQ(mapping->size(), 0u);

  // A mapping made elsewhere is not the guard's: its bus error still ends the process.
  const std::string path = testing::FreshFolder("foreign") + "/foreign.bin";
  testing::WriteBytes(path, Noise(2 * kPage, 3));
  ASSERT_EQ(pf::FileMapping::Open(path, mapping), pf::Status::Ok);  // installs the guard
  EXPECT_EXIT(
      {
        const int fd = ::open(path.c_str(), O_RDONLY);
        auto* bytes = static_cast<volatile uint8_t*>(mmap(nullptr, 2 * kPage, PROT_READ, MAP_PRIVATE, fd, 0));
        if (::ftruncate(::open(path.c_str(), O_WRONLY), 0) != 0) _exit(10);
        _exit(bytes[kPage + 1] == 0 ? 11 : 12);
      },
      // Killed by the signal, or stopped by whatever handler was there before (a sanitizer's).
      [](int status) {
        return WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) != 0 &&
                                       (WEXITSTATUS(status) < 10 || WEXITSTATUS(status) > 12));
      },
      "");
}

TEST(MappedDecoding, FilesDecodeExactlyAsTheirBytesInMemory) {
  const std::string folder = testing::FreshFolder("decode");
  // Large enough that consumed input is handed back several times during the decode.
  const Bytes png = NoisePng(1100, 900, 11);
  ASSERT_GT(png.size(), 2 * pf::kMappedInputReleaseStep);
  testing::WriteBytes(folder + "/noise.png", png);
  std::unique_ptr<pf::Bitmap> fromFile, fromMemory;
  ASSERT_EQ(pf::DecodeImageFile(folder + "/noise.png", false, fromFile), pf::Status::Ok);
  ASSERT_EQ(pf::DecodeImageMemory(png.data(), png.size(), false, fromMemory), pf::Status::Ok);
  ExpectSamePixels(*fromFile, *fromMemory);
  EXPECT_EQ(fromFile->Properties().size(), fromMemory->Properties().size());
  // The memory input itself is left as it was.
  EXPECT_EQ(png, NoisePng(1100, 900, 11));

  // A file cut short gives a status, as the same bytes in memory do.
  const Bytes cut(png.begin(), png.begin() + static_cast<ptrdiff_t>(png.size() / 2));
  testing::WriteBytes(folder + "/cut.png", cut);
  std::unique_ptr<pf::Bitmap> partial;
  EXPECT_NE(pf::DecodeImageFile(folder + "/cut.png", false, partial), pf::Status::Ok);
  EXPECT_NE(pf::DecodeImageMemory(cut.data(), cut.size(), false, partial), pf::Status::Ok);
  EXPECT_EQ(partial, nullptr);
}

TEST(MappedDecoding, CodecTiffLoadMatchesThePlatformDecodeOfTheSameBytes) {
  testing::CodecPluginLibrary library;
  ASSERT_TRUE(library.complete());
  const TvimgplugApi& codec = library.api();
  const std::string folder = testing::FreshFolder("tiff");
  testing::TiffPage page;
  page.width = 900;
  page.height = 700;
  page.samples = Noise(size_t{900} * 700 * 3, 5);  // 1.9 MB of strips
  const Bytes tiff = testing::TiffFile({page});
  testing::WriteBytes(folder + "/noise.tif", tiff);
  EXPECT_EQ(pf::CountTiffPages(folder + "/noise.tif"), 1);
  EXPECT_EQ(pf::CountTiffPages(folder + "/missing.tif"), -1);

  CodecBitmap loaded(codec, codec.Load(TVIMG_TIFF, (folder + "/noise.tif").c_str(), 0));
  ASSERT_TRUE(loaded);
  std::unique_ptr<pf::Bitmap> fromCodec, fromMemory;
  ASSERT_EQ(FromCodecBitmap(codec, loaded.get(), fromCodec), OK);
  ASSERT_EQ(pf::DecodeImageMemory(tiff.data(), tiff.size(), false, fromMemory), pf::Status::Ok);
  ExpectSamePixels(*fromCodec, *fromMemory);

  // Strips past the end of a shortened file: no picture, no crash.
  testing::WriteBytes(folder + "/short.tif", Bytes(tiff.begin(), tiff.begin() + 4096));
  CodecBitmap shortened(codec, codec.Load(TVIMG_TIFF, (folder + "/short.tif").c_str(), 0));
  EXPECT_FALSE(shortened);
}

TEST(PixelBufferReuse, ReusedMemoryComesBackZeroedForEverySize) {
  const size_t sizes[] = {size_t{9} << 20, (size_t{9} << 20) - 12345, size_t{5} << 20, size_t{9} << 20};
  for (int round = 0; round < 2; ++round) {
    for (size_t size : sizes) {
      pf::PixelBuffer buffer;
      ASSERT_TRUE(buffer.Allocate(size));
      ASSERT_EQ(buffer.size(), size);
      for (size_t i = 0; i < size; i += 4093)
        ASSERT_EQ(buffer.data()[i], 0) << "size " << size << " offset " << i;
      ASSERT_EQ(buffer.data()[size - 1], 0);
      std::memset(buffer.data(), 0xA5, size);  // left dirty for the next one
    }
  }
}

TEST(PixelBufferReuse, ImagesOfDifferentSizesDecodeCorrectlyOneAfterAnother) {
  const std::string folder = testing::FreshFolder("sequence");
  const uint32_t sizes[][2] = {{1300, 1000}, {1000, 1300}, {1300, 1000}, {1299, 1001}};
  for (int i = 0; i < 4; ++i) {
    const Bytes png = NoisePng(sizes[i][0], sizes[i][1], 100 + i);
    const std::string path = folder + "/image" + std::to_string(i) + ".png";
    testing::WriteBytes(path, png);
    std::unique_ptr<pf::Bitmap> fromFile, fromMemory;
    ASSERT_EQ(pf::DecodeImageFile(path, false, fromFile), pf::Status::Ok);
    {
      // A blank bitmap of the same size made in between must be blank.
      std::unique_ptr<pf::Bitmap> blank;
      ASSERT_EQ(pf::Bitmap::Create(fromFile->Width(), fromFile->Height(), fromFile->Format(), blank),
                pf::Status::Ok);
      for (int32_t y = 0; y < blank->Height(); y += 97)
        for (int32_t x = 0; x < blank->Width() * 3; ++x) ASSERT_EQ(blank->Row(y)[x], 0);
    }
    ASSERT_EQ(pf::DecodeImageMemory(png.data(), png.size(), false, fromMemory), pf::Status::Ok);
    ExpectSamePixels(*fromFile, *fromMemory);
    uint32_t argb = 0;
    fromFile->GetPixel(0, 0, argb);
    const Bytes first = Noise(3, 100 + i);  // row 0 starts with the noise of seed 100 + i
    EXPECT_EQ(argb, 0xFF000000u | (uint32_t{first[0]} << 16) | (uint32_t{first[1]} << 8) | first[2]);
  }
}

}  // namespace
}  // namespace tessivo
