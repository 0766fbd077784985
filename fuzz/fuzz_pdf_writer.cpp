// libFuzzer target: the PDF writer fed with hostile inputs. The input is written to a file
// that is embedded as an image (every decoder, JPEG and G4 pass-through included) and its tail
// is drawn as text in a loaded font, once encrypted and once not. A document the writer calls
// complete must be one: header first, "%%EOF" last.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "pdf/pdf_writer.h"
#include "pinned_plugins.h"
#include "platform/codecs/codec_common.h"
#include "platform/codecs/codecs.h"

namespace {

// A private folder for the input and the document, removed when the fuzzer exits. Its name
// lives in a plain array so that it outlives every destructor that runs at exit.
char g_folder[64];

void RemoveScratchFolder() {
  std::remove((std::string(g_folder) + "/input").c_str());
  std::remove((std::string(g_folder) + "/out.pdf").c_str());
  rmdir(g_folder);
}

std::string ScratchFolder() {
  if (!g_folder[0]) {
    std::snprintf(g_folder, sizeof g_folder, "/tmp/tessivo-fuzz-pdf-XXXXXX");
    if (!mkdtemp(g_folder)) std::abort();
    std::atexit(RemoveScratchFolder);
  }
  return g_folder;
}

void CheckComplete(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.compare(0, 5, "%PDF-") != 0) std::abort();
  size_t end = bytes.rfind("%%EOF");
  if (end == std::string::npos || bytes.size() - end > 8) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tessivo::fuzzing::PinPlugins(tessivo::fuzzing::kFuzzMemoryLimit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessivo::platform::codecs::SetDecodePixelLimit(tessivo::fuzzing::kFuzzMemoryLimit);
  const std::string image = ScratchFolder() + "/input";
  const std::string output = ScratchFolder() + "/out.pdf";
  {
    std::ofstream file(image, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::string text(reinterpret_cast<const char*>(data) + size / 2, size - size / 2);
  for (int32_t encryption : {0, 2}) {
    std::remove(output.c_str());
    tessivo::cPDF pdf;
    if (!pdf.NewPdf(output, text, text, "", "", "", encryption, -1, text, "owner")) std::abort();
    pdf.BeginPage();
    if (int32_t n = pdf.PdfAddImageFile(image)) pdf.DrawImg(n, 10, 10, 200, 150);
    if (int32_t font = pdf.LoadFont(size % 2 ? "Arial" : "Courier New", size % 3 == 0, false)) {
      float width = pdf.TextWidth(text, font, 11);
      if (!(width >= 0)) std::abort();
      pdf.DrawText(20, 400, text, font, 11, static_cast<int32_t>(size % 3), float(size % 360));
    }
    pdf.EndPage();
    if (pdf.ClosePdfFile()) CheckComplete(output);
  }
  std::remove(output.c_str());
  return 0;
}
