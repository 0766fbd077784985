// Session methods of cImaging's scanning: dialogs (shown by the host), batches of transfers,
// the library's switches and log, and the barcodes of the last page.
#include <string>

#include "tessivo/imaging.h"
#include "transfer/twain_library.h"

namespace tessivo {

namespace {

// A 1-based barcode number within the last page's count.
bool ValidBarcode(const TwainLibrary* t, int32_t n) {
  return t && n >= 1 && n <= t->BarCodeCount();
}

}  // namespace

bool cImaging::TwainSelectSource(intptr_t hwnd) {
  const TwainLibrary* t = Twain();
  return t && t->SelectImageSource(hwnd) == 1;
}

bool cImaging::TwainShowSetupDialogSource(intptr_t hwnd) {
  const TwainLibrary* t = Twain();
  return t && t->SourceSetup(hwnd) == 1;
}

bool cImaging::TwainDisableSource() {
  const TwainLibrary* t = Twain();
  return t && t->DisableSource() == 1;
}

bool cImaging::TwainDisableAutoSourceClose(bool bDisable) {
  const TwainLibrary* t = Twain();
  return t && t->AutoSourceClose(bDisable ? 0 : 1) == 1;
}

bool cImaging::TwainSetApplicationInfo(int32_t nMajorNum, int32_t nMinorNum, TwainLanguage nLanguage,
                                       TwainCountry nCountry, const std::string& sVersionInfo,
                                       const std::string& sManufacturer,
                                       const std::string& sProductFamily,
                                       const std::string& sProductName) {
  const TwainLibrary* t = Twain();
  return t && t->RegisterApp(nMajorNum, nMinorNum, nLanguage, nCountry, sVersionInfo.c_str(),
                             sManufacturer.c_str(), sProductFamily.c_str(),
                             sProductName.c_str()) == 1;
}

bool cImaging::TwainSetMultiTransfer(bool bMultiTransfer) {
  const TwainLibrary* t = Twain();
  return t && t->SetMultiTransfer(bMultiTransfer ? 1 : 0) == 1;
}

bool cImaging::TwainSetXferCount(int32_t nXferCount) {
  const TwainLibrary* t = Twain();
  return t && t->NegotiateXferCount(nXferCount) == 1;
}

bool cImaging::TwainEndXfer() {
  const TwainLibrary* t = Twain();
  return t && t->EndXfer() == 1;
}

bool cImaging::TwainEndAllXfers() {
  const TwainLibrary* t = Twain();
  return t && t->AbortAllPendingXfers() == 1;
}

bool cImaging::TwainSetIndicators(bool bShowIndicators) {
  const TwainLibrary* t = Twain();
  return t && t->SetIndicators(bShowIndicators ? 1 : 0) == 1;
}

bool cImaging::TwainSetErrorMessage(bool bShowError) {
  const TwainLibrary* t = Twain();
  return t && t->SetShowError(bShowError ? 1 : 0) == 1;
}

bool cImaging::TwainSetDebugMode(bool bDebugMode) {
  const TwainLibrary* t = Twain();
  return t && t->SetDebugMode(bDebugMode ? 1 : 0) == 1;
}

bool cImaging::TwainLogStart(const std::string& sLogFilePath) {
  const TwainLibrary* t = Twain();
  return t && t->StartLog(sLogFilePath.c_str()) == 1;
}

bool cImaging::TwainLogStop() {
  const TwainLibrary* t = Twain();
  return t && t->StopLog() == 1;
}

int32_t cImaging::TwainBarCodeGetCount() {
  const TwainLibrary* t = Twain();
  return t ? t->BarCodeCount() : 0;
}

std::string cImaging::TwainBarCodeGetValue(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  if (!ValidBarcode(t, nBarCodeNo)) return {};
  std::string value;
  const int32_t n = t->BarCodeValue(nBarCodeNo, nullptr, 0);
  if (n <= 0) return {};
  value.resize(static_cast<size_t>(n) + 1);
  t->BarCodeValue(nBarCodeNo, value.data(), n + 1);
  value.resize(static_cast<size_t>(n));
  return value;
}

TwainBarCodeType cImaging::TwainBarCodeGetType(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  return static_cast<TwainBarCodeType>(ValidBarcode(t, nBarCodeNo) ? t->BarCodeType(nBarCodeNo) : 0);
}

int32_t cImaging::TwainBarCodeGetXPos(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  return ValidBarcode(t, nBarCodeNo) ? t->BarCodeX(nBarCodeNo) : 0;
}

int32_t cImaging::TwainBarCodeGetYPos(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  return ValidBarcode(t, nBarCodeNo) ? t->BarCodeY(nBarCodeNo) : 0;
}

int32_t cImaging::TwainBarCodeGetConfidence(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  return ValidBarcode(t, nBarCodeNo) ? t->BarCodeConfidence(nBarCodeNo) : 0;
}

TwainBarCodeRotation cImaging::TwainBarCodeGetRotation(int32_t nBarCodeNo) {
  const TwainLibrary* t = Twain();
  return static_cast<TwainBarCodeRotation>(ValidBarcode(t, nBarCodeNo) ? t->BarCodeRotation(nBarCodeNo)
                                                                       : 0);
}

}  // namespace tessivo
