// Tesseract engines kept per thread: loading language data takes far longer than reading a
// page, so each thread keeps its engine while it asks for the same language from the same folder.
// Tesseract engines must not be shared between threads, hence one per thread and no locks.
#pragma once
#include <string>

#include <tesseract/baseapi.h>

namespace tvocrplug {

enum class EngineKind { Text, Orientation };

// The calling thread's engine of `kind` for `language` read from `folder`, made (or remade
// after a change of language or folder) as needed; nullptr when Tesseract refuses the data.
tesseract::TessBaseAPI* ThreadEngine(EngineKind kind, const std::string& language, const std::string& folder);

// Drops the calling thread's engines; the next call loads its language data again.
void DropThreadEngines();

}  // namespace tvocrplug
