#include "platform/plugin_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string_view>
#include <utility>

#include "tessivo/plugins/plugin_abi.h"

namespace tessivo::platform {

namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string PluginDirectory() {
  if (const char* dir = std::getenv("TESSIVO_PLUGIN_DIR"); dir && *dir) return dir;
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&PluginDirectory), &info) || !info.dli_fname) return ".";
  std::string libraryFolder = FolderOf(info.dli_fname);
  // An installed libtessivo (PREFIX/lib) keeps its plug-ins in PREFIX/lib/tessivo/plugins; in
  // the build tree they lie beside the library.
  std::string installed = libraryFolder + "/tessivo/plugins";
  struct stat folder {};
  if (stat(installed.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode)) return installed;
  return libraryFolder;
}

std::string PluginPath(const std::string& baseName) {
  return PluginDirectory() + "/" + baseName + ".so";
}

std::string FileVersionString(const std::string& path) {
  PluginLibrary library(path);
  if (!library.Loaded()) return "Undefined";
  auto version = library.Function<tv_plugin_file_version_fn>(TV_PLUGIN_FILE_VERSION_SYMBOL);
  if (!version) return "Unknown";
  const char* text = version();
  if (!text || !*text) return "Unknown";
  return text;
}

double VersionValue(const std::string& version) {
  // Digits, then at most one decimal point followed by digits, as a numeric prefix is read.
  std::string_view v = version;
  size_t i = 0;
  while (i < v.size() && v[i] == ' ') ++i;
  size_t start = i;
  while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
  if (i < v.size() && v[i] == '.') {
    ++i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
  }
  if (i == start) return 0.0;
  return std::strtod(std::string(v.substr(start, i - start)).c_str(), nullptr);
}

PluginLibrary::PluginLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = why ? why : "cannot load " + path;
  }
}

PluginLibrary::~PluginLibrary() {
  if (handle_) dlclose(handle_);
}

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_) dlclose(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

void* PluginLibrary::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace tessivo::platform
