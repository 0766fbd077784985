// The table of filter routines by code. The engine's own routines are present from the start;
// other modules (the colour adjustments) add theirs with RegisterFilter, typically through a
// static FilterRegistration object in their source file.
#pragma once
#include <cstdint>

#include "pixel/filter_job.h"

namespace tessivo {

// The routine registered for `code`, or nullptr.
const FilterDescriptor* FindFilter(int32_t code);

// Adds or replaces the routine for `filter.code` (0..255).
void RegisterFilter(const FilterDescriptor& filter);

struct FilterRegistration {
  explicit FilterRegistration(const FilterDescriptor& filter) { RegisterFilter(filter); }
};

}  // namespace tessivo
