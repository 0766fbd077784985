#include "pdf/standard_security.h"

#include <algorithm>
#include <stdexcept>

#include "platform/crypto/crypto_library.h"

namespace tessivo::pdf {
namespace {

constexpr unsigned char kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                                        0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                                        0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

std::string_view Padding() { return {reinterpret_cast<const char*>(kPadding), sizeof kPadding}; }

std::string Padded(const std::string& password) {
  return (password + std::string(Padding())).substr(0, 32);
}

std::string Xored(std::string_view key, int value) {
  std::string out(key);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ value);
  return out;
}

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

std::string Md5(std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const platform::CryptoLibrary* crypto = platform::Crypto();
  if (!crypto || crypto->digest(data.data(), data.size(), digest, &length, crypto->md5(), nullptr) != 1 ||
      length != 16)
    throw std::runtime_error("MD5 is not available");
  return std::string(reinterpret_cast<const char*>(digest), 16);
}

std::string Rc4(std::string_view key, std::string_view data) {
  if (data.empty()) return {};
  const platform::CryptoLibrary* crypto = platform::Crypto();
  if (!crypto) throw std::runtime_error("RC4 is not available");
  RC4_KEY schedule;
  crypto->rc4SetKey(&schedule, static_cast<int>(std::min<size_t>(key.size(), 256)),
              reinterpret_cast<const unsigned char*>(key.data()));
  std::string out(data.size(), '\0');
  crypto->rc4(&schedule, data.size(), reinterpret_cast<const unsigned char*>(data.data()),
      reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

std::string HexOfString(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

int32_t PermissionValue(int32_t rights, int revision) {
  uint32_t p = revision == 2 ? 0xFFFFFFC0u : 0xFFFFF0C0u;
  auto has = [rights](int32_t bit) { return (rights & bit) != 0; };
  if (has(1)) p |= 4;
  if (has(2)) p |= 16;
  if (has(4)) p |= 8;
  if (has(8)) p |= 32;
  if (revision == 3) {
    if (has(16)) p |= 256;
    if (has(32)) p |= 512;
    if (has(64)) p |= 1024;
    if (rights >= 128 || has(128)) p |= 2048;
  }
  return static_cast<int32_t>(p);
}

SecurityValues ComputeSecurity(int32_t mode, const std::string& userPassword,
                               const std::string& ownerPassword, int32_t rights,
                               std::string_view identifier) {
  SecurityValues s;
  s.revision = mode == 1 ? 2 : 3;
  const std::string owner = Padded(Blank(ownerPassword) ? userPassword : ownerPassword);
  const std::string user = Padded(userPassword);
  s.permissions = PermissionValue(rights, s.revision);
  const uint32_t p = static_cast<uint32_t>(s.permissions);
  const std::string pBytes{static_cast<char>(p & 0xFF), static_cast<char>((p >> 8) & 0xFF),
                           static_cast<char>((p >> 16) & 0xFF), static_cast<char>((p >> 24) & 0xFF)};
  if (s.revision == 2) {
    s.owner = Rc4(Md5(owner).substr(0, 5), user);
    s.fileKey = Md5(user + s.owner + pBytes + std::string(identifier)).substr(0, 5);
    s.user = Rc4(s.fileKey, Padding());
    return s;
  }
  std::string h = Md5(owner);
  for (int i = 0; i < 50; ++i) h = Md5(h);
  s.owner = Rc4(h, user);
  for (int i = 1; i <= 19; ++i) s.owner = Rc4(Xored(h, i), s.owner);
  h = Md5(user + s.owner + pBytes + std::string(identifier));
  for (int i = 0; i < 50; ++i) h = Md5(h);
  s.fileKey = h;
  std::string x = Rc4(s.fileKey, Md5(std::string(Padding()) + std::string(identifier)));
  for (int i = 1; i <= 19; ++i) x = Rc4(Xored(s.fileKey, i), x);
  s.user = x + std::string(16, ' ');
  return s;
}

std::string ObjectKey(const SecurityValues& security, int32_t number) {
  if (security.fileKey.empty()) return {};
  std::string input = security.fileKey;
  input += static_cast<char>(number & 0xFF);
  input += static_cast<char>((number >> 8) & 0xFF);
  input += static_cast<char>((number >> 16) & 0xFF);
  input += '\0';
  input += '\0';
  return Md5(input).substr(0, std::min<size_t>(security.fileKey.size() + 5, 16));
}

}  // namespace tessivo::pdf
