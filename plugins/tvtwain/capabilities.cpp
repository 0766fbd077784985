// Capabilities of the open source, each answered from the SANE options behind it (or from the
// session for the switches SANE has no counterpart of). A capability that maps onto nothing the
// device has fails with TWCC_CAPUNSUPPORTED; none pretends to succeed.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "capability_table.h"
#include "session.h"

namespace tvtwain {

namespace {

constexpr double kMmPerInch = 25.4;

bool Contains(const std::string& text, const char* word) {
  std::string a = text, b = word;
  for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return a.find(b) != std::string::npos;
}

bool IsFeeder(const std::string& source) {
  return Contains(source, "feeder") || Contains(source, "adf") || Contains(source, "duplex");
}

bool IsDuplex(const std::string& source) { return Contains(source, "duplex"); }

CapValues One(int32_t itemType, double value) {
  CapValues v;
  v.itemType = itemType;
  v.values = {value};
  return v;
}

CapValues List(int32_t itemType, std::vector<double> values) {
  CapValues v;
  v.itemType = itemType;
  v.values = std::move(values);
  return v;
}

// The range of each TWAIN item type; a value outside it would wrap in the TWAIN container.
bool FitsItemType(int32_t itemType, double value) {
  if (!std::isfinite(value)) return false;
  switch (itemType) {
    case TWTY_INT8: return value >= -128 && value <= 127;
    case TWTY_INT16: return value >= -32768 && value <= 32767;
    case TWTY_INT32: return value >= -2147483648.0 && value <= 2147483647.0;
    case TWTY_UINT8: return value >= 0 && value <= 255;
    case TWTY_UINT16: return value >= 0 && value <= 65535;
    case TWTY_UINT32: return value >= 0 && value <= 4294967295.0;
    case TWTY_BOOL: return value == 0 || value == 1;
    case TWTY_FIX32: return value > -32769 && value < 32768;
    default: return false;
  }
}

size_t StringCapacity(int32_t itemType) {
  switch (itemType) {
    case TWTY_STR32: return 32;
    case TWTY_STR64: return 64;
    case TWTY_STR128: return 128;
    case TWTY_STR255: return 255;
    case TWTY_STR1024: return 1024;
    default: return 0;
  }
}

}  // namespace

bool Session::OptionDescriptor(const char* name, int& index,
                               const SANE_Option_Descriptor*& d) const {
  index = OptionIndex(name);
  if (index < 0) return false;
  d = sane_.get_option_descriptor(device_, index);
  return d && (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
         d->size == static_cast<SANE_Int>(sizeof(SANE_Word));
}

// The values a numeric option allows, in its own unit.
bool Session::OptionValues(const char* name, std::vector<double>& values, bool& isRange,
                           double& lo, double& hi, double& step) {
  int i = 0;
  const SANE_Option_Descriptor* d = nullptr;
  if (!OptionDescriptor(name, i, d)) return Fail(TWCC_CAPUNSUPPORTED);
  auto unfix = [d](SANE_Word w) { return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w); };
  values.clear();
  isRange = false;
  if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
    const SANE_Range* r = d->constraint.range;
    isRange = true;
    lo = unfix(r->min), hi = unfix(r->max);
    step = r->quant > 0 ? unfix(r->quant) : (d->type == SANE_TYPE_FIXED ? 0 : 1);
    return true;
  }
  if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
    for (SANE_Int k = 1; k <= d->constraint.word_list[0]; ++k)
      values.push_back(unfix(d->constraint.word_list[k]));
    return true;
  }
  double current = 0;
  if (!ReadNumber(name, current)) return false;
  values.push_back(current);  // unconstrained: only the current value is known
  return true;
}

bool Session::WriteNumberNearest(const char* name, double value) {
  int i = 0;
  const SANE_Option_Descriptor* d = nullptr;
  if (!OptionDescriptor(name, i, d)) return Fail(TWCC_CAPUNSUPPORTED);
  if (!std::isfinite(value)) return Fail(TWCC_BADVALUE);
  std::vector<double> values;
  bool isRange = false;
  double lo = 0, hi = 0, step = 0;
  if (!OptionValues(name, values, isRange, lo, hi, step)) return false;
  if (isRange) {
    if (value < lo - 1e-9 || value > hi + 1e-9) return Fail(TWCC_BADVALUE);
    if (step > 0) value = lo + std::round((value - lo) / step) * step;
    value = std::clamp(value, lo, hi);
  } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && !values.empty()) {
    double best = values[0];
    for (double v : values)
      if (std::fabs(v - value) < std::fabs(best - value)) best = v;
    value = best;
  }
  if (d->type == SANE_TYPE_INT) value = std::round(value);
  return WriteNumber(name, value);
}

// A SANE option presented on TWAIN's scale lo..hi (brightness, contrast, threshold).
bool Session::MappedGet(int32_t cap, int32_t message, const char* option, double lo, double hi,
                        CapValues& out) {
  (void)cap;
  std::vector<double> values;
  bool isRange = false;
  double min = 0, max = 0, step = 0;
  if (!OptionValues(option, values, isRange, min, max, step)) return false;
  if (isRange && !(max > min)) return Fail(TWCC_CAPUNSUPPORTED);
  const double from = isRange ? min : *std::min_element(values.begin(), values.end());
  const double to = isRange ? max : *std::max_element(values.begin(), values.end());
  auto map = [&](double v) { return to > from ? lo + (v - from) * (hi - lo) / (to - from) : lo; };
  out.itemType = TWTY_FIX32;
  if (message == 2) {
    double current = 0;
    if (!ReadNumber(option, current)) return false;
    out.values = {map(current)};
    return true;
  }
  if (isRange) {
    out.isRange = true;
    out.minimum = lo, out.maximum = hi;
    out.step = step > 0 ? step * (hi - lo) / (max - min) : 1;
  } else {
    for (double v : values) out.values.push_back(map(v));
  }
  return true;
}

bool Session::MappedSet(const char* option, double lo, double hi, double value) {
  if (!(value >= lo && value <= hi)) return Fail(TWCC_BADVALUE);
  std::vector<double> values;
  bool isRange = false;
  double min = 0, max = 0, step = 0;
  if (!OptionValues(option, values, isRange, min, max, step)) return false;
  const double from = isRange ? min : *std::min_element(values.begin(), values.end());
  const double to = isRange ? max : *std::max_element(values.begin(), values.end());
  return WriteNumberNearest(option, from + (value - lo) * (to - from) / (hi - lo));
}

bool Session::SourceList(std::vector<std::string>& sources) {
  int i = OptionIndex(SANE_NAME_SCAN_SOURCE);
  if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
  const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
  if (!d || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
    return Fail(TWCC_CAPUNSUPPORTED);
  sources.clear();
  for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) sources.push_back(*s);
  return true;
}

// Selects the first source of the kind asked for: a feeder (simplex unless `duplex`) or the
// flatbed.
bool Session::SelectSourceKind(bool feeder, bool duplex) {
  std::vector<std::string> sources;
  if (!SourceList(sources)) return false;
  for (const std::string& s : sources) {
    if (IsFeeder(s) != feeder || (feeder && IsDuplex(s) != duplex)) continue;
    std::string current;
    if (ReadString(SANE_NAME_SCAN_SOURCE, current) && current == s) return true;
    if (!WriteString(SANE_NAME_SCAN_SOURCE, s)) return false;
    feederEmpty_ = false;
    return true;
  }
  return Fail(TWCC_BADVALUE);
}

bool Session::PhysicalSize(double& width, double& height) {
  std::vector<double> v;
  bool rx = false, ry = false;
  double lo = 0, wx = 0, wy = 0, step = 0;
  if (!OptionValues(SANE_NAME_SCAN_BR_X, v, rx, lo, wx, step) ||
      !OptionValues(SANE_NAME_SCAN_BR_Y, v, ry, lo, wy, step))
    return false;
  if (!rx || !ry) return Fail(TWCC_CAPUNSUPPORTED);
  int i = 0;
  const SANE_Option_Descriptor* d = nullptr;
  OptionDescriptor(SANE_NAME_SCAN_BR_X, i, d);
  if (d->unit != SANE_UNIT_MM) return Fail(TWCC_CAPUNSUPPORTED);
  width = wx / kMmPerInch, height = wy / kMmPerInch;
  return true;
}

bool Session::GetLayout(double& left, double& top, double& right, double& bottom) {
  if (!RequireSource()) return false;
  double w = 0, h = 0;
  if (!PhysicalSize(w, h)) return false;
  double v[4];
  const char* names[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X,
                          SANE_NAME_SCAN_BR_Y};
  for (int k = 0; k < 4; ++k)
    if (!ReadNumber(names[k], v[k])) return false;
  left = v[0] / kMmPerInch, top = v[1] / kMmPerInch;
  right = v[2] / kMmPerInch, bottom = v[3] / kMmPerInch;
  Succeed();
  return true;
}

bool Session::SetLayout(double left, double top, double right, double bottom) {
  if (!RequireSource()) return false;
  double w = 0, h = 0;
  if (!PhysicalSize(w, h)) return false;
  const double tol = 1e-6;
  if (!(left >= -tol && top >= -tol && right <= w + tol && bottom <= h + tol && left < right &&
        top < bottom))
    return Fail(TWCC_BADVALUE);
  // The top left corner first moves to 0 so that no step leaves the area inverted.
  if (!WriteNumberNearest(SANE_NAME_SCAN_TL_X, 0) || !WriteNumberNearest(SANE_NAME_SCAN_TL_Y, 0) ||
      !WriteNumberNearest(SANE_NAME_SCAN_BR_X, right * kMmPerInch) ||
      !WriteNumberNearest(SANE_NAME_SCAN_BR_Y, bottom * kMmPerInch) ||
      !WriteNumberNearest(SANE_NAME_SCAN_TL_X, left * kMmPerInch) ||
      !WriteNumberNearest(SANE_NAME_SCAN_TL_Y, top * kMmPerInch))
    return false;
  Succeed();
  return true;
}

bool Session::ResetLayout() {
  if (!RequireSource()) return false;
  double w = 0, h = 0;
  if (!PhysicalSize(w, h)) return false;
  return SetLayout(0, 0, w, h);
}

bool Session::EnableDuplex(bool enable) {
  if (!RequireSource()) return false;
  std::vector<std::string> sources;
  if (!SourceList(sources)) return false;
  if (std::none_of(sources.begin(), sources.end(), IsDuplex)) return Fail(TWCC_CAPUNSUPPORTED);
  if (!enable) {
    std::string current;
    if (ReadString(SANE_NAME_SCAN_SOURCE, current) && !IsDuplex(current)) {
      Succeed();
      return true;
    }
  }
  if (!SelectSourceKind(true, enable)) return false;
  Succeed();
  return true;
}

bool Session::GetCap(int32_t cap, int32_t message, CapValues& out) {
  if (!RequireSource()) return false;
  if (message != 1 && message != 2) return Fail(TWCC_BADPROTOCOL);
  const bool current = message == 2;
  out = CapValues{};
  bool ok = true;
  switch (cap) {
    case CAP_XFERCOUNT:
      out = One(TWTY_INT16, xferCount_);
      break;
    case ICAP_COMPRESSION:
    case ICAP_UNITS:
    case ICAP_PLANARCHUNKY:
    case ICAP_PIXELFLAVOR:
      // Uncompressed, inches, interleaved samples, 0 darkest: the only forms transfers take.
      out = One(TWTY_UINT16, 0);
      break;
    case ICAP_XFERMECH:
      out = current ? One(TWTY_UINT16, mechanism_) : List(TWTY_UINT16, {TWSX_NATIVE, TWSX_MEMORY});
      break;
    case ICAP_PIXELTYPE: {
      if (current) {
        const int32_t type = PixelType();
        if (type < 0) return false;
        out = One(TWTY_UINT16, type);
        break;
      }
      int i = OptionIndex(SANE_NAME_SCAN_MODE);
      const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_.get_option_descriptor(device_, i);
      if (!d || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return Fail(TWCC_CAPUNSUPPORTED);
      std::vector<double> depths;
      bool isRange = false;
      double lo = 0, hi = 0, step = 0;
      const bool hasDepth = OptionValues(SANE_NAME_BIT_DEPTH, depths, isRange, lo, hi, step);
      const bool oneBit = hasDepth && (isRange ? lo <= 1 : std::count(depths.begin(), depths.end(), 1.0) > 0);
      std::vector<double> types;
      for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) {
        if (std::strcmp(*s, SANE_VALUE_SCAN_MODE_LINEART) == 0) types.push_back(TWPT_BW);
        if (std::strcmp(*s, SANE_VALUE_SCAN_MODE_GRAY) == 0) {
          types.push_back(TWPT_GRAY);
          if (oneBit) types.push_back(TWPT_BW);
        }
        if (std::strcmp(*s, SANE_VALUE_SCAN_MODE_COLOR) == 0) types.push_back(TWPT_RGB);
      }
      std::sort(types.begin(), types.end());
      types.erase(std::unique(types.begin(), types.end()), types.end());
      out = List(TWTY_UINT16, types);
      break;
    }
    case ICAP_BITDEPTH: {
      const int32_t type = PixelType();
      if (type < 0) return false;
      if (current) {
        const int32_t bits = BitDepth();
        if (bits == 0) return false;
        out = One(TWTY_UINT16, bits);
        break;
      }
      if (type == TWPT_BW) {
        out = One(TWTY_UINT16, 1);
        break;
      }
      std::vector<double> depths;
      bool isRange = false;
      double lo = 0, hi = 0, step = 0;
      if (!OptionValues(SANE_NAME_BIT_DEPTH, depths, isRange, lo, hi, step)) depths = {8};
      if (isRange) depths = {8, 16};
      std::vector<double> bits;
      for (double d : depths)
        if (d == 8 || d == 16) bits.push_back(type == TWPT_RGB ? 3 * d : d);
      out = List(TWTY_UINT16, bits);
      break;
    }
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: {
      const char* option = cap == ICAP_YRESOLUTION && OptionIndex(SANE_NAME_SCAN_Y_RESOLUTION) >= 0
                               ? SANE_NAME_SCAN_Y_RESOLUTION
                               : SANE_NAME_SCAN_RESOLUTION;
      out.itemType = TWTY_FIX32;
      if (current) {
        double dpi = 0;
        if (!ReadNumber(option, dpi)) return false;
        out.values = {dpi};
        break;
      }
      double lo = 0, hi = 0, step = 0;
      if (!OptionValues(option, out.values, out.isRange, lo, hi, step)) return false;
      out.minimum = lo, out.maximum = hi, out.step = step > 0 ? step : 1;
      break;
    }
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT: {
      double w = 0, h = 0;
      if (!PhysicalSize(w, h)) return false;
      out = One(TWTY_FIX32, cap == ICAP_PHYSICALWIDTH ? w : h);
      break;
    }
    case ICAP_SUPPORTEDSIZES: {
      double w = 0, h = 0;
      if (!PhysicalSize(w, h)) return false;
      w *= kMmPerInch, h *= kMmPerInch;
      if (current) {
        double l = 0, t = 0, r = 0, b = 0;
        if (!GetLayout(l, t, r, b)) return false;
        double size = 0;  // TWSS_NONE: an area that is no standard size
        for (const PaperSize& p : kPaperSizes)
          if (l == 0 && t == 0 && std::fabs(r * kMmPerInch - p.width) < 1 &&
              std::fabs(b * kMmPerInch - p.height) < 1)
            size = p.code;
        out = One(TWTY_UINT16, size);
        break;
      }
      out = One(TWTY_UINT16, 0);
      for (const PaperSize& p : kPaperSizes)
        if (p.width <= w + 0.5 && p.height <= h + 0.5) out.values.push_back(p.code);
      break;
    }
    case ICAP_BRIGHTNESS:
      ok = MappedGet(cap, message, SANE_NAME_BRIGHTNESS, -1000, 1000, out);
      break;
    case ICAP_CONTRAST:
      ok = MappedGet(cap, message, SANE_NAME_CONTRAST, -1000, 1000, out);
      break;
    case ICAP_THRESHOLD:
      ok = MappedGet(cap, message, SANE_NAME_THRESHOLD, 0, 255, out);
      break;
    case CAP_FEEDERENABLED: {
      std::vector<std::string> sources;
      if (!SourceList(sources)) return false;
      std::string source;
      if (!ReadString(SANE_NAME_SCAN_SOURCE, source)) return false;
      out.itemType = TWTY_BOOL;
      if (current) {
        out.values = {IsFeeder(source) ? 1.0 : 0.0};
        break;
      }
      if (std::any_of(sources.begin(), sources.end(), [](auto& s) { return !IsFeeder(s); }))
        out.values.push_back(0);
      if (std::any_of(sources.begin(), sources.end(), IsFeeder)) out.values.push_back(1);
      break;
    }
    case CAP_FEEDERLOADED: {
      std::string source;
      const bool feeder = OptionIndex(SANE_NAME_SCAN_SOURCE) >= 0 &&
                          ReadString(SANE_NAME_SCAN_SOURCE, source) && IsFeeder(source);
      out = One(TWTY_BOOL, feeder && !feederEmpty_ ? 1 : 0);
      break;
    }
    case CAP_DUPLEX:
    case CAP_DUPLEXENABLED: {
      std::vector<std::string> sources;
      std::string source;
      const bool listed = OptionIndex(SANE_NAME_SCAN_SOURCE) >= 0 && SourceList(sources) &&
                          ReadString(SANE_NAME_SCAN_SOURCE, source);
      const bool duplex = listed && std::any_of(sources.begin(), sources.end(), IsDuplex);
      if (cap == CAP_DUPLEX) {
        out = One(TWTY_UINT16, duplex ? 1 : 0);  // TWDX_1PASSDUPLEX or TWDX_NONE
        break;
      }
      if (!duplex) return Fail(TWCC_CAPUNSUPPORTED);
      out = current ? One(TWTY_BOOL, IsDuplex(source) ? 1 : 0) : List(TWTY_BOOL, {0, 1});
      break;
    }
    case CAP_DEVICEONLINE:
      out = One(TWTY_BOOL, sane_.get_option_descriptor(device_, 0) != nullptr ? 1 : 0);
      break;
    case CAP_INDICATORS:
      out = current ? One(TWTY_BOOL, indicators ? 1 : 0) : List(TWTY_BOOL, {0, 1});
      break;
    case CAP_UICONTROLLABLE:
      out = One(TWTY_BOOL, 1);  // the source never needs a window of its own
      break;
    case CAP_SUPPORTEDCAPS:
      out.itemType = TWTY_UINT16;
      for (int32_t c : kSupportedCaps) out.values.push_back(c);
      break;
    case CAP_AUTHOR:
    case CAP_CAPTION:
      out.itemType = TWTY_STR255;
      out.strings = {cap == CAP_AUTHOR ? author_ : caption_};
      break;
    case CAP_TIMEDATE:
      if (timeDate_.empty()) return Fail(TWCC_SEQERROR);  // no page scanned yet
      out.itemType = TWTY_STR32;
      out.strings = {timeDate_};
      break;
    case ICAP_HALFTONES: {
      int i = OptionIndex(SANE_NAME_HALFTONE_PATTERN);
      const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_.get_option_descriptor(device_, i);
      if (!d || d->type != SANE_TYPE_STRING) return Fail(TWCC_CAPUNSUPPORTED);
      out.itemType = TWTY_STR32;
      std::string value;
      if (current || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) {
        if (!ReadString(SANE_NAME_HALFTONE_PATTERN, value)) return false;
        out.strings = {value};
      } else {
        for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s)
          out.strings.push_back(*s);
      }
      break;
    }
    default:
      return Fail(TWCC_CAPUNSUPPORTED);
  }
  if (!ok) return false;
  Succeed();
  return true;
}

bool Session::SetCap(int32_t cap, int32_t itemType, double value) {
  if (!RequireSource()) return false;
  if (!FitsItemType(itemType, value)) return Fail(TWCC_BADVALUE);
  bool ok = false;
  switch (cap) {
    case CAP_XFERCOUNT:
      if (value != -1 && !(value >= 1 && value <= 32767 && value == std::floor(value)))
        return Fail(TWCC_BADVALUE);
      xferCount_ = static_cast<int32_t>(value);
      ok = true;
      break;
    case ICAP_COMPRESSION:
    case ICAP_UNITS:
    case ICAP_PLANARCHUNKY:
    case ICAP_PIXELFLAVOR:
      if (value != 0) return Fail(TWCC_BADVALUE);
      ok = true;
      break;
    case ICAP_XFERMECH:
      return SetMechanism(static_cast<int32_t>(value));
    case ICAP_PIXELTYPE:
      return value == std::floor(value) ? SetPixelType(static_cast<int32_t>(value))
                                        : Fail(TWCC_BADVALUE);
    case ICAP_BITDEPTH:
      return value == std::floor(value) ? SetBitDepth(static_cast<int32_t>(value))
                                        : Fail(TWCC_BADVALUE);
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION:
      return SetResolution(value);
    case ICAP_SUPPORTEDSIZES: {
      if (value == 0) return ResetLayout();
      for (const PaperSize& p : kPaperSizes)
        if (p.code == value) return SetLayout(0, 0, p.width / kMmPerInch, p.height / kMmPerInch);
      return Fail(TWCC_BADVALUE);
    }
    case ICAP_BRIGHTNESS:
      ok = MappedSet(SANE_NAME_BRIGHTNESS, -1000, 1000, value);
      break;
    case ICAP_CONTRAST:
      ok = MappedSet(SANE_NAME_CONTRAST, -1000, 1000, value);
      break;
    case ICAP_THRESHOLD:
      ok = MappedSet(SANE_NAME_THRESHOLD, 0, 255, value);
      break;
    case CAP_FEEDERENABLED:
      ok = SelectSourceKind(value != 0, false);
      break;
    case CAP_DUPLEXENABLED:
      return EnableDuplex(value != 0);
    case CAP_INDICATORS:
      indicators = value != 0;
      ok = true;
      break;
    case CAP_FEEDERLOADED:
    case CAP_DUPLEX:
    case CAP_DEVICEONLINE:
    case CAP_UICONTROLLABLE:
    case CAP_SUPPORTEDCAPS:
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT:
      return Fail(TWCC_CAPBADOPERATION);  // read-only
    default: {
      CapValues probe;
      // String capabilities take no number; anything else has no device counterpart.
      if (GetCap(cap, 1, probe) && !probe.strings.empty()) return Fail(TWCC_BADVALUE);
      return Fail(TWCC_CAPUNSUPPORTED);
    }
  }
  if (!ok) return Fail(cc_ == TWCC_SUCCESS ? TWCC_BADVALUE : cc_);
  Log("capability " + std::to_string(cap) + " set to " + std::to_string(value));
  Succeed();
  return true;
}

bool Session::SetCapString(int32_t cap, int32_t itemType, const std::string& value) {
  if (!RequireSource()) return false;
  const size_t capacity = StringCapacity(itemType);
  if (capacity == 0 || value.size() > capacity || value.find('\0') != std::string::npos)
    return Fail(TWCC_BADVALUE);
  switch (cap) {
    case CAP_AUTHOR:
      author_ = value;
      break;
    case CAP_CAPTION:
      caption_ = value;
      break;
    case ICAP_HALFTONES:
      if (!WriteString(SANE_NAME_HALFTONE_PATTERN, value)) return false;
      break;
    case CAP_TIMEDATE:
      return Fail(TWCC_CAPBADOPERATION);
    default:
      return Fail(TWCC_CAPUNSUPPORTED);
  }
  Succeed();
  return true;
}

void Session::SnapshotDefaults() {
  defaults_.clear();
  for (int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
    if (!d) break;
    if (!d->name || !*d->name || d->size <= 0 || d->size > 4096 || !SANE_OPTION_IS_ACTIVE(d->cap) ||
        !SANE_OPTION_IS_SETTABLE(d->cap) || d->type == SANE_TYPE_BUTTON || d->type == SANE_TYPE_GROUP)
      continue;
    std::vector<uint8_t> bytes(static_cast<size_t>(d->size), 0);
    if (sane_.control_option(device_, i, SANE_ACTION_GET_VALUE, bytes.data(), nullptr) ==
        SANE_STATUS_GOOD)
      defaults_.emplace_back(d->name, std::move(bytes));
  }
}

bool Session::RestoreDefault(const char* name) {
  for (auto& [option, bytes] : defaults_) {
    if (option != name) continue;
    int i = OptionIndex(name);
    if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
    const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
    if (!d || static_cast<size_t>(d->size) != bytes.size()) return Fail(TWCC_OPERATIONERROR);
    std::vector<uint8_t> copy = bytes;
    if (sane_.control_option(device_, i, SANE_ACTION_SET_VALUE, copy.data(), nullptr) !=
        SANE_STATUS_GOOD)
      return Fail(TWCC_OPERATIONERROR);
    return true;
  }
  return Fail(TWCC_CAPUNSUPPORTED);
}

bool Session::ResetCap(int32_t cap) {
  if (!RequireSource()) return false;
  bool ok = false;
  switch (cap) {
    case CAP_XFERCOUNT:
      xferCount_ = -1;
      ok = true;
      break;
    case ICAP_XFERMECH:
      mechanism_ = TWSX_NATIVE;
      ok = true;
      break;
    case CAP_INDICATORS:
      indicators = true;
      ok = true;
      break;
    case CAP_AUTHOR:
    case CAP_CAPTION:
      (cap == CAP_AUTHOR ? author_ : caption_).clear();
      ok = true;
      break;
    case ICAP_COMPRESSION:
    case ICAP_UNITS:
    case ICAP_PLANARCHUNKY:
    case ICAP_PIXELFLAVOR:
      ok = true;
      break;
    case ICAP_PIXELTYPE:
    case ICAP_BITDEPTH:
      // Mode and depth go back together: each decides what the other may be.
      ok = RestoreDefault(SANE_NAME_SCAN_MODE);
      if (ok && OptionIndex(SANE_NAME_BIT_DEPTH) >= 0) ok = RestoreDefault(SANE_NAME_BIT_DEPTH);
      break;
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION:
      ok = RestoreDefault(SANE_NAME_SCAN_RESOLUTION);
      break;
    case ICAP_SUPPORTEDSIZES:
      ok = RestoreDefault(SANE_NAME_SCAN_TL_X) && RestoreDefault(SANE_NAME_SCAN_TL_Y) &&
           RestoreDefault(SANE_NAME_SCAN_BR_X) && RestoreDefault(SANE_NAME_SCAN_BR_Y);
      break;
    case ICAP_BRIGHTNESS:
      ok = RestoreDefault(SANE_NAME_BRIGHTNESS);
      break;
    case ICAP_CONTRAST:
      ok = RestoreDefault(SANE_NAME_CONTRAST);
      break;
    case ICAP_THRESHOLD:
      ok = RestoreDefault(SANE_NAME_THRESHOLD);
      break;
    case ICAP_HALFTONES:
      ok = RestoreDefault(SANE_NAME_HALFTONE_PATTERN);
      break;
    case CAP_FEEDERENABLED:
    case CAP_DUPLEXENABLED:
      ok = RestoreDefault(SANE_NAME_SCAN_SOURCE);
      feederEmpty_ = false;
      break;
    default:
      return Fail(TWCC_CAPUNSUPPORTED);
  }
  if (!ok) return false;
  Succeed();
  return true;
}

}  // namespace tvtwain
