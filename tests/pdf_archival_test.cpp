// Archival (PDF/A-1b) documents and XMP metadata of the PDF writer, checked with qpdf, poppler
// and the raw bytes.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "pdf/pdf_writer.h"
#include "platform/bitmap.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {

using testing::PdfIsValid;
using testing::ReadText;
using testing::RunCommand;
using testing::ScopedTempFolder;
using testing::ShellQuote;

std::string WriteArchival(const std::string& path, const std::string& title, int32_t encryption = 0,
                          const std::string& xmp = "") {
  cPDF writer;
  EXPECT_TRUE(writer.NewPdf(path, title, "Ana Lyst", "Batch tool", "forms, scans", "Monthly run",
                            encryption, -1, "user", "owner"));
  writer.SetPdfA(true);
  writer.SetXmp(xmp);
  std::unique_ptr<platform::Bitmap> image;
  EXPECT_EQ(platform::Bitmap::Create(8, 8, platform::kPixelFormat24bppRGB, image), platform::Status::Ok);
  EXPECT_EQ(writer.PdfAddBitmap(*image), 1);
  writer.DrawImg(1, 72, 72, 100, 100);
  EXPECT_EQ(writer.LoadFont("Arial"), 1);
  writer.DrawText(72, 700, "Archived words", 1, 14);
  EXPECT_TRUE(writer.ClosePdfFile());
  return path;
}

// The stream of object `n` as qpdf decodes it.
std::string ObjectStream(const std::string& path, int n) {
  return RunCommand("qpdf --show-object=" + std::to_string(n) + " --filtered-stream-data " + ShellQuote(path))
      .output;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  size_t a = text.find(open);
  if (a == std::string::npos) return {};
  a += open.size();
  size_t b = text.find(close, a);
  return b == std::string::npos ? std::string() : text.substr(a, b - a);
}

TEST(PdfArchival, DocumentCarriesPacketOutputIntentIdsAndEmbeddedFonts) {
  ScopedTempFolder folder;
  const std::string path = WriteArchival(folder.File("a.pdf"), "Scan & <draft>");
  ASSERT_TRUE(PdfIsValid(path));
  const std::string bytes = ReadText(path);
  EXPECT_EQ(bytes.substr(0, 16), "%PDF-1.4\r%\xE2\xE3\xCF\xD3\r\n");
  EXPECT_NE(bytes.find("/Metadata 5 0 R/Pages 3 0 R/PageLayout/OneColumn/Type/Catalog/OutputIntents 6 0 R>>"),
            std::string::npos);
  EXPECT_NE(bytes.find("6 0 obj\r\n[<</Info(sRGB IEC61966-2.1)/S/GTS_PDFA1/OutputConditionIdentifier(Custom)"),
            std::string::npos);
  std::smatch id;
  ASSERT_TRUE(std::regex_search(bytes, id, std::regex("/ID\\[<([0-9A-F]{32})><([0-9A-F]{32})>\\]>>")));
  EXPECT_NE(id[1], id[2]);

  // The packet: its /Length counts exactly the bytes between "stream" CR LF and CR LF
  // "endstream"; values are escaped for XML and agree with the Info dictionary.
  std::smatch length;
  ASSERT_TRUE(std::regex_search(bytes, length, std::regex("5 0 obj\r\n<</Subtype/XML/Length (\\d+)/Type/Metadata>>stream\r\n")));
  const size_t start = static_cast<size_t>(length.position(0) + length.length(0));
  const size_t end = bytes.find("\r\nendstream", start);
  ASSERT_EQ(end - start, std::stoul(length[1]));
  const std::string packet = bytes.substr(start, end - start);
  EXPECT_EQ(packet.substr(0, 21), "<?xpacket begin=\"\xEF\xBB\xBF\"");
  EXPECT_EQ(packet.substr(packet.size() - 19), "<?xpacket end=\"w\"?>");
  EXPECT_NE(packet.find("<rdf:li xml:lang=\"x-default\">Scan &amp; &lt;draft&gt;</rdf:li>"), std::string::npos);
  EXPECT_NE(packet.find("<pdfaid:conformance>B</pdfaid:conformance>"), std::string::npos);
  EXPECT_EQ(packet.find("XXX_"), std::string::npos);
  EXPECT_TRUE(std::regex_search(packet, std::regex("<xmpMM:DocumentID>uuid: [0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-"
                                                   "[0-9A-F]{4}-[0-9A-F]{12}</xmpMM:DocumentID>")));
  // The same instant in both date forms.
  std::smatch xmpDate, infoDate;
  ASSERT_TRUE(std::regex_search(packet, xmpDate, std::regex(
      "<xmp:CreateDate>(\\d{4})-(\\d\\d)-(\\d\\d)T(\\d\\d):(\\d\\d):(\\d\\d)([+-]\\d\\d):(\\d\\d)</xmp:CreateDate>")));
  ASSERT_TRUE(std::regex_search(bytes, infoDate, std::regex("/CreationDate\\(D:(\\d{14})([+-]\\d\\d)'(\\d\\d)'\\)")));
  EXPECT_EQ(infoDate[1].str(), xmpDate[1].str() + xmpDate[2].str() + xmpDate[3].str() + xmpDate[4].str() +
                                   xmpDate[5].str() + xmpDate[6].str());
  EXPECT_EQ(infoDate[2].str() + infoDate[3].str(), xmpDate[7].str() + xmpDate[8].str());

  const std::string info = testing::PdfInfo(path);
  EXPECT_NE(info.find("Scan & <draft>"), std::string::npos) << info;
  const std::string xmp = RunCommand("exiftool -XMP-pdfaid:all -XMP-dc:Title " + ShellQuote(path)).output;
  EXPECT_TRUE(std::regex_search(xmp, std::regex("Part +: 1\n"))) << xmp;
  EXPECT_TRUE(std::regex_search(xmp, std::regex("Conformance +: B\n"))) << xmp;
  EXPECT_TRUE(std::regex_search(xmp, std::regex("Title +: Scan & <draft>\n"))) << xmp;
  const std::string fonts = RunCommand("pdffonts " + ShellQuote(path)).output;
  EXPECT_TRUE(std::regex_search(fonts, std::regex("TrueType +WinAnsi +yes"))) << fonts;
  EXPECT_EQ(testing::PdfText(path).find("Archived words") != std::string::npos, true);

  // The output intent's profile: an ICC version 2 RGB display profile named sRGB.
  const std::string profile = ObjectStream(path, 7);
  ASSERT_GT(profile.size(), 128u);
  EXPECT_EQ(profile[8], 2);
  EXPECT_EQ(profile.substr(12, 8), "mntrRGB ");
  EXPECT_EQ(profile.substr(36, 4), "acsp");
  EXPECT_NE(profile.find("sRGB IEC61966-2.1"), std::string::npos);
}

TEST(PdfArchival, EncryptionWinsOverArchivalAndCallerPacketsAreWrittenAsGiven) {
  ScopedTempFolder folder;
  // Encrypted: no packet, no output intent, the banner header, no embedded font program.
  const std::string locked = WriteArchival(folder.File("locked.pdf"), "Scan", 2);
  const std::string lockedBytes = ReadText(locked);
  EXPECT_EQ(lockedBytes.substr(0, 10), "%PDF-1.4\r%");
  EXPECT_EQ(lockedBytes.substr(10, 7), "Tessivo");
  EXPECT_EQ(lockedBytes.find("/Metadata"), std::string::npos);
  EXPECT_EQ(lockedBytes.find("/OutputIntents"), std::string::npos);
  EXPECT_EQ(lockedBytes.find("/FontFile2"), std::string::npos);
  EXPECT_EQ(RunCommand("qpdf --password=user --check " + ShellQuote(locked)).exitCode, 0);

  // An encrypted caller packet is object 5 under object 5's key: it decrypts to the packet.
  const std::string packet = "<?xpacket begin=\"\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/><?xpacket end=\"w\"?>";
  const std::string sealed = WriteArchival(folder.File("sealed.pdf"), "Scan", 1, packet);
  EXPECT_NE(ReadText(sealed).find("/Metadata 5 0 R"), std::string::npos);
  EXPECT_EQ(RunCommand("qpdf --password=user --show-object=5 --filtered-stream-data " + ShellQuote(sealed)).output,
            packet);

  // Without archival mode a caller packet is written byte for byte, with no output intent.
  const std::string path = folder.File("plain.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path, "Plain"));
  writer.SetXmp(packet);
  writer.BeginPage();
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string bytes = ReadText(path);
  EXPECT_EQ(bytes.substr(0, 10), "%PDF-1.3\r%");
  EXPECT_NE(bytes.find("5 0 obj\r\n<</Subtype/XML/Length " + std::to_string(packet.size()) +
                       "/Type/Metadata>>stream\r\n" + packet + "\r\nendstream\r\nendobj"),
            std::string::npos);
  EXPECT_NE(bytes.find("/Metadata 5 0 R"), std::string::npos);
  EXPECT_EQ(bytes.find("/OutputIntents"), std::string::npos);
  EXPECT_EQ(bytes.find("/ID"), std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));

  // Settings given after the header was written change nothing.
  cPDF late;
  ASSERT_TRUE(late.NewPdf(folder.File("late.pdf")));
  late.BeginPage();
  late.SetPdfA(true);
  late.SetXmp(packet);
  EXPECT_FALSE(late.IsPdfA());
  ASSERT_TRUE(late.ClosePdfFile());
  EXPECT_EQ(ReadText(folder.File("late.pdf")).find("/Metadata"), std::string::npos);
}

}  // namespace
}  // namespace tessivo
