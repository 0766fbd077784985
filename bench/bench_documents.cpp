// Multi-page TIFF documents: a 100-page CCITT G4 A4 document at 300 dpi (2480 x 3508, text-like
// strokes), and three 30-page files, each run once per repetition (wall time, one thread):
//   Open (platform decoder / codec plug-in)   <-> tiffcp of the file
//   Open + select every page + save (G4)      <-> tiffcp -c g4
//   Merge three 30-page files                 <-> tiffcp of the three
// (Debian's ImageMagick policy refuses A4 pages at 300 dpi by its cache limits, so it is not
// in the comparison.)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/multiframe_tiff.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;

constexpr int32_t kWidth = 2480, kHeight = 3508;

std::string Folder() {
  static const std::string folder = [] {
    const std::string f = (std::filesystem::temp_directory_path() / "tessivo-bench-documents").string();
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

// A bilevel page of dark "words": short horizontal bars on text lines, varied per page.
std::unique_ptr<platform::Bitmap> TextPage(int32_t page) {
  std::unique_ptr<platform::Bitmap> bitmap;
  platform::Bitmap::Create(kWidth, kHeight, platform::kPixelFormat1bppIndexed, bitmap);
  for (int32_t y = 0; y < kHeight; ++y) {
    uint8_t* row = bitmap->Row(y);
    const bool inLine = y > 300 && y < kHeight - 300 && (y % 50) < 30;
    for (int32_t x = 0; x < kWidth; x += 8) {
      const bool word = inLine && x > 250 && x < kWidth - 250 && ((x / 64 + y / 50 + page) % 5) != 0;
      row[x / 8] = word ? 0x00 : 0xFF;  // palette entry 0 is black
    }
  }
  bitmap->SetResolution(300, 300);
  return bitmap;
}

std::string WriteDocument(const std::string& name, int32_t pages) {
  const std::string path = Folder() + "/" + name;
  if (std::filesystem::exists(path)) return path;
  std::unique_ptr<MultiPageTiffWriter> writer;
  for (int32_t i = 0; i < pages; ++i) {
    std::unique_ptr<platform::Bitmap> page = TextPage(i);
    if (i == 0) MultiPageTiffWriter::Begin(*page, path, CompressionCCITT4, writer);
    else if (writer) writer->AddPage(*page);
  }
  if (writer) writer->Finish();
  return path;
}

const std::string& Hundred() {
  static const std::string path = WriteDocument("hundred-g4.tif", 100);
  return path;
}

const std::string& Thirty(int n) {
  static const std::string paths[3] = {WriteDocument("thirty-1.tif", 30), WriteDocument("thirty-2.tif", 30),
                                       WriteDocument("thirty-3.tif", 30)};
  return paths[n];
}

void Run(benchmark::State& state, const std::string& command) {
  for (auto _ : state)
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) state.SkipWithError(command.c_str());
}

void BM_Open(benchmark::State& state) {
  const bool codec = state.range(0) != 0;
  for (auto _ : state) {
    cImaging im;
    im.DisableTvimgplugCodecs(!codec);
    const int32_t doc = im.CreateImageFromFile(Hundred());
    if (im.TiffGetPageCount(doc) != 100) state.SkipWithError("not a 100-page document");
    im.CloseImage(doc);
  }
  state.SetLabel(codec ? "codec plug-in" : "platform decoder");
}
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_OpenSelectSave(benchmark::State& state) {
  const std::string out = Folder() + "/saved.tif";
  for (auto _ : state) {
    cImaging im;
    const int32_t doc = im.CreateImageFromFile(Hundred());
    for (int32_t page = 1; page <= 100; ++page) im.TiffSelectPage(doc, page);
    if (im.TiffSaveMultiPageToFile(doc, out, CompressionCCITT4) != OK) state.SkipWithError("save failed");
    im.CloseImage(doc);
  }
}
BENCHMARK(BM_OpenSelectSave)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_TiffcpCopy(benchmark::State& state) {
  Run(state, "tiffcp -c g4 " + Hundred() + " " + Folder() + "/tiffcp.tif");
}
BENCHMARK(BM_TiffcpCopy)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Merge(benchmark::State& state) {
  const std::string out = Folder() + "/merged.tif";
  for (auto _ : state) {
    cImaging im;
    if (im.TiffMergeFileList(Thirty(0) + "," + Thirty(1) + "," + Thirty(2), out, CompressionCCITT4) != OK)
      state.SkipWithError("merge failed");
  }
}
BENCHMARK(BM_Merge)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_TiffcpMerge(benchmark::State& state) {
  Run(state, "tiffcp -c g4 " + Thirty(0) + " " + Thirty(1) + " " + Thirty(2) + " " + Folder() + "/tiffcp-merged.tif");
}
BENCHMARK(BM_TiffcpMerge)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);


}  // namespace

BENCHMARK_MAIN();
