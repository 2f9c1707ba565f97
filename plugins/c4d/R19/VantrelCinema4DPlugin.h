// The plug-in shell: the three menu commands, each handing the active document to the
// one converter that the registration creates.
#pragma once

#include "C4DLoader.h"
#include "c4d.h"

enum : Int32 {
    ID_VANTREL_RENDER = 1033591,
    ID_VANTREL_UPDATE = 1034393,
    ID_VANTREL_EXPORT = 1034420
};

// What the three commands share: always enabled, and an Execute that runs one converter
// operation and keeps every error inside the plug-in.
class VantrelCommand : public CommandData {
public:
    ~VantrelCommand() override = default;
    // Runs the operation on the document (which may be null); true in every case, since
    // whatever a conversion has to say it tells the user itself.
    Bool Execute(BaseDocument* doc) override;
    Int32 GetState(BaseDocument* doc) override;
    Bool RestoreLayout(void* secret) override;

protected:
    using Operation = bool (C4DLoader::*)(BaseDocument*);
    VantrelCommand(C4DLoader* converter, Operation command)
        : loader(converter), operation(command) {}

private:
    C4DLoader* loader;  // shared by the three commands, not owned
    Operation operation;
};

// "Render in Vantrel": the document as a new model in a running renderer.
class VantrelCinema4DRender : public VantrelCommand {
public:
    explicit VantrelCinema4DRender(C4DLoader* converter)
        : VantrelCommand(converter, &C4DLoader::render) {}
};

// "Update Vantrel scene": the document as an update of the model the renderer shows.
class VantrelCinema4DUpdate : public VantrelCommand {
public:
    explicit VantrelCinema4DUpdate(C4DLoader* converter)
        : VantrelCommand(converter, &C4DLoader::update) {}
};

// "Export to .vsp": the document as a scene file chosen in the save dialog.
class VantrelCinema4DExport : public VantrelCommand {
public:
    explicit VantrelCinema4DExport(C4DLoader* converter)
        : VantrelCommand(converter, &C4DLoader::vspExport) {}
};

// Creates the converter and the three commands and registers the commands with the host.
Bool RegisterActiveObjectDlg();
