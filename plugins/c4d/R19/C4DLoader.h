// The converter: walks a host document and drives the scene API. One object, created
// at start-up and shared by the three commands; each command is one conversion.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "C4DMaterials.h"
#include "TriangleBuilder.h"
#include "c4d.h"
#include "tavsceneapi_oo.h"

// What one conversion sent, for the line that tells the user an export worked.
struct SceneCounts {
    size_t objects = 0;  // meshes, hair and lights
    size_t triangles = 0;
    size_t materials = 0;
    size_t cameras = 0;
    size_t animations = 0;
};

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

    // Hierarchy walk (C4DStructure.cpp).
    void browseHierarchy(BaseObject* object, std::vector<BaseTag*> inheritedTags,
                         bool editorVisible, bool renderVisible, float weight, bool parentSelected);
    void browseTag(BaseTag* tag, UVWTag** uvwSlot, NormalTag** normalSlot,
                   std::map<std::string, SelectionTag*>* selections,
                   std::vector<BaseTag*>* tagList);

    // Polygon objects and their triangles (C4DTriangles.cpp).
    void writePolygonObject(PolygonObject* object, std::vector<BaseTag*> inheritedTags,
                            float progressShare);
    // Writes one material group (polygon indices, ascending, none repeated; quads of
    // them quadrangles) as one scene object named name ("object" when null) with the
    // record's material; nothing for an empty group. normalsWritten runs once the
    // group's normals are in the scene.
    void writeTriangles(const char* name, const std::vector<Int32>& group, size_t quads,
                        const TriangleSource& mesh, const TavMat& record,
                        const std::function<void()>& normalsWritten);

    // Materials (C4DMaterials.cpp).
    Vector64 getDefaultColor(BaseObject* object);
    bool getMaterial(BaseTag* tag, TavMat& record);
    bool getMaterial(Material* material, TavMat& record);
    bool getMaterial(BaseShader* shader, TavMat& record);
    void writeMaterial(TavMat record);
    // The texture file a bitmap shader names: as stored, else in the document's "tex"
    // folder, else beside the document; as stored when none of them can be opened.
    std::string resolveTexturePath(const Filename& file);

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
                             const char* channelLabel, Vector64 basePosition, Vector64 baseRotation,
                             ROTATIONORDER rotationOrder, Vector64 baseScale, bool camera);
    // Collects the node's transform tracks and writes them, scale, rotation, then
    // position, under the labels of an object ("Scale") or a camera ("Camera Scale").
    void writeTransformTracks(BaseList2D* node, const char* name, Vector64 position,
                              Vector64 rotation, ROTATIONORDER rotationOrder, Vector64 scale,
                              bool camera);

    // The wrapper every writer uses during one command; null outside a command.
    std::unique_ptr<tav::tavSceneapi_oo> sceneWrapper;

private:
    // Lets tests stand the converter on a document of theirs and look at its state.
    friend class ConverterFixture;

    // Render and Update: connects to a renderer as the model name and update mode say,
    // and sends the document; tells the user when no renderer can be reached.
    void sendToRenderer(BaseDocument* doc, const std::string& modelName);
    // False when the object's layer hides it in the editor or at render time.
    bool layerShows(BaseObject* object);
    // Gathers into polygonGroup the writable polygons of the restriction (all when null)
    // that no group took yet, counting its quadrangles in groupQuads, and marks them
    // taken, unwritable ones too; false for a restriction without segments.
    bool takeGroup(SelectionTag* restriction, const TriangleSource& mesh);
    // Numbers the record within its base name: "Name", then "Name #1", ...
    std::string materialDisplayName(const TavMat& record);

    TriangleBuilder triangleBuilder;
    // The polygon object being split: its polygons already in a group (or unwritable),
    // how many, and the group being gathered with its number of quadrangles.
    std::vector<uint8_t> polygonTaken;
    Int32 takenCount = 0;
    std::vector<Int32> polygonGroup;
    size_t groupQuads = 0;
    // The samples of the track being written, kept between tracks so that their
    // memory is not returned to the system and taken again for every track.
    std::vector<tavMatrix> trackMatrices;
    std::vector<int32_t> trackStamps;

    // Folder of the converted document, UTF-8; "" when it has none.
    std::string documentPath;
    // Numbers of materials sharing a base name; kept for the converter's whole life.
    std::map<std::string, std::map<TavMat, uint64_t>> materialTable;
    SceneCounts counts;
    float progress = 0.0f;
    BaseDocument* document = nullptr;
    bool updateMode = false;
    // GUIDs of the objects selected when an Update starts.
    std::set<uint64_t> selectedObjects;
};
