// Cleaning of black-and-white document scans and the 3x3 pattern replacement. Black is a blue
// byte of 0 and white a blue byte of 255: these images arrive as pure black and pure white.
#include <cstdint>

#include "pixel/filter_routines.h"
#include "pixel/rounding.h"

namespace tessivo {
namespace {

bool IsBlack(uint32_t v) { return (v & 0xFF) == 0; }
bool IsWhite(uint32_t v) { return (v & 0xFF) > 254; }
void MakeBlack(uint32_t& v) { v &= 0xFF000000u; }
void MakeWhite(uint32_t& v) { v |= kRGBMask; }

int32_t Mode(const FilterJob& job) { return RoundToInt32(job.params.p); }

}  // namespace

TessivoStatus PatternRoutine(FilterJob& job) {
  const uint32_t* in = job.params.pattern;
  const uint32_t* out = job.params.pattern + 9;
  for (int y = 2; y <= job.height - 1; ++y) {
    for (int x = 2; x <= job.width - 1; ++x) {
      bool match = true;
      for (int j = 0; j < 9 && match; ++j) {
        const int cx = x + j % 3 - 1, cy = y + j / 3 - 1;
        // Red is compared on the source copy, green and blue on the buffer as it is now, so
        // cells replaced by an earlier match count with their new green and blue.
        const uint32_t now = job.At(cx, cy);
        match = Red(job.Source(cx, cy)) == Red(in[j]) && Green(now) == Green(in[j]) &&
                Blue(now) == Blue(in[j]);
      }
      if (!match) continue;
      for (int j = 0; j < 9; ++j) {
        uint32_t& cell = job.At(x + j % 3 - 1, y + j / 3 - 1);
        cell = (cell & 0xFF000000u) | (out[j] & kRGBMask);
      }
    }
  }
  return OK;
}

TessivoStatus Parasite4Routine(FilterJob& job) {
  for (int y = 2; y <= job.height - 1; ++y)
    for (int x = 2; x <= job.width - 1; ++x)
      if (IsBlack(job.Source(x, y)) && IsWhite(job.Source(x - 1, y)) && IsWhite(job.Source(x + 1, y)) &&
          IsWhite(job.Source(x, y - 1)) && IsWhite(job.Source(x, y + 1)))
        MakeWhite(job.At(x, y));
  return OK;
}

TessivoStatus Parasite2x2Routine(FilterJob& job) {
  for (int y = 2; y <= job.height - 2; ++y) {
    for (int x = 2; x <= job.width - 2; ++x) {
      if (!IsBlack(job.Source(x, y)) || !IsBlack(job.Source(x + 1, y)) || !IsBlack(job.Source(x, y + 1)) ||
          !IsBlack(job.Source(x + 1, y + 1)))
        continue;
      bool surrounded = true;
      for (int cy = y - 1; cy <= y + 2 && surrounded; ++cy)
        for (int cx = x - 1; cx <= x + 2 && surrounded; ++cx) {
          const bool inner = cx >= x && cx <= x + 1 && cy >= y && cy <= y + 1;
          if (!inner && !IsWhite(job.Source(cx, cy))) surrounded = false;
        }
      if (!surrounded) continue;
      MakeWhite(job.At(x, y));
      MakeWhite(job.At(x + 1, y));
      MakeWhite(job.At(x, y + 1));
      MakeWhite(job.At(x + 1, y + 1));
    }
  }
  return OK;
}

TessivoStatus DilateBlackRoutine(FilterJob& job) {
  const int32_t mode = Mode(job);
  for (int y = 2; y <= job.height - 1; ++y) {
    for (int x = 2; x <= job.width - 1; ++x) {
      if (!IsBlack(job.Source(x, y))) continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          if (dx == 0 && dy == 0) continue;
          const bool edge = dx == 0 || dy == 0;
          if (mode == 1 || (mode == 2 && edge) || (mode == 3 && dx == 0)) MakeBlack(job.At(x + dx, y + dy));
        }
    }
  }
  return OK;
}

TessivoStatus ErodeBlackRoutine(FilterJob& job) {
  const int32_t mode = Mode(job);
  if (mode != 1 && mode != 2) return OK;
  for (int y = 2; y <= job.height - 1; ++y) {
    for (int x = 2; x <= job.width - 1; ++x) {
      bool allBlack = true;
      for (int dy = -1; dy <= 1 && allBlack; ++dy)
        for (int dx = -1; dx <= 1 && allBlack; ++dx) {
          const bool counted = mode == 2 || dx == 0 || dy == 0;
          if (counted && !IsBlack(job.Source(x + dx, y + dy))) allBlack = false;
        }
      if (!allBlack) MakeWhite(job.At(x, y));
    }
  }
  return OK;
}

TessivoStatus FillHoleRoutine(FilterJob& job) {
  const int32_t mode = Mode(job);
  if (mode == 1) {
    for (int y = 1; y <= job.height; ++y)
      for (int x = 2; x <= job.width - 1; ++x)
        if (IsWhite(job.Source(x, y)) && IsBlack(job.Source(x - 1, y)) && IsBlack(job.Source(x + 1, y)))
          MakeBlack(job.At(x, y));
  } else if (mode == 2) {
    for (int y = 2; y <= job.height - 1; ++y)
      for (int x = 1; x <= job.width; ++x)
        if (IsWhite(job.Source(x, y)) && IsBlack(job.Source(x, y - 1)) && IsBlack(job.Source(x, y + 1)))
          MakeBlack(job.At(x, y));
  }
  return OK;
}

TessivoStatus RemoveLinesRoutine(FilterJob& job) {
  const int32_t direction = Mode(job);
  const int32_t run = RoundToInt32(job.params.d1);
  if ((direction != 1 && direction != 2) || run < 1 || run > 3) return OK;
  // Positions of the run's first pixel: 2..L-1 for runs of 1, 2..L-2 for 2, 3..L-3 for 3.
  const int first = run == 3 ? 3 : 2;
  const int lastOffset = run == 1 ? 1 : (run == 2 ? 2 : 3);
  const bool alongRows = direction == 1;
  const int length = alongRows ? job.width : job.height;
  const int lines = alongRows ? job.height : job.width;
  auto source = [&](int line, int pos) { return alongRows ? job.Source(pos, line) : job.Source(line, pos); };
  auto target = [&](int line, int pos) -> uint32_t& { return alongRows ? job.At(pos, line) : job.At(line, pos); };
  for (int line = 1; line <= lines; ++line) {
    for (int pos = first; pos <= length - lastOffset; ++pos) {
      if (!IsWhite(source(line, pos - 1)) || !IsWhite(source(line, pos + run))) continue;
      bool blackRun = true;
      for (int i = 0; i < run && blackRun; ++i) blackRun = IsBlack(source(line, pos + i));
      if (!blackRun) continue;
      for (int i = 0; i < run; ++i) MakeWhite(target(line, pos + i));
    }
  }
  return OK;
}

}  // namespace tessivo
