#include "barcode/barcode.h"

#include <array>
#include <cstdint>

namespace tessivo::barcode {
namespace {

// Code 128 symbol values 0..106 as bar/space widths in modules, bar first.
constexpr std::array<std::string_view, 107> k128{
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};
constexpr int kStartB = 104, kStop = 106;

// The same symbol values as module strings ('1' bar, '0' space): symbols are written a whole
// value at a time.
struct Modules128 {
  std::array<char, 13> bits{};
  uint8_t size = 0;
};
constexpr std::array<Modules128, 107> Make128Modules() {
  std::array<Modules128, 107> table{};
  for (size_t v = 0; v < k128.size(); ++v) {
    bool bar = true;
    for (char width : k128[v]) {
      for (int i = 0; i < width - '0'; ++i) table[v].bits[table[v].size++] = bar ? '1' : '0';
      bar = !bar;
    }
  }
  return table;
}
constexpr std::array<Modules128, 107> k128Modules = Make128Modules();

// Code 39 patterns in alphabet order, nine elements bar first: E narrow, L wide.
constexpr std::array<std::string_view, 43> k39{
    "EEELLELEE", "LEELEEEEL", "EELLEEEEL", "LELLEEEEE", "EEELLEEEL", "LEELLEEEE", "EELLLEEEE", "EEELEELEL",
    "LEELEELEE", "EELLEELEE", "LEEEELEEL", "EELEELEEL", "LELEELEEE", "EEEELLEEL", "LEEELLEEE", "EELELLEEE",
    "EEEEELLEL", "LEEEELLEE", "EELEELLEE", "EEEELLLEE", "LEEEEEELL", "EELEEEELL", "LELEEEELE", "EEEELEELL",
    "LEEELEELE", "EELELEELE", "EEEEEELLL", "LEEEEELLE", "EELEEELLE", "EEEELELLE", "LLEEEEEEL", "ELLEEEEEL",
    "LLLEEEEEE", "ELEELEEEL", "LLEELEEEE", "ELLELEEEE", "ELEEEELEL", "LLEEEELEE", "ELLEEELEE", "ELELELEEE",
    "ELELEEELE", "ELEEELELE", "EEELELELE"};
constexpr int k39Blank = 38;

// Interleaved 2 of 5 digit patterns, five elements.
constexpr std::array<std::string_view, 10> k25{"EELLE", "LEEEL", "ELEEL", "LLEEE", "EELEL",
                                               "LELEE", "ELLEE", "EEELL", "LEELE", "ELELE"};

// Elements alternate bar, space, bar…: narrow ones ('E') are one module, wide ones ('L') two.
struct ModuleRun {
  std::array<char, 16> bits{};
  uint8_t size = 0;
  constexpr void Elements(std::string_view letters, bool bar) {
    for (char letter : letters) {
      for (int i = 0; i < (letter == 'L' ? 2 : 1); ++i) bits[size++] = bar ? '1' : '0';
      bar = !bar;
    }
  }
};

// Each Code 39 character as modules, with the narrow space that follows it.
constexpr std::array<ModuleRun, 43> Make39Modules() {
  std::array<ModuleRun, 43> table{};
  for (size_t c = 0; c < k39.size(); ++c) {
    table[c].Elements(k39[c], true);
    table[c].bits[table[c].size++] = '0';
  }
  return table;
}
constexpr std::array<ModuleRun, 43> k39Modules = Make39Modules();

// Each pair of Interleaved 2 of 5 digits as modules: the first digit's elements are the bars,
// the second's the spaces between them.
constexpr std::array<ModuleRun, 100> Make25Modules() {
  std::array<ModuleRun, 100> table{};
  for (size_t pair = 0; pair < 100; ++pair) {
    char letters[10] = {};
    for (size_t j = 0; j < 5; ++j) {
      letters[2 * j] = k25[pair / 10][j];
      letters[2 * j + 1] = k25[pair % 10][j];
    }
    table[pair].Elements(std::string_view(letters, 10), true);
  }
  return table;
}
constexpr std::array<ModuleRun, 100> k25Modules = Make25Modules();

// EAN-13 digit codes as modules, and the parities of the left half chosen by the first digit.
constexpr std::array<std::string_view, 10> kEanL{"0001101", "0011001", "0010011", "0111101", "0100011",
                                                 "0110001", "0101111", "0111011", "0110111", "0001011"};
constexpr std::array<std::string_view, 10> kEanG{"0100111", "0110011", "0011011", "0100001", "0011101",
                                                 "0111001", "0000101", "0010001", "0001001", "0010111"};
constexpr std::array<std::string_view, 10> kEanR{"1110010", "1100110", "1101100", "1000010", "1011100",
                                                 "1001110", "1010000", "1000100", "1001000", "1110100"};
constexpr std::array<std::string_view, 10> kEanParity{"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                                      "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

int Code39Index(char32_t c) {
  const size_t at = kCode39Alphabet.find(c);
  return at == std::u32string_view::npos ? k39Blank : static_cast<int>(at);
}

int Digit(char32_t c) { return static_cast<int>(c - U'0'); }

// The EAN-13 check digit of the first 12 digits (all digits).
int Ean13Check(std::u32string_view digits) {
  int sum = 0;
  for (size_t i = 0; i < 12; ++i) sum += Digit(digits[i]) * (i % 2 == 0 ? 1 : 3);
  return (10 - sum % 10) % 10;
}

bool AllDigits(std::u32string_view text) {
  for (char32_t c : text)
    if (!IsAsciiDigit(c)) return false;
  return true;
}

}  // namespace

std::string cBarCode::c128_Binaire(std::u32string_view text) {
  for (char32_t c : text)
    if (c < 32 || c > 126) return {};
  std::string modules;
  modules.reserve(k128Modules[0].size * (text.size() + 2) + k128Modules[kStop].size);
  const auto emit = [&modules](uint32_t value) {
    modules.append(k128Modules[value].bits.data(), k128Modules[value].size);
  };
  emit(kStartB);
  uint32_t sum = kStartB;
  uint64_t position = 0;
  for (char32_t c : text) {
    const uint32_t v = c - 32;
    position = (position + 1) % 103;
    sum = static_cast<uint32_t>((sum + position * v) % 103);
    emit(v);
  }
  emit(sum);
  emit(kStop);
  return modules;
}

std::string cBarCode::EAN13_Binaire(std::u32string_view digits) {
  if (digits.size() != 13 || !AllDigits(digits)) return {};
  const std::string_view parity = kEanParity[static_cast<size_t>(Digit(digits[0]))];
  std::string out = "101-";
  for (size_t i = 1; i <= 6; ++i) {
    const auto d = static_cast<size_t>(Digit(digits[i]));
    out += parity[i - 1] == 'A' ? kEanL[d] : kEanG[d];
  }
  out += "+01010-";
  for (size_t i = 7; i <= 12; ++i) out += kEanR[static_cast<size_t>(Digit(digits[i]))];
  out += "+101";
  return out;
}

std::string cBarCode::Code39_Binaire(std::u32string_view text) {
  std::string out = "1001011011010";
  out.reserve(out.size() + 13 * text.size() + 12);
  for (char32_t c : text) {
    const ModuleRun& run = k39Modules[static_cast<size_t>(Code39Index(c))];
    out.append(run.bits.data(), run.size);
  }
  out += "100101101101";
  return out;
}

std::string cBarCode::Code25i_Binaire(std::u32string_view digits) {
  if (digits.size() % 2 != 0 || !AllDigits(digits)) return {};
  std::string out = "1010";  // start: narrow bar, space, bar, space
  out.reserve(4 + 7 * digits.size() + 4);
  for (size_t i = 0; i < digits.size(); i += 2) {
    const ModuleRun& run = k25Modules[static_cast<size_t>(Digit(digits[i]) * 10 + Digit(digits[i + 1]))];
    out.append(run.bits.data(), run.size);
  }
  out += "11010";  // stop: wide bar, then narrow space, bar, space
  return out;
}

std::u32string cBarCode::CalculNumControlCodeBarre(std::u32string_view digits) {
  if (digits.size() != 12 || !AllDigits(digits)) return {};
  std::u32string out(digits);
  out += static_cast<char32_t>(U'0' + Ean13Check(digits));
  return out;
}

bool cBarCode::CheckSumValideEAN13(std::u32string_view digits) {
  return digits.size() == 13 && AllDigits(digits) && Digit(digits[12]) == Ean13Check(digits);
}

std::u32string cBarCode::C39_Mod43(std::u32string_view text) {
  int sum = 0;
  for (char32_t c : text) sum = (sum + Code39Index(c)) % 43;
  return std::u32string(1, kCode39Alphabet[static_cast<size_t>(sum)]);
}

std::u32string cBarCode::calculCheckSum2of5(std::u32string_view digits) {
  // From the right: the last digit and every second one before it weigh 3, the others 1.
  int total = 0;
  bool weighsThree = true;
  for (size_t i = digits.size(); i-- > 0;) {
    const int d = IsAsciiDigit(digits[i]) ? Digit(digits[i]) : 0;
    total = (total + d * (weighsThree ? 3 : 1)) % 10;
    weighsThree = !weighsThree;
  }
  return std::u32string(1, static_cast<char32_t>(U'0' + (10 - total) % 10));
}

}  // namespace tessivo::barcode
