#include "core/resolution.h"

#include <cmath>
#include <cstring>

#include "core/image_registry.h"
#include "core/platform_result.h"
#include "platform/codecs/property_tags.h"

namespace tessivo {
namespace {

constexpr int32_t kMaxDecimalPlaces = 9;  // 10^9 is the largest power of ten a uint32 holds

void WriteRational(platform::Bitmap& image, uint32_t tag, float value) {
  const int32_t k = DecimalPlaces(value);
  if (k < 0 || !(value >= 0)) return;
  const double denominator = std::pow(10.0, k);
  const double numerator = std::nearbyint(denominator * value);  // ties to even
  if (numerator > UINT32_MAX) return;
  const auto num = static_cast<uint32_t>(numerator), den = static_cast<uint32_t>(denominator);
  platform::PropertyItem item{tag, platform::PropertyTagTypeRational, std::vector<uint8_t>(8)};
  std::memcpy(item.value.data(), &num, 4);  // little-endian, as property values are stored
  std::memcpy(item.value.data() + 4, &den, 4);
  image.SetProperty(item);  // a failed write does not decide the outcome
}

}  // namespace

int32_t DecimalPlaces(float x) {
  if (!std::isfinite(x)) return -1;
  double power = 1;
  for (int32_t k = 0; k <= kMaxDecimalPlaces; ++k, power *= 10) {
    const float scaled = static_cast<float>(x * power);
    if (scaled == std::trunc(scaled)) return k;
  }
  return -1;
}

TessivoStatus SetResolution(int32_t id, float horizontal, float vertical) {
  ImageRegistry& registry = ImageRegistry::Current();
  platform::Bitmap* image = registry.Resolve(id);
  if (!image) return InvalidParameter;
  image->ForceValidation();
  WriteRational(*image, platform::kPropertyTagXResolution, horizontal);
  WriteRational(*image, platform::kPropertyTagYResolution, vertical);
  const TessivoStatus status = StatusOf(image->SetResolution(horizontal, vertical));
  if (status == OK) {
    // A changed page of an editable document is stored back when another page is selected.
    if (ImageEntry* page = registry.Entry(registry.ResolvePageId(id))) page->pageModified = true;
  }
  return status;
}

}  // namespace tessivo
