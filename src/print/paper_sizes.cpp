#include "print/paper_sizes.h"

#include <cmath>
#include <iterator>

namespace tessivo::print {
namespace {

constexpr double kInch = 25.4;
const PaperSize kPapers[] = {
    {1, "na_letter_8.5x11in", 8.5 * kInch, 11 * kInch},
    {3, "na_ledger_11x17in", 11 * kInch, 17 * kInch},
    {5, "na_legal_8.5x14in", 8.5 * kInch, 14 * kInch},
    {6, "na_invoice_5.5x8.5in", 5.5 * kInch, 8.5 * kInch},
    {7, "na_executive_7.25x10.5in", 7.25 * kInch, 10.5 * kInch},
    {8, "iso_a3_297x420mm", 297, 420},
    {9, "iso_a4_210x297mm", 210, 297},
    {11, "iso_a5_148x210mm", 148, 210},
    {12, "jis_b4_257x364mm", 257, 364},
    {13, "jis_b5_182x257mm", 182, 257},
    {14, "om_folio_210x330mm", 210, 330},
    {20, "na_number-10_4.125x9.5in", 4.125 * kInch, 9.5 * kInch},
    {27, "iso_dl_110x220mm", 110, 220},
    {28, "iso_c5_162x229mm", 162, 229},
    {34, "iso_b5_176x250mm", 176, 250},
    {66, "iso_a2_420x594mm", 420, 594},
    {70, "iso_a6_105x148mm", 105, 148},
};

bool Near(double a, double b) { return std::fabs(a - b) <= 0.5; }

}  // namespace

std::optional<PaperSize> PaperByCode(int32_t code) {
  for (const PaperSize& p : kPapers)
    if (p.code == code) return p;
  return std::nullopt;
}

int32_t PaperCodeFor(const std::string& pwgName, double widthMm, double heightMm) {
  for (const PaperSize& p : kPapers)
    if (pwgName == p.pwgName) return p.code;
  for (const PaperSize& p : kPapers)
    if ((Near(p.widthMm, widthMm) && Near(p.heightMm, heightMm)) ||
        (Near(p.widthMm, heightMm) && Near(p.heightMm, widthMm)))
      return p.code;
  return kPaperUser;
}

}  // namespace tessivo::print
