#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>

#include "pdf/pdf_writer.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {

using testing::ScopedTempFolder;

// The content of the single page that `draw` fills, as written (uncompressed), after the
// document passed the checks.
std::string PageContent(const std::function<void(cPDF&)>& draw) {
  ScopedTempFolder folder;
  const std::string path = folder.File("drawing.pdf");
  cPDF writer;
  writer.SetCompressData(false);
  EXPECT_TRUE(writer.NewPdf(path));
  draw(writer);  // the first operator begins the page itself
  EXPECT_EQ(writer.Pages(), 1);
  EXPECT_TRUE(writer.ClosePdfFile());
  EXPECT_TRUE(testing::PdfIsValid(path));
  const std::string pdf = testing::ReadText(path);
  const size_t start = pdf.find(">>stream\r\n", pdf.find("6 0 obj"));
  const size_t end = pdf.find("\r\nendstream", start);
  if (start == std::string::npos || end == std::string::npos) return {};
  return pdf.substr(start + 10, end - start - 10);
}

int Count(const std::string& text, const std::string& pattern) {
  std::regex re(pattern);
  return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

TEST(PdfDrawing, ColoursLineStateAndDashes) {
  std::string content = PageContent([](cPDF& w) {
    w.SetColorStroke(-128);
    w.SetColorFill(255);
    w.SetColorFill(65280);
    w.SetColorStroke(0x00336699);
    w.SetColorFill(0);
    w.SetLineWidth(0.25f);
    w.SetLineCap(2);
    w.SetLineCap(3);  // ignored
    w.SetLineJoin(1);
    w.SetLineJoin(-1);  // ignored
    w.SetDash(0, 0);
    w.SetDash(3, 2);
  });
  EXPECT_EQ(content,
            "0.502 G\r\n1 0 0 rg\r\n0 1 0 rg\r\n0.6 0.4 0.2 RG\r\n0 g\r\n0.25 w\r\n2 J\r\n1 j\r\n"
            "[ ] 0 d\r\n[3 2] 0 d\r\n");
}

TEST(PdfDrawing, PathsAndPaintingFlags) {
  std::string content = PageContent([](cPDF& w) {
    w.MoveTo(10, 20.5f);
    w.LineTo(30, 40, 0);
    w.LineTo(1, 2, 1);
    w.LineTo(1, 2, 2);
    w.LineTo(1, 2, 3);
    w.LineTo(1, 2, 4);
    w.LineTo(1, 2, 5);
    w.LineTo(1, 2, 6);
    w.LineTo(1, 2, 7);
    w.Curve(1, 2, 3, 4, 5, 6.125f, 8 | 1);
    w.Rectangle(10, 10, 100, 50, 5);
  });
  EXPECT_EQ(content,
            "10 20.5 m\r\n30 40 l\r\n1 2 l\r\nS\r\n1 2 l\r\nh\r\n1 2 l\r\nh\r\nS\r\n1 2 l\r\nf\r\n"
            "1 2 l\r\nB\r\n1 2 l\r\nf\r\n1 2 l\r\nb\r\n1 2 3 4 5 6.125 c\r\nS\r\n"
            "n\r\n10 10 100 50 re\r\nB\r\n");
}

TEST(PdfDrawing, RoundedRectangleRadiusIsClampedToTheShorterSide) {
  std::string content = PageContent([](cPDF& w) { w.Rectangle(0, 0, 40, 40, 1, 50); });
  // Radius 20, control offset 0.55 x 20 = 11.
  EXPECT_EQ(content,
            "n\r\n20 0 m\r\n20 0 l\r\n31 0 40 9 40 20 c\r\n40 20 l\r\n40 31 31 40 20 40 c\r\n"
            "20 40 l\r\n9 40 0 31 0 20 c\r\n0 20 l\r\n0 9 9 0 20 0 c\r\nS\r\n");
}

TEST(PdfDrawing, CircleUsesFourCurvesWithFactor055) {
  std::string content = PageContent([](cPDF& w) { w.DrawCircle(100, 100, 10, 4); });
  EXPECT_EQ(content,
            "100 90 m\r\n105.5 90 110 94.5 110 100 c\r\n110 105.5 105.5 110 100 110 c\r\n"
            "94.5 110 90 105.5 90 100 c\r\n90 94.5 94.5 90 100 90 c\r\nf\r\n");
}

TEST(PdfDrawing, ArcsPiesAndEndlessSteps) {
  std::string arc = PageContent([](cPDF& w) { w.Arc(100, 100, 50, 0, 90, 1, false, 0, 1, 1); });
  EXPECT_EQ(arc.rfind("n\r\n100 100 m\r\n150 100 m\r\n150 100 l\r\n", 0), 0u);
  EXPECT_EQ(Count(arc, "[-0-9.]+ [-0-9.]+ m\r\n"), 2);
  EXPECT_EQ(Count(arc, " l\r\n"), 91);
  EXPECT_NE(arc.find("100 150 l\r\nS\r\n"), std::string::npos);
  EXPECT_EQ(arc.substr(arc.size() - 3), "S\r\n");

  // Filling makes a pie: no move to the first point, a line back to the centre.
  std::string pie = PageContent([](cPDF& w) { w.Arc(0, 0, 10, 0, 180, 0.5f, false, 90, 90, 4); });
  EXPECT_EQ(pie, "n\r\n0 0 m\r\n0 10 l\r\n-5 0 l\r\n0 -10 l\r\n0 0 l\r\nf\r\n");

  // A step of 0 or away from the end angle would never finish: only the centre is drawn.
  std::string none = PageContent([](cPDF& w) {
    w.Arc(0, 0, 10, 0, 90, 1, false, 0, 0, 1);
    w.Arc(0, 0, 10, 0, 90, 1, false, 0, -1, 1);
  });
  EXPECT_EQ(none, "n\r\n0 0 m\r\nS\r\nn\r\n0 0 m\r\nS\r\n");
}

TEST(PdfDrawing, OperatorsWithoutADocumentDoNothing) {
  cPDF writer;
  writer.LineTo(1, 1, 1);
  writer.Rectangle(0, 0, 1, 1, 1);
  writer.Arc(0, 0, 1, 0, 360, 1, false, 0, 1, 1);
  EXPECT_EQ(writer.Pages(), 0);
  EXPECT_FALSE(writer.IsPageOpen());
}

TEST(PdfDrawing, FormsRecordDrawingOnceAndPlaceItOnEveryPage) {
  ScopedTempFolder folder;
  for (int32_t encryption : {0, 2}) {
    const std::string path = folder.File("forms" + std::to_string(encryption) + ".pdf");
    cPDF writer;
    writer.SetCompressData(false);
    ASSERT_TRUE(writer.NewPdf(path, "", "", "", "", "", encryption, -1, "", "owner"));
    EXPECT_EQ(writer.StartObject("a b"), 0);
    EXPECT_EQ(writer.StartObject(""), 0);
    const int16_t form = writer.StartObject("Stamp", 7);
    ASSERT_EQ(form, 5 + (encryption ? 1 : 0));
    EXPECT_EQ(writer.StartObject("Stamp"), 0);  // a name is used once
    writer.SetColorFill(0);
    writer.Rectangle(100, 600, 200, 100, 6);
    writer.DrawObject("Stamp");  // not inside itself
    writer.EndObject();
    EXPECT_EQ(writer.Pages(), 0);  // drawing into the form began no page
    for (int page = 0; page < 2; ++page) {
      writer.BeginPage();
      writer.DrawObject("Stamp");
      writer.DrawObject("Unknown");
    }
    ASSERT_TRUE(writer.ClosePdfFile());
    const std::string bytes = testing::ReadText(path);
    EXPECT_NE(bytes.find(std::to_string(form) + " 0 obj\r\n<</Type/XObject/Subtype/Form/FormType 1/Name/Stamp"
                         "/BBox [0 0 595.2 842]/Matrix [1 0 0 1 0 0]/Length " + std::to_string(form + 1) + " 0 R>>stream"),
              std::string::npos);
    EXPECT_NE(bytes.find("/XObject <</Stamp " + std::to_string(form) + " 0 R \r>>"), std::string::npos);
    std::string plain = bytes;
    if (encryption) {
      testing::RunCommand("qpdf --password=owner --decrypt --qdf --object-streams=disable " +
                          testing::ShellQuote(path) + " " + testing::ShellQuote(path + ".qdf"));
      plain = testing::ReadText(path + ".qdf");
    }
    EXPECT_EQ(Count(plain, "/Stamp Do"), 2);
    EXPECT_EQ(Count(plain, "/Unknown"), 0);
    EXPECT_EQ(Count(plain, "100 600 200 100 re"), 1);
    if (encryption == 0) {
      ASSERT_TRUE(testing::PdfIsValid(path));
      EXPECT_LT(testing::RenderedGrey(path, 72, 200, 842 - 650), 50);  // the form's black box
      EXPECT_GT(testing::RenderedGrey(path, 72, 50, 50), 200);
    }
  }
}

}  // namespace
}  // namespace tessivo
