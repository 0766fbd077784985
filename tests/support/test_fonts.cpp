#include "support/test_fonts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/scripted_host.h"

namespace tessivo::testing {
namespace {

constexpr const char* kLiberationFolder = "/usr/share/fonts/truetype/liberation2";
constexpr const char* kRegularOnlyFace = "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf";

}  // namespace

void WithTestFonts(const std::function<void()>& body) {
  namespace fs = std::filesystem;
  ASSERT_TRUE(fs::exists(std::string(kLiberationFolder) + "/LiberationSans-Regular.ttf"))
      << "fonts-liberation2 is not installed";
  ASSERT_TRUE(fs::exists(kRegularOnlyFace)) << "fonts-dejavu-extra is not installed";
  // A folder of its own, apart from the test's ScopedTempFolder (which the body may make).
  const char* base = std::getenv("TMPDIR");
  const fs::path dir = fs::path(base && *base ? base : "/tmp") / ("tessivo-fonts-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "single");
  fs::create_symlink(kRegularOnlyFace, dir / "single" / "regular-only.ttf");
  const std::string config = (dir / "fonts.conf").string();
  {
    std::ofstream out(config);
    out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        << "  <dir>" << kLiberationFolder << "</dir>\n"
        << "  <dir>" << (dir / "single").string() << "</dir>\n"
        << "  <cachedir>" << (dir / "cache").string() << "</cachedir>\n</fontconfig>\n";
  }
  {
    ScopedEnv env("FONTCONFIG_FILE", config);
    std::thread worker(body);
    worker.join();
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace tessivo::testing
