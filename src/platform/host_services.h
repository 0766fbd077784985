// What the host application provides: dialogs and a place for messages. The default services
// are headless: dialogs report "cancelled" and messages go to standard error. A host (or a
// test) installs its own implementation for the calling process.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tessivo::platform {

enum class MessageIcon { None, Information, Warning, Critical };

class HostServices {
 public:
  virtual ~HostServices() = default;
  // A message the toolkit cannot report as a status (a plug-in missing, start-up failing).
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon);
  // The open-file dialog: the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> OpenFileDialog(const std::string& title,
                                                    const std::string& filter);
  // Runs between the chunks of a long network read, so the host can handle its pending events
  // (and show progress). `total` is -1 when unknown. Returning false cancels the read. The
  // default lets the read go on.
  virtual bool ProcessPendingEvents(int64_t received, int64_t total);
};

// The installed services (the headless default until a host installs its own).
HostServices& Host();
// Installs `services` (nullptr restores the default) and returns the previous ones.
std::shared_ptr<HostServices> InstallHostServices(std::shared_ptr<HostServices> services);

}  // namespace tessivo::platform
