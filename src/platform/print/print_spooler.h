// The system's print spooler (CUPS): its destinations, their media and state, and PDF jobs.
// This is the only place that talks to libcups (loaded on first use, see cups_library.h); the
// toolkit sees plain values. Without a loadable libcups every call answers as a spooler with no
// destinations would. Lengths are millimetres. Every call reads the spooler afresh, so
// destinations that appear or vanish between calls are seen as they are.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::platform {

struct PrintDestination {
  std::string name;
  bool isDefault = false;
};

// One entry of a destination's media database: the sheet and its non-printable margins.
struct PrintMedia {
  std::string name;  // PWG self-describing name, e.g. "iso_a4_210x297mm"
  double widthMm = 0, lengthMm = 0;
  double leftMm = 0, rightMm = 0, topMm = 0, bottomMm = 0;
};

// The defaults a destination reports for new jobs (absent values stay empty or 0).
struct PrintDefaults {
  std::string colorMode;  // print-color-mode-default
  std::string sides;      // sides-default
  int32_t quality = 0;    // print-quality-default (3 draft, 4 normal, 5 high)
  std::string mediaSource;
};

struct PrinterCondition {
  bool found = false;
  int32_t state = 0;         // printer-state: 3 idle, 4 processing, 5 stopped
  std::string reasons;       // printer-state-reasons, comma-separated
  bool acceptingJobs = false;
};

// The IPP job attributes of a job; empty strings and zeros are left out of the request.
struct PrintJobRequest {
  std::string destination;
  std::string title;
  int32_t copies = 1;
  int32_t orientation = 0;   // orientation-requested: 3 portrait, 4 landscape
  std::string colorMode;     // "monochrome" or "color"
  std::string sides;         // "one-sided", "two-sided-long-edge", "two-sided-short-edge"
  std::string media;
  std::string mediaSource;
  int32_t quality = 0;       // print-quality
  int32_t resolutionDpi = 0; // printer-resolution
};

enum class PrintJobResult { Accepted, NoDestination, NotPrinting, Refused, TransferFailed };

struct PrintJobOutcome {
  PrintJobResult result = PrintJobResult::Refused;
  int32_t jobId = 0;
  std::string message;  // the spooler's words on a failure
};

std::vector<PrintDestination> ListPrintDestinations();
// The media database entry named `mediaName`, or the destination's default medium when the
// name is empty. Nothing when the destination or the medium is unknown.
std::optional<PrintMedia> DestinationMedia(const std::string& destination, const std::string& mediaName);
// The database entry of that sheet size (within 0.5 mm), if the destination has one.
std::optional<PrintMedia> DestinationMediaBySize(const std::string& destination, double widthMm,
                                                 double lengthMm);
PrintDefaults DestinationDefaults(const std::string& destination);
// Whether the destination supports `value` for the job attribute `option` (e.g. media-source).
bool DestinationSupports(const std::string& destination, const std::string& option, const std::string& value);
PrinterCondition DestinationCondition(const std::string& destination);

// Submits `pdf`, the pieces of one document in order, as one document. A destination that is stopped, reports an error reason or
// does not accept jobs gets no job (NotPrinting). A job whose document does not reach the
// spooler completely is cancelled before this returns, so nothing half-sent stays queued.
PrintJobOutcome SubmitPdfJob(const PrintJobRequest& request, const std::vector<std::string>& pdf);

// PWG name of a custom sheet size ("custom_WxHmm").
std::string CustomMediaName(double widthMm, double lengthMm);

}  // namespace tessivo::platform
