#include "session.h"

#include <cmath>
#include <cstring>

namespace tvtwain {

Session& TheSession() {
  static Session session;
  return session;
}

int32_t Session::State() const {
  if (state_ >= 5) return state_;
  if (device_) return 4;
  if (initialised_) return 3;
  return sane_.Loaded() ? 2 : 1;
}

bool Session::SetLibraryPath(const std::string& path) {
  // The library in use cannot be swapped under open devices.
  if (sane_.Loaded()) return Fail(TWCC_SEQERROR);
  if (path.empty()) return Fail(TWCC_BADVALUE);
  libraryPath_ = path;
  Succeed();
  return true;
}

bool Session::EnsureLoaded() {
  if (sane_.Loaded()) return true;
  if (!sane_.Load(libraryPath_)) return Fail(TWCC_BUMMER);
  return true;
}

bool Session::LibraryAvailable() {
  if (sane_.Loaded()) return true;
  SaneLibrary probe;
  bool ok = probe.Load(libraryPath_);
  probe.Unload();
  return ok;
}

bool Session::OpenManager() {
  if (initialised_) {
    Succeed();
    return true;
  }
  if (!EnsureLoaded()) return false;
  SANE_Int version = 0;
  const SANE_Status initialised = sane_.init(&version, nullptr);
  SaneLibrary::PinLoadedBackends();
  if (initialised != SANE_STATUS_GOOD) return Fail(TWCC_BUMMER);
  initialised_ = true;
  devices_ = nullptr;
  Succeed();
  return true;
}

bool Session::CloseManager() {
  if (state_ == 6 || state_ == 7) state_ = 0, pending_ = 0;  // a batch between pages ends
  if (state_ >= 5) return Fail(TWCC_SEQERROR);
  if (device_) CloseSource();
  if (initialised_) sane_.exit();
  initialised_ = false;
  devices_ = nullptr;
  Succeed();
  return true;
}

bool Session::Unload() {
  if (state_ == 6 || state_ == 7) state_ = 0, pending_ = 0;
  if (state_ >= 5) return Fail(TWCC_SEQERROR);
  CloseManager();
  sane_.Unload();
  Succeed();
  return true;
}

std::string Session::FirstSourceName() {
  if (!initialised_) {
    Fail(TWCC_SEQERROR);
    return "";
  }
  devices_ = nullptr;
  if (sane_.get_devices(&devices_, SANE_FALSE) != SANE_STATUS_GOOD) devices_ = nullptr;
  SaneLibrary::PinLoadedBackends();
  walk_ = 0;
  return NextSourceName();
}

std::string Session::NextSourceName() {
  if (!initialised_ || !devices_) {
    Fail(TWCC_SEQERROR);
    return "";
  }
  const SANE_Device* d = devices_[walk_];
  if (!d) {
    Succeed();
    return "";
  }
  ++walk_;
  Succeed();
  return d->name ? d->name : "";
}

std::string Session::DefaultSourceName() {
  if (!initialised_) {
    Fail(TWCC_SEQERROR);
    return "";
  }
  if (!selectedSource_.empty()) {
    Succeed();
    return selectedSource_;  // chosen in the source dialog
  }
  const SANE_Device** list = nullptr;
  const SANE_Status listed = sane_.get_devices(&list, SANE_FALSE);
  SaneLibrary::PinLoadedBackends();
  if (listed != SANE_STATUS_GOOD || !list || !list[0]) {
    Fail(TWCC_NODS);
    return "";
  }
  devices_ = list;  // the library owns the list until the next get_devices
  walk_ = 0;
  Succeed();
  return list[0]->name ? list[0]->name : "";
}

bool Session::OpenSource(const std::string& name) {
  if (device_) return Fail(TWCC_SEQERROR);
  if (!OpenManager()) return false;
  std::string target = name.empty() ? DefaultSourceName() : name;
  if (target.empty()) return Fail(TWCC_NODS);
  SANE_Handle h = nullptr;
  const SANE_Status opened = sane_.open(target.c_str(), &h);
  SaneLibrary::PinLoadedBackends();
  if (opened != SANE_STATUS_GOOD || !h) return Fail(TWCC_NODS);
  device_ = h;
  deviceName_ = target;
  mechanism_ = TWSX_NATIVE;
  feederEmpty_ = false;
  xferCount_ = -1;
  SnapshotDefaults();
  Log("source opened: " + target);
  Succeed();
  return true;
}

bool Session::CloseSource() {
  if (state_ == 6 || state_ == 7) state_ = 0, pending_ = 0;
  if (!device_ || state_ >= 5) return Fail(TWCC_SEQERROR);
  Log("source closed: " + deviceName_);
  spareBlock_ = {};
  sane_.close(device_);
  device_ = nullptr;
  deviceName_.clear();
  Succeed();
  return true;
}

bool Session::RequireSource() {
  if (!device_ || state_ >= 5) return Fail(TWCC_SEQERROR);
  return true;
}

int Session::OptionIndex(const char* name) const {
  for (int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
    if (!d) return -1;
    if (d->name && std::strcmp(d->name, name) == 0) return SANE_OPTION_IS_ACTIVE(d->cap) ? i : -1;
  }
}

bool Session::ReadString(const char* name, std::string& value) {
  int i = OptionIndex(name);
  if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
  const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
  if (d->type != SANE_TYPE_STRING || d->size <= 0) return Fail(TWCC_CAPUNSUPPORTED);
  std::vector<char> buffer(static_cast<size_t>(d->size) + 1, '\0');
  if (sane_.control_option(device_, i, SANE_ACTION_GET_VALUE, buffer.data(), nullptr) !=
      SANE_STATUS_GOOD)
    return Fail(TWCC_OPERATIONERROR);
  value = buffer.data();
  return true;
}

bool Session::WriteString(const char* name, const std::string& value) {
  int i = OptionIndex(name);
  if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
  const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
  if (d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap))
    return Fail(TWCC_CAPUNSUPPORTED);
  if (value.size() + 1 > static_cast<size_t>(d->size)) return Fail(TWCC_BADVALUE);
  if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
    bool listed = false;
    for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) listed |= value == *s;
    if (!listed) return Fail(TWCC_BADVALUE);
  }
  std::vector<char> buffer(static_cast<size_t>(d->size), '\0');
  std::memcpy(buffer.data(), value.c_str(), value.size());
  if (sane_.control_option(device_, i, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) !=
      SANE_STATUS_GOOD)
    return Fail(TWCC_BADVALUE);
  return true;
}

bool Session::ReadNumber(const char* name, double& value) {
  int i = OptionIndex(name);
  if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
  const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
  if ((d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < (int)sizeof(SANE_Word))
    return Fail(TWCC_CAPUNSUPPORTED);
  std::vector<SANE_Word> words(static_cast<size_t>(d->size) / sizeof(SANE_Word));
  if (sane_.control_option(device_, i, SANE_ACTION_GET_VALUE, words.data(), nullptr) !=
      SANE_STATUS_GOOD)
    return Fail(TWCC_OPERATIONERROR);
  value = d->type == SANE_TYPE_FIXED ? SANE_UNFIX(words[0]) : words[0];
  return true;
}

bool Session::WriteNumber(const char* name, double value) {
  int i = OptionIndex(name);
  if (i < 0) return Fail(TWCC_CAPUNSUPPORTED);
  const SANE_Option_Descriptor* d = sane_.get_option_descriptor(device_, i);
  if ((d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) ||
      d->size != (int)sizeof(SANE_Word) || !SANE_OPTION_IS_SETTABLE(d->cap))
    return Fail(TWCC_CAPUNSUPPORTED);
  bool fixed = d->type == SANE_TYPE_FIXED;
  // SANE_FIX holds -32768 .. 32767.99; integers hold 32 bits.
  double limit = fixed ? 32767.0 : 2147483647.0;
  if (!std::isfinite(value) || value < -limit || value > limit) return Fail(TWCC_BADVALUE);
  if (!fixed && value != std::floor(value)) return Fail(TWCC_BADVALUE);
  SANE_Word word = fixed ? SANE_FIX(value) : static_cast<SANE_Word>(value);
  if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
    const SANE_Range* r = d->constraint.range;
    if (word < r->min || word > r->max) return Fail(TWCC_BADVALUE);
    if (r->quant > 0 && (word - r->min) % r->quant != 0) return Fail(TWCC_BADVALUE);
  } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
    bool listed = false;
    for (SANE_Int k = 1; k <= d->constraint.word_list[0]; ++k)
      listed |= d->constraint.word_list[k] == word;
    if (!listed) return Fail(TWCC_BADVALUE);
  }
  if (sane_.control_option(device_, i, SANE_ACTION_SET_VALUE, &word, nullptr) != SANE_STATUS_GOOD)
    return Fail(TWCC_BADVALUE);
  return true;
}

bool Session::SetMechanism(int32_t mechanism) {
  if (!RequireSource()) return false;
  if (mechanism != TWSX_NATIVE && mechanism != TWSX_MEMORY) return Fail(TWCC_BADVALUE);
  mechanism_ = mechanism;
  Succeed();
  return true;
}

int32_t Session::Mechanism() {
  if (!RequireSource()) return -1;
  Succeed();
  return mechanism_;
}

int32_t Session::SampleDepth() {
  double depth = 8;
  if (!ReadNumber(SANE_NAME_BIT_DEPTH, depth)) return 8;  // devices without the option scan 8 bits
  return static_cast<int32_t>(depth);
}

bool Session::ModeIsColor(bool& color) {
  std::string mode;
  if (!ReadString(SANE_NAME_SCAN_MODE, mode)) return false;
  color = mode == SANE_VALUE_SCAN_MODE_COLOR;
  return true;
}

int32_t Session::PixelType() {
  if (!RequireSource()) return -1;
  std::string mode;
  if (!ReadString(SANE_NAME_SCAN_MODE, mode)) return -1;
  Succeed();
  if (mode == SANE_VALUE_SCAN_MODE_COLOR) return TWPT_RGB;
  if (mode == SANE_VALUE_SCAN_MODE_LINEART || SampleDepth() == 1) return TWPT_BW;
  return TWPT_GRAY;
}

bool Session::SetPixelType(int32_t type) {
  if (!RequireSource()) return false;
  int32_t depth = SampleDepth();
  bool ok = false;
  switch (type) {
    case TWPT_BW:
      ok = WriteString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_LINEART) ||
           (WriteString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY) &&
            WriteNumber(SANE_NAME_BIT_DEPTH, 1));
      break;
    case TWPT_GRAY:
    case TWPT_RGB:
      ok = WriteString(SANE_NAME_SCAN_MODE, type == TWPT_GRAY ? SANE_VALUE_SCAN_MODE_GRAY
                                                              : SANE_VALUE_SCAN_MODE_COLOR);
      // One bit per sample means line art: a grey or colour scan asks for 8.
      if (ok && depth == 1 && OptionIndex(SANE_NAME_BIT_DEPTH) >= 0)
        ok = WriteNumber(SANE_NAME_BIT_DEPTH, 8);
      break;
    default:
      return Fail(TWCC_BADVALUE);
  }
  if (!ok) return Fail(cc_ == TWCC_SUCCESS ? TWCC_BADVALUE : cc_);
  Succeed();
  return true;
}

int32_t Session::BitDepth() {
  if (!RequireSource()) return 0;
  bool color = false;
  if (!ModeIsColor(color)) return 0;
  Succeed();
  return SampleDepth() * (color ? 3 : 1);
}

bool Session::SetBitDepth(int32_t bits) {
  if (!RequireSource()) return false;
  bool ok = false;
  switch (bits) {
    case 1:
      ok = SetPixelType(TWPT_BW);
      break;
    case 8:
    case 16: {
      std::string mode;
      ok = ReadString(SANE_NAME_SCAN_MODE, mode) &&
           (mode == SANE_VALUE_SCAN_MODE_GRAY || WriteString(SANE_NAME_SCAN_MODE,
                                                             SANE_VALUE_SCAN_MODE_GRAY)) &&
           WriteNumber(SANE_NAME_BIT_DEPTH, bits);
      break;
    }
    case 24:
    case 48:
      ok = WriteString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR) &&
           WriteNumber(SANE_NAME_BIT_DEPTH, bits / 3);
      break;
    default:
      return Fail(TWCC_BADVALUE);
  }
  if (!ok) return Fail(cc_ == TWCC_SUCCESS ? TWCC_BADVALUE : cc_);
  Succeed();
  return true;
}

double Session::Resolution() {
  if (!RequireSource()) return 0;
  double dpi = 0;
  if (!ReadNumber(SANE_NAME_SCAN_RESOLUTION, dpi)) return 0;
  Succeed();
  return dpi;
}

bool Session::SetResolution(double dpi) {
  if (!RequireSource()) return false;
  if (!(dpi > 0)) return Fail(TWCC_BADVALUE);
  int i = OptionIndex(SANE_NAME_SCAN_RESOLUTION);
  if (i >= 0 && sane_.get_option_descriptor(device_, i)->type == SANE_TYPE_INT)
    dpi = std::round(dpi);
  if (!WriteNumber(SANE_NAME_SCAN_RESOLUTION, dpi)) return false;
  Succeed();
  return true;
}

}  // namespace tvtwain
