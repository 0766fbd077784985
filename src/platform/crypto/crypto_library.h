// OpenSSL's libcrypto, loaded the first time a digest or cipher is needed (only encrypted PDF
// output uses one). It is the largest library the toolkit would otherwise link, with more
// relocations than any other, all processed at every start of every program.
#pragma once
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/evp.h>
#include <openssl/rc4.h>

namespace tessivo::platform {

struct CryptoLibrary {
  decltype(&::EVP_Digest) digest;
  decltype(&::EVP_md5) md5;
  // The low-level RC4 interface needs no provider (the EVP one would need OpenSSL 3's legacy
  // provider loaded into the process).
  decltype(&::RC4_set_key) rc4SetKey;
  decltype(&::RC4) rc4;
};

// The loaded libcrypto, or nullptr when it cannot be loaded or lacks one of the functions
// (asked once; the answer holds for the process). Safe to call from several threads.
const CryptoLibrary* Crypto();

}  // namespace tessivo::platform
