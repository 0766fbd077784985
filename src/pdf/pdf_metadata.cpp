// Metadata of cPDF: the XMP stream (a caller's packet, or the PDF/A packet built from the
// document's values), the PDF/A output intent with its sRGB profile, and the font programs
// PDF/A embeds.
#include <fstream>
#include <iterator>
#include <random>

#include "core/ansi.h"
#include "pdf/font_record.h"
#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"
#include "resources/resources.h"

namespace tessivo {
namespace {

// 8-4-4-4-12 upper-case hexadecimal digits.
std::string RandomUuid() {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::random_device seed;
  std::mt19937 generator(seed());
  std::uniform_int_distribution<int> digit(0, 15);
  std::string id;
  for (int group : {8, 4, 4, 4, 12}) {
    if (!id.empty()) id += '-';
    for (int i = 0; i < group; ++i) id += kHex[digit(generator)];
  }
  return id;
}

// A value for the packet: the text as the Info dictionary carries it (Windows-1252), back in
// UTF-8 so that both say the same, with the characters XML reserves escaped — a title such
// as "R&D <draft>" must not break the packet.
std::string XmlValue(const std::string& ansi) {
  std::string out;
  for (char c : AnsiToUtf8(ansi)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

void ReplaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
}

// True for a file that holds one TrueType font program (not a collection, not CFF outlines):
// what a /FontFile2 stream may carry.
bool IsTrueTypeProgram(const std::string& bytes) {
  return bytes.size() >= 12 && (bytes.compare(0, 4, std::string("\0\1\0\0", 4)) == 0 ||
                                bytes.compare(0, 4, "true") == 0);
}

}  // namespace

std::string cPDF::PdfAPacket(const std::string& xmpDate) const {
  std::string packet(resources::PdfAXmpTemplate());
  ReplaceAll(packet, "XXX_AUTHOR_XXX", XmlValue(author_));
  ReplaceAll(packet, "XXX_TITLE_XXX", XmlValue(title_));
  ReplaceAll(packet, "XXX_CREATOR_XXX", XmlValue(creator_));
  ReplaceAll(packet, "XXX_SUBJECT_XXX", XmlValue(subject_));
  ReplaceAll(packet, "XXX_KEYWORDS_XXX", XmlValue(keywords_));
  ReplaceAll(packet, "XXX_CREATIONDATE_XXX", xmpDate);
  ReplaceAll(packet, "XXX_MODIFYDATE_XXX", xmpDate);
  ReplaceAll(packet, "XXX_METADATADATE_XXX", xmpDate);
  ReplaceAll(packet, "XXX_PRODUCER_XXX", std::string(pdf::kProducer));
  ReplaceAll(packet, "XXX_DOCUMENTUUID_XXX", "uuid: " + RandomUuid());
  ReplaceAll(packet, "XXX_SESSIONUUID_XXX", "uuid: " + RandomUuid());
  return packet;
}

void cPDF::WriteMetadataObjects(const std::string& xmpDate) {
  if (!pdfA_ && xmp_.empty()) return;
  const std::string packet = pdfA_ ? PdfAPacket(xmpDate) : Encrypted(5, xmp_);
  OpenObject(0);
  WriteLine("<</Subtype/XML/Length " + std::to_string(packet.size()) + "/Type/Metadata>>stream");
  WriteBytesLine(packet);
  WriteLine("endstream");
  CloseObject();
  if (!pdfA_) return;

  OpenObject(0);
  WriteLine(
      "[<</Info(sRGB IEC61966-2.1)/S/GTS_PDFA1/OutputConditionIdentifier(Custom)/OutputCondition()"
      "/DestOutputProfile 7 0 R/Type/OutputIntent/RegistryName()>>]");
  CloseObject();

  const std::string_view profile = resources::CompressedSrgbProfile();
  OpenObject(0);
  WriteLine("<</Length " + std::to_string(profile.size()) + "/Filter/FlateDecode/N 3>>stream");
  WriteBytesLine(profile);
  WriteLine("endstream");
  CloseObject();
}

int16_t cPDF::WriteFontProgram(const pdf::FontRecord& font) {
  std::ifstream in(font.fontFile, std::ios::binary);
  std::string program((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) return 0;
  if (font.faceIndex != 0 || !IsTrueTypeProgram(program)) return 0;
  std::string compressed;
  const bool packed = CompressBytes(program, compressLevel_, compressed);
  const int16_t n = OpenObject(0);
  if (n == 0) return 0;
  const std::string& data = packed ? compressed : program;
  WriteLine("<</Length " + std::to_string(data.size()) + "/Length1 " + std::to_string(program.size()) +
            (packed ? "/Filter/FlateDecode" : "") + ">>stream");
  WriteBytesLine(Encrypted(n, data));
  WriteLine("endstream");
  CloseObject();
  return n;
}

}  // namespace tessivo
