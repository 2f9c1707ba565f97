// Host documents stored as JSON files (format: docs/document-format.md), and the
// built-in demo document.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "c4d_basedocument.h"

namespace vantrel_host {

// Loads a document file. On failure returns null and sets error to one line naming
// the file and the place in it ("scene.json: objects[0].tags[1].projection: ...").
// Relative file names in the document resolve against the file's folder; the
// document is named after the file and lies in its folder unless the file says
// otherwise. Faults the document opens with anyway (such as positions too large for
// the export's single precision) are added to warnings, one line each, when given.
std::unique_ptr<BaseDocument> LoadDocument(const std::string& path, std::string& error,
                                           std::vector<std::string>* warnings = nullptr);

// The same from text: source_name heads error messages and is the document's
// default name; folder is the document's default folder.
std::unique_ptr<BaseDocument> LoadDocumentFromText(const std::string& text,
                                                   const std::string& source_name,
                                                   const std::string& folder, std::string& error,
                                                   std::vector<std::string>* warnings = nullptr);

// The demo document shipped as examples/demo.json (built into the library), with the
// examples folder of the source tree as its folder, so that its texture is found.
std::unique_ptr<BaseDocument> BuildDemoDocument(std::string& error);

}  // namespace vantrel_host
