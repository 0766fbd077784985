#include "pixels.h"

#include <cstring>
#include <memory>

#include "core/image_origin.h"
#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"

namespace tessivo::python {

namespace {

using platform::Bitmap;
using platform::BitmapData;
using platform::PixelFormat;

constexpr uint32_t kPaletteFlagsGrayScale = 2;

// Rows are stored blue, green, red (, alpha); arrays hold red, green, blue (, alpha).
template <typename T>
void SwapRedBlue(const T* from, T* to, int32_t width, int channels) {
  for (int32_t x = 0; x < width; ++x, from += channels, to += channels) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
    if (channels == 4) to[3] = from[3];
  }
}

template <typename T>
py::array CopyOut(Bitmap& bitmap, PixelFormat lockFormat, int channels) {
  const int32_t width = bitmap.Width(), height = bitmap.Height();
  py::array_t<T> out({static_cast<py::ssize_t>(height), static_cast<py::ssize_t>(width),
                      static_cast<py::ssize_t>(channels)});
  T* target = out.mutable_data();
  BitmapData data;
  platform::Status s;
  {
    py::gil_scoped_release unlocked;
    s = bitmap.LockBits(nullptr, platform::ImageLockModeRead, lockFormat, data);
    if (s == platform::Status::Ok) {
      for (int32_t y = 0; y < height; ++y)
        SwapRedBlue(reinterpret_cast<const T*>(static_cast<const uint8_t*>(data.scan0) +
                                               static_cast<intptr_t>(y) * data.stride),
                    target + static_cast<std::size_t>(y) * width * channels, width, channels);
      bitmap.UnlockBits(data);
    }
  }
  if (s != platform::Status::Ok) throw py::value_error("the native image's pixels cannot be read");
  return out;
}

template <typename T>
int32_t CopyIn(cImaging& object, const py::array& source, int channels) {
  auto pixels = py::array_t<T, py::array::c_style>::ensure(source);
  if (!pixels) throw py::error_already_set();
  if (pixels.shape(0) > INT32_MAX || pixels.shape(1) > INT32_MAX || pixels.shape(0) == 0 || pixels.shape(1) == 0)
    throw py::value_error("from_numpy: width and height must be 1 to 2147483647");
  const auto height = static_cast<int32_t>(pixels.shape(0)), width = static_cast<int32_t>(pixels.shape(1));
  constexpr bool wide = sizeof(T) == 2;
  PixelFormat format = channels == 1 ? platform::kPixelFormat8bppIndexed
                       : channels == 3 ? (wide ? platform::kPixelFormat48bppRGB : platform::kPixelFormat24bppRGB)
                                       : (wide ? platform::kPixelFormat64bppARGB : platform::kPixelFormat32bppARGB);
  std::unique_ptr<Bitmap> bitmap;
  {
    py::gil_scoped_release unlocked;
    if (Bitmap::Create(width, height, format, bitmap) == platform::Status::Ok) {
      const T* from = pixels.data();
      for (int32_t y = 0; y < height; ++y, from += static_cast<std::size_t>(width) * channels) {
        T* row = reinterpret_cast<T*>(bitmap->Row(y));
        if (channels == 1) std::memcpy(row, from, static_cast<std::size_t>(width) * sizeof(T));
        else SwapRedBlue(from, row, width, channels);
      }
      if (channels == 1) {
        platform::Palette grey;
        grey.flags = kPaletteFlagsGrayScale;
        for (uint32_t i = 0; i < 256; ++i) grey.entries.push_back(0xFF000000u | i << 16 | i << 8 | i);
        bitmap->SetPalette(grey);
      }
    }
  }
  if (!bitmap) throw py::value_error("from_numpy: the image cannot be created (too large?)");
  int32_t id = 0;
  RegisterImage(id, std::shared_ptr<Bitmap>(std::move(bitmap)), "", "", OriginMemory);
  object.SetNativeImage(id);
  return id;
}

}  // namespace

py::array NativeToNumpy(cImaging& object) {
  Bitmap* bitmap = ResolveImage(object.GetNativeImage());
  if (!bitmap) throw py::value_error("to_numpy: there is no native image");
  const PixelFormat f = bitmap->Format();
  const bool alpha = platform::HasAlpha(f);
  if (platform::IsExtended(f))
    return alpha ? CopyOut<uint16_t>(*bitmap, platform::kPixelFormat64bppARGB, 4)
                 : CopyOut<uint16_t>(*bitmap, platform::kPixelFormat48bppRGB, 3);
  return alpha ? CopyOut<uint8_t>(*bitmap, platform::kPixelFormat32bppARGB, 4)
               : CopyOut<uint8_t>(*bitmap, platform::kPixelFormat24bppRGB, 3);
}

int32_t NativeFromNumpy(cImaging& object, py::handle value) {
  if (!py::isinstance<py::array>(value)) throw py::value_error("from_numpy needs a numpy array");
  py::array a = py::reinterpret_borrow<py::array>(value);
  const bool bytes = a.dtype().is(py::dtype::of<uint8_t>()), words = a.dtype().is(py::dtype::of<uint16_t>());
  if (!bytes && !words)
    throw py::value_error("from_numpy: dtype must be uint8 or uint16, not " + std::string(py::str(a.dtype())));
  int channels = a.ndim() == 2 ? 1 : a.ndim() == 3 ? static_cast<int>(a.shape(2)) : 0;
  if (a.ndim() == 2) a = a.attr("reshape")(a.shape(0), a.shape(1), 1);
  if (channels != 1 && channels != 3 && channels != 4)
    throw py::value_error("from_numpy: shape must be (height, width[, 1 | 3 | 4])");
  if (channels == 1 && words) throw py::value_error("from_numpy: one-channel arrays must be uint8");
  return bytes ? CopyIn<uint8_t>(object, a, channels) : CopyIn<uint16_t>(object, a, channels);
}

}  // namespace tessivo::python
