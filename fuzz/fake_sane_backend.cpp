// A scanner library for the scanning fuzzer: it speaks SANE's C interface and plays back a
// script of frames and reads, so the scanning module meets a device that announces anything
// (odd formats, depths, line sizes, heights, more bytes than asked for, errors mid-page).
// Script: per frame 16 bytes of parameters, then reads of (status, length) until an end mark.
#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> script;
size_t at = 0;

uint8_t Byte() { return at < script.size() ? script[at++] : 0; }
int32_t Word() {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
  return static_cast<int32_t>(v);
}

// Sizes stay small most of the time and can be anything now and then.
int32_t Size() {
  const uint8_t kind = Byte();
  if (kind < 200) return kind;
  if (kind < 250) return Byte() | Byte() << 8;
  return Word();
}

SANE_Device device{"fuzz:0", "Fuzz", "frames", "flatbed scanner"};
const SANE_Device* devices[] = {&device, nullptr};
int handle = 0;

// The one option besides the count: the resolution, which the module reads on every page.
SANE_Word resolution = 300;
SANE_Option_Descriptor resolutionOption{SANE_NAME_SCAN_RESOLUTION, "Resolution", "", SANE_TYPE_INT,
                                        SANE_UNIT_DPI, sizeof(SANE_Word),
                                        SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT,
                                        SANE_CONSTRAINT_NONE, {nullptr}};
SANE_Option_Descriptor countOption{SANE_NAME_NUM_OPTIONS, "", "", SANE_TYPE_INT, SANE_UNIT_NONE,
                                   sizeof(SANE_Word), SANE_CAP_SOFT_DETECT, SANE_CONSTRAINT_NONE,
                                   {nullptr}};

SANE_Status StatusOf(uint8_t b) {
  switch (b % 16) {
    case 0: return SANE_STATUS_EOF;
    case 1: return SANE_STATUS_IO_ERROR;
    case 2: return SANE_STATUS_CANCELLED;
    case 3: return SANE_STATUS_JAMMED;
    case 4: return SANE_STATUS_NO_DOCS;
    case 5: return SANE_STATUS_NO_MEM;
    default: return SANE_STATUS_GOOD;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void fake_sane_script(const uint8_t* data, size_t size) {
  script.assign(data, data + size);
  at = 0;
}

SANE_Status sane_init(SANE_Int* version, SANE_Auth_Callback) {
  if (version) *version = SANE_VERSION_CODE(1, 0, 0);
  return SANE_STATUS_GOOD;
}
void sane_exit() {}
SANE_Status sane_get_devices(const SANE_Device*** list, SANE_Bool) {
  *list = devices;
  return SANE_STATUS_GOOD;
}
SANE_Status sane_open(SANE_String_Const, SANE_Handle* h) {
  *h = &handle;
  return SANE_STATUS_GOOD;
}
void sane_close(SANE_Handle) {}
const SANE_Option_Descriptor* sane_get_option_descriptor(SANE_Handle, SANE_Int option) {
  if (option == 0) return &countOption;
  if (option == 1) return &resolutionOption;
  return nullptr;
}
SANE_Status sane_control_option(SANE_Handle, SANE_Int option, SANE_Action action, void* value, SANE_Int* info) {
  if (info) *info = 0;
  if (option < 0 || option > 1 || !value) return SANE_STATUS_INVAL;
  SANE_Word& word = option == 0 ? *static_cast<SANE_Word*>(value) : resolution;
  if (action == SANE_ACTION_GET_VALUE) {
    *static_cast<SANE_Word*>(value) = option == 0 ? 2 : resolution;
    return SANE_STATUS_GOOD;
  }
  if (action == SANE_ACTION_SET_VALUE && option == 1) {
    word = *static_cast<SANE_Word*>(value);
    return SANE_STATUS_GOOD;
  }
  return SANE_STATUS_INVAL;
}
SANE_Status sane_get_parameters(SANE_Handle, SANE_Parameters* p) {
  p->format = static_cast<SANE_Frame>(Byte() % 7);
  p->last_frame = Byte() & 1;
  p->bytes_per_line = Size();
  p->pixels_per_line = Size();
  p->lines = Byte() < 32 ? -1 : Size();
  const uint8_t depth = Byte();
  p->depth = depth < 80 ? 1 : depth < 160 ? 8 : depth < 240 ? 16 : depth;
  return StatusOf(Byte() | 0x08);  // mostly good
}
SANE_Status sane_start(SANE_Handle) { return at < script.size() ? StatusOf(Byte() | 0x08 * (Byte() & 1)) : SANE_STATUS_NO_DOCS; }
SANE_Status sane_read(SANE_Handle, SANE_Byte* data, SANE_Int max, SANE_Int* length) {
  *length = 0;
  if (at >= script.size()) return SANE_STATUS_EOF;
  const SANE_Status s = StatusOf(Byte());
  if (s != SANE_STATUS_GOOD) return s;
  int32_t n = Size();
  // A device may claim more than it was asked for; it never writes past the buffer.
  const int32_t written = std::clamp<int32_t>(n, 0, max);
  const size_t available = script.size() - at;
  const size_t copy = std::min(static_cast<size_t>(written), available);
  std::memcpy(data, script.data() + at, copy);
  std::memset(data + copy, 0xA5, static_cast<size_t>(written) - copy);
  at += copy;
  *length = Byte() < 8 ? n : written;
  return SANE_STATUS_GOOD;
}
void sane_cancel(SANE_Handle) {}

}  // extern "C"
