// Form XObjects of cPDF: drawing recorded once and placed on pages by name.
#include <algorithm>

#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"

namespace tessivo {
namespace {

// Letters, digits and the few punctuation marks that need no escape in a PDF name.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name.size() <= 127 &&
         std::all_of(name.begin(), name.end(), [](unsigned char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '-' || c == '.';
         });
}

}  // namespace

int16_t cPDF::StartObject(const std::string& name, int32_t flags) {
  if (!file_.IsOpen() || !IsPlainName(name)) return 0;
  for (const FormRecord& form : forms_)
    if (form.name == name) return 0;
  EnsureHeader();
  const int16_t g = OpenObject(0);  // also ends a form that is still open
  if (g == 0 || g == INT16_MAX) return 0;
  const std::string m = pdf::FormatRounded(margin_, 3);
  WriteLine("<</Type/XObject/Subtype/Form/FormType 1/Name/" + name + "/BBox [" + m + " " + m + " " +
            pdf::FormatRounded(paperWidth_ - margin_, 3) + " " + pdf::FormatRounded(paperHeight_ - margin_, 3) +
            "]/Matrix [1 0 0 1 0 0]/Length " + std::to_string(g + 1) + " 0 R>>stream");
  formEntries_ += "/" + name + " " + std::to_string(g) + " 0 R \r";
  forms_.push_back({name, flags});
  formObject_ = g;
  formContent_.clear();
  return g;
}

void cPDF::EndObject() {
  if (!IsFormOpen()) return;
  const int16_t form = formObject_;
  formObject_ = 0;  // before OpenObject below, which would otherwise end the form again
  const std::string data = Encrypted(form, formContent_);
  formContent_.clear();
  Emit(data);
  WriteLine("endstream");
  CloseObject();
  // The length as an indirect object, as the form's dictionary announced.
  if (OpenObject(0) == 0) return;
  WriteLine(std::to_string(data.size()));
  CloseObject();
}

void cPDF::DrawObject(const std::string& name) {
  const bool known = std::any_of(forms_.begin(), forms_.end(),
                                 [&](const FormRecord& form) { return form.name == name; });
  // A form cannot place itself: its own stream is still being written.
  if (!known || (IsFormOpen() && forms_.back().name == name)) return;
  EnsurePage();
  AppendContent("/" + name + " Do");
}

}  // namespace tessivo
