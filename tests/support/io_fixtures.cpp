#include "support/io_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/image_registry.h"

namespace tessivo::testing {

namespace fs = std::filesystem;

ScopedTempFolder::ScopedTempFolder() {
  const char* base = std::getenv("TMPDIR");
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "io";
  path_ = std::string(base && *base ? base : "/tmp") + "/tessivo-" + name + "-" +
          std::to_string(::getpid());
  fs::remove_all(path_);
  fs::create_directories(path_);
  env_ = std::make_unique<ScopedEnv>("tmp", path_);
}

ScopedTempFolder::~ScopedTempFolder() {
  env_.reset();
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::vector<std::string> ScopedTempFolder::TempFiles() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(path_)) {
    std::string n = e.path().filename().string();
    if (!n.empty() && n.find_first_not_of("0123456789") == std::string::npos) names.push_back(n);
  }
  return names;
}

uint32_t PatternPixel(int32_t x, int32_t y) {
  return (x % 3 == 0 || y % 2 == 0) ? 0xFFFFFFFFu : 0xFF000000u;
}

int32_t RegisterPattern(platform::PixelFormat format, int32_t width, int32_t height) {
  std::unique_ptr<platform::Bitmap> image;
  EXPECT_EQ(platform::Bitmap::Create(width, height, format, image), platform::Status::Ok);
  if (!image) return 0;
  platform::BitmapData data;
  EXPECT_EQ(image->LockBits(nullptr, platform::ImageLockModeWrite, platform::kPixelFormat32bppARGB,
                            data),
            platform::Status::Ok);
  for (int32_t y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.scan0) + y * data.stride);
    for (int32_t x = 0; x < width; ++x) row[x] = PatternPixel(x, y);
  }
  EXPECT_EQ(image->UnlockBits(data), platform::Status::Ok);
  int32_t id = 0;
  RegisterImage(id, std::move(image), "", "", OriginMemory);
  return id;
}

uint32_t PixelOf(int32_t id, int32_t x, int32_t y) {
  uint32_t argb = 0;
  platform::Bitmap* image = ResolveImage(id);
  EXPECT_NE(image, nullptr);
  if (image) {
    EXPECT_EQ(image->GetPixel(x, y, argb), platform::Status::Ok);
  }
  return argb;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

int32_t TiffCompressionOf(const std::vector<uint8_t>& t) {
  if (t.size() < 8) return -1;
  const bool little = t[0] == 'I';
  auto u16 = [&](size_t o) -> uint32_t {
    return little ? t[o] | t[o + 1] << 8 : t[o] << 8 | t[o + 1];
  };
  auto u32 = [&](size_t o) -> uint32_t {
    return little ? u16(o) | u16(o + 2) << 16 : u16(o) << 16 | u16(o + 2);
  };
  const size_t ifd = u32(4);
  if (ifd + 2 > t.size()) return -1;
  const uint32_t count = u16(ifd);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t e = ifd + 2 + 12 * i;
    if (e + 12 > t.size()) return -1;
    if (u16(e) == 259) return static_cast<int32_t>(u16(e + 8));
  }
  return -1;
}

}  // namespace tessivo::testing

namespace tessivo::testing {

std::vector<uint8_t> MultiFrameGif(const std::vector<uint16_t>& delays) {
  std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0,
                            0, 0, 0, 255, 255, 255};  // 2-entry colour table: black, white
  for (size_t frame = 0; frame < delays.size(); ++frame) {
    const uint16_t d = delays[frame];
    g.insert(g.end(), {0x21, 0xF9, 4, 0, static_cast<uint8_t>(d), static_cast<uint8_t>(d >> 8), 0, 0});
    g.insert(g.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0});
    // LZW with 2-bit minimum code size; a clear code before every pixel keeps every code
    // 3 bits wide: clear, p0, clear, p1, clear, p2, clear, p3, end.
    std::vector<uint32_t> codes;
    for (int i = 0; i < 4; ++i) {
      codes.push_back(4);
      codes.push_back(static_cast<uint32_t>((frame + i % 2 + i / 2) % 2));
    }
    codes.push_back(5);
    std::vector<uint8_t> data;
    uint32_t acc = 0;
    int bits = 0;
    for (uint32_t c : codes) {
      acc |= c << bits;
      bits += 3;
      while (bits >= 8) {
        data.push_back(static_cast<uint8_t>(acc));
        acc >>= 8;
        bits -= 8;
      }
    }
    if (bits > 0) data.push_back(static_cast<uint8_t>(acc));
    g.push_back(2);
    g.push_back(static_cast<uint8_t>(data.size()));
    g.insert(g.end(), data.begin(), data.end());
    g.push_back(0);
  }
  g.push_back(0x3B);
  return g;
}

}  // namespace tessivo::testing
