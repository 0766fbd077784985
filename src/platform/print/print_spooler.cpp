#include "platform/print/print_spooler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/print/cups_library.h"

namespace tessivo::platform {
namespace {

// Reached only after the public function checked that libcups is loaded.
const CupsLibrary& Lib() { return *Cups(); }

// The spooler's destination list for one call.
class Destinations {
 public:
  Destinations() { count_ = Lib().getDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~Destinations() { Lib().freeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;

  int count() const { return count_; }
  cups_dest_t* at(int i) const { return dests_ + i; }
  cups_dest_t* find(const std::string& name) const {
    if (name.empty()) return nullptr;
    return Lib().getDest(name.c_str(), nullptr, count_, dests_);
  }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

// The supported and default attributes of one destination.
class DestInfo {
 public:
  explicit DestInfo(cups_dest_t* dest) : dest_(dest) {
    if (dest_) info_ = Lib().copyDestInfo(CUPS_HTTP_DEFAULT, dest_);
  }
  ~DestInfo() {
    if (info_) Lib().freeDestInfo(info_);
  }
  DestInfo(const DestInfo&) = delete;
  DestInfo& operator=(const DestInfo&) = delete;
  explicit operator bool() const { return info_ != nullptr; }
  cups_dinfo_t* get() const { return info_; }

 private:
  cups_dest_t* dest_;
  cups_dinfo_t* info_ = nullptr;
};

PrintMedia ToMedia(const cups_size_t& size) {
  PrintMedia m;
  m.name = size.media;
  m.widthMm = size.width / 100.0;
  m.lengthMm = size.length / 100.0;
  m.leftMm = size.left / 100.0;
  m.rightMm = size.right / 100.0;
  m.topMm = size.top / 100.0;
  m.bottomMm = size.bottom / 100.0;
  return m;
}

std::string Option(const cups_dest_t* dest, const char* name) {
  const char* v = Lib().getOption(name, dest->num_options, dest->options);
  return v ? v : "";
}

PrinterCondition ConditionOf(const cups_dest_t* dest) {
  PrinterCondition c;
  c.found = true;
  const std::string state = Option(dest, "printer-state");
  c.state = state.empty() ? 0 : std::atoi(state.c_str());
  c.reasons = Option(dest, "printer-state-reasons");
  c.acceptingJobs = Option(dest, "printer-is-accepting-jobs") != "false";
  return c;
}

// Stopped, refusing jobs, or a reason of error severity: a job sent now would not print.
bool IsPrinting(const PrinterCondition& c) {
  if (!c.acceptingJobs || c.state == IPP_PSTATE_STOPPED) return false;
  size_t start = 0;
  while (start <= c.reasons.size()) {
    size_t end = c.reasons.find(',', start);
    if (end == std::string::npos) end = c.reasons.size();
    const std::string reason = c.reasons.substr(start, end - start);
    if (reason.size() > 6 && reason.compare(reason.size() - 6, 6, "-error") == 0) return false;
    start = end + 1;
  }
  return true;
}

int Hundredths(double mm) { return static_cast<int>(std::lround(mm * 100.0)); }

}  // namespace

std::vector<PrintDestination> ListPrintDestinations() {
  if (!Cups()) return {};
  Destinations dests;
  std::vector<PrintDestination> out;
  for (int i = 0; i < dests.count(); ++i) {
    const cups_dest_t* d = dests.at(i);
    if (d->instance) continue;  // instances are option sets of a queue, not printers
    out.push_back({d->name, d->is_default != 0});
  }
  return out;
}

std::optional<PrintMedia> DestinationMedia(const std::string& destination, const std::string& mediaName) {
  if (!Cups()) return std::nullopt;
  Destinations dests;
  cups_dest_t* dest = dests.find(destination);
  DestInfo info(dest);
  if (!info) return std::nullopt;
  cups_size_t size{};
  const int ok = mediaName.empty()
                     ? Lib().getDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info.get(), CUPS_MEDIA_FLAGS_DEFAULT, &size)
                     : Lib().getDestMediaByName(CUPS_HTTP_DEFAULT, dest, info.get(), mediaName.c_str(),
                                              CUPS_MEDIA_FLAGS_DEFAULT, &size);
  if (!ok) return std::nullopt;
  return ToMedia(size);
}

std::optional<PrintMedia> DestinationMediaBySize(const std::string& destination, double widthMm,
                                                 double lengthMm) {
  if (!(widthMm > 0) || !(lengthMm > 0) || widthMm > 1e5 || lengthMm > 1e5 || !Cups()) return std::nullopt;
  Destinations dests;
  cups_dest_t* dest = dests.find(destination);
  DestInfo info(dest);
  if (!info) return std::nullopt;
  cups_size_t size{};
  if (!Lib().getDestMediaBySize(CUPS_HTTP_DEFAULT, dest, info.get(), Hundredths(widthMm), Hundredths(lengthMm),
                              CUPS_MEDIA_FLAGS_DEFAULT, &size))
    return std::nullopt;
  PrintMedia m = ToMedia(size);
  if (std::fabs(m.widthMm - widthMm) > 0.5 || std::fabs(m.lengthMm - lengthMm) > 0.5) return std::nullopt;
  return m;
}

PrintDefaults DestinationDefaults(const std::string& destination) {
  PrintDefaults out;
  if (!Cups()) return out;
  Destinations dests;
  cups_dest_t* dest = dests.find(destination);
  DestInfo info(dest);
  if (!info) return out;
  auto text = [&](const char* option) -> std::string {
    ipp_attribute_t* a = Lib().findDestDefault(CUPS_HTTP_DEFAULT, dest, info.get(), option);
    const char* v = a ? Lib().ippGetString(a, 0, nullptr) : nullptr;
    return v ? v : "";
  };
  out.colorMode = text("print-color-mode");
  out.sides = text("sides");
  out.mediaSource = text("media-source");
  if (ipp_attribute_t* a = Lib().findDestDefault(CUPS_HTTP_DEFAULT, dest, info.get(), "print-quality"))
    out.quality = Lib().ippGetInteger(a, 0);
  return out;
}

bool DestinationSupports(const std::string& destination, const std::string& option, const std::string& value) {
  if (!Cups()) return false;
  Destinations dests;
  cups_dest_t* dest = dests.find(destination);
  DestInfo info(dest);
  if (!info) return false;
  return Lib().checkDestSupported(CUPS_HTTP_DEFAULT, dest, info.get(), option.c_str(), value.c_str()) != 0;
}

PrinterCondition DestinationCondition(const std::string& destination) {
  if (!Cups()) return {};
  Destinations dests;
  const cups_dest_t* dest = dests.find(destination);
  if (!dest) return {};
  return ConditionOf(dest);
}

PrintJobOutcome SubmitPdfJob(const PrintJobRequest& request, const std::vector<std::string>& pdf) {
  PrintJobOutcome out;
  if (!Cups()) {
    out.result = PrintJobResult::NoDestination;
    return out;
  }
  Destinations dests;
  cups_dest_t* dest = dests.find(request.destination);
  if (!dest) {
    out.result = PrintJobResult::NoDestination;
    return out;
  }
  if (!IsPrinting(ConditionOf(dest))) {
    out.result = PrintJobResult::NotPrinting;
    return out;
  }
  DestInfo info(dest);
  if (!info) {
    out.result = PrintJobResult::NoDestination;
    out.message = Lib().lastErrorString();
    return out;
  }

  cups_option_t* options = nullptr;
  int count = 0;
  auto add = [&](const char* name, const std::string& value) {
    if (!value.empty()) count = Lib().addOption(name, value.c_str(), count, &options);
  };
  add("copies", request.copies > 1 ? std::to_string(request.copies) : "");
  add("orientation-requested", request.orientation > 0 ? std::to_string(request.orientation) : "");
  add("print-color-mode", request.colorMode);
  add("sides", request.sides);
  add("media", request.media);
  add("media-source", request.mediaSource);
  add("print-quality", request.quality > 0 ? std::to_string(request.quality) : "");
  add("printer-resolution", request.resolutionDpi > 0 ? std::to_string(request.resolutionDpi) + "dpi" : "");

  int jobId = 0;
  const ipp_status_t created =
      Lib().createDestJob(CUPS_HTTP_DEFAULT, dest, info.get(), &jobId, request.title.c_str(), count, options);
  Lib().freeOptions(count, options);
  if (created > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0) {
    out.result = PrintJobResult::Refused;
    out.message = Lib().lastErrorString();
    return out;
  }

  bool sent = Lib().startDestDocument(CUPS_HTTP_DEFAULT, dest, info.get(), jobId, request.title.c_str(),
                                    CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
  for (const std::string& piece : pdf) {
    if (!sent) break;
    if (!piece.empty())
      sent = Lib().writeRequestData(CUPS_HTTP_DEFAULT, piece.data(), piece.size()) == HTTP_STATUS_CONTINUE;
  }
  // The document request is always finished, so the connection is left in a usable state.
  const ipp_status_t finished = Lib().finishDestDocument(CUPS_HTTP_DEFAULT, dest, info.get());
  if (!sent || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
    out.message = Lib().lastErrorString();
    Lib().cancelDestJob(CUPS_HTTP_DEFAULT, dest, jobId);
    out.result = PrintJobResult::TransferFailed;
    return out;
  }
  out.result = PrintJobResult::Accepted;
  out.jobId = jobId;
  return out;
}

std::string CustomMediaName(double widthMm, double lengthMm) {
  char name[64];
  std::snprintf(name, sizeof name, "custom_%.2fx%.2fmm", widthMm, lengthMm);
  return name;
}

}  // namespace tessivo::platform
