// The converter: walks a host document and drives the scene API. One object, created
// at start-up and shared by the three commands; each command is one conversion.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "C4DMaterials.h"
#include "c4d.h"
#include "tavsceneapi_oo.h"

class C4DLoader {
public:
    C4DLoader();
    ~C4DLoader();
    C4DLoader(const C4DLoader&) = delete;
    C4DLoader& operator=(const C4DLoader&) = delete;

    // Commands (C4DLoader.cpp).
    bool render(BaseDocument* doc);
    bool update(BaseDocument* doc);
    bool vspExport(BaseDocument* doc);
    // The document walk shared by the commands; sceneWrapper must hold a live scene API.
    void load(BaseDocument* doc);
    // Render and Update: connects to a renderer as the model name and update mode say,
    // and sends the document; tells the user when no renderer can be reached.
    void sendToRenderer(BaseDocument* doc, const std::string& modelName);

    // Hierarchy walk (C4DStructure.cpp).
    void browseHierarchy(BaseObject* object, std::vector<BaseTag*> inheritedTags,
                         bool editorVisible, bool renderVisible, float weight,
                         bool parentSelected);
    void browseTag(BaseTag* tag, UVWTag** uvwSlot, NormalTag** normalSlot,
                   std::map<std::string, SelectionTag*>* selections,
                   std::vector<BaseTag*>* tagList);

    // Polygon objects and their triangles (C4DTriangles.cpp).
    void writePolygonObject(PolygonObject* object, std::vector<BaseTag*> inheritedTags,
                            float progressShare);

    // Materials (C4DMaterials.cpp).
    Vector64 getDefaultColor(BaseObject* object);
    bool getMaterial(BaseTag* tag, TavMat& record);
    bool getMaterial(Material* material, TavMat& record);
    bool getMaterial(BaseShader* shader, TavMat& record);
    void writeMaterial(TavMat record);

    // Lights (C4DLights.cpp) and hair (C4DHair.cpp).
    void writeLight(std::string name, BaseObject* light);
    void writeHairObject(HairObject* hair, std::vector<BaseTag*> tags, float progressShare);

    // Cameras (C4DCamera.cpp).
    void getCameras(BaseObject* object, std::vector<BaseObject*>& cameras);
    void writeCamera(BaseObject* camera);

    // Transform animation (C4DAnimation.cpp).
    void browseTrack(CTrack* track, std::vector<CTrack*>& scaleTracks,
                     std::vector<CTrack*>& rotationTracks, std::vector<CTrack*>& positionTracks);
    void writeTracksSeparate(const char* objectName, std::vector<CTrack*> tracks,
                             const char* channelLabel, Vector64 basePosition,
                             Vector64 baseRotation, ROTATIONORDER rotationOrder,
                             Vector64 baseScale, bool camera);
    // Collects the node's transform tracks and writes them, scale, rotation, then
    // position, under the labels of an object ("Scale") or a camera ("Camera Scale").
    void writeTransformTracks(BaseList2D* node, const char* name, Vector64 position,
                              Vector64 rotation, ROTATIONORDER rotationOrder, Vector64 scale,
                              bool camera);

    // Conversion state. Public so that tests can drive one writer at a time.

    // Reusable buffers of the triangle writer: emptied, never freed, between groups.
    std::vector<float> vertexArray;
    std::vector<float> normalArray;
    std::vector<float> uvArray;
    std::vector<int32_t> triangleIndexArray;
    std::vector<int32_t> normalIndexArray;
    std::vector<int32_t> uvIndexArray;

    // Folder of the converted document, UTF-8; "" when it has none.
    std::string documentPath;
    // Numbers of materials sharing a base name; kept for the converter's whole life.
    std::map<std::string, std::map<TavMat, uint64_t>> materialTable;
    // The wrapper every writer uses during one command; null outside a command.
    std::unique_ptr<tav::tavSceneapi_oo> sceneWrapper;
    float progress = 0.0f;
    BaseDocument* document = nullptr;
    bool updateMode = false;
    // GUIDs of the objects selected when an Update starts.
    std::set<uint64_t> selectedObjects;
};
