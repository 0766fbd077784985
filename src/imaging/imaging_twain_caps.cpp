// Capability methods of cImaging: the generic get/set of any capability and the named forms,
// each one call (or a short walk) into the tvtwain library. An absent library answers
// False, 0 or "".
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tessivo/imaging.h"
#include "transfer/twain_library.h"

namespace tessivo {

namespace {

constexpr int32_t kAvailable = 1;  // the library's get request
constexpr int32_t kCurrent = 2;    // its get-current request
constexpr int32_t kMaxStrings = 4096;

// Capabilities whose values are strings.
bool IsStringCap(int32_t cap) {
  switch (cap) {
    case ICAP_HALFTONES:
    case CAP_AUTHOR:
    case CAP_CAPTION:
    case CAP_TIMEDATE:
    case CAP_DEVICETIMEDATE:
    case CAP_PRINTERSTRING:
    case CAP_PRINTERSUFFIX:
    case CAP_SERIALNUMBER:
      return true;
    default:
      return false;
  }
}

std::vector<double> Numbers(const TwainLibrary* t, int32_t cap, int32_t message) {
  if (!t) return {};
  const int32_t n = t->GetCapNumbers(cap, message, nullptr, 0);
  if (n <= 0) return {};
  std::vector<double> values(static_cast<size_t>(n));
  const int32_t again = t->GetCapNumbers(cap, message, values.data(), n);
  if (again < 0) return {};
  values.resize(static_cast<size_t>(std::min(n, again)));
  return values;
}

bool StringAt(const TwainLibrary* t, int32_t cap, int32_t message, int32_t index,
              std::string& value) {
  if (!t) return false;
  const int32_t n = t->GetCapString(cap, message, index, nullptr, 0);
  if (n < 0) return false;
  std::vector<char> buffer(static_cast<size_t>(n) + 1, '\0');
  if (t->GetCapString(cap, message, index, buffer.data(), n + 1) < 0) return false;
  value.assign(buffer.data(), std::min<size_t>(static_cast<size_t>(n), buffer.size() - 1));
  return true;
}

std::vector<std::string> Strings(const TwainLibrary* t, int32_t cap, int32_t message) {
  std::vector<std::string> values;
  std::string value;
  for (int32_t i = 0; i < kMaxStrings && StringAt(t, cap, message, i, value); ++i)
    values.push_back(value);
  return values;
}

bool CurrentNumber(const TwainLibrary* t, int32_t cap, double& value) {
  std::vector<double> v = Numbers(t, cap, kCurrent);
  if (v.empty()) return false;
  value = v[0];
  return true;
}

bool CurrentIsOne(const TwainLibrary* t, int32_t cap) {
  double v = 0;
  return CurrentNumber(t, cap, v) && v == 1;
}

// The values offered include TRUE.
bool OffersTrue(const TwainLibrary* t, int32_t cap) {
  std::vector<double> v = Numbers(t, cap, kAvailable);
  return std::find(v.begin(), v.end(), 1.0) != v.end();
}

int32_t ToLong(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int32_t>(std::clamp(std::round(v), -2147483648.0, 2147483647.0));
}

int32_t FillLongs(const std::vector<double>& values, SafeArray<int32_t>& out) {
  std::vector<int32_t> longs;
  longs.reserve(values.size());
  for (double v : values) longs.push_back(ToLong(v));
  out = SafeArray<int32_t>::FromVector(std::move(longs));
  return static_cast<int32_t>(values.size());
}

int32_t FillDoubles(std::vector<double> values, SafeArray<double>& out) {
  const auto n = static_cast<int32_t>(values.size());
  out = SafeArray<double>::FromVector(std::move(values));
  return n;
}

// The n-th (1-based) value offered, 0 past the count.
double NumberNo(const TwainLibrary* t, int32_t cap, int32_t n) {
  if (n < 1) return 0;
  std::vector<double> v = Numbers(t, cap, kAvailable);
  return n <= static_cast<int32_t>(v.size()) ? v[static_cast<size_t>(n - 1)] : 0;
}

bool SetNumber(const TwainLibrary* t, int32_t cap, int32_t itemType, double value) {
  return t && t->SetCapOneValue(cap, itemType, value) == 1;
}

// Whether the source takes `value` for `cap`: tried, then the previous value put back.
bool Accepts(const TwainLibrary* t, int32_t cap, double value, bool& readable) {
  double previous = 0;
  readable = CurrentNumber(t, cap, previous);
  if (!readable) return false;
  const bool accepted = SetNumber(t, cap, TWTY_BOOL, value);
  SetNumber(t, cap, TWTY_BOOL, previous);
  return accepted;
}

}  // namespace

int32_t cImaging::TwainGetAvailableCapValuesCount(TwainCapabilities nCap) {
  const TwainLibrary* t = Twain();
  if (IsStringCap(nCap)) return static_cast<int32_t>(Strings(t, nCap, kAvailable).size());
  return static_cast<int32_t>(Numbers(t, nCap, kAvailable).size());
}

int32_t cImaging::TwainGetAvailableCapValuesNumeric(TwainCapabilities nCap,
                                                    SafeArray<double>& arValues) {
  return FillDoubles(Numbers(Twain(), nCap, kAvailable), arValues);
}

int32_t cImaging::TwainGetAvailableCapValuesString(TwainCapabilities nCap,
                                                   SafeArray<std::string>& arValues) {
  std::vector<std::string> values = Strings(Twain(), nCap, kAvailable);
  const auto n = static_cast<int32_t>(values.size());
  arValues = SafeArray<std::string>::FromVector(std::move(values));
  return n;
}

double cImaging::TwainGetAvailableCapValueNoNumeric(TwainCapabilities nCap, int32_t nValueNo) {
  return NumberNo(Twain(), nCap, nValueNo);
}

std::string cImaging::TwainGetAvailableCapValueNoString(TwainCapabilities nCap, int32_t nValueNo) {
  std::string value;
  if (nValueNo < 1 || !StringAt(Twain(), nCap, kAvailable, nValueNo - 1, value)) return {};
  return value;
}

bool cImaging::TwainGetCapCurrentNumeric(TwainCapabilities nCap, double& nValue) {
  return CurrentNumber(Twain(), nCap, nValue);
}

bool cImaging::TwainGetCapCurrentString(TwainCapabilities nCap, std::string& sValue) {
  return StringAt(Twain(), nCap, kCurrent, 0, sValue);
}

bool cImaging::TwainGetCapRangeNumeric(TwainCapabilities nCap, double& nMinimum, double& nMaximum,
                                       double& nStep) {
  const TwainLibrary* t = Twain();
  double lo = 0, hi = 0, step = 0;
  if (!t || t->GetCapRange(nCap, &lo, &hi, &step) != 1) return false;
  nMinimum = lo, nMaximum = hi, nStep = step;
  return true;
}

bool cImaging::TwainSetCapCurrentNumeric(TwainCapabilities nCap, TwainItemTypes nItemType,
                                         int32_t nValue) {
  // A whole number in every item type, TWTY_FIX32 included (whole part nValue, fraction 0);
  // the library refuses what the type cannot hold.
  return SetNumber(Twain(), nCap, nItemType, nValue);
}

bool cImaging::TwainSetCapCurrentString(TwainCapabilities nCap, TwainItemTypes nItemType,
                                        const std::string& sValue) {
  const TwainLibrary* t = Twain();
  return t && t->SetCapOneValueS(nCap, nItemType, sValue.c_str()) == 1;
}

bool cImaging::TwainResetCap(TwainCapabilities nCap) {
  const TwainLibrary* t = Twain();
  return t && t->Reset(nCap) == 1;
}

TwainItemTypes cImaging::TwainGetCapItemType(TwainCapabilities nCap) {
  const TwainLibrary* t = Twain();
  const int32_t type = t ? t->GetCapItemType(nCap) : -1;
  return static_cast<TwainItemTypes>(type < 0 ? 0 : type);
}

#define TESSIVO_TWAIN_LONG_LIST(Name, Cap)                                                     \
  int32_t cImaging::TwainGetAvailable##Name(SafeArray<int32_t>& arValues) {                    \
    return FillLongs(Numbers(Twain(), Cap, kAvailable), arValues);                            \
  }
#define TESSIVO_TWAIN_DOUBLE_LIST(Name, Cap)                                                   \
  int32_t cImaging::TwainGetAvailable##Name(SafeArray<double>& arValues) {                     \
    return FillDoubles(Numbers(Twain(), Cap, kAvailable), arValues);                          \
  }
#define TESSIVO_TWAIN_COUNT(Name, Cap)                                                         \
  int32_t cImaging::TwainGetAvailable##Name() {                                                \
    return static_cast<int32_t>(Numbers(Twain(), Cap, kAvailable).size());                     \
  }

TESSIVO_TWAIN_LONG_LIST(ImageFileFormat, ICAP_IMAGEFILEFORMAT)
TESSIVO_TWAIN_COUNT(ImageFileFormatCount, ICAP_IMAGEFILEFORMAT)
int32_t cImaging::TwainGetAvailableImageFileFormatNo(int32_t nValueNo) {
  return ToLong(NumberNo(Twain(), ICAP_IMAGEFILEFORMAT, nValueNo));
}
bool cImaging::TwainSetCurrentImageFileFormat(TwainImageFileFormats nImageFileFormat) {
  return SetNumber(Twain(), ICAP_IMAGEFILEFORMAT, TWTY_UINT16, nImageFileFormat);
}
TwainImageFileFormats cImaging::TwainGetCurrentImageFileFormat() {
  double v = 0;
  return static_cast<TwainImageFileFormats>(CurrentNumber(Twain(), ICAP_IMAGEFILEFORMAT, v) ? ToLong(v) : 0);
}

TESSIVO_TWAIN_LONG_LIST(Compression, ICAP_COMPRESSION)
TESSIVO_TWAIN_COUNT(CompressionCount, ICAP_COMPRESSION)
int32_t cImaging::TwainGetAvailableCompressionNo(int32_t nValueNo) {
  return ToLong(NumberNo(Twain(), ICAP_COMPRESSION, nValueNo));
}
bool cImaging::TwainSetCurrentCompression(TwainCompression nCompression) {
  return SetNumber(Twain(), ICAP_COMPRESSION, TWTY_UINT16, nCompression);
}
TwainCompression cImaging::TwainGetCurrentCompression() {
  double v = 0;
  return static_cast<TwainCompression>(CurrentNumber(Twain(), ICAP_COMPRESSION, v) ? ToLong(v) : 0);
}

TESSIVO_TWAIN_DOUBLE_LIST(Brightness, ICAP_BRIGHTNESS)
TESSIVO_TWAIN_COUNT(BrightnessCount, ICAP_BRIGHTNESS)
double cImaging::TwainGetAvailableBrightnessNo(int32_t nValueNo) {
  return NumberNo(Twain(), ICAP_BRIGHTNESS, nValueNo);
}
TESSIVO_TWAIN_DOUBLE_LIST(Contrast, ICAP_CONTRAST)
TESSIVO_TWAIN_COUNT(ContrastCount, ICAP_CONTRAST)
double cImaging::TwainGetAvailableContrastNo(int32_t nValueNo) {
  return NumberNo(Twain(), ICAP_CONTRAST, nValueNo);
}
TESSIVO_TWAIN_LONG_LIST(BitDepths, ICAP_BITDEPTH)
TESSIVO_TWAIN_COUNT(BitDepthsCount, ICAP_BITDEPTH)
int32_t cImaging::TwainGetAvailableBitDepthNo(int32_t nValueNo) {
  return ToLong(NumberNo(Twain(), ICAP_BITDEPTH, nValueNo));
}
TESSIVO_TWAIN_LONG_LIST(PixelTypes, ICAP_PIXELTYPE)
TESSIVO_TWAIN_COUNT(PixelTypesCount, ICAP_PIXELTYPE)
int32_t cImaging::TwainGetAvailablePixelTypeNo(int32_t nValueNo) {
  return ToLong(NumberNo(Twain(), ICAP_PIXELTYPE, nValueNo));
}
bool cImaging::TwainIsPixelTypeAvailable(TwainPixelType nPixelType) {
  std::vector<double> v = Numbers(Twain(), ICAP_PIXELTYPE, kAvailable);
  return std::find(v.begin(), v.end(), static_cast<double>(nPixelType)) != v.end();
}
TESSIVO_TWAIN_DOUBLE_LIST(XResolutions, ICAP_XRESOLUTION)
TESSIVO_TWAIN_COUNT(XResolutionsCount, ICAP_XRESOLUTION)
double cImaging::TwainGetAvailableXResolutionNo(int32_t nValueNo) {
  return NumberNo(Twain(), ICAP_XRESOLUTION, nValueNo);
}
TESSIVO_TWAIN_DOUBLE_LIST(YResolutions, ICAP_YRESOLUTION)
TESSIVO_TWAIN_COUNT(YResolutionsCount, ICAP_YRESOLUTION)
double cImaging::TwainGetAvailableYResolutionNo(int32_t nValueNo) {
  return NumberNo(Twain(), ICAP_YRESOLUTION, nValueNo);
}
TESSIVO_TWAIN_LONG_LIST(PaperSize, ICAP_SUPPORTEDSIZES)
TESSIVO_TWAIN_COUNT(PaperSizeCount, ICAP_SUPPORTEDSIZES)
int32_t cImaging::TwainGetAvailablePaperSizeNo(int32_t nValueNo) {
  return ToLong(NumberNo(Twain(), ICAP_SUPPORTEDSIZES, nValueNo));
}
TESSIVO_TWAIN_COUNT(BarCodeTypeCount, ICAP_SUPPORTEDBARCODETYPES)
TwainBarCodeType cImaging::TwainGetAvailableBarCodeTypeNo(int32_t nValueNo) {
  return static_cast<TwainBarCodeType>(ToLong(NumberNo(Twain(), ICAP_SUPPORTEDBARCODETYPES, nValueNo)));
}

#undef TESSIVO_TWAIN_LONG_LIST
#undef TESSIVO_TWAIN_DOUBLE_LIST
#undef TESSIVO_TWAIN_COUNT

bool cImaging::TwainIsFileTransferModeAvailable() {
  std::vector<double> v = Numbers(Twain(), ICAP_XFERMECH, kAvailable);
  return std::find(v.begin(), v.end(), 1.0) != v.end();
}

bool cImaging::TwainHasFeeder() {
  bool readable = false;
  return Accepts(Twain(), CAP_FEEDERENABLED, 1, readable);
}

bool cImaging::TwainHasFlatBed() {
  bool readable = false;
  const bool accepted = Accepts(Twain(), CAP_FEEDERENABLED, 0, readable);
  return accepted || !readable;
}

bool cImaging::TwainSelectFeeder(bool bFeeder) {
  return SetNumber(Twain(), CAP_FEEDERENABLED, TWTY_BOOL, bFeeder ? 1 : 0);
}

bool cImaging::TwainIsFeederSelected() { return CurrentIsOne(Twain(), CAP_FEEDERENABLED); }
bool cImaging::TwainIsFeederLoaded() { return CurrentIsOne(Twain(), CAP_FEEDERLOADED); }
bool cImaging::TwainIsDuplexEnabled() { return CurrentIsOne(Twain(), CAP_DUPLEXENABLED); }

double cImaging::TwainGetCurrentThreshold() {
  double v = 0;
  return CurrentNumber(Twain(), ICAP_THRESHOLD, v) ? v : 0;
}

bool cImaging::TwainSetCurrentThreshold(double nThreshold) {
  return SetNumber(Twain(), ICAP_THRESHOLD, TWTY_FIX32, nThreshold);
}

bool cImaging::TwainHasCameraPreviewUI() { return CurrentIsOne(Twain(), CAP_CAMERAPREVIEWUI); }

int32_t cImaging::TwainGetCurrentPlanarChunky() {
  double v = 0;
  return CurrentNumber(Twain(), ICAP_PLANARCHUNKY, v) ? ToLong(v) : 0;
}

bool cImaging::TwainSetCurrentPlanarChunky(int32_t nPlanarChunky) {
  return SetNumber(Twain(), ICAP_PLANARCHUNKY, TWTY_UINT16, nPlanarChunky);
}

int32_t cImaging::TwainGetCurrentPixelFlavor() {
  double v = 0;
  return CurrentNumber(Twain(), ICAP_PIXELFLAVOR, v) ? ToLong(v) : 0;
}

bool cImaging::TwainSetCurrentPixelFlavor(int32_t nPixelFlavor) {
  return SetNumber(Twain(), ICAP_PIXELFLAVOR, TWTY_UINT16, nPixelFlavor);
}

// The Boolean switches: offered (TRUE among the values), enabled (current TRUE), set.
#define TESSIVO_TWAIN_SWITCH(Name, Cap)                                                        \
  bool cImaging::TwainIs##Name##Available() { return OffersTrue(Twain(), Cap); }              \
  bool cImaging::TwainIs##Name##Enabled() { return CurrentIsOne(Twain(), Cap); }

TESSIVO_TWAIN_SWITCH(AutomaticBorderDetection, ICAP_AUTOMATICBORDERDETECTION)
TESSIVO_TWAIN_SWITCH(BarcodeDetection, ICAP_BARCODEDETECTIONENABLED)
TESSIVO_TWAIN_SWITCH(AutomaticDeskew, ICAP_AUTOMATICDESKEW)
TESSIVO_TWAIN_SWITCH(AutomaticDiscardBlankPages, ICAP_AUTODISCARDBLANKPAGES)
TESSIVO_TWAIN_SWITCH(AutomaticRotation, ICAP_AUTOMATICROTATE)
TESSIVO_TWAIN_SWITCH(AutoScan, CAP_AUTOSCAN)
TESSIVO_TWAIN_SWITCH(AutoFeed, CAP_AUTOFEED)
TESSIVO_TWAIN_SWITCH(AutoSize, ICAP_AUTOSIZE)
TESSIVO_TWAIN_SWITCH(AutoBrightness, ICAP_AUTOBRIGHT)
#undef TESSIVO_TWAIN_SWITCH

bool cImaging::TwainIsAutoFeedOn() { return TwainIsAutoFeedEnabled(); }

bool cImaging::TwainSetBarcodeDetection(bool bEnable) {
  return SetNumber(Twain(), ICAP_BARCODEDETECTIONENABLED, TWTY_BOOL, bEnable ? 1 : 0);
}

bool cImaging::TwainSetAutomaticDiscardBlankPages(bool bEnable) {
  // TWBP_AUTO (-1) discards blank pages, TWBP_DISABLE (-2) keeps them.
  return SetNumber(Twain(), ICAP_AUTODISCARDBLANKPAGES, TWTY_INT32, bEnable ? -1 : -2);
}

bool cImaging::TwainSetAutoSize(bool bEnable) {
  // TWAS_AUTO (1) or TWAS_NONE (0).
  return SetNumber(Twain(), ICAP_AUTOSIZE, TWTY_UINT16, bEnable ? 1 : 0);
}

#define TESSIVO_TWAIN_SETTER(Method, Export)                                                   \
  bool cImaging::Method(bool bEnable) {                                                        \
    const TwainLibrary* t = Twain();                                                           \
    return t && t->Export(bEnable ? 1 : 0) == 1;                                               \
  }

TESSIVO_TWAIN_SETTER(TwainSetAutoScan, SetAutoScan)
TESSIVO_TWAIN_SETTER(TwainSetAutoFeed, SetAutoFeed)
TESSIVO_TWAIN_SETTER(TwainSetAutoBrightness, SetAutoBright)
TESSIVO_TWAIN_SETTER(TwainSetAutomaticBorderDetection, AutomaticBorderDetection)
TESSIVO_TWAIN_SETTER(TwainSetAutomaticDeskew, AutomaticDeskew)
TESSIVO_TWAIN_SETTER(TwainSetAutomaticRotation, AutomaticRotate)
TESSIVO_TWAIN_SETTER(TwainEnableDuplex, EnableDuplex)
#undef TESSIVO_TWAIN_SETTER

double cImaging::TwainGetCurrentBrightness() {
  const TwainLibrary* t = Twain();
  return t ? t->GetBrightness() : 0.0;
}

bool cImaging::TwainSetCurrentBrightness(double nBrightness) {
  const TwainLibrary* t = Twain();
  return t && t->SetBrightness(nBrightness) == 1;
}

double cImaging::TwainGetCurrentContrast() {
  const TwainLibrary* t = Twain();
  return t ? t->GetContrast() : 0.0;
}

bool cImaging::TwainSetCurrentContrast(double nContrast) {
  const TwainLibrary* t = Twain();
  return t && t->SetContrast(nContrast) == 1;
}

TwainPaperSize cImaging::TwainGetPaperSize() {
  const TwainLibrary* t = Twain();
  return static_cast<TwainPaperSize>(t ? t->GetPaperSize() : 0);
}

bool cImaging::TwainSetPaperSize(TwainPaperSize nPaperSize) {
  const TwainLibrary* t = Twain();
  return t && t->SetPaperSize(nPaperSize) == 1;
}

double cImaging::TwainGetPhysicalWidth() {
  const TwainLibrary* t = Twain();
  return t ? t->GetPhysicalWidth() : 0.0;
}

double cImaging::TwainGetPhysicalHeight() {
  const TwainLibrary* t = Twain();
  return t ? t->GetPhysicalHeight() : 0.0;
}

bool cImaging::TwainSetImageLayout(double nLeft, double nTop, double nRight, double nBottom) {
  const TwainLibrary* t = Twain();
  return t && t->SetImageLayout(nLeft, nTop, nRight, nBottom) == 1;
}

bool cImaging::TwainGetImageLayout(double& nLeft, double& nTop, double& nRight, double& nBottom) {
  const TwainLibrary* t = Twain();
  return t && t->GetImageLayout(&nLeft, &nTop, &nRight, &nBottom) == 1;
}

bool cImaging::TwainResetImageLayout() {
  const TwainLibrary* t = Twain();
  return t && t->ResetImageLayout() == 1;
}

int32_t cImaging::TwainGetDuplexMode() {
  const TwainLibrary* t = Twain();
  const int32_t mode = t ? t->GetDuplexMode() : -1;
  return mode < 0 ? 0 : mode;
}

}  // namespace tessivo
