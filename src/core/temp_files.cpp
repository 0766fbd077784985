#include "core/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace tessivo {
namespace {

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// Reseeded from the clock on every draw, as image IDs are; the exclusive create below makes
// collisions harmless.
std::string DrawName() {
  thread_local std::mt19937_64 generator;
  auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  generator.seed(static_cast<uint64_t>(ticks) ^ (generator() << 1));
  double r = std::generate_canonical<double, 53>(generator);
  long long n = static_cast<long long>(r * 100000000.0);
  return std::to_string(n);
}

}  // namespace

std::string TempFolder() {
  for (const char* name : {"tmp", "TMP", "temp", "TEMP", "TMPDIR"}) {
    std::string folder = EnvValue(name);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty()) return folder;
  }
  return "/tmp";
}

std::string NewTempFile() {
  const std::string folder = TempFolder();
  // A full folder or a missing one fails every attempt; give up after a bounded number.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string path = folder + "/" + DrawName();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return std::string();
  }
  return std::string();
}

void DeleteFileQuietly(const std::string& path) {
  if (!path.empty()) std::remove(path.c_str());
}

}  // namespace tessivo
