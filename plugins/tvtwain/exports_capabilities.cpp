// The C exports of capabilities, batches, dialogs, the log and barcodes: each takes the session
// lock and forwards to the session.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "capability_table.h"
#include "session.h"

#define TVTWAIN_EXPORT extern "C" __attribute__((visibility("default")))

using tvtwain::CapValues;
using tvtwain::Session;
using tvtwain::TheSession;

namespace {

using Lock = std::lock_guard<std::mutex>;

int32_t CopyText(const std::string& text, char* out, int32_t capacity) {
  if (out && capacity > 0) {
    size_t n = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

// Every value of `v` in order; a range is walked from its minimum by its step.
template <typename Visit>
int64_t ForEachValue(const CapValues& v, Visit visit) {
  if (!v.isRange) {
    for (size_t i = 0; i < v.values.size(); ++i) visit(static_cast<int64_t>(i), v.values[i]);
    return static_cast<int64_t>(v.values.size());
  }
  if (!(v.step > 0) || v.maximum < v.minimum) {
    visit(0, v.minimum);
    return 1;
  }
  const double span = (v.maximum - v.minimum) / v.step;
  const int64_t count =
      std::min<int64_t>(static_cast<int64_t>(std::floor(span + 1e-9)) + 1, TVTWAIN_MAX_LISTED);
  for (int64_t i = 0; i < count; ++i) visit(i, v.minimum + static_cast<double>(i) * v.step);
  return count;
}

// A capability's single current value, or NaN when it cannot be read.
double Current(int32_t cap) {
  CapValues v;
  if (!TheSession().GetCap(cap, 2, v) || v.values.empty()) return NAN;
  return v.values[0];
}

int32_t SetSwitch(int32_t cap, int32_t enable) {
  return TheSession().SetCap(cap, tvtwain::TWTY_BOOL, enable ? 1 : 0) ? 1 : 0;
}

}  // namespace

TVTWAIN_EXPORT int32_t TVTWAIN_GetCapNumbers(int32_t cap, int32_t message, double* out,
                                             int32_t capacity) {
  Lock lock(TheSession().mu);
  CapValues v;
  if (!TheSession().GetCap(cap, message, v)) return -1;
  if (!v.strings.empty()) {
    TheSession().Fail(tvtwain::TWCC_BADVALUE);  // a string capability has no numbers
    return -1;
  }
  const int64_t count = ForEachValue(v, [&](int64_t i, double value) {
    if (out && i < capacity) out[i] = value;
  });
  return static_cast<int32_t>(count);
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetCapString(int32_t cap, int32_t message, int32_t index,
                                            char* out, int32_t capacity) {
  Lock lock(TheSession().mu);
  CapValues v;
  if (!TheSession().GetCap(cap, message, v)) return -1;
  if (v.strings.empty()) {
    TheSession().Fail(tvtwain::TWCC_BADVALUE);
    return -1;
  }
  if (index < 0 || static_cast<size_t>(index) >= v.strings.size()) return -1;
  return CopyText(v.strings[static_cast<size_t>(index)], out, capacity);
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetCapRange(int32_t cap, double* minimum, double* maximum,
                                           double* step) {
  Lock lock(TheSession().mu);
  CapValues v;
  if (!TheSession().GetCap(cap, 1, v)) return 0;
  if (!v.isRange) return TheSession().Fail(tvtwain::TWCC_CAPBADOPERATION) ? 1 : 0;
  if (minimum) *minimum = v.minimum;
  if (maximum) *maximum = v.maximum;
  if (step) *step = v.step;
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetCapItemType(int32_t cap) {
  Lock lock(TheSession().mu);
  CapValues v;
  return TheSession().GetCap(cap, 2, v) ? v.itemType : -1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetCapOneValue(int32_t cap, int32_t item_type, double value) {
  Lock lock(TheSession().mu);
  return TheSession().SetCap(cap, item_type, value) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetCapOneValueS(int32_t cap, int32_t item_type, const char* value) {
  Lock lock(TheSession().mu);
  return TheSession().SetCapString(cap, item_type, value ? value : "") ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_Reset(int32_t cap) {
  Lock lock(TheSession().mu);
  return TheSession().ResetCap(cap) ? 1 : 0;
}

TVTWAIN_EXPORT double TVTWAIN_GetBrightness() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::ICAP_BRIGHTNESS);
  return std::isnan(v) ? 0 : v;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetBrightness(double value) {
  Lock lock(TheSession().mu);
  return TheSession().SetCap(tvtwain::ICAP_BRIGHTNESS, tvtwain::TWTY_FIX32, value) ? 1 : 0;
}

TVTWAIN_EXPORT double TVTWAIN_GetContrast() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::ICAP_CONTRAST);
  return std::isnan(v) ? 0 : v;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetContrast(double value) {
  Lock lock(TheSession().mu);
  return TheSession().SetCap(tvtwain::ICAP_CONTRAST, tvtwain::TWTY_FIX32, value) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetPaperSize() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::ICAP_SUPPORTEDSIZES);
  return std::isnan(v) ? 0 : static_cast<int32_t>(v);
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetPaperSize(int32_t size) {
  Lock lock(TheSession().mu);
  return TheSession().SetCap(tvtwain::ICAP_SUPPORTEDSIZES, tvtwain::TWTY_UINT16, size) ? 1 : 0;
}

TVTWAIN_EXPORT double TVTWAIN_GetPhysicalWidth() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::ICAP_PHYSICALWIDTH);
  return std::isnan(v) ? 0 : v;
}

TVTWAIN_EXPORT double TVTWAIN_GetPhysicalHeight() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::ICAP_PHYSICALHEIGHT);
  return std::isnan(v) ? 0 : v;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetImageLayout(double left, double top, double right,
                                              double bottom) {
  Lock lock(TheSession().mu);
  return TheSession().SetLayout(left, top, right, bottom) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetImageLayout(double* left, double* top, double* right,
                                              double* bottom) {
  Lock lock(TheSession().mu);
  double l = 0, t = 0, r = 0, b = 0;
  if (!TheSession().GetLayout(l, t, r, b)) return 0;
  if (left) *left = l;
  if (top) *top = t;
  if (right) *right = r;
  if (bottom) *bottom = b;
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_ResetImageLayout() {
  Lock lock(TheSession().mu);
  return TheSession().ResetLayout() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_EnableDuplex(int32_t enable) {
  Lock lock(TheSession().mu);
  return TheSession().EnableDuplex(enable != 0) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetDuplexMode() {
  Lock lock(TheSession().mu);
  double v = Current(tvtwain::CAP_DUPLEX);
  return std::isnan(v) ? -1 : static_cast<int32_t>(v);
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetAutoFeed(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::CAP_AUTOFEED, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetAutoScan(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::CAP_AUTOSCAN, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetAutoBright(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::ICAP_AUTOBRIGHT, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_AutomaticBorderDetection(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::ICAP_AUTOMATICBORDERDETECTION, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_AutomaticDeskew(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::ICAP_AUTOMATICDESKEW, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_AutomaticRotate(int32_t enable) {
  Lock lock(TheSession().mu);
  return SetSwitch(tvtwain::ICAP_AUTOMATICROTATE, enable);
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetIndicators(int32_t show) {
  Lock lock(TheSession().mu);
  TheSession().indicators = show != 0;
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetShowError(int32_t show) {
  Lock lock(TheSession().mu);
  TheSession().showErrors = show != 0;
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetDebugMode(int32_t debug) {
  Lock lock(TheSession().mu);
  TheSession().debugMode = debug != 0;
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_StartLog(const char* path) {
  Lock lock(TheSession().mu);
  return TheSession().StartLog(path ? path : "") ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_StopLog() {
  Lock lock(TheSession().mu);
  return TheSession().StopLog() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_RegisterApp(int32_t major, int32_t minor, int32_t language,
                                           int32_t country, const char* version_info,
                                           const char* manufacturer, const char* product_family,
                                           const char* product_name) {
  Lock lock(TheSession().mu);
  Session::AppIdentity& app = TheSession().app;
  app.major = major, app.minor = minor, app.language = language, app.country = country;
  app.versionInfo = version_info ? version_info : "";
  app.manufacturer = manufacturer ? manufacturer : "";
  app.family = product_family ? product_family : "";
  app.product = product_name ? product_name : "";
  TheSession().Log("application: " + app.manufacturer + " " + app.product + " " +
                   std::to_string(major) + "." + std::to_string(minor));
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetMultiTransfer(int32_t multi) {
  Lock lock(TheSession().mu);
  return TheSession().SetMultiTransfer(multi != 0) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_NegotiateXferCount(int32_t count) {
  Lock lock(TheSession().mu);
  return TheSession().SetCap(tvtwain::CAP_XFERCOUNT, tvtwain::TWTY_INT16, count) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_EndXfer() {
  Lock lock(TheSession().mu);
  return TheSession().EndTransfer() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_AbortAllPendingXfers() {
  Lock lock(TheSession().mu);
  return TheSession().AbortTransfers() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_DisableSource() {
  Lock lock(TheSession().mu);
  return TheSession().DisableSource() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_AutoSourceClose(int32_t close) {
  Lock lock(TheSession().mu);
  TheSession().autoClose = close != 0;
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetUIHooks(const tvtwain_ui_hooks* hooks) {
  Lock lock(TheSession().mu);
  TheSession().hooks = hooks ? *hooks : tvtwain_ui_hooks{};
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SelectImageSource(intptr_t) {
  Lock lock(TheSession().mu);
  return TheSession().SelectSource() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SourceSetup(intptr_t) {
  Lock lock(TheSession().mu);
  return TheSession().SourceSetup() ? 1 : 0;
}

// SANE reports no barcodes, so every number is past the count: 0 and "" as for any such number.
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeCount() { return 0; }
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeValue(int32_t, char* out, int32_t capacity) {
  return CopyText("", out, capacity);
}
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeType(int32_t) { return 0; }
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeX(int32_t) { return 0; }
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeY(int32_t) { return 0; }
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeConfidence(int32_t) { return 0; }
TVTWAIN_EXPORT int32_t TVTWAIN_BarCodeRotation(int32_t) { return 0; }
