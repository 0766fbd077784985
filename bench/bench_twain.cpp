// Scanning from SANE's test device against scanimage(1) on the same device and settings: a
// colour page (the device's whole 200 x 200 mm bed) at 300 and 600 dpi, into a toolkit image
// (native transfer) vs `scanimage --format=pnm` into tmpfs, and into a TIFF file vs
// `scanimage --format=tiff`. After the runs the ratios are printed; each must stay at or
// below 1.00. Both sides pay the device's own picture generation.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;
namespace fs = std::filesystem;

constexpr double kBedInches = 200.0 / 25.4;

struct Device {
  fs::path config;
  fs::path out;
  Device() {
    config = fs::temp_directory_path() / ("tessivo-bench-twain-" + std::to_string(::getpid()));
    out = fs::path("/dev/shm") / ("tessivo-bench-twain-" + std::to_string(::getpid()));
    fs::create_directories(config);
    fs::create_directories(out);
    std::ofstream(config / "dll.conf") << "test\n";
    std::ofstream(config / "test.conf") << "number_of_devices 1\ntest-picture \"Color pattern\"\n";
    ::setenv("SANE_CONFIG_DIR", config.c_str(), 1);
    ::setenv("TESSIVO_PLUGIN_DIR", TESSIVO_BINARY_DIR "/lib", 1);
  }
  ~Device() {
    std::error_code ignored;
    fs::remove_all(config, ignored);
    fs::remove_all(out, ignored);
  }
};

Device& TheDevice() {
  static Device device;
  return device;
}

bool Scanimage(int dpi, const char* format, const fs::path& output) {
  const std::string resolution = std::to_string(dpi);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/usr/bin/scanimage", "scanimage", "-d", "test:0", "--mode", "Color", "--depth", "8", "--resolution",
            resolution.c_str(), "-l", "0", "-t", "0", "-x", "200", "-y", "200", "--format", format, "-o",
            output.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ScanimageRun(benchmark::State& state, const char* format) {
  const fs::path output = TheDevice().out / (std::string("page.") + format);
  for (auto _ : state)
    if (!Scanimage(static_cast<int>(state.range(0)), format, output)) state.SkipWithError("scanimage failed");
}

// The toolkit's source set up the way scanimage is told to scan.
bool OpenPage(cImaging& im, int dpi) {
  return im.TwainOpenSource("test:0") && im.TwainSetCurrentPixelType(TWPT_RGB) &&
         im.TwainSetCurrentBitDepth(24) && im.TwainSetCurrentResolution(dpi) &&
         im.TwainSetImageLayout(0, 0, kBedInches, kBedInches);
}

void ToolkitImage(benchmark::State& state) {
  TheDevice();
  cImaging im;
  if (!OpenPage(im, static_cast<int>(state.range(0)))) return state.SkipWithError("cannot open the test device");
  for (auto _ : state) {
    const int32_t id = im.TwainAcquireToTessivoImage();
    if (id == 0) return state.SkipWithError("scan failed");
    state.counters["width"] = im.GetWidth();
    im.CloseImage(id);
  }
  im.TwainCloseSource();
}

void ToolkitTiff(benchmark::State& state) {
  const fs::path output = TheDevice().out / "toolkit.tif";
  cImaging im;
  if (!OpenPage(im, static_cast<int>(state.range(0)))) return state.SkipWithError("cannot open the test device");
  for (auto _ : state)
    if (im.TwainAcquireToFile(output.string(), 0) != OK) return state.SkipWithError("scan to file failed");
  im.TwainCloseSource();
}

const tessivo::bench::RatioReporter::Pairs kPairs = {
    {"Toolkit/Image/300", "Scanimage/Pnm/300"},
    {"Toolkit/Image/600", "Scanimage/Pnm/600"},
    {"Toolkit/Tiff/300", "Scanimage/Tiff/300"},
    {"Toolkit/Tiff/600", "Scanimage/Tiff/600"},
};


}  // namespace

int main(int argc, char** argv) {
  auto add = [](const char* name, auto fn) {
    // The resolution is the argument: names come out as "Toolkit/Image/300".
    benchmark::RegisterBenchmark(name, fn)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond)->Iterations(5);
  };
  TheDevice();
  add("Scanimage/Pnm", [](benchmark::State& s) { ScanimageRun(s, "pnm"); });
  add("Toolkit/Image", ToolkitImage);
  add("Scanimage/Tiff", [](benchmark::State& s) { ScanimageRun(s, "tiff"); });
  add("Toolkit/Tiff", ToolkitTiff);
  benchmark::Initialize(&argc, argv);
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("Toolkit time / scanimage's time (at most 1.00 wanted):", kPairs, 1.0);
  return 0;
}
