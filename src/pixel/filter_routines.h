// The engine's own routines, by family. Each takes the job described in filter_job.h; the
// table in filter_table.cpp gives each its code and whether it reads a source copy.
#pragma once
#include "pixel/filter_job.h"

namespace tessivo {

// 3x3 convolutions (filters_convolution.cpp). The offset colour of the relief family is an
// RGB value in params.p.
TessivoStatus SharpenRoutine(FilterJob& job);      // p = k
TessivoStatus EdgeEnhanceRoutine(FilterJob& job);  // p = k
TessivoStatus BlurRoutine(FilterJob& job);
TessivoStatus SmoothRoutine(FilterJob& job);
TessivoStatus SoftenRoutine(FilterJob& job);       // p = soften value
TessivoStatus ReliefRoutine(FilterJob& job);
TessivoStatus ContourRoutine(FilterJob& job);
TessivoStatus EmbossRoutine(FilterJob& job);
TessivoStatus EmbossMoreRoutine(FilterJob& job);
TessivoStatus EngraveRoutine(FilterJob& job);
TessivoStatus EngraveMoreRoutine(FilterJob& job);

// Rank filters (filters_rank.cpp).
TessivoStatus DilateRoutine(FilterJob& job);
TessivoStatus ErodeRoutine(FilterJob& job);
TessivoStatus ConnectedContourRoutine(FilterJob& job);
TessivoStatus DespeckleRoutine(FilterJob& job);
TessivoStatus DespeckleMoreRoutine(FilterJob& job);
TessivoStatus AquaRoutine(FilterJob& job);

// Point filters (filters_point.cpp).
TessivoStatus NegativeRoutine(FilterJob& job);
TessivoStatus GrayscaleRoutine(FilterJob& job);
TessivoStatus ColorizeRoutine(FilterJob& job);   // f1 hue, f2 saturation, f3 lightness scale
TessivoStatus FireRoutine(FilterJob& job);
TessivoStatus RedEyesRoutine(FilterJob& job);
TessivoStatus ScanLineRoutine(FilterJob& job);
TessivoStatus ThresholdRoutine(FilterJob& job);  // p = RGB value of the threshold
TessivoStatus MarkTransparentRoutine(FilterJob& job);

// Random displacement and noise (filters_random.cpp).
TessivoStatus AddNoiseRoutine(FilterJob& job);  // p = n
TessivoStatus DiffuseRoutine(FilterJob& job);   // p = n

// Dithering (filters_dither.cpp).
TessivoStatus OrderedDitherRoutine(FilterJob& job);
TessivoStatus ErrorDiffusionRoutine(FilterJob& job);  // p = k

// Geometric distortions (filters_distort.cpp).
TessivoStatus PixelizeRoutine(FilterJob& job);  // p = block size
TessivoStatus TwirlRoutine(FilterJob& job);     // p = factor
TessivoStatus SwirlRoutine(FilterJob& job);     // p = factor
TessivoStatus MirrorRoundedRoutine(FilterJob& job);
TessivoStatus HorizontalWavesRoutine(FilterJob& job);  // d1 wave width, d2 wave height
TessivoStatus VerticalWavesRoutine(FilterJob& job);    // d1 wave width, d2 wave height

// Black-and-white document cleaning (filters_document.cpp); p = mode, direction or run length.
TessivoStatus PatternRoutine(FilterJob& job);  // params.pattern: in and out patterns
TessivoStatus Parasite4Routine(FilterJob& job);
TessivoStatus Parasite2x2Routine(FilterJob& job);
TessivoStatus DilateBlackRoutine(FilterJob& job);   // p = 1 eight, 2 four, 3 vertical
TessivoStatus ErodeBlackRoutine(FilterJob& job);    // p = 1 four, 2 eight
TessivoStatus FillHoleRoutine(FilterJob& job);      // p = 1 across rows, 2 across columns
TessivoStatus RemoveLinesRoutine(FilterJob& job);   // p = direction (1 rows, 2 columns), d1 = run length

}  // namespace tessivo
