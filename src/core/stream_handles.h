// The calling thread's table of stream handles (see tessivo/streams.h).
#pragma once
#include <cstdint>
#include <memory>

#include "platform/stream.h"

namespace tessivo {

// Adds `stream` and returns its new handle.
int32_t AddStreamHandle(std::shared_ptr<platform::Stream> stream);
// The stream of `handle`, or null when the handle is unknown.
std::shared_ptr<platform::Stream> LookupStreamHandle(int32_t handle);

}  // namespace tessivo
