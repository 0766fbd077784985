// `tessivo batch` over 200 small pictures: two workers against one, and against starting the
// tool once per file, the way a shell loop would. Prints medians of three runs and the ratios.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 200;

double Seconds(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  int status = std::system(command.c_str());
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench_batch: failed: %s\n", command.c_str());
    std::exit(1);
  }
  return elapsed;
}

double Median(const std::string& command, int runs = 3) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(Seconds(command));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  fs::path dir = fs::temp_directory_path() / ("tessivo-bench-batch-" + std::to_string(::getpid()));
  fs::create_directories(dir / "in");
  const std::string tool = std::string("'") + TESSIVO_CLI_PATH + "'";
  {
    std::ofstream make(dir / "make.tvs");
    for (int i = 0; i < kFiles; ++i)
      make << "CreateNewImage " << 320 + i % 7 << ", 240, 24, " << static_cast<int32_t>(0xFF103050u + static_cast<uint32_t>(i) * 0x010203u) << "\n"
           << "SaveAsPNG \"" << (dir / "in").string() << "/p" << i << ".png\"\n";
    std::ofstream(dir / "work.tvs") << "CreateImageFromFile $input\nFxBlur\nFxSharpen\nRotate Rotate90FlipNone\n"
                                       "SaveAsJPEG $outdir & \"/\" & $name & \".jpg\", 85\n";
  }
  Seconds("cd '" + dir.string() + "' && " + tool + " run make.tvs >/dev/null");
  std::string files;
  for (int i = 0; i < kFiles; ++i) files += " in/p" + std::to_string(i) + ".png";
  const std::string cd = "cd '" + dir.string() + "' && ";
  auto batch = [&](int jobs) {
    return Median(cd + tool + " batch work.tvs" + files + " --jobs " + std::to_string(jobs) + " --out o >/dev/null 2>&1");
  };
  double one = batch(1), two = batch(2);
  double perFile = Median(cd + "for f in" + files + "; do " + tool +
                          " batch work.tvs $f --jobs 1 --out o >/dev/null 2>&1 || exit 1; done");
  std::printf("tessivo batch, %d files of 320x240 (load, FxBlur, FxSharpen, rotate, save JPEG):\n", kFiles);
  std::printf("  --jobs 1:               %.3f s\n", one);
  std::printf("  --jobs 2:               %.3f s   (%.2fx of --jobs 1; target <= 0.55x)\n", two, two / one);
  std::printf("  one process per file:   %.3f s   (--jobs 2 is %.2fx of it)\n", perFile, two / perFile);
  fs::remove_all(dir);
  return 0;
}
