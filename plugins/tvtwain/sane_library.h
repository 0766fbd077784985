// libsane loaded at run time: the entry points the session calls, resolved by name.
#pragma once
#include <sane/sane.h>
#include <sane/saneopts.h>

#include <string>

namespace tvtwain {

struct SaneLibrary {
  void* handle = nullptr;
  SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
  void (*exit)() = nullptr;
  SANE_Status (*get_devices)(const SANE_Device***, SANE_Bool) = nullptr;
  SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
  void (*close)(SANE_Handle) = nullptr;
  const SANE_Option_Descriptor* (*get_option_descriptor)(SANE_Handle, SANE_Int) = nullptr;
  SANE_Status (*control_option)(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) = nullptr;
  SANE_Status (*get_parameters)(SANE_Handle, SANE_Parameters*) = nullptr;
  SANE_Status (*start)(SANE_Handle) = nullptr;
  SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
  void (*cancel)(SANE_Handle) = nullptr;

  // Loads `path` and resolves every entry point; false (and nothing loaded) when one is missing.
  bool Load(const std::string& path);
  void Unload();
  // Keeps the backend modules SANE has loaded so far mapped for the life of the process.
  // SANE's meta-backend unloads them at sane_exit, yet some keep strings from their
  // initialisation, and code that is no longer mapped cannot be told apart from a leak of
  // ours. Called after every SANE call that may load a backend.
  static void PinLoadedBackends();
  bool Loaded() const { return handle != nullptr; }
};

}  // namespace tvtwain
