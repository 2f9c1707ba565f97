// What a plug-in registers with the host, and what it shows the user.
#pragma once

#include "c4d_basedocument.h"

class BaseContainer;

class BaseData {
public:
    virtual ~BaseData() = default;
};

class CommandData : public BaseData {
public:
    virtual Bool Execute(BaseDocument* doc);
    virtual Bool ExecuteSubID(BaseDocument* doc, Int32 subid);
    virtual Bool ExecuteOptionID(BaseDocument* doc, Int32 plugid, Int32 subid);
    virtual Int32 GetState(BaseDocument* doc);
    virtual Bool GetSubContainer(BaseDocument* doc, BaseContainer& submenu);
    virtual Bool RestoreLayout(void* secret);
    virtual Bool GetScriptName(BaseDocument* doc, String& name);
    virtual Bool Message(Int32 type, void* data);
};

// An image; the stand-in keeps only the file name it was made from.
class BaseBitmap {
public:
    explicit BaseBitmap(const String& file) : file_(file) {}
    const String& GetFileName() const { return file_; }

private:
    String file_;
};

class AutoBitmap {
public:
    explicit AutoBitmap(const String& file, Float pixelRatio = 1.0);
    operator BaseBitmap*() const { return bitmap_.get(); }

private:
    std::unique_ptr<BaseBitmap> bitmap_;
};

// Registers a menu command under its id. The host owns dat from this call on, also
// when the registration fails (an id already taken, a null command). icon may be null.
Bool RegisterCommandPlugin(Int32 id, const String& str, Int32 info, BaseBitmap* icon,
                           const String& help, CommandData* dat);

// A message the user must see (a dialog in the host).
void MessageDialog(const String& str);
// A line in the host's console.
void GePrint(const String& str);

// The plug-in side of the entry contract: every plug-in defines these three and
// links the framework, whose exported c4d_main calls them (see docs/host-plugins.md).
Bool PluginStart();
void PluginEnd();
Bool PluginMessage(Int32 id, void* data);

// Actions of c4d_main(action, p1, p2, p3).
enum : Int32 {
    C4DPL_INIT_SYS = 1,  // p1: const C4D_HostInterface*; a version below 16000 is refused
    C4DPL_INIT = 2,      // calls PluginStart
    C4DPL_END = 3,       // calls PluginEnd
    C4DPL_MESSAGE = 4    // calls PluginMessage(id = (Int32)(intptr_t)p1, p2)
};
// Message ids the host sends through C4DPL_MESSAGE.
enum : Int32 { C4DPL_STARTACTIVITY = 1000, C4DPL_ENDACTIVITY = 1001 };
// Results of c4d_main.
enum : Int32 { C4DPL_ERROR = 0, C4DPL_OK = 1, C4DPL_ERROR_VERSION = -10 };

struct C4D_HostInterface {
    Int32 version;
};
// The interface version this host hands to plug-ins, and the lowest the framework accepts.
enum : Int32 { C4D_HOST_API_VERSION = 19024, C4D_MIN_API_VERSION = 16000 };

extern "C" Int32 c4d_main(Int32 action, void* p1, void* p2, void* p3);
