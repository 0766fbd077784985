// The uniform pseudo-random source of the noise and diffusion filters: one generator per
// thread, seeded once and never reseeded by the filters, so a sequence of filter calls on one
// thread is reproducible from the thread's start.
#pragma once
#include <cstdint>

namespace tessivo {

// A value uniform in [0, 1).
double NextUniform();

}  // namespace tessivo
