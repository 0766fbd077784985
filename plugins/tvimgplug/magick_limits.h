// ImageMagick's start-up and the limits it runs under inside the plug-in.
#pragma once
#include <chrono>
#include <cstdint>

typedef struct _MagickWand MagickWand;

namespace tvimg {

// Limits on one decode or encode: a hostile file fails with a status instead of exhausting the
// machine. ImageMagick's own policy file may lower them further, never raise them.
struct MagickLimits {
  uint64_t memoryBytes = uint64_t{1} << 30;   // pixel cache in memory
  uint64_t mapBytes = uint64_t{2} << 30;      // pixel cache memory-mapped
  uint64_t diskBytes = uint64_t{2} << 30;     // pixel cache on disk
  uint64_t width = 1u << 16;                  // pixels per side
  uint64_t height = 1u << 16;
  uint64_t area = uint64_t{1} << 28;          // pixels of one image
  uint64_t listLength = 4096;                 // images of one sequence
  std::chrono::seconds timePerOperation{60};
};

// The limits in force.
const MagickLimits& CurrentMagickLimits();

// Starts ImageMagick once per process and applies the limits.
void EnsureMagickReady();

// A deadline for one operation on a wand. ImageMagick 6's own time limit counts from the first
// pixel cache of the process and ends the whole process when it runs out, which no library can
// accept; the plug-in instead stops each operation through its progress monitor.
struct Deadline {
  std::chrono::steady_clock::time_point end =
      std::chrono::steady_clock::now() + CurrentMagickLimits().timePerOperation;
};
void WatchDeadline(MagickWand* wand, Deadline& deadline);

}  // namespace tvimg
