// The native image's pixels as numpy arrays of shape (height, width, channels), and new images
// made from such arrays, copied row by row in C++.
#pragma once
#include <pybind11/numpy.h>

#include "tessivo/imaging.h"

namespace tessivo::python {

namespace py = pybind11;

// uint8 (h, w, 3) RGB or (h, w, 4) RGBA for 8-bit formats (indexed ones through their
// palette); uint16 likewise for the 48- and 64-bit formats, with their stored channel values.
// No native image: ValueError.
py::array NativeToNumpy(cImaging& object);

// A new image from uint8 or uint16 (h, w, 3) / (h, w, 4), or uint8 (h, w) / (h, w, 1) as 8-bit
// grey; made the native image; returns its ID. Any other shape or dtype: ValueError.
int32_t NativeFromNumpy(cImaging& object, py::handle array);

}  // namespace tessivo::python
