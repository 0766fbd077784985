// cPDF: the toolkit's own PDF writer. One object writes exactly one document, straight to a
// file: objects go to disk as soon as they are complete, and only the cross-reference
// entries, the open page's content and the short resource lists stay in memory.
// ClosePdfFile writes the shared resources, the page tree, the cross-reference table and the
// trailer.
//
// Geometry is in PDF points (1/72 inch), origin at the lower left of the page. Text given to
// the writer is UTF-8; it reaches the file as Windows-1252 bytes, and characters outside that
// code page are written (and measured) as "?".
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/output_file.h"
#include "pdf/standard_security.h"

namespace tessivo::platform {
class Bitmap;
}

namespace tessivo {

namespace pdf {
struct FontRecord;
}

class cPDF {
 public:
  cPDF();
  ~cPDF();  // finishes a document that is still open
  cPDF(const cPDF&) = delete;
  cPDF& operator=(const cPDF&) = delete;

  // --- Settings ------------------------------------------------------------------------
  // Preset page sizes: 0 A4 (595.2 x 842), 1 A3 (842 x 1190.5), 2 Letter (612 x 792),
  // 3 (612 x 864); 255 custom. Other values are stored without changing the size.
  void SetPaperSize(int32_t value);
  float PaperWidth() const { return paperWidth_; }
  float PaperHeight() const { return paperHeight_; }
  void SetPaperWidth(float points);   // also makes the paper size custom (255)
  void SetPaperHeight(float points);
  float Margin() const { return margin_; }
  void SetMargin(float points) { margin_ = points; }
  int32_t Orientation() const { return orientation_; }
  void SetOrientation(int32_t value) { orientation_ = value; }  // 1: pages closed now rotate 90
  bool CompressData() const { return compressData_; }
  void SetCompressData(bool value) { compressData_ = value; }
  int32_t CompressLevel() const { return compressLevel_; }
  void SetCompressLevel(int32_t level);  // outside 0..9: ignored
  // PDF/A-1b (XMP metadata, sRGB output intent, embedded fonts) and a caller's own XMP
  // packet; both shape the header and take effect only before it is written. Encryption
  // switches PDF/A off.
  void SetPdfA(bool on) {
    if (!headerDone_) pdfA_ = on;
  }
  void SetXmp(std::string packet) {
    if (!headerDone_) xmp_ = std::move(packet);
  }
  bool IsPdfA() const { return pdfA_; }
  int32_t JpegQuality() const { return jpegQuality_; }
  void SetJpegQuality(int32_t quality);  // outside 0..100: ignored

  bool PdfHeaderDone() const { return headerDone_; }
  int16_t Pages() const { return pageCount_; }
  float ImageCount() const { return static_cast<float>(images_.size()); }
  // 1 while a file is open, else 0.
  int16_t PdfGetNativePdf() const { return file_.IsOpen() ? 1 : 0; }
  const std::string& PdfGetPath() const { return path_; }

  // --- Document life cycle -------------------------------------------------------------
  // Stores the Info strings and the encryption settings and opens the document's file.
  // `encryption`: 0 none, 1 RC4 40-bit, 2 RC4 128-bit; `rights` a PdfRight combination (-1
  // every right). False, with nothing opened, when the path is empty or names an existing
  // file, when `encryption` is not 0, 1 or 2, or when the file cannot be created.
  bool NewPdf(const std::string& path, const std::string& title = "", const std::string& author = "",
              const std::string& creator = "", const std::string& keywords = "",
              const std::string& subject = "", int32_t encryption = 0, int32_t rights = -1,
              const std::string& userPassword = "", const std::string& ownerPassword = "");
  // Writes the header, Info and Catalog. Called by the first page, image or font.
  void InitPdfFile();
  // Begins a page of the current paper size and margin (closing the open one); returns its
  // 1-based number, 0 when no file is open.
  int16_t BeginPage();
  // Writes the open page and its content stream.
  void EndPage();
  // Finishes and closes the document. True when the complete document is at its path; false
  // when no file was open or writing failed (no file is then left at the path).
  bool ClosePdfFile();
  // Drops the document unfinished: nothing is left at its path. For callers that learn only
  // midway that what they are writing is no result (a failed recognition, say).
  void AbandonPdfFile() { file_.Abandon(); }

  // --- Primitives ------------------------------------------------------------------------
  // Starts object `number` (0: the next free number) and records its byte offset. Returns the
  // number, 0 when no file is open or the document would exceed 32767 objects.
  int16_t OpenObject(int16_t number = 0);
  void CloseObject();
  void WriteLine(std::string_view bytes);       // bytes as given, then CR LF
  void WriteBytesLine(std::string_view bytes);  // the same, for binary data
  void AppendContent(std::string_view line);    // to the open page, CR LF appended
  // Deflate (zlib format) at `level`; false with empty `out` on failure.
  static bool CompressBytes(std::string_view source, int32_t level, std::string& out);
  bool IsPageOpen() const { return pageOpen_; }
  bool HasFailed() const { return file_.Failed(); }

  // --- Images (1-based image numbers) ----------------------------------------------------
  // Adds an image file / a registry image as an image XObject; 0 when nothing was added.
  int32_t PdfAddImageFile(const std::string& path);
  int32_t PdfAddImageId(int32_t imageId);
  int32_t PdfAddBitmap(const platform::Bitmap& image);
  int32_t ImageWidth(int32_t n) const;
  int32_t ImageHeight(int32_t n) const;
  int32_t ImageResX(int32_t n) const;
  int32_t ImageResY(int32_t n) const;
  // Places image n with its lower-left corner at (x, y), scaled to width x height points.
  void DrawImg(int32_t n, float x, float y, float width, float height);
  // Encoded image data as an XObject (mode 0 raw, 1 Flate, 2 CCITT G4, 3 JPEG); the palette
  // holds RGB triples for indexed depths. Falls back to raw samples when compression fails.
  bool WriteImageXObject(const std::string& name, const std::string& samples,
                         const std::string& palette, int32_t width, int32_t height,
                         int32_t bitsPerPixel, int32_t rowBytes, int32_t mode);

  // --- Form XObjects ---------------------------------------------------------------------
  // A reusable piece of drawing: every drawing call between StartObject and EndObject goes
  // into the form named `name` (its box the paper less the margin) instead of the page, and
  // DrawObject places the form on the open page. Returns the form's object number, 0 when no
  // file is open or the name is empty, not a plain PDF name, or already used. Starting a form
  // ends one that is still open; so do pages, images and fonts, which are separate objects.
  int16_t StartObject(const std::string& name, int32_t flags = 0);
  void EndObject();
  // Appends "/name Do" for a form that was started; other names are ignored.
  void DrawObject(const std::string& name);
  int32_t FormCount() const { return static_cast<int32_t>(forms_.size()); }
  bool IsFormOpen() const { return formObject_ != 0; }

  // --- Fonts and text (font IDs are 1-based) ---------------------------------------------
  // Loads an installed face as a TrueType font with WinAnsi encoding, measured at an em of
  // 1000. Faces are compared upper-cased without blanks; Arial, Times New Roman and Courier
  // New resolve to their metric-compatible Liberation faces under their own names. Returns 0
  // (writing nothing) for a face that is not installed or when no file is open.
  int32_t LoadFont(const std::string& face, bool bold = false, bool italic = false);
  // Text at (x, y) in font `fontId` at `size` points; alignment 0 left, 1 right, 2 centre;
  // rotation in degrees about (x, y).
  void DrawText(float x, float y, const std::string& text, int32_t fontId, float size,
                int32_t alignment = 0, float rotation = 0);
  // Width of `text` in points with the page's character and word spacing and scaling.
  float TextWidth(const std::string& text, int32_t fontId, float size) const;
  void SetTextMode(int32_t mode);  // 0..3, others ignored
  void SetCharSpacing(float points);
  void SetWordSpacing(float points);
  void SetTextHorizontalScaling(float percent);
  int32_t FontCount() const { return static_cast<int32_t>(fonts_.size()); }

  // --- Colours, line state and paths -----------------------------------------------------
  // Colours: 0..-255 grey (-value / 255), else an RGB value (red in the low byte).
  void SetColorStroke(int32_t colour);
  void SetColorFill(int32_t colour);
  void SetLineWidth(float width);
  void SetLineCap(int32_t cap);    // 0..2, others ignored
  void SetLineJoin(int32_t join);  // 0..2, others ignored
  void SetDash(float on, float off);
  // Path painting flags: 1 stroke, 2 close, 4 fill (7 "b", 5 "B", 4/6 "f", 3 "h S", 2 "h",
  // 1 "S", 0 the path stays open).
  void MoveTo(float x, float y);
  void LineTo(float x, float y, int32_t flags);
  void Curve(float x1, float y1, float x2, float y2, float x3, float y3, int32_t flags);
  // Corner radius above 0 rounds the corners, at most half the width and half the height.
  void Rectangle(float x, float y, float width, float height, int32_t flags, float radius = 0);
  void DrawCircle(float x, float y, float radius, int32_t flags);
  // An elliptic arc (vertical radius = radius x ratio, then rotated by `rotation` degrees)
  // from `startAngle` to `endAngle` in steps of `step` degrees; a pie when `pie` is set or
  // the flags fill.
  void Arc(float x, float y, float radius, float startAngle, float endAngle, float ratio,
           bool pie, float rotation, float step, int32_t flags);

 private:
  void Paint(int32_t flags);
  std::string ColourComponents(int32_t colour, bool& grey) const;

  struct ImageRecord {
    int32_t width, height, resX, resY;
  };
  void Emit(std::string_view bytes) { file_.Write(bytes); }
  void EnsureHeader() {
    if (!headerDone_) InitPdfFile();
  }
  void EnsurePage() {
    if (!pageOpen_ && !IsFormOpen()) BeginPage();
  }
  int32_t AddJpegFile(const std::string& path);
  // Objects 5 to 7: the XMP stream, and for PDF/A the output intent and its sRGB profile.
  void WriteMetadataObjects(const std::string& xmpDate);
  // The PDF/A packet: the template with the document's values.
  std::string PdfAPacket(const std::string& xmpDate) const;
  // The font program of `font` as a /FontFile2 stream; 0 when it cannot be embedded.
  int16_t WriteFontProgram(const pdf::FontRecord& font);
  // `data` encrypted with the key of object `number` when the document is encrypted.
  std::string Encrypted(int16_t number, std::string_view data) const;
  bool IsEncrypted() const { return encryption_ != 0; }

  pdf::OutputFile file_;
  std::string path_;
  bool headerDone_ = false;
  bool compressData_ = true;
  int32_t orientation_ = 0;
  int32_t paperSize_ = 0;
  float paperWidth_ = 595.2f, paperHeight_ = 842.0f, margin_ = 0;
  float pageWidth_ = 0, pageHeight_ = 0, pageMargin_ = 0;
  int16_t pageCount_ = 0;
  int32_t compressLevel_ = 9, jpegQuality_ = 75;
  int16_t objectCount_ = 0;
  std::string pageRefs_, fontEntries_, imageEntries_, formEntries_;
  std::string content_;
  bool pageOpen_ = false;
  std::vector<ImageRecord> images_;
  std::string documentId1_, documentId2_;
  std::vector<uint64_t> xref_;  // byte offset of object n at index n - 1
  std::string title_, author_, subject_, keywords_, creator_;  // Windows-1252
  bool pdfA_ = false;
  std::string xmp_;
  int32_t encryption_ = 0, rights_ = -1;
  std::string userPassword_, ownerPassword_;
  pdf::SecurityValues security_;
  int16_t encryptObject_ = 0;

  struct FormRecord {
    std::string name;
    int32_t flags;
  };
  std::vector<FormRecord> forms_;
  int16_t formObject_ = 0;   // the open form's object, 0 when none is open
  std::string formContent_;  // its drawing, written (and encrypted) by EndObject

  // Text state of the open page (reset by BeginPage).
  float charSpacing_ = 0, wordSpacing_ = 0, horizontalScaling_ = 100;
  std::vector<std::unique_ptr<pdf::FontRecord>> fonts_;
};

}  // namespace tessivo
