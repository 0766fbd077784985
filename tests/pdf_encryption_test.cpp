#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "pdf/pdf_writer.h"
#include "pdf/standard_security.h"
#include "platform/bitmap.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {

using testing::ReadText;
using testing::RunCommand;
using testing::ScopedTempFolder;
using testing::ShellQuote;

// A one-page document with text, an indexed image (stream and colour table) and Info strings.
std::string WriteEncrypted(const ScopedTempFolder& folder, const std::string& name, int32_t mode,
                           int32_t rights, const std::string& user, const std::string& owner) {
  const std::string path = folder.File(name);
  cPDF writer;
  EXPECT_TRUE(writer.NewPdf(path, "Secret title", "Author", "", "", "", mode, rights, user, owner));
  std::unique_ptr<platform::Bitmap> image;
  EXPECT_EQ(platform::Bitmap::Create(16, 16, platform::kPixelFormat4bppIndexed, image), platform::Status::Ok);
  EXPECT_EQ(writer.PdfAddBitmap(*image), 1);
  EXPECT_EQ(writer.LoadFont("Arial"), 1);
  writer.DrawImg(1, 72, 72, 100, 100);
  writer.DrawText(72, 700, "Hidden words", 1, 14);
  EXPECT_TRUE(writer.ClosePdfFile());
  return path;
}

std::string Decrypt(const std::string& path, const std::string& password) {
  const std::string out = path + ".plain.pdf";
  std::remove(out.c_str());
  auto r = RunCommand("qpdf --password=" + ShellQuote(password) + " --decrypt --qdf --object-streams=disable " +
                      ShellQuote(path) + " " + ShellQuote(out));
  if (r.exitCode != 0 && r.exitCode != 3) return {};
  return ReadText(out);
}

TEST(PdfSecurity, PermissionValuesOfBothRevisions) {
  EXPECT_EQ(pdf::PermissionValue(-1, 2), -4);
  EXPECT_EQ(pdf::PermissionValue(-1, 3), -4);
  EXPECT_EQ(pdf::PermissionValue(0, 2), -64);
  EXPECT_EQ(pdf::PermissionValue(0, 3), -3904);
  EXPECT_EQ(pdf::PermissionValue(1, 3), -3900);
  EXPECT_EQ(pdf::PermissionValue(16, 2), -64);
  EXPECT_EQ(pdf::PermissionValue(200, 3), static_cast<int32_t>(0xFFFFF0C0u | 32 | 1024 | 2048));
  EXPECT_EQ(pdf::HexOfString("\x01\xAB" "z"), "01AB7A");
  // RFC 1321 and the common RC4 test vector.
  EXPECT_EQ(pdf::HexOfString(pdf::Md5("abc")), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(pdf::HexOfString(pdf::Rc4("Key", "Plaintext")), "BBF316E8D940AF0AD3");
  EXPECT_EQ(pdf::Rc4("Key", ""), "");
}

TEST(PdfSecurity, FortyBitDocumentsOpenWithTheirPasswordsOnly) {
  ScopedTempFolder folder;
  // An empty owner password: the user password serves for both.
  const std::string path = WriteEncrypted(folder, "rc4-40.pdf", 1, -1, "user", "");
  const std::string pdf = ReadText(path);
  EXPECT_EQ(pdf.rfind("%PDF-1.3\r%", 0), 0u);
  EXPECT_TRUE(std::regex_search(pdf, std::regex("5 0 obj\r\n<< /Filter /Standard \r/O \\(")));
  EXPECT_NE(pdf.find("\r/P -4\r/V 1 /R 2 >>\r\nendobj"), std::string::npos);
  EXPECT_TRUE(std::regex_search(pdf, std::regex("/Encrypt 5 0 R /ID \\[<([0-9A-F]{64})><\\1>\\]>>")));
  EXPECT_EQ(pdf.find("Secret title"), std::string::npos);
  EXPECT_EQ(pdf.find("Hidden words"), std::string::npos);

  const std::string plain = Decrypt(path, "user");
  EXPECT_NE(plain.find("Secret title"), std::string::npos);
  EXPECT_NE(plain.find("(Hidden words) Tj"), std::string::npos);
  EXPECT_TRUE(Decrypt(path, "wrong").empty());
  EXPECT_TRUE(Decrypt(path, "").empty());
  auto check = RunCommand("qpdf --password=user --check " + ShellQuote(path));
  EXPECT_EQ(check.exitCode, 0) << check.output;
  auto shown = RunCommand("qpdf --password=user --show-encryption " + ShellQuote(path)).output;
  EXPECT_NE(shown.find("R = 2"), std::string::npos) << shown;
  EXPECT_NE(shown.find("P = -4"), std::string::npos) << shown;
  EXPECT_NE(RunCommand("pdftotext -upw user " + ShellQuote(path) + " -").output.find("Hidden words"),
            std::string::npos);
}

TEST(PdfSecurity, HundredTwentyEightBitDocumentsKeepOwnerAndUserApart) {
  ScopedTempFolder folder;
  const std::string path = WriteEncrypted(folder, "rc4-128.pdf", 2, 1, "reader", "boss");
  const std::string pdf = ReadText(path);
  EXPECT_EQ(pdf.rfind("%PDF-1.4\r%", 0), 0u);
  EXPECT_NE(pdf.find("\r/P -3900\r/V 2 /R 3 /Length 128 >>\r\nendobj"), std::string::npos);
  for (const char* password : {"reader", "boss"}) {
    const std::string plain = Decrypt(path, password);
    EXPECT_NE(plain.find("(Hidden words) Tj"), std::string::npos) << password;
    EXPECT_NE(plain.find("Secret title"), std::string::npos) << password;
  }
  EXPECT_TRUE(Decrypt(path, "Reader").empty());
  auto shown = RunCommand("qpdf --password=boss --show-encryption " + ShellQuote(path)).output;
  EXPECT_NE(shown.find("R = 3"), std::string::npos) << shown;
  EXPECT_NE(shown.find("P = -3900"), std::string::npos) << shown;
  EXPECT_NE(shown.find("print low resolution: allowed"), std::string::npos) << shown;
  EXPECT_NE(shown.find("modify other: not allowed"), std::string::npos) << shown;
}

TEST(PdfSecurity, EmptyPasswordsOpenWithoutAskingAndRevisionTwoIgnoresNewerRights) {
  ScopedTempFolder folder;
  const std::string path = WriteEncrypted(folder, "open.pdf", 1, 16, "", "");
  EXPECT_NE(ReadText(path).find("\r/P -64\r/V 1 /R 2 >>"), std::string::npos);
  EXPECT_TRUE(testing::PdfIsValid(path));
  EXPECT_NE(testing::PdfText(path).find("Hidden words"), std::string::npos);
  EXPECT_NE(testing::PdfInfo(path).find("Secret title"), std::string::npos);
}

TEST(PdfSecurity, EncryptedInfoStringsSurviveEveryByteValue) {
  // About 3000 encrypted title bytes under random document keys hold 0x0D, 0x0A, 0x28, 0x29
  // and 0x5C many times over; each must come back intact through the escapes.
  ScopedTempFolder folder;
  for (int i = 0; i < 30; ++i) {
    const std::string path = folder.File("info" + std::to_string(i) + ".pdf");
    const std::string title = "Title number " + std::to_string(i) + std::string(90, 'x');
    cPDF writer;
    ASSERT_TRUE(writer.NewPdf(path, title, "", "", "", "", 2, -1, "", ""));
    writer.BeginPage();
    ASSERT_TRUE(writer.ClosePdfFile());
    EXPECT_NE(Decrypt(path, "").find("/Title (" + title + ")"), std::string::npos) << i;
  }
}

}  // namespace
}  // namespace tessivo
