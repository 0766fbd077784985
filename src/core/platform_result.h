// Platform results become toolkit statuses unchanged: both number them 0..21 alike.
#pragma once
#include "platform/status.h"
#include "tessivo/status.h"

namespace tessivo {

inline TessivoStatus StatusOf(platform::Status s) {
  return static_cast<TessivoStatus>(static_cast<int32_t>(s));
}

}  // namespace tessivo
