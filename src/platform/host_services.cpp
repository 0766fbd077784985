#include "platform/host_services.h"

#include <cstdio>
#include <mutex>

namespace tessivo::platform {

void HostServices::ShowMessage(const std::string& title, const std::string& text, MessageIcon) {
  std::fprintf(stderr, "%s%s%s\n", title.c_str(), title.empty() ? "" : ": ", text.c_str());
}

std::optional<std::string> HostServices::OpenFileDialog(const std::string&, const std::string&) {
  return std::nullopt;
}

bool HostServices::ProcessPendingEvents(int64_t, int64_t) { return true; }

bool HostServices::PrintDialog(PrintDialogSettings&) { return false; }
std::optional<int32_t> HostServices::SelectScanSource(const std::vector<std::string>&) {
  return std::nullopt;
}
bool HostServices::ScanSourceSetup(const std::string&) { return false; }

namespace {
std::mutex g_hostMutex;
std::shared_ptr<HostServices>& Installed() {
  static std::shared_ptr<HostServices> services = std::make_shared<HostServices>();
  return services;
}
}  // namespace

HostServices& Host() {
  std::lock_guard<std::mutex> lock(g_hostMutex);
  return *Installed();
}

std::shared_ptr<HostServices> InstallHostServices(std::shared_ptr<HostServices> services) {
  std::lock_guard<std::mutex> lock(g_hostMutex);
  if (!services) services = std::make_shared<HostServices>();
  std::swap(services, Installed());
  return services;
}

}  // namespace tessivo::platform
