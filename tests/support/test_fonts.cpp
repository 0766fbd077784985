#include "support/test_fonts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/io_fixtures.h"
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
  ScopedTempFolder dir;
  fs::create_directories(dir.File("single"));
  fs::create_symlink(kRegularOnlyFace, dir.File("single/regular-only.ttf"));
  const std::string config = dir.File("fonts.conf");
  {
    std::ofstream out(config);
    out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        << "  <dir>" << kLiberationFolder << "</dir>\n"
        << "  <dir>" << dir.File("single") << "</dir>\n"
        << "  <cachedir>" << dir.File("cache") << "</cachedir>\n</fontconfig>\n";
  }
  ScopedEnv env("FONTCONFIG_FILE", config);
  std::thread worker(body);
  worker.join();
}

}  // namespace tessivo::testing
