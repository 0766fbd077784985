#include "demo_scanner.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tessivo::cli {

bool PrepareDemoScanner(const std::string& outdir) {
  const std::filesystem::path dir = std::filesystem::absolute(std::filesystem::path(outdir) / "sane");
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) return false;
  std::ofstream dll(dir / "dll.conf");
  dll << "test\n";
  std::ofstream test(dir / "test.conf");
  test << "number_of_devices 1\ntest-picture \"Color pattern\"\n";
  if (!dll || !test) return false;
  return ::setenv("SANE_CONFIG_DIR", dir.c_str(), 1) == 0;
}

}  // namespace tessivo::cli
