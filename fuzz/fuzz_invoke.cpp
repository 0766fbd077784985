// libFuzzer target: late binding with arbitrary method names and argument variants. Each input
// is a short session on one imaging object that starts with a small picture: every call goes
// through Invoke, which must convert, refuse or run it and report what went wrong, never crash.
//
// Left out: printing, scanning and transfer (they reach servers and devices), and every method
// with a path, folder, host or URL parameter (a fuzzer must not write files where it runs).
// Parameters that are memory addresses only ever get 0.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "dispatch/catalog.h"
#include "pinned_plugins.h"
#include "tessivo/imaging.h"

namespace {

using tessivo::ArrayBound;
using tessivo::SafeArray;
using tessivo::Variant;
using tessivo::dispatch::Catalog;
using tessivo::dispatch::MethodEntry;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

bool Allowed(const MethodEntry& m) {
  if (m.family == "Print" || m.family == "Twain" || m.family == "Transfer") return false;
  for (const auto& p : m.params) {
    std::string name = Lower(p.name);
    for (const char* outside : {"path", "file", "folder", "dir", "host", "url", "server", "printer"})
      if (name.find(outside) != std::string::npos) return false;
  }
  return true;
}

const std::vector<const MethodEntry*>& AllowedMethods() {
  static const std::vector<const MethodEntry*> methods = [] {
    std::vector<const MethodEntry*> out;
    for (const MethodEntry& m : Catalog::Instance().Methods())
      if (Allowed(m)) out.push_back(&m);
    return out;
  }();
  return methods;
}

bool IsAddress(const std::string& parameter) {
  std::string name = Lower(parameter);
  return name == "naddress" || name == "nbits";
}

// Sizes stay small or extreme: a fuzzer that asks for a gigabyte picture measures the machine.
int32_t Number(FuzzedDataProvider& in) {
  static constexpr int32_t kInteresting[] = {0, -1, 1, 2, 3, 7, 8, 16, 24, 32, 100, 255, 256, 1000, 4095,
                                             std::numeric_limits<int32_t>::max(),
                                             std::numeric_limits<int32_t>::min()};
  if (in.ConsumeBool()) return in.PickValueInArray(kInteresting);
  return in.ConsumeIntegralInRange<int32_t>(-300, 300);
}

double Real(FuzzedDataProvider& in) {
  static constexpr double kInteresting[] = {0.0, -1.0, 0.5, 1.0, 90.0, -7.5, 1e30, -1e30,
                                            std::numeric_limits<double>::quiet_NaN(),
                                            std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity()};
  if (in.ConsumeBool()) return in.PickValueInArray(kInteresting);
  return in.ConsumeFloatingPointInRange<double>(-500.0, 500.0);
}

template <typename T, typename Make>
Variant Array(FuzzedDataProvider& in, Make make) {
  static constexpr int32_t kLower[] = {0, 1, -1, 1000, std::numeric_limits<int32_t>::max() - 4};
  std::vector<ArrayBound> bounds{{in.PickValueInArray(kLower), in.ConsumeIntegralInRange<int32_t>(0, 9)}};
  if (in.ConsumeIntegralInRange(0, 3) == 0) bounds.push_back({0, in.ConsumeIntegralInRange<int32_t>(0, 5)});
  SafeArray<T> a;
  try {
    a.Redim(std::move(bounds));
  } catch (const std::invalid_argument&) {
    return Variant();  // bounds no caller can make
  }
  for (std::size_t i = 0; i < a.size(); ++i) a.data()[i] = make();
  return Variant(std::move(a));
}

Variant Argument(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: return Variant();
    case 1: return Variant(in.ConsumeBool());
    case 2: case 3: case 4: return Variant(Number(in));
    case 5: return Variant(Real(in));
    case 6: return Variant(static_cast<float>(Real(in)));
    case 7: return Variant(static_cast<int16_t>(Number(in)));
    case 8: return Variant(in.ConsumeRandomLengthString(64));
    case 9: return Array<int32_t>(in, [&] { return Number(in); });
    case 10: return Array<double>(in, [&] { return Real(in); });
    default: return Array<std::string>(in, [&] { return in.ConsumeRandomLengthString(16); });
  }
}

}  // namespace

// Some calls load a plug-in only to read its version and close it again. The plug-ins are
// instrumented like the rest, and the fuzzer reads their coverage counters after every run, so
// each one is pinned here once: closing it later never unmaps counters the fuzzer still reads.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tessivo::fuzzing::PinPlugins(tessivo::fuzzing::kFuzzMemoryLimit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const auto& methods = AllowedMethods();
  tessivo::cImaging imaging;
  imaging.CreateNewImage(in.ConsumeIntegralInRange<int32_t>(1, 40), in.ConsumeIntegralInRange<int32_t>(1, 30),
                         in.PickValueInArray({1, 4, 8, 16, 24, 32}), static_cast<int32_t>(in.ConsumeIntegral<uint32_t>()));
  for (int call = 0; call < 8 && in.remaining_bytes() > 0; ++call) {
    const MethodEntry* method = nullptr;
    std::string name;
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
      // A name as a caller might type it: the lookup must only ever find a registered method.
      name = in.ConsumeRandomLengthString(40);
      method = Catalog::Instance().Find(name);
      if (method && !Allowed(*method)) continue;
    } else {
      method = methods[in.ConsumeIntegralInRange<std::size_t>(0, methods.size() - 1)];
      name = method->name;
      // Case does not matter to the lookup.
      if (in.ConsumeBool()) name = Lower(name);
    }
    std::size_t count = method ? method->params.size() : 3;
    count = in.ConsumeIntegralInRange<std::size_t>(count > 0 ? count - 1 : 0, count + 1);
    std::vector<Variant> args;
    for (std::size_t i = 0; i < count; ++i) {
      bool address = method && i < method->params.size() && IsAddress(method->params[i].name);
      args.push_back(address ? Variant(int32_t{0}) : Argument(in));
    }
    imaging.Invoke(name, args);
  }
  return 0;
}
