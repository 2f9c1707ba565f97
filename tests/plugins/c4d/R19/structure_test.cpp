// The document walk: the model group and document names, and the hierarchy with its depth,
// groups, progress shares, the polygon write rule and caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

// The progress reports of one walk in order, as "|name value|name value|".
std::string progressLog(ConverterFixture& f) {
    f.loader.load(&f.doc());
    std::istringstream text(f.take());
    std::string log = "|";
    for (std::string line; std::getline(text, line);) {
        line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
        if (line.rfind("progress ", 0) == 0) log += line.substr(9) + "|";
    }
    return log;
}

}  // namespace

TEST(Load, MirroredModelGroupIsNamedAfterTheDocument) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"", "untitled"},
                                                                    {"car.final.c4d", "car.final"},
                                                                    {"scene", "scene"},
                                                                    {"bad \xff.c4d", "untitled"}};
    ConverterFixture f;
    f.take();  // the wrapper's banner and version
    f.doc().SetDocumentPath(Filename("/projects/cars"));
    for (const auto& [file, model] : cases) {
        SCOPED_TRACE(file);
        f.doc().SetDocumentName(Filename(String(file)));
        f.loader.load(&f.doc());
        EXPECT_EQ(f.take(), "\ngroup \"" + model +
                                "\" {\ntransform 1 0 0 0 0 1 0 0 0 0 -1 0 0 0 0 1\n"
                                "attribute \"source file\" \"source file\"\n}\n");
    }
    EXPECT_EQ(f.documentPath(), "/projects/cars");

    f.loader.load(nullptr);  // no document, nothing written
    EXPECT_EQ(f.take(), "");
}

TEST(Hierarchy, GroupsKeepOrderFlagsLocalTransformsAndNamesCutAtACharacterBoundary) {
    ConverterFixture f;
    BaseObject* a = AddObject(f.doc(), Onull, "A");
    a->SetRelPos(Vector(10, 20, 30));
    BaseObject* b = AddObject(f.doc(), Onull, "B", a);
    b->SetRelRot(Vector(0.5, 0, 0));
    b->SetRelScale(Vector(2, 2, 2));
    AddObject(f.doc(), Onull, "", a);
    AddTrack(*a, DescID(DescLevel(ID_BASEOBJECT_REL_POSITION), DescLevel(VECTOR_X)),
             {{0, 0}, {1, 1}});
    const std::string fits(1023, 'x');
    AddObject(f.doc(), Onull, fits);
    AddObject(f.doc(), Onull, std::string(1022, 'y') + "\xc3\xa9");  // 1024 bytes
    AddObject(f.doc(), Onull, "bad \xff");
    const vsp::Node root = f.loaded();

    std::vector<std::string> names;
    for (const vsp::Node& group : root.at("untitled").children) names.push_back(group.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", fits, std::string(1022, 'y'), "object"}));
    const std::vector<vsp::Node>& inA = root.at("untitled/A").children;
    EXPECT_EQ(inA.at(1).name, "");  // an empty name stays empty
    // An object's animation follows the groups of its children.
    EXPECT_EQ(inA.size(), 3u);
    EXPECT_EQ(inA.at(2).kind, vsp::NodeKind::Animation);
    // B's own transform, not its global one.
    const vsp::Node& group = root.at("untitled/A/B");
    EXPECT_EQ(group.statements.at(0).keyword, "flags");
    EXPECT_EQ(group.statements[0].arg(0).integer(), 1);
    const Matrix m = b->GetMl();
    const vsp::Matrix16 expected = {m.v1.x, m.v1.y, m.v1.z, 0, m.v2.x,  m.v2.y,  m.v2.z,  0,
                                    m.v3.x, m.v3.y, m.v3.z, 0, m.off.x, m.off.y, m.off.z, 1};
    const vsp::Matrix16 written = group.statements.at(1).arg(0).matrix();
    for (int i = 0; i < 16; ++i)  // six significant digits in the file
        EXPECT_NEAR(written[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << i;
}

TEST(Hierarchy, ProgressSplitsEachWeightAmongCacheMeshAndChildren) {
    // Half each at the top. A cache, its deformed form before the plain one, takes half of its
    // generator's share, the children share the rest; a written mesh keeps half of its share.
    // An object whose walk ends where its last child's did reports no second time.
    ConverterFixture f;
    BaseObject* generator = AddObject(f.doc(), Onull, "Gen");
    generator->SetCache(BaseObject::Alloc(Onull));
    generator->GetCache()->SetName(String("Cache"));
    generator->SetDeformCache(BaseObject::Alloc(Onull));
    generator->GetDeformCache()->SetName(String("Deformed"));
    AddObject(f.doc(), Onull, "c1", generator);
    AddObject(f.doc(), Onull, "c2", generator);
    AddObject(f.doc(), Onull, "Probe", addPolygons(f.doc(), "Mesh", 1, 3, nullptr));
    EXPECT_EQ(progressLog(f),
              "|Gen 0.000|Deformed 0.000|Deformed 0.250|c1 0.250|c1 0.375|c2 0.375|c2 0.500|"
              "Mesh 0.500|Probe 0.500|Probe 0.750|Mesh 1.000|");
    EXPECT_FLOAT_EQ(f.progress(), 1.0f);
}

TEST(Hierarchy, MeshesFollowVisibilityTheirLayerTheGeneratorInputBitAndAnUpdatesSelection) {
    struct Case {
        const char* what;
        Int32 parentEditor, meshEditor, meshRender;  // -1: not set
        Int32 layerRender;  // -1: no layer, -2: a layer whose visibility cannot be read
        bool controlBit, update;
        int selected;  // 0: nothing, 1: the parent, 2: only a tag of the parent
        bool written, otherWritten;
    };
    const Case cases[] = {
        {"all visible", -1, -1, -1, -1, false, false, 0, true, true},
        {"parent hidden in the editor", 1, -1, -1, -1, false, false, 0, false, true},
        {"mesh as its visible parent", 0, 2, -1, -1, false, false, 0, true, true},
        {"parent hidden, mesh as parent", 1, 2, -1, -1, false, false, 0, false, true},
        {"parent hidden, mesh on again", 1, 0, -1, -1, false, false, 0, true, true},
        {"mesh hidden in renders", -1, -1, 1, -1, false, false, 0, false, true},
        {"layer hidden in renders", -1, -1, -1, 0, false, false, 0, false, true},
        {"layer shown", -1, -1, -1, 1, false, false, 0, true, true},
        {"layer unreadable", -1, -1, -1, -2, false, false, 0, false, true},
        {"generator input", -1, -1, -1, -1, true, false, 0, false, true},
        {"update of the selection", -1, -1, -1, -1, false, true, 1, true, false},
        {"a selected tag chooses nothing", -1, -1, -1, -1, false, true, 2, true, true},
        {"render ignores the selection", -1, -1, -1, -1, false, false, 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterFixture f;
        BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
        PolygonObject* mesh = addPolygons(f.doc(), "Mesh", 1, 3, parent);
        addPolygons(f.doc(), "Other", 1, 3, nullptr);
        if (c.parentEditor >= 0) SetParam(parent, ID_BASEOBJECT_VISIBILITY_EDITOR, c.parentEditor);
        if (c.meshEditor >= 0) SetParam(mesh, ID_BASEOBJECT_VISIBILITY_EDITOR, c.meshEditor);
        if (c.meshRender >= 0) SetParam(mesh, ID_BASEOBJECT_VISIBILITY_RENDER, c.meshRender);
        if (c.layerRender != -1) mesh->SetLayerObject(AddLayer(f.doc(), "Layer"));
        if (c.layerRender >= 0)
            SetParam(mesh->GetLayerObject(&f.doc()), ID_LAYER_RENDER, c.layerRender);
        if (c.layerRender == -2)  // a new layer is visible; nil values take that away
            SetParam(SetParam(mesh->GetLayerObject(&f.doc()), ID_LAYER_VIEW, GeData()),
                     ID_LAYER_RENDER, GeData());
        if (c.controlBit) mesh->SetBit(BIT_CONTROLOBJECT);
        if (c.selected == 1) f.doc().SetActiveObject(parent);
        if (c.selected == 2) AddTag(*parent, Tphong)->SetBit(BIT_ACTIVE);
        f.setUpdateMode(c.update);
        const vsp::Node root = f.loaded();
        EXPECT_EQ(root.find("untitled/Parent/Mesh/Mesh") != nullptr, c.written);
        EXPECT_NE(root.find("untitled/Other"), nullptr);  // every group is written
        EXPECT_EQ(root.find("untitled/Other/Other") != nullptr, c.otherWritten);
    }
}

// As deep as the document loader and the model import accept: 256 levels below the top.
TEST(Hierarchy, DocumentNestedAsDeepAsItsLoaderAllowsReadsBackWhole) {
    ConverterFixture f;
    std::vector<std::string> path = {"untitled"};
    BaseObject* parent = nullptr;
    for (int level = 0; level < 256; ++level) {
        path.push_back("n" + std::to_string(level));
        parent = AddObject(f.doc(), Onull, path.back(), parent);
    }
    AddTextureTag(*addPolygons(f.doc(), "Leaf", 1, 3, parent), colored(f.doc()));

    const vsp::Node root = f.loaded();
    path.insert(path.end(), {"Leaf", "Leaf"});
    const vsp::Node* leaf = root.find(path);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->at("triangles").param("triangles").size(), 3u);
    EXPECT_EQ(leaf->at("Mat").shader("surface").kind, vsp::NodeKind::Shader);
}
