#include "vantrel_host/model_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <vector>

#include "model_test_support.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;

constexpr double kPi = 3.14159265358979323846;

// The imported model; a failure throws, which fails the test with the error.
ModelDocument Import(const std::string& path) {
    std::string error;
    ModelDocument model = ImportModel(path, error);
    if (!model.document) throw std::runtime_error(error);
    return model;
}

// The first object of that name; throws when there is none.
template <class T = BaseObject>
T* Find(const ModelDocument& model, const char* name) {
    BaseObject* op = model.document->SearchObject(String(name));
    if (op == nullptr) throw std::runtime_error(std::string("no object ") + name);
    return static_cast<T*>(op);
}

TEST(ModelImport, MeshKeepsQuadsSplitsLargerPolygonsAndMirrorsZ) {
    TempDir dir;
    dir.Write("sheet.mtl",
              "newmtl Red\nKd 1 0 0\nKs 0.5 0.5 0.5\nmap_Kd tex/red.png\n"
              "newmtl Blue\nKd 0 0 1\nnewmtl Unused\nKd 0 1 0\n");
    // A flat sheet at z = 2: a quad in red, a pentagon in blue.
    const ModelDocument model = Import(dir.Write("sheet.obj",
                                                 "mtllib sheet.mtl\no Sheet\n"
                                                 "v 0 0 2\nv 1 0 2\nv 1 1 2\nv 0 1 2\n"
                                                 "v 2 0 2\nv 2 1 2\nv 3 0.5 2\n"
                                                 "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                                                 "usemtl Red\nf 1/1/1 2/2/1 3/3/1 4/4/1\n"
                                                 "usemtl Blue\nf 2/1/1 5/2/1 7/2/1 6/3/1 3/4/1\n"));
    auto* op = Find<PolygonObject>(model, "Sheet");
    ASSERT_EQ(op->GetType(), Opolygon);
    EXPECT_EQ(op->GetPointCount(), 7);  // welded: the faces share their corners' points
    ASSERT_EQ(op->GetPolygonCount(), 1 + 3);
    EXPECT_EQ(op->GetPointR()[0], Vector(0, 0, -2));
    // The quad 1 2 3 4 in reversed corner order, so that it faces the same way mirrored.
    const CPolygon quad = op->GetPolygonR()[0];
    EXPECT_EQ(std::vector<Int32>({quad.a, quad.b, quad.c, quad.d}),
              std::vector<Int32>({0, 3, 2, 1}));
    EXPECT_TRUE(op->GetPolygonR()[1].IsTriangle());
    // UVs with v from the top: vt 0 0 is (0, 1).
    auto* uvws = static_cast<UVWTag*>(op->GetTag(Tuvw));
    EXPECT_EQ(uvws->GetDataCount(), op->GetPolygonCount());  // one record per polygon
    UVWStruct uvw;
    UVWTag::Get(uvws->GetDataAddressR(), 0, uvw);
    EXPECT_EQ(uvw.a, Vector(0, 1, 0));
    EXPECT_EQ(uvw.d, Vector(1, 1, 0));
    EXPECT_EQ(op->GetTag(Tphong), nullptr) << "flat normals need no phong tag";

    // One selection per material, each with a texture tag restricted to it.
    auto* red = static_cast<SelectionTag*>(op->GetTag(Tpolygonselection, 0));
    auto* blue = static_cast<SelectionTag*>(op->GetTag(Tpolygonselection, 1));
    ASSERT_TRUE(red && blue);
    EXPECT_EQ(red->GetName().GetUtf8(), "Red");
    EXPECT_EQ(red->GetBaseSelect()->GetCount(), 1);
    EXPECT_EQ(blue->GetBaseSelect()->GetCount(), 3);
    auto* red_tag = static_cast<TextureTag*>(op->GetTag(Ttexture, 0));
    EXPECT_EQ(Param(red_tag, TEXTURETAG_RESTRICTION).GetString().GetUtf8(), "Red");
    EXPECT_EQ(Param(op->GetTag(Ttexture, 1), TEXTURETAG_RESTRICTION).GetString().GetUtf8(), "Blue");

    // Only used materials; colour, specular and the texture beside the file.
    EXPECT_EQ(Count(*model.document).materials, 2);
    auto* mat = static_cast<Material*>(red_tag->GetMaterial());
    ASSERT_NE(mat, nullptr);
    EXPECT_EQ(Param(mat, MATERIAL_COLOR_COLOR).GetVector(), Vector(1, 0, 0));
    EXPECT_TRUE(mat->GetChannelState(CHANNEL_SPECULAR));
    EXPECT_EQ(Param(mat, MATERIAL_SPECULAR_COLOR).GetVector(), Vector(0.5, 0.5, 0.5));
    BaseShader* bitmap =
        static_cast<BaseShader*>(Param(mat, MATERIAL_COLOR_SHADER).GetLink(model.document.get()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Param(bitmap, BITMAPSHADER_FILENAME).GetFilename().GetString().GetUtf8(),
              dir.File("tex/red.png"));
    EXPECT_EQ(model.textures, nullptr);
}

TEST(ModelImport, SmoothNormalsGivePhongAndKeepHardEdgesApart) {
    TempDir dir;
    // Two faces share smooth normals across a bend; a third meets them at a hard edge.
    const ModelDocument model = Import(dir.Write("bend.obj",
                                                 "o Bend\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                                 "v 1 1 0.5\nv -1 0.5 0\nvn 0 0 1\nvn -1 0 0\n"
                                                 "f 1//1 2//1 3//1\nf 2//1 4//1 3//1\n"
                                                 "f 1//2 3//2 5//2\n"));
    auto* op = Find<PolygonObject>(model, "Bend");
    EXPECT_NE(op->GetTag(Tphong), nullptr);
    EXPECT_EQ(op->GetPointCount(), 7) << "points 1 and 3 lie on both sides of the hard edge";
    EXPECT_EQ(op->GetTag(Tuvw), nullptr);
    EXPECT_NE(op->GetTag(Ttexture), nullptr) << "one material: one unrestricted texture tag";
}

// A rig turning a quarter turn about +y and rising along z in one second, holding a
// camera, a spot light and a triangle textured with an embedded image ("not png").
// Its buffer lies beside it in rig.bin.
std::string RigGltf(const TempDir& dir) {
    const std::vector<float> floats = {
        0, 1,                                            // times
        0, 0, 0, 1, 0, 0.70710678f, 0, 0.70710678f,      // rotations (x, y, z, w)
        0, 0, 1, 0, 0, 3,                                // translations
        0, 0, 0, 1, 0, 0,           0, 1,           0};  // triangle
    dir.Write("rig.bin", std::string(reinterpret_cast<const char*>(floats.data()), 100));
    return R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
  "extensionsUsed": ["KHR_lights_punctual"], "extensions": {"KHR_lights_punctual": {"lights": [
    {"type": "spot", "color": [1, 0.5, 0], "intensity": 4, "spot": {"outerConeAngle": 0.5}}]}},
  "nodes": [{"name": "Rig", "children": [1, 2, 3]}, {"name": "Cam", "camera": 0},
            {"name": "Lamp", "extensions": {"KHR_lights_punctual": {"light": 0}}},
            {"name": "Panel", "mesh": 0}],
  "cameras": [{"type": "perspective", "perspective": {"yfov": 0.5, "aspectRatio": 1, "znear": 0.1}}],
  "meshes": [{"primitives": [{"attributes": {"POSITION": 3}, "material": 0}]}],
  "materials": [{"name": "Logo", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
  "textures": [{"source": 0}], "images": [{"uri": "data:image/png;base64,bm90IHBuZw=="}],
  "animations": [{"channels": [{"sampler": 0, "target": {"node": 0, "path": "rotation"}},
                               {"sampler": 1, "target": {"node": 0, "path": "translation"}}],
                  "samplers": [{"input": 0, "output": 1}, {"input": 0, "output": 2}]}],
  "buffers": [{"byteLength": 100, "uri": "rig.bin"}],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 8},
                  {"buffer": 0, "byteOffset": 8, "byteLength": 32},
                  {"buffer": 0, "byteOffset": 40, "byteLength": 24},
                  {"buffer": 0, "byteOffset": 64, "byteLength": 36}],
  "accessors": [
    {"bufferView": 0, "componentType": 5126, "count": 2, "type": "SCALAR", "min": [0], "max": [1]},
    {"bufferView": 1, "componentType": 5126, "count": 2, "type": "VEC4"},
    {"bufferView": 2, "componentType": 5126, "count": 2, "type": "VEC3"},
    {"bufferView": 3, "componentType": 5126, "count": 3, "type": "VEC3",
     "min": [0, 0, 0], "max": [1, 1, 0]}]})";
}

TEST(ModelImport, CamerasLightsAnimationAndEmbeddedTextures) {
    TempDir dir;
    const ModelDocument model = Import(dir.Write("rig.gltf", RigGltf(dir)));
    BaseDocument& doc = *model.document;
    EXPECT_EQ(Summary(Count(doc)),
              "objects 6, polygons 1, materials 1, cameras 1, lights 1, tracks 6");

    // Cameras and lights sit under their nodes; both look along -z in glTF, +z here.
    BaseObject* camera = Find(model, "Cam")->GetDown();
    ASSERT_TRUE(camera && camera->GetType() == Ocamera);
    EXPECT_LT(camera->GetRelRot().GetLength(), 1e-9);
    EXPECT_NEAR(Param(camera, CAMERA_FIELD_OF_VIEW).GetFloat(), 0.5,
                1e-6);  // square: horizontal = vertical
    BaseObject* light = Find(model, "Lamp")->GetDown();
    ASSERT_TRUE(light && light->GetType() == Olight);
    EXPECT_EQ(Param(light, LIGHT_TYPE).GetInt32(), 1);  // spot
    EXPECT_EQ(Param(light, LIGHT_COLOR).GetVector(), Vector(1, 0.5, 0));
    EXPECT_EQ(Param(light, LIGHT_BRIGHTNESS).GetFloat(), 4.0);

    // The rotation is resampled 30 times a second; heading turns the other way
    // mirrored; the position carries its two keys.
    BaseObject* rig = Find(model, "Rig");
    CTrack* heading = rig->FindCTrack(DescID(ID_BASEOBJECT_REL_ROTATION, VECTOR_X));
    CTrack* z = rig->FindCTrack(DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_Z));
    ASSERT_TRUE(heading && z);
    EXPECT_EQ(heading->GetCurve()->GetKeyCount(), 31);
    EXPECT_NEAR(heading->GetValue(&doc, BaseTime(0.5), 30), -kPi / 4, 1e-6);
    EXPECT_EQ(z->GetValue(&doc, BaseTime(1.0), 30), -3.0);
    EXPECT_EQ(rig->GetRelPos(), Vector(0, 0, -1)) << "the first key is the base";

    // The embedded image lies in the model's temporary folder.
    ASSERT_NE(model.textures, nullptr);
    auto* bitmap = static_cast<BaseShader*>(Param(doc.GetFirstMaterial(), 8000).GetLink(&doc));
    ASSERT_NE(bitmap, nullptr);
    const std::string texture_file =
        Param(bitmap, BITMAPSHADER_FILENAME).GetFilename().GetString().GetUtf8();
    EXPECT_EQ(texture_file, model.textures->Path() + "/texture0.png");
    std::ifstream in(texture_file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not png");
}

TEST(ModelImport, UnreadableFilesGiveErrorsNamingThem) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(ImportModel(dir.File("missing.fbx"), error).document);
    EXPECT_EQ(error, dir.File("missing.fbx") + ": cannot read the file");
    EXPECT_FALSE(ImportModel(dir.Path(), error).document);
    EXPECT_EQ(error, dir.Path() + ": is a folder, not a model file");
}

}  // namespace
