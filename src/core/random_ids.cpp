#include "core/random_ids.h"

#include <cmath>
#include <random>

namespace tessivo {

int32_t DrawRandomId(const std::function<bool(int32_t)>& taken) {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (;;) {
    const double r = unit(generator);
    const auto id = static_cast<int32_t>(std::nearbyint(r * kRandomIdRange));  // ties to even
    if (id != 0 && id < kRandomIdRange && !(taken && taken(id))) return id;
  }
}

}  // namespace tessivo
