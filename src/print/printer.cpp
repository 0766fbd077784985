#include "print/printer.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/print/print_spooler.h"
#include "print/paper_sizes.h"

namespace tessivo {
namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

std::string UpperTrimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::string out = s.substr(b, s.find_last_not_of(" \t") - b + 1);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

int32_t Twips(double mm) { return static_cast<int32_t>(std::nearbyint(mm * kTwipsPerMm)); }

// Paper bins by their platform numbers and the IPP media-source keywords.
struct Bin {
  int32_t code;
  const char* source;
};
constexpr Bin kBins[] = {{1, "top"},      {2, "bottom"},  {3, "middle"}, {4, "manual"},
                         {5, "envelope"}, {7, "auto"},    {8, "tractor"}, {11, "large-capacity"},
                         {14, "main"},    {15, "alternate"}};

const char* BinSource(int32_t code) {
  for (const Bin& b : kBins)
    if (b.code == code) return b.source;
  return nullptr;
}

}  // namespace

int32_t cPrinter::GetPrintersCount() const {
  return static_cast<int32_t>(platform::ListPrintDestinations().size());
}

std::string cPrinter::GetPrinterName(int32_t number) const {
  const auto dests = platform::ListPrintDestinations();
  if (number < 1 || number > static_cast<int32_t>(dests.size())) return "";
  return dests[number - 1].name;
}

std::string cPrinter::GetDefaultPrinter() {
  EnsurePrinter();
  return printer_;
}

bool cPrinter::EnsurePrinter() {
  if (chosen_) return !printer_.empty();
  const auto dests = platform::ListPrintDestinations();
  if (dests.empty()) return false;
  auto def = std::find_if(dests.begin(), dests.end(), [](const auto& d) { return d.isDefault; });
  printer_ = (def != dests.end() ? *def : dests.front()).name;
  chosen_ = true;
  LoadDefaults();
  return true;
}

void cPrinter::LoadDefaults() {
  if (auto media = platform::DestinationMedia(printer_, "")) {
    mediaName_ = media->name;
    paperWidthTwips_ = Twips(media->widthMm);
    paperHeightTwips_ = Twips(media->lengthMm);
    paperCode_ = print::PaperCodeFor(media->name, media->widthMm, media->lengthMm);
  }
  const platform::PrintDefaults d = platform::DestinationDefaults(printer_);
  colorMode_ = d.colorMode == "monochrome" ? 1 : 2;
  duplex_ = d.sides == "two-sided-long-edge" ? 2 : d.sides == "two-sided-short-edge" ? 3 : 1;
  quality_ = d.quality == 3 ? PrintQualityDraft : d.quality == 5 ? PrintQualityHightResolution
                                                                 : PrintQualityMediumResolution;
  paperBin_ = 0;
  paperBinChosen_ = false;
  for (const Bin& b : kBins)
    if (d.mediaSource == b.source) paperBin_ = b.code;
}

bool cPrinter::SelectPrinter(const std::string& name) {
  const std::string wanted = UpperTrimmed(name);
  if (wanted.empty()) return false;
  const auto dests = platform::ListPrintDestinations();
  const platform::PrintDestination* found = nullptr;
  for (const auto& d : dests)
    if (UpperTrimmed(d.name) == wanted) { found = &d; break; }
  if (!found)
    for (const auto& d : dests)
      if (UpperTrimmed(d.name).rfind(wanted, 0) == 0) { found = &d; break; }
  if (!found) return false;
  if (!chosen_ || found->name != printer_) {
    printer_ = found->name;
    chosen_ = true;
    LoadDefaults();
  }
  return true;
}

bool cPrinter::SetPaperSize(int32_t code) {
  if (!EnsurePrinter()) return false;
  const auto paper = print::PaperByCode(code);
  if (!paper) return false;
  auto media = platform::DestinationMedia(printer_, paper->pwgName);
  if (!media) media = platform::DestinationMediaBySize(printer_, paper->widthMm, paper->heightMm);
  if (!media) return false;
  paperCode_ = code;
  mediaName_ = media->name;
  paperWidthTwips_ = Twips(paper->widthMm);
  paperHeightTwips_ = Twips(paper->heightMm);
  return true;
}

int32_t cPrinter::GetPaperSize() {
  EnsurePrinter();
  return paperCode_;
}

void cPrinter::SetUserPaperSize(float widthMm, float heightMm) {
  if (!std::isfinite(widthMm) || !std::isfinite(heightMm) || widthMm < 1 || heightMm < 1 ||
      widthMm > 5000 || heightMm > 5000)
    return;
  if (!EnsurePrinter()) return;
  paperCode_ = print::kPaperUser;
  paperWidthTwips_ = Twips(widthMm);
  paperHeightTwips_ = Twips(heightMm);
  const double w = paperWidthTwips_ / kTwipsPerMm, h = paperHeightTwips_ / kTwipsPerMm;
  auto media = platform::DestinationMediaBySize(printer_, w, h);
  mediaName_ = media ? media->name : platform::CustomMediaName(w, h);
}

float cPrinter::GetPaperWidth() {
  EnsurePrinter();
  const int32_t t = orientation_ == 2 ? paperHeightTwips_ : paperWidthTwips_;
  return static_cast<float>(t * 25.4 / 1440.0);
}

float cPrinter::GetPaperHeight() {
  EnsurePrinter();
  const int32_t t = orientation_ == 2 ? paperWidthTwips_ : paperHeightTwips_;
  return static_cast<float>(t * 25.4 / 1440.0);
}

void cPrinter::Margins(double& left, double& top) {
  left = top = 0;
  if (!EnsurePrinter() || mediaName_.empty()) return;
  auto media = platform::DestinationMedia(printer_, mediaName_);
  if (!media) return;  // a custom sheet the printer does not describe: no margins known
  // Turned to landscape, the sheet's top edge is on the left.
  left = orientation_ == 2 ? media->topMm : media->leftMm;
  top = orientation_ == 2 ? media->leftMm : media->topMm;
}

void cPrinter::GetMargins(float& left, float& top) {
  double l = 0, t = 0;
  Margins(l, t);
  left = static_cast<float>(l);
  top = static_cast<float>(t);
}

void cPrinter::SetCopies(int32_t copies) {
  EnsurePrinter();  // a printer chosen later would load its defaults over this value
  if (copies >= 1 && copies <= 9999) copies_ = copies;
}

void cPrinter::SetOrientation(int16_t orientation) {
  EnsurePrinter();  // a printer chosen later would load its defaults over this value
  if (orientation == 1 || orientation == 2) orientation_ = orientation;
}

void cPrinter::SetColorMode(int32_t mode) {
  EnsurePrinter();  // a printer chosen later would load its defaults over this value
  if (mode == 1 || mode == 2) colorMode_ = mode;
}

int32_t cPrinter::GetColorMode() {
  EnsurePrinter();
  return colorMode_;
}

void cPrinter::SetDuplexMode(int32_t mode) {
  EnsurePrinter();  // a printer chosen later would load its defaults over this value
  if (mode >= 1 && mode <= 3) duplex_ = mode;
}

int32_t cPrinter::GetDuplexMode() {
  EnsurePrinter();
  return duplex_;
}

void cPrinter::SetQuality(int32_t quality) {
  EnsurePrinter();  // a printer chosen later would load its defaults over this value
  if ((quality >= PrintQualityHightResolution && quality <= PrintQualityDraft) || (quality > 0 && quality <= 100000))
    quality_ = quality;
}

int32_t cPrinter::GetQuality() {
  EnsurePrinter();
  return quality_;
}

bool cPrinter::SetPaperBin(int32_t bin) {
  const char* source = BinSource(bin);
  if (!source || !EnsurePrinter()) return false;
  if (!platform::DestinationSupports(printer_, "media-source", source)) return false;
  paperBin_ = bin;
  paperBinChosen_ = true;
  return true;
}

int32_t cPrinter::GetPaperBin() {
  EnsurePrinter();
  return paperBin_;
}

bool cPrinter::SetFromToPage(int32_t from, int32_t to) {
  if (from == 0 && to == 0) {
    pageRange = false;
    return true;
  }
  if (from < 1 || to < 1 || from > to) return false;
  pageRange = true;
  firstPage = from;
  lastPage = to;
  return true;
}

bool cPrinter::Setup(JobSetup& out) {
  if (!EnsurePrinter()) return false;
  out = JobSetup{};
  out.destination = printer_;
  const double w = paperWidthTwips_ / kTwipsPerMm, h = paperHeightTwips_ / kTwipsPerMm;
  out.sheetWidth = orientation_ == 2 ? h : w;
  out.sheetHeight = orientation_ == 2 ? w : h;
  Margins(out.leftMargin, out.topMargin);
  out.media = mediaName_;
  out.copies = copies_;
  out.orientation = orientation_ == 2 ? 4 : 3;
  out.colorMode = colorMode_ == 1 ? "monochrome" : "color";
  out.sides = duplex_ == 2 ? "two-sided-long-edge" : duplex_ == 3 ? "two-sided-short-edge" : "one-sided";
  if (quality_ > 0) out.resolutionDpi = quality_;
  else out.quality = quality_ == PrintQualityHightResolution ? 5 : quality_ == PrintQualityMediumResolution ? 4 : 3;
  if (paperBinChosen_) {
    const char* source = BinSource(paperBin_);
    out.mediaSource = source ? source : "";
  }
  return true;
}

}  // namespace tessivo
