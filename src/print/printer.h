// cPrinter: the printing settings of one cImaging and the jobs it prints. Printers are the
// spooler's destinations; until one is selected the spooler's default destination is used.
// Selecting a printer loads its defaults (medium, colour mode, sides, quality); the other
// settings persist between jobs.
#pragma once
#include <cstdint>
#include <string>

#include "tessivo/enums_print.h"
#include "tessivo/status.h"

namespace tessivo {

class cPrinter {
 public:
  // Job settings.
  std::string documentName = "Print Process";
  int32_t imageAlignment = 3;
  bool autoRotation = false;
  int32_t firstPage = 1, lastPage = 1;
  bool pageRange = false;
  PrinterStatus status = PrinterOK;
  // Resolution used for the natural size in the forced-resolution mode, which no public
  // operation switches on: images are measured by their own resolution.
  bool forceResolution = false;
  float forcedDpiX = 0, forcedDpiY = 0;

  int32_t GetPrintersCount() const;
  std::string GetPrinterName(int32_t number) const;  // 1-based; "" when there is none
  std::string GetDefaultPrinter();                   // the current printer
  // Exact name (trimmed, without regard to case) first, then the first name it begins.
  bool SelectPrinter(const std::string& name);

  bool SetPaperSize(int32_t code);
  int32_t GetPaperSize();
  void SetUserPaperSize(float widthMm, float heightMm);
  float GetPaperWidth();   // as oriented
  float GetPaperHeight();
  void GetMargins(float& left, float& top);
  void SetCopies(int32_t copies);
  int32_t GetCopies() const { return copies_; }
  void SetOrientation(int16_t orientation);
  int16_t GetOrientation() const { return orientation_; }
  void SetColorMode(int32_t mode);
  int32_t GetColorMode();
  void SetDuplexMode(int32_t mode);
  int32_t GetDuplexMode();
  void SetQuality(int32_t quality);
  int32_t GetQuality();
  bool SetPaperBin(int32_t bin);
  int32_t GetPaperBin();
  bool SetFromToPage(int32_t from, int32_t to);

  // The sheet as the next job prints it (mm, oriented, with margins), and the job attributes.
  // False when there is no printer.
  struct JobSetup {
    std::string destination;
    double sheetWidth = 0, sheetHeight = 0, leftMargin = 0, topMargin = 0;
    std::string media;
    int32_t copies = 1, orientation = 3, quality = 0, resolutionDpi = 0;
    std::string colorMode, sides, mediaSource;
  };
  bool Setup(JobSetup& out);

 private:
  // Picks the default destination when none is chosen yet; false when there is no printer.
  bool EnsurePrinter();
  void LoadDefaults();
  void Margins(double& left, double& top);

  std::string printer_;
  bool chosen_ = false;
  int32_t paperCode_ = 0;
  int32_t paperWidthTwips_ = 0, paperHeightTwips_ = 0;  // portrait
  std::string mediaName_;
  int32_t copies_ = 1;
  int16_t orientation_ = 1;
  int32_t colorMode_ = 2;
  int32_t duplex_ = 1;
  int32_t quality_ = PrintQualityMediumResolution;
  int32_t paperBin_ = 0;
  bool paperBinChosen_ = false;
};

}  // namespace tessivo
