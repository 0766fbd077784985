// Public enumerations of PDF output: encryption strength and document permissions.
#pragma once
#include <cstdint>

namespace tessivo {

enum PdfEncryption : int32_t {
  PdfEncryptionNone = 0,
  PdfEncryption40Bit = 1,   // RC4 with 40-bit keys (security handler revision 2)
  PdfEncryption128Bit = 2,  // RC4 with 128-bit keys (revision 3)
};

// Permission flags, combined by adding them (PdfCreateRights). Revision 2 documents honour
// only the first four; PdfRightUndefined grants everything, PdfRightCanView nothing.
enum PdfRight : int32_t {
  PdfRightUndefined = -1,
  PdfRightCanView = 0,
  PdfRightCanPrint = 1,
  PdfRightCanCopy = 2,
  PdfRightCanModify = 4,
  PdfRightCanAddNotes = 8,
  PdfRightCanFillFields = 16,
  PdfRightCanCopyAccess = 32,
  PdfRightCanAssemble = 64,
  PdfRightCanPrintFull = 128,
};

}  // namespace tessivo
