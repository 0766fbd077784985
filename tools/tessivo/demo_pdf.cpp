#include "demo_pdf.h"

#include <cstdio>
#include <memory>

#include "pdf/pdf_writer.h"
#include "platform/bitmap.h"

namespace tessivo::cli {

bool WriteDemoPdf(const std::string& path, bool archival) {
  std::remove(path.c_str());  // the writer never replaces a file
  // A small generated picture: a colour gradient.
  std::unique_ptr<platform::Bitmap> picture;
  if (platform::Bitmap::Create(256, 128, platform::kPixelFormat24bppRGB, picture) != platform::Status::Ok)
    return false;
  for (int32_t y = 0; y < 128; ++y)
    for (int32_t x = 0; x < 256; ++x)
      picture->SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(x) << 16 |
                                  static_cast<uint32_t>(2 * y) << 8 | static_cast<uint32_t>(255 - x));
  picture->SetResolution(72, 72);

  cPDF writer;
  if (!writer.NewPdf(path, "Tessivo demonstration", "Tessivo", "tessivo demo", "demo, pdf",
                     "An image, text and shapes"))
    return false;
  writer.SetPdfA(archival);
  const int32_t image = writer.PdfAddBitmap(*picture);
  const int32_t regular = writer.LoadFont("Arial");
  const int32_t bold = writer.LoadFont("Times New Roman", true, false);
  writer.BeginPage();
  writer.DrawImg(image, 72, 560, 256, 128);
  writer.SetColorFill(0);
  writer.DrawText(72, 780, "Tessivo PDF writer", bold, 24);
  writer.DrawText(72, 750, "An image, text and vector shapes on one A4 page.", regular, 12);
  writer.DrawText(523, 720, "Right aligned", regular, 12, 1);
  writer.DrawText(540, 300, "Rotated text", regular, 14, 0, 90);
  writer.SetLineWidth(2);
  writer.SetColorStroke(0x00994411);
  writer.SetColorFill(0x0055CCEE);
  writer.Rectangle(72, 380, 180, 120, 5, 20);
  writer.SetDash(6, 3);
  writer.DrawCircle(380, 440, 60, 1);
  writer.SetDash(0, 0);
  writer.SetColorFill(-200);
  writer.Arc(160, 220, 80, 30, 300, 0.6f, true, 15, 5, 5);
  writer.MoveTo(300, 150);
  writer.Curve(350, 300, 450, 0, 520, 150, 1);
  return writer.ClosePdfFile();
}

}  // namespace tessivo::cli
