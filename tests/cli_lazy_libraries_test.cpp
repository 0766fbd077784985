// libcurl, libcups and libcrypto are opened when first needed: a run that never transfers,
// prints or encrypts does not load them (the dynamic loader's own log says what it loads), one
// that does gets them, and a library that cannot be used ends in the family's documented
// "unavailable" answer instead of a crash.
#include <gtest/gtest.h>
#include <link.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/cli_fixture.h"

namespace {

namespace fs = std::filesystem;
using tessivo::testing::Cli;
using tessivo::testing::CliRun;

// The file of a library this program has loaded whose name starts with `prefix`, or "".
std::string LoadedLibrary(const std::string& prefix) {
  struct Search {
    std::string prefix, found;
  } search{prefix, ""};
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        if (info->dlpi_name && fs::path(info->dlpi_name).filename().string().rfind(s->prefix, 0) == 0)
          s->found = info->dlpi_name;
        return s->found.empty() ? 0 : 1;
      },
      &search);
  return search.found;
}

class LazyLibraries : public Cli {
 protected:
  // Runs the tool with the dynamic loader logging every library it looks for; the log (of the
  // shell and the tool, one file per process) is returned in `err`.
  CliRun Logged(const std::string& args, const std::string& libraryPath = "") {
    const fs::path logs = dir_ / "loader-log";
    fs::remove_all(logs);
    fs::create_directories(logs);
    ::setenv("LD_DEBUG", "libs", 1);
    ::setenv("LD_DEBUG_OUTPUT", (logs / "ld").c_str(), 1);
    if (!libraryPath.empty()) ::setenv("LD_LIBRARY_PATH", libraryPath.c_str(), 1);
    CliRun r = Tessivo(args);
    ::unsetenv("LD_DEBUG");
    ::unsetenv("LD_DEBUG_OUTPUT");
    if (!libraryPath.empty()) ::unsetenv("LD_LIBRARY_PATH");
    for (const auto& log : fs::directory_iterator(logs)) r.err += tessivo::testing::ReadWholeFile(log.path());
    return r;
  }
  static bool Loads(const CliRun& r, const std::string& library) {
    return r.err.find("find library=" + library) != std::string::npos;
  }
};

TEST_F(LazyLibraries, OnlyTheFamiliesThatNeedThemLoadThem) {
  CliRun plain = Logged("call CreateNewImage 10 7 24 -- SaveAsPNG a.png");
  ASSERT_EQ(plain.exitCode, 0) << plain.out << plain.err;
  EXPECT_TRUE(Loads(plain, "libtessivo.so.5")) << "the loader log is missing: " << plain.err.substr(0, 400);
  for (const char* library : {"libcurl.so.4", "libcups.so.2", "libcrypto.so.3"})
    EXPECT_FALSE(Loads(plain, library)) << library << " was loaded by a run that does not use it";

  // Port 1 of the loopback interface has no server: the transfer is tried, so libcurl is there.
  CliRun transfer = Logged("call CreateImageFromURL 127.0.0.1 /a.png 1");
  EXPECT_TRUE(Loads(transfer, "libcurl.so.4"));
  EXPECT_NE(transfer.out.find("[InternetConnectError (101)]"), std::string::npos) << transfer.out;
  EXPECT_FALSE(Loads(transfer, "libcups.so.2"));

  CliRun printers = Logged("call PrintGetPrintersCount");
  EXPECT_EQ(printers.exitCode, 0) << printers.out << printers.err;
  EXPECT_TRUE(Loads(printers, "libcups.so.2"));
  EXPECT_FALSE(Loads(printers, "libcurl.so.4"));
}

TEST_F(LazyLibraries, AnUnusableLibraryIsAnUnavailableServiceNotACrash) {
  // A valid shared library under the names the toolkit opens, without any of their functions
  // (the zlib this program runs with), found first through LD_LIBRARY_PATH.
  const std::string zlib = LoadedLibrary("libz.so");
  ASSERT_FALSE(zlib.empty());
  fs::path impostors = dir_ / "impostors";
  fs::create_directories(impostors);
  for (const char* name : {"libcurl.so.4", "libcups.so.2"})
    fs::copy_file(zlib, impostors / name, fs::copy_options::overwrite_existing);

  CliRun transfer = Logged("call CreateImageFromURL 127.0.0.1 /a.png 1", impostors.string());
  EXPECT_TRUE(Loads(transfer, "libcurl.so.4")) << transfer.err.substr(0, 400);
  EXPECT_EQ(transfer.exitCode, 1) << transfer.out << transfer.err;
  EXPECT_NE(transfer.out.find("[InternetOpenError (100)]"), std::string::npos) << transfer.out;

  // No spooler to ask: no printers, as on a machine without one.
  CliRun printers = Logged("call PrintGetPrintersCount", impostors.string());
  EXPECT_EQ(printers.exitCode, 0) << printers.out << printers.err;
  EXPECT_NE(printers.out.find("PrintGetPrintersCount = 0  [OK]"), std::string::npos) << printers.out;
}

}  // namespace
