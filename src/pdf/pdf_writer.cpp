// Document structure of cPDF: header, Info and Catalog, pages and their content streams, the
// shared resources, the page tree, the cross-reference table and the trailer.
#include "pdf/pdf_writer.h"

#include <zlib.h>

#include <ctime>
#include <random>

#include "core/ansi.h"
#include "pdf/font_record.h"
#include "pdf/pdf_format.h"

namespace tessivo {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int16_t kMaxObjects = 32767;
using pdf::kProducer;

std::string RandomDocumentId() {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::random_device seed;
  std::mt19937 generator(seed());
  std::uniform_int_distribution<int> digit(0, 15);
  std::string id(32, '0');
  for (char& c : id) c = kHex[digit(generator)];
  return id;
}

// The zone's real offset from UTC as "+hh" `separator` "mm" (the quote of PDF dates or the
// colon of XMP dates), so that both carry the same instant.
std::string ZoneOffset(const std::tm& local, const char* separator, const char* end) {
  long offset = local.tm_gmtoff / 60;
  long magnitude = offset < 0 ? -offset : offset;
  char zone[32];
  std::snprintf(zone, sizeof zone, "%c%02ld%s%02ld%s", offset < 0 ? '-' : '+', magnitude / 60,
                separator, magnitude % 60, end);
  return zone;
}

// "D:YYYYMMDDHHMMSS+hh'mm'" in local time.
std::string PdfDate(const std::tm& local) {
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
  return std::string("D:") + stamp + ZoneOffset(local, "'", "'");
}

// "YYYY-MM-DDTHH:MM:SS+hh:mm", the same instant for the XMP packet.
std::string XmpDate(const std::tm& local) {
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  return stamp + ZoneOffset(local, ":", "");
}

}  // namespace

cPDF::cPDF() = default;

cPDF::~cPDF() {
  if (file_.IsOpen()) ClosePdfFile();
}

void cPDF::SetPaperSize(int32_t value) {
  paperSize_ = value;
  switch (value) {
    case 0: paperWidth_ = 595.2f; paperHeight_ = 842.0f; break;
    case 1: paperWidth_ = 842.0f; paperHeight_ = 1190.5f; break;
    case 2: paperWidth_ = 612.0f; paperHeight_ = 792.0f; break;
    case 3: paperWidth_ = 612.0f; paperHeight_ = 864.0f; break;
    default: break;
  }
}

void cPDF::SetPaperWidth(float points) {
  paperWidth_ = points;
  paperSize_ = 255;
}

void cPDF::SetPaperHeight(float points) {
  paperHeight_ = points;
  paperSize_ = 255;
}

void cPDF::SetCompressLevel(int32_t level) {
  if (level >= 0 && level <= 9) compressLevel_ = level;
}

void cPDF::SetJpegQuality(int32_t quality) {
  if (quality >= 0 && quality <= 100) jpegQuality_ = quality;
}

bool cPDF::NewPdf(const std::string& path, const std::string& title, const std::string& author,
                  const std::string& creator, const std::string& keywords,
                  const std::string& subject, int32_t encryption, int32_t rights,
                  const std::string& userPassword, const std::string& ownerPassword) {
  if (encryption < 0 || encryption > 2) return false;
  encryption_ = encryption;
  rights_ = rights;
  userPassword_ = Utf8ToAnsi(userPassword);
  ownerPassword_ = Utf8ToAnsi(ownerPassword);
  title_ = Utf8ToAnsi(title);
  author_ = Utf8ToAnsi(author);
  creator_ = Utf8ToAnsi(creator);
  keywords_ = Utf8ToAnsi(keywords);
  subject_ = Utf8ToAnsi(subject);
  documentId1_ = RandomDocumentId();
  documentId2_ = RandomDocumentId();
  if (file_.IsOpen()) ClosePdfFile();
  if (!file_.Create(path)) return false;
  path_ = path;
  return true;
}

void cPDF::InitPdfFile() {
  if (!file_.IsOpen() || headerDone_) return;
  headerDone_ = true;
  if (IsEncrypted()) pdfA_ = false;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  if (pdfA_) {
    Emit("%PDF-1.4\r%\xE2\xE3\xCF\xD3");
  } else {
    Emit(encryption_ == 2 ? "%PDF-1.4\r%" : "%PDF-1.3\r%");
    Emit(kProducer);
  }
  if (IsEncrypted())
    security_ = pdf::ComputeSecurity(encryption_, userPassword_, ownerPassword_, rights_, documentId1_);
  Emit(kCrLf);

  objectCount_ = 0;
  xref_.clear();
  OpenObject(0);
  // Encrypted strings hold arbitrary bytes; a bare CR or LF inside a literal string would be
  // read back as LF, so they get the full escapes.
  auto value = [this](std::string_view text) {
    return IsEncrypted() ? pdf::EscapeText(Encrypted(1, text)) : pdf::EscapeBasic(text);
  };
  std::string info = "<</Title(" + value(title_) + ")/Author(" + value(author_) + ")/Creator(" +
                     value(creator_) + ")/Producer(" + value(kProducer) + ")/Subject(" +
                     value(subject_) + ")/Keywords(" + value(keywords_) + ")/CreationDate(" +
                     value(PdfDate(local)) + ")>>";
  WriteLine(info);
  CloseObject();
  OpenObject(0);
  WriteLine(
      "<</PageMode/UseNone/ViewerPreferences<</HideWindowUI false/DisplayDocTitle true"
      "/HideToolbar false>>" + std::string(pdfA_ || !xmp_.empty() ? "/Metadata 5 0 R" : "") +
      "/Pages 3 0 R/PageLayout/OneColumn/Type/Catalog" + (pdfA_ ? "/OutputIntents 6 0 R" : "") + ">>");
  CloseObject();
  // Objects 3 (page tree) and 4 (shared resources) are written at close.
  objectCount_ = 4;
  xref_.resize(4, 0);
  WriteMetadataObjects(XmpDate(local));
  if (IsEncrypted()) {
    encryptObject_ = OpenObject(0);
    WriteLine("<< /Filter /Standard \r/O (" + pdf::EscapeText(security_.owner) + ")\r/U (" +
              pdf::EscapeText(security_.user) + ")\r/P " + std::to_string(security_.permissions) + "\r" +
              (encryption_ == 1 ? "/V 1 /R 2 >>" : "/V 2 /R 3 /Length 128 >>"));
    CloseObject();
  }
}

std::string cPDF::Encrypted(int16_t number, std::string_view data) const {
  if (!IsEncrypted()) return std::string(data);
  return pdf::Rc4(pdf::ObjectKey(security_, number), data);
}

int16_t cPDF::BeginPage() {
  if (!file_.IsOpen()) return 0;
  EnsureHeader();
  EndObject();
  if (pageOpen_) EndPage();
  if (pageCount_ == kMaxObjects) {
    file_.MarkFailed();
    return 0;
  }
  ++pageCount_;
  content_.clear();
  pageWidth_ = paperWidth_;
  pageHeight_ = paperHeight_;
  pageMargin_ = margin_;
  charSpacing_ = 0;
  wordSpacing_ = 0;
  horizontalScaling_ = 100;
  pageOpen_ = true;
  return pageCount_;
}

void cPDF::EndPage() {
  EndObject();
  if (!pageOpen_) return;
  pageOpen_ = false;
  int16_t page = OpenObject(0);
  if (page == 0 || page == kMaxObjects) {
    file_.MarkFailed();
    content_.clear();
    return;
  }
  pageRefs_ += std::to_string(page) + " 0 R ";
  const std::string w = pdf::FormatRounded(pageWidth_, 3), h = pdf::FormatRounded(pageHeight_, 3);
  const std::string m = pdf::FormatRounded(pageMargin_, 3);
  std::string dictionary = "<</Type/Page/Parent 3 0 R/Contents " + std::to_string(page + 1) +
                           " 0 R/MediaBox [0 0 " + w + " " + h + "]/CropBox [" + m + " " + m + " " +
                           pdf::FormatRounded(pageWidth_ - pageMargin_, 3) + " " +
                           pdf::FormatRounded(pageHeight_ - pageMargin_, 3) + "]";
  if (orientation_ == 1) dictionary += "/Rotate 90";
  dictionary += ">>";
  WriteLine(dictionary);
  CloseObject();

  OpenObject(static_cast<int16_t>(page + 1));
  std::string compressed;
  if (compressData_ && CompressBytes(content_, 9, compressed)) {
    WriteLine("<</Length " + std::to_string(compressed.size()) + "/Filter /FlateDecode>>stream");
    WriteBytesLine(Encrypted(static_cast<int16_t>(page + 1), compressed));
  } else {
    WriteLine("<</Length " + std::to_string(content_.size()) + ">>stream");
    WriteLine(Encrypted(static_cast<int16_t>(page + 1), content_));
  }
  content_.clear();
  content_.shrink_to_fit();
  Emit("endstream\rendobj\r");
}

bool cPDF::ClosePdfFile() {
  if (!file_.IsOpen()) return false;
  EnsureHeader();
  EndPage();

  OpenObject(4);
  std::string resources = "<<";
  if (!fontEntries_.empty()) resources += "/Font<<" + fontEntries_ + ">>";
  resources += "/ProcSet [/PDF/Text";
  if (!imageEntries_.empty()) resources += "/ImageB/ImageC/ImageI";
  resources += " ]";
  if (!imageEntries_.empty() || !formEntries_.empty())
    resources += "/XObject <<" + imageEntries_ + formEntries_ + ">>";
  resources += ">>";
  WriteLine(resources);
  CloseObject();

  OpenObject(3);
  WriteLine("<</Type/Pages/Count " + std::to_string(pageCount_) + "/Kids [" + pageRefs_ +
            "]/Resources 4 0 R>>");
  CloseObject();

  const uint64_t xrefOffset = file_.Offset();
  WriteLine("xref");
  WriteLine("0 " + std::to_string(objectCount_ + 1));
  WriteLine("0000000000 65535 f");
  std::string entries;
  entries.reserve(xref_.size() * 20);
  for (uint64_t offset : xref_) {
    entries += pdf::ZeroPadded(offset, 10);
    entries += " 00000 n\r\n";
  }
  Emit(entries);
  std::string trailer = "trailer\r\n<</Size " + std::to_string(objectCount_ + 1) + "/Root 2 0 R/Info 1 0 R";
  if (IsEncrypted()) {
    const std::string id = pdf::HexOfString(documentId1_);
    trailer += "/Encrypt " + std::to_string(encryptObject_) + " 0 R /ID [<" + id + "><" + id + ">]";
  }
  if (pdfA_) trailer += "/ID[<" + documentId1_ + "><" + documentId2_ + ">]";
  WriteLine(trailer + ">>");
  WriteLine("startxref");
  WriteLine(std::to_string(xrefOffset));
  WriteLine("%%EOF");
  return file_.Commit();
}

int16_t cPDF::OpenObject(int16_t number) {
  if (!file_.IsOpen()) return 0;
  // Objects never nest: another object ends the open form's stream first.
  EndObject();
  if (number <= 0) {
    if (objectCount_ >= kMaxObjects) {
      // Object numbers are 16-bit: the document cannot hold another object.
      file_.MarkFailed();
      return 0;
    }
    number = static_cast<int16_t>(objectCount_ + 1);
  }
  if (number > objectCount_) objectCount_ = number;
  if (xref_.size() < static_cast<size_t>(objectCount_)) xref_.resize(static_cast<size_t>(objectCount_), 0);
  xref_[static_cast<size_t>(number - 1)] = file_.Offset();
  WriteLine(std::to_string(number) + " 0 obj");
  return number;
}

void cPDF::CloseObject() { WriteLine("endobj"); }

void cPDF::WriteLine(std::string_view bytes) {
  if (!file_.IsOpen()) return;
  Emit(bytes);
  Emit(kCrLf);
}

void cPDF::WriteBytesLine(std::string_view bytes) { WriteLine(bytes); }

void cPDF::AppendContent(std::string_view line) {
  std::string* target = IsFormOpen() ? &formContent_ : pageOpen_ ? &content_ : nullptr;
  if (!target) return;
  *target += line;
  *target += kCrLf;
}

bool cPDF::CompressBytes(std::string_view source, int32_t level, std::string& out) {
  out.clear();
  uLongf size = compressBound(static_cast<uLong>(source.size()));
  out.resize(size);
  int result = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(source.data()),
                         static_cast<uLong>(source.size()), level);
  if (result != Z_OK) {
    out.clear();
    return false;
  }
  out.resize(size);
  return true;
}

}  // namespace tessivo
