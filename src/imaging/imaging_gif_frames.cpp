// GIF frame methods of cImaging: the frames of the native image and the frame attributes
// (delays, disposals, loop count) GIF documents keep and write when saved.
#include "core/boundary.h"
#include "core/documents.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "imaging/document_access.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

constexpr int32_t kMaxLoopCount = 65536;  // kept as given; files get at most 65535

// The index of public page `page` of GIF document `id`, or -1 when there is no such page.
int64_t PageIndex(const ImageEntry* doc, int32_t page) {
  if (!doc || page < 1 || page > doc->pageCount) return -1;
  return page - 1;
}

}  // namespace

int32_t cImaging::GifGetFrameCount() { return GifGetPageCount(state_->nativeImage); }

TessivoStatus cImaging::GifSelectFrame(int32_t nFrame) { return GifSelectPage(state_->nativeImage, nFrame); }

SafeArray<int32_t> cImaging::GifGetFrameDelay() {
  ImagingState& st = *state_;
  return Guarded(st, SafeArray<int32_t>(), [&] {
    st.Set(OK);
    const ImageEntry* doc = DocumentEntry(st.nativeImage, DocumentFormat::Gif);
    if (!doc) return SafeArray<int32_t>::FromVector({});
    std::vector<int32_t> delays = doc->frameDelays;
    delays.resize(static_cast<size_t>(std::max(doc->pageCount, 0)), 25);
    return SafeArray<int32_t>::FromVector(std::move(delays));
  });
}

int32_t cImaging::GifGetPageTime(int32_t nImageID, int32_t nPage) {
  ImagingState& st = *state_;
  const ImageEntry* doc = DocumentEntry(nImageID, DocumentFormat::Gif);
  const int64_t index = PageIndex(doc, nPage);
  if (index < 0) return st.Set(InvalidParameter), 0;
  st.Set(OK);
  return static_cast<size_t>(index) < doc->frameDelays.size() ? doc->frameDelays[static_cast<size_t>(index)] : 25;
}

TessivoStatus cImaging::GifSetPageTime(int32_t nImageID, int32_t nPage, int32_t nTime) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    ImageEntry* doc = DocumentEntry(nImageID, DocumentFormat::Gif);
    const int64_t index = PageIndex(doc, nPage);
    if (index < 0 || nTime < 1) return st.Set(InvalidParameter);
    doc->frameDelays.resize(static_cast<size_t>(doc->pageCount), 25);
    doc->frameDelays[static_cast<size_t>(index)] = nTime;
    return st.Set(OK);
  });
}

TessivoStatus cImaging::GifSetPageDisposal(int32_t nImageID, int32_t nPage, int32_t nDisposal) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    ImageEntry* doc = DocumentEntry(nImageID, DocumentFormat::Gif);
    const int64_t index = PageIndex(doc, nPage);
    if (index < 0 || nDisposal < 1 || nDisposal > 3) return st.Set(InvalidParameter);
    doc->frameDisposals.resize(static_cast<size_t>(doc->pageCount), -1);
    doc->frameDisposals[static_cast<size_t>(index)] = nDisposal;
    return st.Set(OK);
  });
}

int32_t cImaging::GifGetLoopCount(int32_t nImageID) {
  const ImageEntry* doc = DocumentEntry(nImageID, DocumentFormat::Gif);
  return doc && doc->pageCount > 0 ? doc->loopCount : 0;
}

TessivoStatus cImaging::GifSetLoopCount(int32_t nImageID, int32_t nCount) {
  ImagingState& st = *state_;
  ImageEntry* doc = DocumentEntry(nImageID, DocumentFormat::Gif);
  if (!doc || nCount < 0 || nCount > kMaxLoopCount) return st.Set(InvalidParameter);
  doc->loopCount = nCount;
  return st.Set(OK);
}

TessivoStatus cImaging::GifSetTransparency(int32_t nColor) {
  ImagingState& st = *state_;
  const platform::Bitmap* image = ResolveImage(st.nativeImage);
  if (image && platform::IsIndexed(image->Format())) return ColorPaletteSetTransparentColor(nColor);
  return SetTransparencyColor(nColor);
}

}  // namespace tessivo
