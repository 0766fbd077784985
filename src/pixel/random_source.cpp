#include "pixel/random_source.h"

namespace tessivo {

double NextUniform() {
  // splitmix64: small, fast and well distributed; 53 random bits make the double.
  thread_local uint64_t state = 0x9E3779B97F4A7C15ull;
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

}  // namespace tessivo
