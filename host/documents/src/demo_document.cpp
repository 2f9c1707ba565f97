#include "vantrel_host/document_file.h"

namespace vantrel_host {

extern const char* const kDemoDocumentText;

std::unique_ptr<BaseDocument> BuildDemoDocument(std::string& error) {
    return LoadDocumentFromText(kDemoDocumentText, "demo.json", VANTREL_EXAMPLES_DIR, error);
}

}  // namespace vantrel_host
