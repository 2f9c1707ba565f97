#include "C4DAnimation.h"
#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"

namespace {

// Visibility parameters: 0 on, 1 off, 2 as the parent.
const Int32 kVisibilityAsParent = 2;

// The object's own visibility, or the parent chain's when it defers to it. A parameter
// the object does not carry reads as "as the parent", the host's default.
bool visibility(const BaseObject* object, Int32 parameter, bool parentVisible) {
    Int32 mode = kVisibilityAsParent;
    readParameter(object, parameter, mode);
    return mode == kVisibilityAsParent ? parentVisible : mode == 0;
}

}  // namespace

void C4DLoader::browseHierarchy(BaseObject* object, std::vector<BaseTag*> inheritedTags,
                                bool editorVisible, bool renderVisible, float weight,
                                bool parentSelected) {
    const bool selected = parentSelected || selectedObjects.count(object->GetGUID()) > 0;
    const float progressAtEntry = progress;

    std::string name = "object";
    getUtf8(object->GetName(), name);
    // Cut at a character boundary to what the renderer takes.
    char nodeName[kMaxNameBytes + 1];
    copyUtf8(nodeName, sizeof nodeName, name);

    tavScene_api* api = sceneWrapper->get_scene_api();
    api->set_progress(nodeName, progress);

    editorVisible = visibility(object, ID_BASEOBJECT_VISIBILITY_EDITOR, editorVisible);
    renderVisible = visibility(object, ID_BASEOBJECT_VISIBILITY_RENDER, renderVisible);

    sceneWrapper->begin_group(nodeName);
    api->set_flags(1);
    api->transform(toTavMatrix(object->GetMl()));

    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext())
        browseTag(tag, nullptr, nullptr, nullptr, &inheritedTags);

    // What the object contributes itself: what it generates or its deformed form stands
    // for it; otherwise its own mesh, light or hair.
    const float half = 0.5f * weight;
    float childrenShare = weight;
    BaseObject* cache = object->GetDeformCache();
    if (!cache) cache = object->GetCache(nullptr);
    if (cache) {
        browseHierarchy(cache, inheritedTags, editorVisible, renderVisible, half, selected);
        childrenShare = half;
    } else if (object->GetType() == Opolygon) {
        // An input of a generator (node bit) is represented by the generator's cache.
        const bool written = !object->GetBit(BIT_CONTROLOBJECT) && editorVisible && renderVisible &&
                             (selected || selectedObjects.empty() || !updateMode);
        if (written) {
            writePolygonObject(static_cast<PolygonObject*>(object), inheritedTags, half);
            childrenShare = half;
        }
    } else if (object->GetType() == Olight) {
        writeLight(nodeName, object);
    } else if (object->GetType() == Ohair) {
        writeHairObject(static_cast<HairObject*>(object), inheritedTags, half);
    }

    int children = 0;
    for (BaseObject* child = object->GetDown(); child; child = child->GetNext()) ++children;
    for (BaseObject* child = object->GetDown(); child; child = child->GetNext())
        browseHierarchy(child, inheritedTags, editorVisible, renderVisible,
                        childrenShare / children, selected);

    writeTransformTracks(object, nodeName, object->GetRelPos(), object->GetRelRot(),
                         object->GetRotationOrder(), object->GetRelScale(), false);

    sceneWrapper->end_group();

    // Whatever the writers below did to the progress, this object ends at its entry value
    // plus its own weight.
    const float advance = (progressAtEntry - progress) + weight;
    progress += advance;
    if (advance > 0.00001f) api->set_progress(nodeName, progress);
}

void C4DLoader::browseTag(BaseTag* tag, UVWTag** uvwSlot, NormalTag** normalSlot,
                          std::map<std::string, SelectionTag*>* selections,
                          std::vector<BaseTag*>* tagList) {
    switch (tag->GetType()) {
        case Ttexture:
        case Thairmaterial:
            if (tagList) tagList->push_back(tag);
            break;
        case Tuvw:
            if (uvwSlot) *uvwSlot = static_cast<UVWTag*>(tag);
            break;
        case Tnormal:
            if (normalSlot) *normalSlot = static_cast<NormalTag*>(tag);
            break;
        case Tpolygonselection:
            if (selections) {
                std::string name;  // a name that is not UTF-8 files under ""
                getUtf8(tag->GetName(), name);
                (*selections)[name] = static_cast<SelectionTag*>(tag);
            }
            break;
        default:
            break;
    }
}
