// Byte streams at the toolkit's boundary. A stream argument (CreateImageFromStream,
// SaveAsStream) is a stream handle: a positive integer naming an in-process byte stream that
// belongs to the calling thread; 0 means no stream. A host makes a stream from bytes or from a
// file, passes it to a loader, and reads back the bytes a saver wrote. Handles stay valid until
// StreamRelease or the end of the thread; an unknown handle is refused, never dereferenced.
#pragma once
#include <cstdint>
#include <string>

#include "tessivo/safe_array.h"

namespace tessivo {

// A new memory stream holding a copy of `bytes` (all elements, in storage order), positioned
// at its start.
int32_t StreamCreateFromBytes(const SafeArray<uint8_t>& bytes);
// A stream reading the file at `path`; 0 when it cannot be opened.
int32_t StreamOpenFile(const std::string& path);
// The whole content of the stream (0-based array); false for an unknown handle or a read
// failure. The stream's position is left at its end.
bool StreamGetBytes(int32_t stream, SafeArray<uint8_t>& bytes);
// Moves the stream to its start; false for an unknown handle.
bool StreamRewind(int32_t stream);
// Releases the stream; false for an unknown handle.
bool StreamRelease(int32_t stream);

}  // namespace tessivo
