// Imaging: the control form of the toolkit. It holds no logic of its own: every method goes to
// one cImaging, created on first use (which starts the platform for this thread, as creating
// any cImaging does). In C++ the methods are reached through the accessor,
//
//   tessivo::Imaging control;
//   control->CreateNewImage(640, 480);          // same as control.Object().CreateNewImage(...)
//
// and late-bound callers use Invoke, which goes through the type library.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tessivo/imaging.h"
#include "tessivo/invoke_result.h"
#include "tessivo/variant.h"

namespace tessivo {

class Imaging {
 public:
  // The control's fixed size in container units: it sets itself back to this on every resize.
  static constexpr int32_t kSize = 420;

  Imaging();
  ~Imaging();
  Imaging(const Imaging&) = delete;
  Imaging& operator=(const Imaging&) = delete;
  Imaging(Imaging&&) noexcept;
  Imaging& operator=(Imaging&&) noexcept;

  // The inner object, created on first use. Creation can only fail by running out of memory,
  // which throws std::bad_alloc, as allocating any object does.
  cImaging& Object();
  cImaging* operator->() { return &Object(); }
  bool HasObject() const { return object_ != nullptr; }

  // Late binding: the method of that name (any case) of the inner object, through the type
  // library. Never throws.
  InvokeResult Invoke(std::string_view name, std::vector<Variant>& args);

  // The control's own script-safety answers, the same as cImaging's; they do not create the
  // inner object.
  int32_t GetInterfaceSafetyOptions(const std::string& riid, int32_t& nSupportedOptions,
                                    int32_t& nEnabledOptions);
  int32_t SetInterfaceSafetyOptions(const std::string& riid, int32_t nOptionSetMask,
                                    int32_t nEnabledOptions);

  // A container resizing the control: it keeps kSize by kSize whatever is asked.
  void Resize(int32_t width, int32_t height);
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

 private:
  std::unique_ptr<cImaging> object_;
  int32_t width_ = kSize;
  int32_t height_ = kSize;
};

}  // namespace tessivo
