// A plug-in for the runner tests: its command "Probe" prints what it receives from
// the host (document, selection, save dialog answer) through GePrint; "Probe thread"
// breaks the host's rule and starts a thread.
#include <string>
#include <thread>

#include "c4d.h"

namespace {

class ProbeCommand : public CommandData {
public:
    Bool Execute(BaseDocument* doc) override {
        GePrint(String("probe: document " + doc->GetDocumentName().GetString().GetUtf8()));
        AtomArray* selection = AtomArray::Alloc();
        doc->GetSelection(*selection);
        std::string names;
        for (Int32 i = 0; i < selection->GetCount(); ++i)
            names += " " + static_cast<BaseList2D*>(selection->GetIndex(i))->GetName().GetUtf8();
        AtomArray::Free(selection);
        GePrint(String("probe: selection" + names));
        Filename file;
        if (file.FileSelect(FILESELECTTYPE_ANYTHING, FILESELECT_SAVE, String("Probe"),
                            String("vsp")))
            GePrint(String("probe: save " + file.GetString().GetUtf8()));
        else
            GePrint(String("probe: save cancelled"));
        return true;
    }
};

class ThreadCommand : public CommandData {
public:
    Bool Execute(BaseDocument*) override {
        std::thread([] {}).join();
        return true;
    }
};

}  // namespace

Bool PluginStart() {
    AutoBitmap icon(String("probe.png"));
    return RegisterCommandPlugin(1000001, String("Probe"), 0, icon, String("Probe the host"),
                                 new ProbeCommand) &&
           RegisterCommandPlugin(1000002, String("Probe thread"), 0, icon, String("Start a thread"),
                                 new ThreadCommand);
}

void PluginEnd() {}

Bool PluginMessage(Int32 id, void*) { return id == C4DPL_STARTACTIVITY; }
