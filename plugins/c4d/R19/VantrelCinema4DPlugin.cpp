#include "VantrelCinema4DPlugin.h"

#include <exception>
#include <string>

namespace {

// Made once at start-up and kept until the host unloads the library. The command
// objects are not kept here: the host owns them from their registration on.
C4DLoader* loader = nullptr;

void registerCommand(Int32 id, const Char* name, const Char* iconFile, const Char* help,
                     CommandData* command) {
    const String menuName(name);
    const String iconName(iconFile);
    const AutoBitmap icon(iconName, 1.0);
    const String helpText(help);
    // A refused registration does not stop the others.
    RegisterCommandPlugin(id, menuName, 0, icon, helpText, command);
}

}  // namespace

Bool VantrelCommand::Execute(BaseDocument* doc) {
    // Errors stop here: an exception must never unwind into the host.
    try {
        (loader->*operation)(doc);
    } catch (const std::exception& e) {
        MessageDialog(String(std::string("Vantrel: ") + e.what()));
    } catch (...) {
        MessageDialog(String("Vantrel: the command failed."));
    }
    return true;
}

Int32 VantrelCommand::GetState(BaseDocument*) { return CMD_ENABLED; }

Bool VantrelCommand::RestoreLayout(void*) { return true; }

Bool RegisterActiveObjectDlg() {
    loader = new C4DLoader();
    CommandData* render = NewObjClear(VantrelCinema4DRender, loader);
    CommandData* update = NewObjClear(VantrelCinema4DUpdate, loader);
    CommandData* vspExport = NewObjClear(VantrelCinema4DExport, loader);
    registerCommand(ID_VANTREL_RENDER, "Render", "render.png", "Render in Vantrel", render);
    registerCommand(ID_VANTREL_UPDATE, "Update", "update.png", "Update Vantrel scene", update);
    registerCommand(ID_VANTREL_EXPORT, "Export", "export.png", "Export to .vsp", vspExport);
    return true;
}

Bool PluginStart() {
    RegisterActiveObjectDlg();
    return true;
}

void PluginEnd() {}

Bool PluginMessage(Int32 id, void*) { return id == 0 || id == 1; }
