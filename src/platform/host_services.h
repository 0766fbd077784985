// What the host application provides: dialogs and a place for messages. The default services
// are headless: dialogs report "cancelled" and messages go to standard error. A host (or a
// test) installs its own implementation for the calling process.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::platform {

enum class MessageIcon { None, Information, Warning, Critical };

// What the print dialog shows and what the user chose, in the platform's device-mode codes.
// The page fields are 0 when the image has a single page.
struct PrintDialogSettings {
  std::vector<std::string> printers;
  std::string printer;
  int32_t copies = 1, orientation = 1, paperSize = 0, duplex = 1, colorMode = 2, quality = 0,
          paperBin = 0;
  int32_t fromPage = 0, toPage = 0, minPage = 0, maxPage = 0;
};

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
  // The print dialog: true when the user confirmed `settings` (which it may change). The
  // default reports "cancelled".
  virtual bool PrintDialog(PrintDialogSettings& settings);
  // The scan source list: the chosen source's index in `sources`, or nothing when cancelled.
  // The default reports "cancelled".
  virtual std::optional<int32_t> SelectScanSource(const std::vector<std::string>& sources);
  // The settings dialog of the open scan source `source`: true when the user confirmed it.
  // The default reports "cancelled".
  virtual bool ScanSourceSetup(const std::string& source);
};

// The installed services (the headless default until a host installs its own).
HostServices& Host();
// Installs `services` (nullptr restores the default) and returns the previous ones.
std::shared_ptr<HostServices> InstallHostServices(std::shared_ptr<HostServices> services);

}  // namespace tessivo::platform
