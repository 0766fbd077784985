// The standard security handler of PDF 1.4: RC4 with 40-bit keys (revision 2) or 128-bit keys
// (revision 3), MD5 key derivation, the /O, /U and /P values and per-object keys. The ciphers
// come from OpenSSL's libcrypto.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessivo::pdf {

struct SecurityValues {
  int revision = 0;       // 2 (40-bit) or 3 (128-bit)
  std::string fileKey;    // 5 or 16 bytes
  std::string owner;      // /O, 32 bytes
  std::string user;       // /U, 32 bytes
  int32_t permissions = 0;  // /P
};

// /P of a rights combination (1 print, 2 copy, 4 modify, 8 notes; revision 3 also 16 fill
// fields, 32 accessibility copy, 64 assemble, 128 or more print in full; -1 every right).
int32_t PermissionValue(int32_t rights, int revision);

// Everything a document encrypted with `mode` (1: revision 2, 2: revision 3) needs, for
// passwords given as Windows-1252 bytes and the file identifier's bytes. An owner password
// that is blank becomes the user password.
SecurityValues ComputeSecurity(int32_t mode, const std::string& userPassword,
                               const std::string& ownerPassword, int32_t rights,
                               std::string_view identifier);

// The RC4 key of object `number` (generation 0).
std::string ObjectKey(const SecurityValues& security, int32_t number);

std::string Rc4(std::string_view key, std::string_view data);
std::string Md5(std::string_view data);
// Upper-case hexadecimal, two digits per byte.
std::string HexOfString(std::string_view bytes);

}  // namespace tessivo::pdf
