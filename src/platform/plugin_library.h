// Shared libraries loaded at run time (plug-ins): where they are looked for, how their version
// is read, and a handle that owns one loaded library.
#pragma once
#include <string>

namespace tessivo::platform {

// The folder plug-ins are looked for in: $TESSIVO_PLUGIN_DIR when set and not empty, else the
// folder holding this library.
std::string PluginDirectory();
// Full path of the plug-in file `baseName` + ".so" in PluginDirectory().
std::string PluginPath(const std::string& baseName);

// The file version of a plug-in, read through its exported version function: "a.b.c.d";
// "Unknown" when the library exports no version; "Undefined" when it cannot be read (missing
// file, not loadable).
std::string FileVersionString(const std::string& path);

// The numeric value of a version string as a number prefix is read: "6.1.0.0" -> 6.1;
// "Unknown" -> 0. A value of 0 means the library is absent.
double VersionValue(const std::string& version);

class PluginLibrary {
 public:
  PluginLibrary() = default;
  explicit PluginLibrary(const std::string& path);  // loads now; check Loaded()
  ~PluginLibrary();
  PluginLibrary(PluginLibrary&& other) noexcept;
  PluginLibrary& operator=(PluginLibrary&& other) noexcept;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  // The address of an exported symbol, or nullptr.
  void* Symbol(const char* name) const;
  template <typename Fn>
  Fn Function(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace tessivo::platform
