// Scanning methods of cImaging: thin calls into the tvtwain library, and its scanned blocks
// made into registered images.
#include <memory>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/platform_result.h"
#include "platform/win/gdi_objects.h"
#include "platform/win/packed_dib.h"
#include "tessivo/imaging.h"
#include "transfer/twain_file.h"
#include "transfer/twain_image.h"
#include "transfer/twain_library.h"

namespace tessivo {

namespace {

// Most calls answer 1 for success; an absent library answers False.
bool Succeeded(int32_t (*call)()) { return call() == 1; }

// Frees a scanned block on every path: the toolkit copies the pixels it keeps.
struct ScanBlock {
  const TwainLibrary* twain;
  tvtwain_image* image;
  ~ScanBlock() {
    if (image) twain->FreeNative(image);
  }
};

// One page from the open source through the native transfer, into `block`. The statuses say
// why there is none: cancelled, a device failure, too big, or no source open (TwainError).
TessivoStatus ScanPage(const TwainLibrary& t, intptr_t hwnd, ScanBlock& block,
                       tvtwain_image_info& info) {
  if (t.State() == TWAIN_SOURCE_OPEN) t.SetTransferMechanism(0);
  block.image = t.AcquireNative(hwnd);
  if (!block.image) {
    if (t.UserClosedSource() == 1) return TwainTransferCanceled;
    if (t.GetLastConditionCode() == TWCC_LOWMEMORY) return OutOfMemory;
    if (t.XferFail() == 1) return TwainTransferError;
    return TwainError;
  }
  return t.GetImageInfo(block.image, &info) == 1 ? OK : TwainError;
}

// One page as a bitmap of its own.
TessivoStatus ScanToBitmap(const TwainLibrary& t, intptr_t hwnd,
                           std::unique_ptr<platform::Bitmap>& bitmap) {
  ScanBlock block{&t, nullptr};
  tvtwain_image_info info{};
  const TessivoStatus status = ScanPage(t, hwnd, block, info);
  return status == OK ? BitmapFromScan(info, bitmap) : status;
}

// The number of names the library's device walk answers (bounded, in case a walk never ends).
constexpr int32_t kMaxSources = 4096;

}  // namespace

bool cImaging::TwainIsAvailable() {
  const TwainLibrary* t = Twain();
  return t && t->IsAvailable() == 1;
}

TwainStatus cImaging::TwainGetState() {
  const TwainLibrary* t = Twain();
  return t ? static_cast<TwainStatus>(t->State()) : TWAIN_ERROR;
}

bool cImaging::TwainSetDSMPath(const std::string& sDSMPath) {
  const TwainLibrary* t = Twain();
  return t && t->SetDSMPath(sDSMPath.c_str()) == 1;
}

bool cImaging::TwainOpenSource(const std::string& sSourceName) {
  const TwainLibrary* t = Twain();
  return t && t->OpenSource(sSourceName.c_str()) == 1;
}

bool cImaging::TwainOpenDefaultSource() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->OpenDefaultSource);
}

bool cImaging::TwainCloseSource() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->CloseSource);
}

bool cImaging::TwainCloseSourceManager() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->CloseSourceManager);
}

bool cImaging::TwainUnloadSourceManager() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->UnloadSourceManager);
}

std::string cImaging::TwainGetCurrentSourceName() {
  const TwainLibrary* t = Twain();
  return t ? TwainString(t->GetCurrentSourceName) : std::string();
}

std::string cImaging::TwainGetDefaultSourceName() {
  const TwainLibrary* t = Twain();
  if (!t || t->OpenSourceManager(0) != 1) return {};
  return TwainString(t->GetDefaultSourceName);
}

int32_t cImaging::TwainGetSourceCount() {
  const TwainLibrary* t = Twain();
  if (!t) return 0;
  if (t->State() < TWAIN_SM_OPEN && t->OpenSourceManager(0) != 1) return 0;
  int32_t count = 0;
  for (std::string name = TwainString(t->GetFirstSourceName); !name.empty() && count < kMaxSources;
       name = TwainString(t->GetNextSourceName))
    ++count;
  return count;
}

std::string cImaging::TwainGetSourceName(int32_t nSourceNo) {
  const TwainLibrary* t = Twain();
  if (!t || nSourceNo < 1 || nSourceNo > kMaxSources) return {};
  if (t->State() < TWAIN_SM_OPEN && t->OpenSourceManager(0) != 1) return {};
  std::string name = TwainString(t->GetFirstSourceName);
  for (int32_t i = 1; i < nSourceNo && !name.empty(); ++i) name = TwainString(t->GetNextSourceName);
  return name;
}

TwainResultCode cImaging::TwainGetLastResultCode() {
  const TwainLibrary* t = Twain();
  return static_cast<TwainResultCode>(t ? t->GetLastResultCode() : 0);
}

TwainConditionCode cImaging::TwainGetLastConditionCode() {
  const TwainLibrary* t = Twain();
  return static_cast<TwainConditionCode>(t ? t->GetLastConditionCode() : 0);
}

bool cImaging::TwainUserClosedSource() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->UserClosedSource);
}

bool cImaging::TwainLastXferFail() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->XferFail);
}

bool cImaging::TwainSetHideUI(bool bHideUI) {
  const TwainLibrary* t = Twain();
  return t && t->SetHideUI(bHideUI ? 1 : 0) == 1;
}

bool cImaging::TwainGetHideUI() {
  const TwainLibrary* t = Twain();
  return t && Succeeded(t->GetHideUI);
}

bool cImaging::TwainIsDeviceOnline() {
  // Online while an open source answers: reading its pixel type asks the device.
  const TwainLibrary* t = Twain();
  return t && t->State() >= TWAIN_SOURCE_OPEN && t->GetPixelType() >= 0;
}

int32_t cImaging::TwainAcquireToTessivoImage(intptr_t hwnd) {
  ImagingState& st = *state_;
  const TwainLibrary* t = Twain();
  if (!t) {
    st.Set(WrongTvTwainVersion);
    return 0;
  }
  return Guarded(st, 0, [&]() -> int32_t {
    // The image lies over the scanned block, which it keeps until it goes: a page is not
    // copied once more after it arrived.
    ScanBlock block{t, nullptr};
    tvtwain_image_info info{};
    TessivoStatus status = ScanPage(*t, hwnd, block, info);
    std::unique_ptr<platform::Bitmap> over;
    if (status == OK) status = BitmapOverScan(info, over);
    if (status != OK) {
      st.Set(status);
      return 0;
    }
    over->SetRawFormat(platform::RawFormat::MemoryBMP);
    tvtwain_image* scanned = block.image;
    block.image = nullptr;
    std::shared_ptr<platform::Bitmap> bitmap(over.release(), [t, scanned](platform::Bitmap* b) {
      delete b;
      t->FreeNative(scanned);
    });
    int32_t id = 0;
    RegisterImage(id, std::move(bitmap), "", "", OriginMemory);
    st.nativeImage = id;
    st.Set(OK);
    return id;
  });
}

TessivoStatus cImaging::TwainAcquireToFile(const std::string& sFilePath, intptr_t hwnd) {
  ImagingState& st = *state_;
  const TwainLibrary* t = Twain();
  if (!t) return st.Set(WrongTvTwainVersion);
  return GuardedStatus(st, [&] {
    if (t->State() < TWAIN_SOURCE_OPEN) return st.Set(BadTwainState);
    if (sFilePath.empty()) return st.Set(InvalidParameter);
    // The page is only read while it is written, so the file is encoded from the scanned
    // block itself rather than from a copy of it.
    ScanBlock block{t, nullptr};
    tvtwain_image_info info{};
    TessivoStatus status = ScanPage(*t, hwnd, block, info);
    std::unique_ptr<platform::Bitmap> bitmap;
    if (status == OK) status = BitmapOverScan(info, bitmap);
    if (status != OK) return st.Set(status);
    return st.Set(WriteScanFile(*bitmap, sFilePath));
  });
}

int32_t cImaging::CreateImageFromTwain(intptr_t hwnd) { return TwainAcquireToTessivoImage(hwnd); }

int32_t cImaging::TwainAcquireToDib(intptr_t hwnd) {
  ImagingState& st = *state_;
  const TwainLibrary* t = Twain();
  if (!t) {
    st.Set(WrongTvTwainVersion);
    return 0;
  }
  return Guarded(st, 0, [&]() -> int32_t {
    std::unique_ptr<platform::Bitmap> bitmap;
    const TessivoStatus status = ScanToBitmap(*t, hwnd, bitmap);
    if (status != OK) {
      st.Set(status);
      return 0;
    }
    std::vector<uint8_t> dib;
    platform::Status packed = platform::win::PackDib(*bitmap, dib);
    if (packed != platform::Status::Ok) return st.Set(StatusOf(packed)), 0;
    const int32_t block = platform::win::GlobalAllocCopy(dib.data(), dib.size());
    st.Set(block ? OK : OutOfMemory);
    return block;
  });
}

TwainPixelType cImaging::TwainGetCurrentPixelType() {
  const TwainLibrary* t = Twain();
  const int32_t type = t ? t->GetPixelType() : -1;
  return static_cast<TwainPixelType>(type < 0 ? 0 : type);
}

bool cImaging::TwainSetCurrentPixelType(TwainPixelType nPixelType) {
  const TwainLibrary* t = Twain();
  return t && t->SetCurrentPixelType(nPixelType) == 1;
}

int32_t cImaging::TwainGetCurrentBitDepth() {
  const TwainLibrary* t = Twain();
  return t ? t->GetBitDepth() : 0;
}

bool cImaging::TwainSetCurrentBitDepth(int32_t nBitDepth) {
  const TwainLibrary* t = Twain();
  return t && t->SetBitDepth(nBitDepth) == 1;
}

double cImaging::TwainGetCurrentResolution() {
  const TwainLibrary* t = Twain();
  return t ? t->GetCurrentResolution() : 0.0;
}

bool cImaging::TwainSetCurrentResolution(double nResolution) {
  const TwainLibrary* t = Twain();
  return t && t->SetCurrentResolution(nResolution) == 1;
}

}  // namespace tessivo
