// Host services for tests: records every message and answers the open-file dialog with a
// prepared path. Installed for the life of the object.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_services.h"

namespace tessivo::testing {

class ScriptedHost : public platform::HostServices {
 public:
  struct Message {
    std::string title;
    std::string text;
    platform::MessageIcon icon;
  };
  void ShowMessage(const std::string& title, const std::string& text,
                   platform::MessageIcon icon) override {
    messages.push_back({title, text, icon});
  }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return dialogAnswer;
  }
  bool ProcessPendingEvents(int64_t received, int64_t total) override {
    return pump ? pump(received, total) : true;
  }
  bool PrintDialog(platform::PrintDialogSettings& settings) override {
    dialogShown = settings;
    return printDialog ? printDialog(settings) : false;
  }
  std::optional<int32_t> SelectScanSource(const std::vector<std::string>& sources) override {
    scanSourcesShown = sources;
    return scanSourceChoice;
  }
  bool ScanSourceSetup(const std::string& source) override {
    setupShownFor = source;
    return setupAnswer;
  }
  std::vector<Message> messages;
  std::optional<platform::PrintDialogSettings> dialogShown;  // what the print dialog was shown
  std::function<bool(platform::PrintDialogSettings&)> printDialog;  // none: cancelled
  std::optional<std::string> dialogAnswer;
  std::function<bool(int64_t received, int64_t total)> pump;  // the event pump of transfers
  std::vector<std::string> scanSourcesShown;  // what the scan source list offered
  std::optional<int32_t> scanSourceChoice;    // none: cancelled
  std::string setupShownFor;                  // the source whose settings dialog was shown
  bool setupAnswer = false;
};

// Installs a ScriptedHost for one scope and restores the previous services afterwards.
class ScopedHost {
 public:
  ScopedHost() : host_(std::make_shared<ScriptedHost>()), previous_(platform::InstallHostServices(host_)) {}
  ~ScopedHost() { platform::InstallHostServices(previous_); }
  ScriptedHost& operator*() { return *host_; }
  ScriptedHost* operator->() { return host_.get(); }

 private:
  std::shared_ptr<ScriptedHost> host_;
  std::shared_ptr<platform::HostServices> previous_;
};

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace tessivo::testing
