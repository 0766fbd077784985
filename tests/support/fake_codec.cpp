#include "support/fake_codec.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

struct tvimg_bitmap {
  tessivo::testing::FakePage page;
  uint32_t pitch = 0;
  std::vector<uint8_t> bits;  // bottom-up
  std::vector<uint8_t> transparency;
};
struct tvimg_multibitmap {
  std::vector<std::unique_ptr<tvimg_bitmap>> pages;
  int32_t format = -1;
};
struct tvimg_file {
  std::string path;
};

namespace tessivo::testing {
namespace {

FakeCodecLog g_log;

uint32_t PitchOf(uint32_t width, uint32_t bpp) { return (width * bpp + 31) / 32 * 4; }
size_t RowBytesOf(uint32_t width, uint32_t bpp) { return (static_cast<size_t>(width) * bpp + 7) / 8; }

tvimg_bitmap* NewBitmap(const FakePage& page) {
  auto* b = new tvimg_bitmap;
  b->page = page;
  b->pitch = PitchOf(page.width, page.bpp);
  b->bits.assign(static_cast<size_t>(b->pitch) * page.height, 0);
  const size_t rowBytes = RowBytesOf(page.width, page.bpp);
  if (page.rowsTopDown.size() >= rowBytes * page.height)
    for (uint32_t y = 0; y < page.height; ++y)
      std::memcpy(&b->bits[static_cast<size_t>(page.height - 1 - y) * b->pitch],
                  &page.rowsTopDown[y * rowBytes], rowBytes);
  b->page.rowsTopDown.clear();
  ++g_log.liveBitmaps;
  return b;
}

FakePage PageOf(const tvimg_bitmap* b) {
  FakePage p = b->page;
  const size_t rowBytes = RowBytesOf(p.width, p.bpp);
  p.rowsTopDown.resize(rowBytes * p.height);
  for (uint32_t y = 0; y < p.height; ++y)
    std::memcpy(&p.rowsTopDown[y * rowBytes],
                &b->bits[static_cast<size_t>(p.height - 1 - y) * b->pitch], rowBytes);
  return p;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t Get32(const std::vector<uint8_t>& in, size_t& pos) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && pos < in.size(); ++i) v |= uint32_t{in[pos++]} << (8 * i);
  return v;
}
void PutBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  Put32(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}
std::vector<uint8_t> GetBytes(const std::vector<uint8_t>& in, size_t& pos) {
  const uint32_t n = Get32(in, pos);
  if (pos + n > in.size()) return {};
  std::vector<uint8_t> bytes(in.begin() + pos, in.begin() + pos + n);
  pos += n;
  return bytes;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

bool ReadFake(const std::string& path, int32_t& format, std::vector<FakePage>& pages) {
  const std::vector<uint8_t> in = ReadAll(path);
  if (in.size() < 12 || std::memcmp(in.data(), "FAKE", 4) != 0) return false;
  size_t pos = 4;
  format = static_cast<int32_t>(Get32(in, pos));
  const uint32_t count = Get32(in, pos);
  for (uint32_t i = 0; i < count && i < 64; ++i) {
    FakePage p;
    p.width = Get32(in, pos);
    p.height = Get32(in, pos);
    p.bpp = Get32(in, pos);
    p.colorType = static_cast<int32_t>(Get32(in, pos));
    p.imageType = static_cast<int32_t>(Get32(in, pos));
    p.dpmX = Get32(in, pos);
    p.dpmY = Get32(in, pos);
    p.palette = GetBytes(in, pos);
    p.rowsTopDown = GetBytes(in, pos);
    const uint32_t items = Get32(in, pos);
    for (uint32_t k = 0; k < items && k < 256; ++k) {
      FakeItem item;
      item.id = Get32(in, pos);
      item.type = static_cast<uint16_t>(Get32(in, pos));
      item.value = GetBytes(in, pos);
      p.metadata.push_back(item);
    }
    pages.push_back(p);
  }
  return !pages.empty();
}

// --- The entry points -------------------------------------------------------------------

int32_t GetVersion() { return 100; }

int32_t GetFileType(const char* path) {
  const std::vector<uint8_t> in = ReadAll(path);
  auto starts = [&](const char* magic, size_t n) {
    return in.size() >= n && std::memcmp(in.data(), magic, n) == 0;
  };
  if (starts("FAKE", 4) && in.size() >= 8) return in[4] | in[5] << 8 | in[6] << 16 | in[7] << 24;
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return TVIMG_TIFF;
  if (starts("\xFF\xD8\xFF", 3)) return TVIMG_JPEG;
  if (starts("\x89PNG", 4)) return TVIMG_PNG;
  if (starts("GIF8", 4)) return TVIMG_GIF;
  if (starts("BM", 2)) return TVIMG_BMP;
  return TVIMG_UNKNOWN;
}

int32_t GetFileTypeFromFilename(const char* path) {
  std::string p = path;
  std::string ext = p.substr(p.find_last_of('.') == std::string::npos ? p.size() : p.find_last_of('.'));
  if (ext == ".tif" || ext == ".tiff") return TVIMG_TIFF;
  if (ext == ".jpg" || ext == ".jpeg") return TVIMG_JPEG;
  if (ext == ".png") return TVIMG_PNG;
  if (ext == ".gif") return TVIMG_GIF;
  if (ext == ".bmp") return TVIMG_BMP;
  if (ext == ".tga") return TVIMG_TARGA;
  return TVIMG_UNKNOWN;
}

tvimg_bitmap* Load(int32_t format, const char* path, int32_t) {
  ++g_log.loads;
  int32_t stored;
  std::vector<FakePage> pages;
  if (!ReadFake(path, stored, pages) || stored != format) return nullptr;
  return NewBitmap(pages[0]);
}

int32_t Save(int32_t format, tvimg_bitmap* b, const char* path, int32_t flags) {
  if (!b || !path || !*path) return 0;
  ++g_log.saves;
  g_log.lastSaveFormat = format;
  g_log.lastSaveFlags = flags;
  g_log.lastSaved = PageOf(b);
  WriteFakeFile(path, format, {g_log.lastSaved});
  return 1;
}

tvimg_bitmap* Allocate(int32_t width, int32_t height, int32_t bpp) {
  if (width < 1 || height < 1) return nullptr;
  FakePage p;
  p.width = static_cast<uint32_t>(width);
  p.height = static_cast<uint32_t>(height);
  p.bpp = static_cast<uint32_t>(bpp);
  p.colorType = bpp <= 8 ? TVIMG_MINISBLACK : bpp == 32 ? TVIMG_RGBALPHA : TVIMG_RGB;
  if (bpp <= 8) {
    const uint32_t n = 1u << bpp;
    for (uint32_t i = 0; i < n; ++i) {
      const auto v = static_cast<uint8_t>(i * 255 / (n - 1));
      p.palette.insert(p.palette.end(), {v, v, v, 0});
    }
  }
  return NewBitmap(p);
}

void Unload(tvimg_bitmap* b) {
  if (!b) return;
  --g_log.liveBitmaps;
  delete b;
}

tvimg_file* OpenFile(const char* path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return nullptr;
  ++g_log.openFiles;
  return new tvimg_file{path};
}
void CloseFile(tvimg_file* f) {
  if (!f) return;
  --g_log.openFiles;
  delete f;
}

tvimg_multibitmap* OpenMultiBitmapFromFile(int32_t format, tvimg_file* file, int32_t) {
  int32_t stored;
  std::vector<FakePage> pages;
  if (!file || !ReadFake(file->path, stored, pages) || stored != format) return nullptr;
  auto* doc = new tvimg_multibitmap;
  doc->format = format;
  for (const FakePage& p : pages) {
    doc->pages.emplace_back(NewBitmap(p));
    --g_log.liveBitmaps;  // owned by the document
  }
  ++g_log.openDocuments;
  return doc;
}
tvimg_multibitmap* CreateMultiBitmap(int32_t, const char*) { return nullptr; }
int32_t GetPageCount(tvimg_multibitmap* doc) { return doc ? static_cast<int32_t>(doc->pages.size()) : 0; }
tvimg_bitmap* LockPage(tvimg_multibitmap* doc, int32_t page) {
  if (!doc || page < 0 || page >= GetPageCount(doc)) return nullptr;
  ++g_log.lockedPages;
  return doc->pages[static_cast<size_t>(page)].get();
}
void UnlockPage(tvimg_multibitmap*, tvimg_bitmap* page, int32_t) {
  if (page) --g_log.lockedPages;
}
int32_t AppendPage(tvimg_multibitmap*, tvimg_bitmap*) { return 0; }
int32_t CloseMultiBitmap(tvimg_multibitmap* doc, int32_t) {
  if (!doc) return 0;
  --g_log.openDocuments;
  delete doc;
  return 1;
}

uint32_t GetWidth(tvimg_bitmap* b) { return b->page.width; }
uint32_t GetHeight(tvimg_bitmap* b) { return b->page.height; }
uint32_t GetPitch(tvimg_bitmap* b) { return b->pitch; }
uint32_t GetBPP(tvimg_bitmap* b) { return b->page.bpp; }
uint8_t* GetBits(tvimg_bitmap* b) { return b->bits.data(); }
int32_t GetColorType(tvimg_bitmap* b) { return b->page.colorType; }
int32_t GetImageType(tvimg_bitmap* b) { return b->page.imageType; }
uint32_t GetColorsUsed(tvimg_bitmap* b) { return static_cast<uint32_t>(b->page.palette.size() / 4); }
uint8_t* GetPalette(tvimg_bitmap* b) { return b->page.palette.empty() ? nullptr : b->page.palette.data(); }
int32_t IsTransparent(tvimg_bitmap* b) { return b->transparency.empty() ? 0 : 1; }
uint32_t GetTransparencyCount(tvimg_bitmap* b) { return static_cast<uint32_t>(b->transparency.size()); }
uint8_t* GetTransparencyTable(tvimg_bitmap* b) { return b->transparency.data(); }
void SetTransparencyTable(tvimg_bitmap* b, const uint8_t* table, int32_t count) {
  b->transparency.assign(table, table + count);
}

// Conversions the tests do not reach answer "no bitmap", as a plug-in that cannot convert would.
tvimg_bitmap* ConvertTo32Bits(tvimg_bitmap*) { return nullptr; }
tvimg_bitmap* ConvertTo24Bits(tvimg_bitmap*) { return nullptr; }
tvimg_bitmap* ConvertToGreyscale(tvimg_bitmap*) { return nullptr; }
tvimg_bitmap* ConvertToType(tvimg_bitmap*, int32_t, int32_t) { return nullptr; }
tvimg_bitmap* ConvertToRGBF(tvimg_bitmap* b) {
  FakePage p = PageOf(b);
  p.imageType = TVIMG_TYPE_RGBF;
  return NewBitmap(p);
}
tvimg_bitmap* TmoReinhard05(tvimg_bitmap*, double, double) { return nullptr; }
int32_t Invert(tvimg_bitmap*) { return 0; }
int32_t FlipVertical(tvimg_bitmap*) { return 0; }
uint32_t GetDotsPerMeterX(tvimg_bitmap* b) { return b->page.dpmX; }
uint32_t GetDotsPerMeterY(tvimg_bitmap* b) { return b->page.dpmY; }
void SetDotsPerMeterX(tvimg_bitmap* b, uint32_t v) { b->page.dpmX = v; }
void SetDotsPerMeterY(tvimg_bitmap* b, uint32_t v) { b->page.dpmY = v; }
int32_t SetFrameDelay(tvimg_bitmap*, int32_t) { return 1; }
int32_t SetFrameDisposal(tvimg_bitmap*, int32_t) { return 1; }
int32_t SetLoopCount(tvimg_bitmap*, int32_t) { return 1; }
void SetTiffJpegCompression(int32_t quality) { g_log.tiffJpegQuality = quality; }
uint32_t GetMetadataCount(int32_t model, tvimg_bitmap* b) {
  return model == TVIMG_METADATA_EXIF ? static_cast<uint32_t>(b->page.metadata.size()) : 0;
}
int32_t GetMetadataItem(int32_t model, tvimg_bitmap* b, uint32_t index, uint32_t* id,
                        uint16_t* type, const uint8_t** value, uint32_t* length) {
  if (model != TVIMG_METADATA_EXIF || index >= b->page.metadata.size()) return 0;
  const FakeItem& item = b->page.metadata[index];
  *id = item.id;
  *type = item.type;
  *value = item.value.data();
  *length = static_cast<uint32_t>(item.value.size());
  return 1;
}
int32_t SetMetadataItem(int32_t model, tvimg_bitmap* b, uint32_t id, uint16_t type,
                        const uint8_t* value, uint32_t length) {
  if (model != TVIMG_METADATA_EXIF) return 0;
  b->page.metadata.push_back({id, type, std::vector<uint8_t>(value, value + length)});
  return 1;
}
int32_t CompressCCITT4(const uint8_t*, int32_t, int32_t, int32_t, uint8_t**, uint32_t*) { return -1; }
int32_t Compress(const uint8_t*, uint32_t, int32_t, uint8_t**, uint32_t*) { return -1; }
void FreeBuffer(uint8_t*) {}
int32_t RemoveIccProfileFromFile(const char*) { return 0; }
int32_t AddIccProfileToFile(const char*, const char*) { return 0; }

const TvimgplugApi& Table() {
  static const TvimgplugApi table = [] {
    TvimgplugApi t;
#define TESSIVO_FAKE_ENTRY(name, ret, params) t.name = &name;
    TESSIVO_TVIMGPLUG_FUNCTIONS(TESSIVO_FAKE_ENTRY)
#undef TESSIVO_FAKE_ENTRY
    return t;
  }();
  return table;
}

}  // namespace

FakeCodecLog& FakeLog() { return g_log; }

void WriteFakeFile(const std::string& path, int32_t format, const std::vector<FakePage>& pages) {
  std::vector<uint8_t> out = {'F', 'A', 'K', 'E'};
  Put32(out, static_cast<uint32_t>(format));
  Put32(out, static_cast<uint32_t>(pages.size()));
  for (const FakePage& p : pages) {
    for (uint32_t v : {p.width, p.height, p.bpp, static_cast<uint32_t>(p.colorType),
                       static_cast<uint32_t>(p.imageType), p.dpmX, p.dpmY})
      Put32(out, v);
    PutBytes(out, p.palette);
    PutBytes(out, p.rowsTopDown);
    Put32(out, static_cast<uint32_t>(p.metadata.size()));
    for (const FakeItem& item : p.metadata) {
      Put32(out, item.id);
      Put32(out, item.type);
      PutBytes(out, item.value);
    }
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                              static_cast<std::streamsize>(out.size()));
}

ScopedFakeCodec::ScopedFakeCodec() : previous_(InstallCodecPlugin(&Table())) { g_log = FakeCodecLog{}; }
ScopedFakeCodec::~ScopedFakeCodec() { InstallCodecPlugin(previous_); }

}  // namespace tessivo::testing
