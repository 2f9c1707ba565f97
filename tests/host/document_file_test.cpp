#include "vantrel_host/document_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "c4d.h"
#include "test_support.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;

TEST(DocumentFile, LoadsEveryElementKind) {
    TempDir dir;
    const std::string path = dir.Write("car.final.json", R"({
      "name": "car.final.c4d", "time": 1.5, "min_time": 0.5,
      "layers": [{"name": "Hidden", "editor_visible": false}, {"name": "Shown"}],
      "materials": [
        {"name": "Paint", "channels": ["color", 8], "parameters": {"65": [0.1, 0.2, 0.3]},
         "shaders": [{"type": "bitmap", "name": "Img", "file": "tex/paint.png"},
                     {"type": 1012158, "name": "Ramp", "gradient": [{"color": [0, 1, 0]}]}],
         "color_shader": "Img"},
        {"name": "Fur", "type": "hair"}
      ],
      "objects": [
        {"type": "polygon", "name": "Body", "guid": 77, "bits": 512, "layer": "Hidden",
         "rotation_order": "xyz",
         "points": [[0,0,0], [1,0,0], [1,1,0], [0,1,0]], "polygons": [[0, 1, 2], [0, 1, 2, 3]],
         "tags": [
           {"type": "uvw", "uvw": [[[0, 0], [1, 0], [1, 1]], [[0, 0], [1, 0], [1, 1], [0, 1, 0.5]]]},
           {"type": "selection", "name": "Front", "polygons": [1, 7]},
           {"type": "texture", "name": "T", "material": "Paint", "restriction": "Front",
            "projection": "flat", "matrix": {"off": [0, 0, 1]}},
           {"type": "normal"}, {"type": 12345, "parameters": {"1": {"float": 1}}}
         ],
         "tracks": [{"parameter": "rotation.h", "keys": [[0, 0], [1, 1]], "on": false},
                    {"parameter": [90001], "name": "Power", "keys": [[0, 1]]}],
         "children": [{"type": "camera", "name": "Cam"}],
         "cache": {"name": "Gen", "children": [{"type": "light", "area_size_x": 200}]},
         "deform_cache": {"type": "polygon", "name": "Deformed"}},
        {"type": "hair", "name": "Hair", "guides": {"segments": 1, "guides": [
           {"root_uv": [0.5, 0.25], "points": [[0, 0, 0], [0, 1, 0]]}]},
         "tags": [{"type": "hair_material", "material": "Fur"}]}
      ],
      "selection": ["Cam", {"object": "Body", "tag": "T"}]
    })");
    std::string error;
    auto doc = LoadDocument(path, error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->GetDocumentName().GetString().GetUtf8(), "car.final.c4d");
    EXPECT_EQ(doc->GetDocumentPath().GetString().GetUtf8(), dir.Path());
    EXPECT_EQ(doc->GetTime().Get(), 1.5);
    EXPECT_EQ(doc->GetMinTime().Get(), 0.5);

    auto* layer = static_cast<LayerObject*>(doc->GetLayerObjectRoot()->GetFirst());
    EXPECT_EQ(Param(layer, ID_LAYER_VIEW).GetInt32(), 0);  // false
    // Layers are visible unless they say otherwise: editor and render.
    EXPECT_EQ(Param(layer->GetNext(), ID_LAYER_VIEW).GetInt32(), 1);
    EXPECT_EQ(Param(layer->GetNext(), ID_LAYER_RENDER).GetInt32(), 1);
    auto* paint = static_cast<Material*>(doc->GetFirstMaterial());
    EXPECT_TRUE(paint->GetChannelState(CHANNEL_SPECULAR));  // by number
    EXPECT_EQ(paint->GetDataInstance()->GetVector(MATERIAL_REFLECTION_COLOR),
              Vector(0.1, 0.2, 0.3));
    BaseShader* img = paint->GetFirstShader();
    EXPECT_EQ(Param(paint, MATERIAL_COLOR_SHADER).GetLink(doc.get()), img);
    EXPECT_EQ(Param(img, BITMAPSHADER_FILENAME).GetFilename().GetString().GetUtf8(),
              dir.File("tex/paint.png"));
    const GeData ramp_data = Param(img->GetNext(), GRADIENT2SHADER_GRADIENT);  // owns the gradient
    auto* ramp = static_cast<Gradient*>(ramp_data.GetCustomDataType(CUSTOMDATATYPE_GRADIENT));
    ASSERT_NE(ramp, nullptr);
    EXPECT_EQ(ramp->GetKnot(0).col, Vector(0, 1, 0));
    BaseMaterial* fur = paint->GetNext();

    auto* body = static_cast<PolygonObject*>(doc->GetFirstObject());
    EXPECT_EQ(body->GetGUID(), 77u);
    EXPECT_TRUE(body->GetBit(BIT_CONTROLOBJECT));
    EXPECT_EQ(body->GetLayerObject(doc.get()), layer);
    EXPECT_EQ(body->GetRotationOrder(), ROTATIONORDER_XYZGLOBAL);
    ASSERT_EQ(body->GetPolygonCount(), 2);
    EXPECT_TRUE(body->GetPolygonR()[0].IsTriangle());
    EXPECT_EQ(body->GetPolygonR()[1].d, 3);
    UVWStruct uvw;
    UVWTag::Get(static_cast<UVWTag*>(body->GetTag(Tuvw))->GetDataAddressR(), 1, uvw);
    EXPECT_EQ(uvw.d, Vector(0, 1, 0.5));
    UVWTag::Get(static_cast<UVWTag*>(body->GetTag(Tuvw))->GetDataAddressR(), 0, uvw);
    EXPECT_EQ(uvw.d, uvw.c);
    auto* front = static_cast<SelectionTag*>(body->GetTag(Tpolygonselection));
    EXPECT_TRUE(front->GetBaseSelect()->IsSelected(7));  // stale indices are kept
    auto* texture = static_cast<TextureTag*>(body->GetTag(Ttexture));
    EXPECT_EQ(texture->GetMaterial(), paint);
    EXPECT_EQ(Param(texture, TEXTURETAG_PROJECTION).GetInt32(), TEXTURETAG_PROJECTION_FLAT);
    EXPECT_EQ(Param(texture, TEXTURETAG_RESTRICTION).GetString().GetUtf8(), "Front");
    EXPECT_EQ(texture->GetMl().off, Vector(0, 0, 1));
    EXPECT_NE(body->GetTag(Tnormal), nullptr);
    EXPECT_EQ(Param(body->GetTag(12345), 1).GetFloat(), 1.0);

    CTrack* rotation = body->GetFirstCTrack();
    EXPECT_EQ(rotation->GetDescriptionID(), DescID(ID_BASEOBJECT_REL_ROTATION, VECTOR_X));
    EXPECT_EQ(Param(rotation, ID_CTRACK_ON).GetInt32(), 0);
    EXPECT_EQ(rotation->GetNext()->GetName().GetUtf8(), "Power");
    EXPECT_EQ(rotation->GetNext()->GetDescriptionID(), DescID(LIGHT_BRIGHTNESS));

    BaseObject* cam = body->GetDown();
    EXPECT_EQ(cam->GetType(), Ocamera);
    ASSERT_NE(body->GetCache(), nullptr);
    EXPECT_EQ(Param(body->GetCache()->GetDown(), 100010).GetFloat(), 200.0);
    EXPECT_EQ(body->GetDeformCache()->GetName().GetUtf8(), "Deformed");
    EXPECT_EQ(doc->SearchObject(String("Gen")), nullptr);  // caches are not in the tree

    auto* hair = static_cast<HairObject*>(body->GetNext());
    EXPECT_EQ(hair->GenerateHair(0), nullptr) << "guides come only while locked";
    hair->Lock(doc.get(), nullptr, false, 0);
    HairGuides* guides = hair->GenerateHair(0);
    ASSERT_NE(guides, nullptr);
    EXPECT_EQ(guides->GetPoints()[1], Vector(0, 1, 0));
    EXPECT_EQ(guides->GetRootUV(0), Vector(0.5, 0.25, 0));
    hair->Unlock();
    EXPECT_EQ(Param(hair->GetFirstTag(), 1000).GetLink(doc.get(), Mhair), fur);

    AtomArray selection;
    doc->GetSelection(selection);
    ASSERT_EQ(selection.GetCount(), 2);
    EXPECT_EQ(selection.GetIndex(0), cam);
    EXPECT_EQ(selection.GetIndex(1), texture);
}

TEST(DocumentFile, BadFilesGiveOneErrorNamingThePlace) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"objects": [{"type": "polygon", "points": [[0, 0]]}]})",
         "d.json: objects[0].points[0]: expected a vector [x, y, z]"},
        {R"({"objects": [{"children": [{"type": "spline"}]}]})",
         "d.json: objects[0].children[0].type: unknown type \"spline\""},
        {R"({"objects": [{"colour": 1}]})", "d.json: objects[0].colour: unknown key"},
        {R"({"objects": [{"tags": [{"type": "texture", "material": "Gone"}]}]})",
         "d.json: objects[0].tags[0].material: no material named \"Gone\""},
        {R"({"objects": [{"type": "polygon", "tags": [{"type": "uvw", "uvw": [[[0, 0]]]}]}]})",
         "d.json: objects[0].tags[0].uvw: expected 0 records (one per polygon)"},
        {R"({"objects": [{"tags": [{"type": "uvw"}]}]})",
         "d.json: objects[0].tags[0]: a UVW tag belongs on a polygon object"},
        {R"({"objects": [{"parameters": {"90001": {"double": 1}}}]})",
         "d.json: objects[0].parameters.90001.double: unknown kind of value"},
        {R"({"objects": [{"parameters": {"x": 1}}]})",
         "d.json: objects[0].parameters.x: a parameter id is a number"},
        {R"({"objects": [{"tracks": [{"parameter": "position.w"}]}]})",
         "d.json: objects[0].tracks[0].parameter: unknown parameter \"position.w\" (position.x, "
         "rotation.h, scale.z, ...)"},
        {R"({"objects": [{"type": "hair", "guides": {"segments": 2, "guides": [{"points": [[0, 0, 0]]}]}}]})",
         "d.json: objects[0].guides.guides[0].points: expected 3 points (segments + 1, none for 0 "
         "segments)"},
        {R"({"selection": ["Nobody"]})", "d.json: selection[0]: no object named \"Nobody\""},
        {R"({"fps": 3000000000})", "d.json: fps: integer out of range"},
        {R"([1, 2])", "d.json: expected an object"},
        {"{\"objects\": [\n  {\"name\": }]}",
         "d.json: parse error at line 2, column 12: syntax error while "
         "parsing value - unexpected '}'; expected '[', '{', or a literal"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_EQ(LoadDocumentFromText(text, "d.json", "/docs", error), nullptr);
        EXPECT_EQ(error, message);
    }

    std::string error;
    std::string nested = "{}";
    for (int i = 0; i < 1000; ++i) nested = "{\"children\": [" + nested + "]}";
    EXPECT_EQ(LoadDocumentFromText("{\"objects\": [" + nested + "]}", "d.json", "", error),
              nullptr);
    EXPECT_NE(error.find("nested deeper than 256 levels"), std::string::npos) << error;

    TempDir dir;
    EXPECT_EQ(LoadDocument(dir.File("none.json"), error), nullptr);
    EXPECT_EQ(error, dir.File("none.json") + ": cannot read the file");
    EXPECT_EQ(LoadDocument(dir.Path(), error), nullptr);
    EXPECT_EQ(error, dir.Path() + ": is a folder, not a document file");
}

TEST(DocumentFile, PositionsBeyondSinglePrecisionOpenWithOneWarning) {
    // 3.4028235e38 rounds to the largest float; 3.41e38 rounds to infinity.
    const std::pair<std::string, std::string> cases[] = {
        {R"({"objects": [{"type": "polygon", "position": [3.4028235e38, -3.4028235e38, 0],
             "points": [[1e30, 0, 0], [0, -1e38, 0]], "polygons": [[0, 1, 1]]}]})",
         ""},
        {R"({"objects": [{"type": "polygon", "points": [[0, 0, 0], [1, 0, 0], [0, 3.41e38, 0],
                                                          [-1e39, 1e39, 1e39]]},
                         {"type": "polygon", "points": [[0, 0, -1e300]]}]})",
         "d.json: 3 positions exceed single precision and export as infinite "
         "(first: objects[0].points[2])"},
        {R"({"objects": [{"children": [{"position": [0, 0, -3.41e38]}]}]})",
         "d.json: a position exceeds single precision and exports as infinite "
         "(objects[0].children[0].position)"},
        {R"({"objects": [{"type": "hair", "guides": {"segments": 1, "guides": [
             {"points": [[0, 0, 0], [5e38, 0, 0]]}]}}]})",
         "d.json: a position exceeds single precision and exports as infinite "
         "(objects[0].guides.guides[0].points[1])"},
    };
    for (const auto& [text, warning] : cases) {
        SCOPED_TRACE(text);
        std::string error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(LoadDocumentFromText(text, "d.json", "", error, &warnings)) << error;
        EXPECT_EQ(warnings,
                  warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{warning});
    }
}

TEST(DemoDocument, LoadsWithItsTextureBesideIt) {
    std::string error;
    auto demo = BuildDemoDocument(error);
    ASSERT_TRUE(demo) << error;
    BaseMaterial* checker = demo->SearchMaterial(String("Checker"));
    ASSERT_NE(checker, nullptr);
    const std::string texture =
        Param(checker->GetFirstShader(), 1000).GetFilename().GetString().GetUtf8();
    EXPECT_TRUE(std::filesystem::is_regular_file(texture)) << texture;
}

}  // namespace
