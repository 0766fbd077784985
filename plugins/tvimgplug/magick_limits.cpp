#include "magick_limits.h"

#include <wand/MagickWand.h>

#include <mutex>

#include "decode_limits.h"

namespace tvimg {

const MagickLimits& CurrentMagickLimits() {
  static const MagickLimits limits;
  return limits;
}

void EnsureMagickReady() {
  static std::once_flag once;
  std::call_once(once, [] {
    InstallAllocationGuard();
    MagickWandGenesis();
    const MagickLimits& l = CurrentMagickLimits();
    MagickSetResourceLimit(MemoryResource, l.memoryBytes);
    MagickSetResourceLimit(MapResource, l.mapBytes);
    MagickSetResourceLimit(DiskResource, l.diskBytes);
    MagickSetResourceLimit(WidthResource, l.width);
    MagickSetResourceLimit(HeightResource, l.height);
    MagickSetResourceLimit(AreaResource, l.area);
    MagickSetResourceLimit(ListLengthResource, l.listLength);
    // One thread: the host decides about parallelism, and OpenMP threads would outlive calls.
    MagickSetResourceLimit(ThreadResource, 1);
  });
}

namespace {

MagickBooleanType CheckDeadline(const char*, const MagickOffsetType, const MagickSizeType,
                                void* data) {
  const auto* deadline = static_cast<const Deadline*>(data);
  return std::chrono::steady_clock::now() < deadline->end ? MagickTrue : MagickFalse;
}

}  // namespace

void WatchDeadline(MagickWand* wand, Deadline& deadline) {
  MagickSetProgressMonitor(wand, CheckDeadline, &deadline);
}

}  // namespace tvimg
