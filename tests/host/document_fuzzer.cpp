// libFuzzer harness: any bytes either fail to load as a document with one line, or
// load into a document that the export command writes as a scene file the reader
// reads back; the sanitizers catch everything else.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "C4DLoader.h"
#include "vantrel_host/document_file.h"
#include "vantrel_host/host_services.h"
#include "vantrel_host/temp_folder.h"
#include "vsp/Reader.h"

namespace {

[[noreturn]] void Refuse(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const vantrel_host::TempFolder folder("vantrel_fuzz_");
    static const std::string scene = folder.Path() + "/scene.vsp";
    static C4DLoader loader;  // one for the process, as the plug-in has
    std::string error;
    const auto doc = vantrel_host::LoadDocumentFromText(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.json", folder.Path(), error);
    if (doc == nullptr) {
        if (error.empty() || error.find('\n') != std::string::npos)
            Refuse("not one line: \"" + error + "\"");
        return 0;
    }
    std::string told;
    vantrel_host::SetMessageSink(
        [&told](vantrel_host::MessageKind, const std::string& text) { told += text + "\n"; });
    vantrel_host::SetFileDialogAnswer(scene);
    const bool exported = loader.vspExport(doc.get());
    vantrel_host::SetMessageSink({});
    if (!exported) Refuse("export failed: " + told);
    try {
        vsp::parseFile(scene);
    } catch (const std::exception& e) {
        Refuse(std::string("the exported scene does not read back: ") + e.what());
    }
    return 0;
}
