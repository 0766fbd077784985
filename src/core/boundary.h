// The public-method boundary: no exception leaves the library. Out of memory becomes
// OutOfMemory, any other failure GenericError; either is stored as the last status and the
// method returns its neutral result.
#pragma once
#include <new>
#include <utility>

#include "core/imaging_state.h"

namespace tessivo {

template <typename R, typename Body>
R Guarded(ImagingState& state, R neutral, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    state.Set(OutOfMemory);
  } catch (...) {
    state.Set(GenericError);
  }
  return neutral;
}

// For methods that return their status: the stored failure status is the result.
template <typename Body>
TessivoStatus GuardedStatus(ImagingState& state, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    return state.Set(OutOfMemory);
  } catch (...) {
    return state.Set(GenericError);
  }
}

}  // namespace tessivo
