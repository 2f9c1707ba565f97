#include "C4DLoader.h"

#include <sys/stat.h>

#include <exception>

#include "C4DText.h"
#include "LightFileFactory.h"
#include "LightModule.h"
#include "RepeatLinkFactory.h"

namespace {

// The host's coordinates are left-handed, the renderer's right-handed: the model group
// mirrors z for everything inside it.
const tavMatrix kMirrorZ = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}};

// Holds a wrapper over the factory in the converter's field for one command, and clears
// the field on every way out, before the factory goes.
class WrapperScope {
public:
    WrapperScope(C4DLoader& converter, tav::LightFactory& factory) : loader(converter) {
        loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>(&factory);
    }
    ~WrapperScope() { loader.sceneWrapper.reset(); }
    WrapperScope(const WrapperScope&) = delete;
    WrapperScope& operator=(const WrapperScope&) = delete;

private:
    C4DLoader& loader;
};

// Stands the document on its first frame, with caches and deformers evaluated there,
// and back on its own time afterwards, also when the walk ends early.
class FirstFrame {
public:
    explicit FirstFrame(BaseDocument* shown) : doc(shown), time(shown->GetTime()) {
        show(doc->GetMinTime());
    }
    ~FirstFrame() { show(time); }
    FirstFrame(const FirstFrame&) = delete;
    FirstFrame& operator=(const FirstFrame&) = delete;

private:
    void show(const BaseTime& t) {
        doc->SetTime(t);
        doc->ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0);
    }

    BaseDocument* doc;
    BaseTime time;
};

// The renderer's import options. A file always lets the renderer adjust camera and
// environment; a live scene only when the renderer already showed the model.
tav::DefaultRTModule importOptions(bool adjust) {
    tav::DefaultRTModule options;
    options.setImportMode(true);
    options.setImportMergeGroups(false);
    options.setImportMergeObjects(false);
    options.setImportAdjustEnvironment(adjust);
    options.setImportAdjustCamera(adjust);
    options.setImportKeepOriginal(true);
    options.setImportUpVector(1);
    options.setMeterScale(100.0f);  // one host unit is one centimetre
    options.setImportSnapToGround(false);
    options.setImportCenterGeometry(false);
    options.setExt(false);
    return options;
}

// The document's file name without its extension; "untitled" when it has none.
std::string modelNameOf(BaseDocument* doc) {
    std::string name = "untitled";
    if (doc && doc->GetDocumentName().Content()) getUtf8(doc->GetDocumentName().GetString(), name);
    return name.substr(0, name.rfind('.'));
}

// "1 camera", "2 cameras".
std::string counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// One line: the file, its size, and what it holds.
std::string exportSummary(const std::string& path, const SceneCounts& counts) {
    std::string line = "Exported \"" + path + "\"";
    struct stat file {};
    if (stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode))
        line += " (" + counted(static_cast<size_t>(file.st_size), "byte", "bytes") + ")";
    line += ": " + counted(counts.objects, "object", "objects") + " with " +
            counted(counts.triangles, "triangle", "triangles") + ", " +
            counted(counts.materials, "material", "materials") + ", " +
            counted(counts.cameras, "camera", "cameras") + ", " +
            counted(counts.animations, "animation track", "animation tracks");
    return line;
}

// A message for the user; the factories end theirs with a newline that a dialog does not need.
void tellUser(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    MessageDialog(String(text));
}

}  // namespace

C4DLoader::C4DLoader() = default;
C4DLoader::~C4DLoader() = default;

bool C4DLoader::render(BaseDocument* doc) {
    updateMode = false;
    sendToRenderer(doc, "");
    return true;
}

bool C4DLoader::update(BaseDocument* doc) {
    updateMode = true;
    sendToRenderer(doc, modelNameOf(doc));
    return true;
}

void C4DLoader::sendToRenderer(BaseDocument* doc, const std::string& modelName) {
    tav::RepeatLinkFactory factory;
    factory.setModelName(modelName);
    factory.setUpdate(updateMode);
    factory.setVersionRange(7, 8);
    {
        WrapperScope scope(*this, factory);
        if (!sceneWrapper->get_scene_api()) {
            tellUser(factory.getLastError());
            return;
        }
        sceneWrapper->insertNode(importOptions(factory.hadModel()));
        load(doc);
    }
    // Sends do not fail the walk: a renderer that went away or stopped taking the scene
    // shows only when the connection ends.
    if (!factory.finish()) tellUser(factory.getLastError());
}

bool C4DLoader::vspExport(BaseDocument* doc) {
    Filename file;
    file.SetDirectory(Filename("%USERDATA%"));
    file.SetFile(Filename("untitled"));
    file.SetSuffix(String("vsp"));
    if (!file.FileSelect(FILESELECTTYPE_ANYTHING, FILESELECT_SAVE, String("Export to .vsp"),
                         String("vsp")))
        return false;
    updateMode = false;
    std::string path;
    if (!getUtf8(file.GetString(), path)) return false;
    // The factory throws when the file cannot be opened, written or closed; the user
    // hears of it here and never gets a silently broken file.
    try {
        tav::LightFileFactory factory(path);
        {
            WrapperScope scope(*this, factory);
            if (sceneWrapper->get_scene_api()) {
                sceneWrapper->insertNode(importOptions(true));
                load(doc);
            }
        }
        factory.finish();
    } catch (const std::exception& e) {
        tellUser(e.what());
        return false;
    }
    GePrint(String(exportSummary(path, counts)));
    return true;
}

void C4DLoader::load(BaseDocument* doc) {
    document = doc;
    counts = {};
    progress = 0.0f;
    documentPath = "";
    if (!doc) return;
    const FirstFrame firstFrame(doc);

    if (doc->GetDocumentPath().Content()) getUtf8(doc->GetDocumentPath().GetString(), documentPath);

    // Cameras stand outside the model group.
    std::vector<BaseObject*> cameras;
    for (BaseObject* object = doc->GetFirstObject(); object; object = object->GetNext())
        getCameras(object, cameras);
    for (BaseObject* camera : cameras) writeCamera(camera);

    sceneWrapper->begin_group(modelNameOf(doc));
    tavScene_api* api = sceneWrapper->get_scene_api();
    api->transform(kMirrorZ);
    api->set_attribute("source file", "source file");

    selectedObjects.clear();
    if (updateMode) {
        AutoAlloc<AtomArray> selection;
        if (selection) {
            doc->GetSelection(*selection);
            for (Int32 i = 0; i < selection->GetCount(); ++i) {
                // Only objects carry a GUID; selected tags choose nothing.
                const auto* object = dynamic_cast<const BaseObject*>(selection->GetIndex(i));
                if (object) selectedObjects.insert(object->GetGUID());
            }
        }
    }

    int count = 0;
    for (BaseObject* object = doc->GetFirstObject(); object; object = object->GetNext()) ++count;
    for (BaseObject* object = doc->GetFirstObject(); object; object = object->GetNext())
        browseHierarchy(object, {nullptr}, true, true, 1.0f / count, false);
    sceneWrapper->end_group();
}
