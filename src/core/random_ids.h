// Random IDs below 100000000 from one generator per thread. Images and document-recognition
// templates draw their IDs here.
#pragma once
#include <cstdint>
#include <functional>

namespace tessivo {

inline constexpr int32_t kRandomIdRange = 100000000;  // IDs are drawn below this

// A fresh ID in 1..99999999 for which `taken` is false. The generator is seeded once per
// thread from the system's entropy source: reseeding it from a clock at every draw would hand
// out the same ID twice within one tick. 0 (meaning "none") is never returned.
int32_t DrawRandomId(const std::function<bool(int32_t)>& taken);

}  // namespace tessivo
