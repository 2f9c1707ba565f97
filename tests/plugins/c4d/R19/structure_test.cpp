// The document walk: the model group, document names and time, and the hierarchy with its
// groups, progress shares, the polygon write rule and caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

vsp::Node loaded(ConverterFixture& f) {
    f.take();
    f.loader.load(&f.doc());
    return f.parsed();
}

// The progress reports of one walk in order, as "|name value|name value|".
std::string progressLog(ConverterFixture& f) {
    f.take();
    f.loader.load(&f.doc());
    std::istringstream text(f.take());
    std::string log = "|";
    for (std::string line; std::getline(text, line);) {
        line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
        if (line.rfind("progress ", 0) == 0) log += line.substr(9) + "|";
    }
    return log;
}

// A one-triangle mesh; written, it is a scene object of its name inside its group.
PolygonObject* addMesh(BaseDocument& doc, const std::string& name, BaseObject* parent) {
    return AddPolygonObject(doc, name, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {CPolygon(0, 1, 2)},
                            parent);
}

}  // namespace

TEST(Load, EmptyDocumentGetsTheMirroredModelGroupAndNoDocumentNothing) {
    ConverterFixture f;
    const vsp::Node root = loaded(f);
    ASSERT_EQ(root.children.size(), 1u);
    const vsp::Node& model = root.children[0];
    EXPECT_EQ(model.kind, vsp::NodeKind::Group);
    EXPECT_EQ(model.name, "untitled");
    EXPECT_TRUE(model.children.empty());
    ASSERT_EQ(model.statements.size(), 2u);
    EXPECT_EQ(model.statements[0].keyword, "transform");
    EXPECT_EQ(model.statements[0].arg(0).numbers(),
              (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(model.statements[1].keyword, "attribute");
    EXPECT_EQ(model.statements[1].arg(0).text() + "|" + model.statements[1].arg(1).text(),
              "source file|source file");

    f.loader.load(nullptr);
    EXPECT_EQ(f.take(), "");
}

TEST(Load, ModelIsNamedAfterTheDocumentWithoutItsExtension) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"car.final.c4d", "car.final"}, {"scene", "scene"}, {"bad \xff.c4d", "untitled"}};
    ConverterFixture f;
    for (const auto& [file, model] : cases) {
        f.doc().SetDocumentName(Filename(String(file)));
        f.doc().SetDocumentPath(Filename("/projects/cars"));
        const vsp::Node root = loaded(f);
        ASSERT_EQ(root.children.size(), 1u);
        EXPECT_EQ(root.children[0].name, model) << file;
        EXPECT_EQ(f.loader.documentPath, "/projects/cars");
    }
}

TEST(Load, ConvertsAtTheFirstFrameAndRestoresTheDocumentsTime) {
    ConverterFixture f;
    BaseObject* box = AddObject(f.doc(), Onull, "Box");
    AddTrack(*box, DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_Y), {{1.0, 10.0}, {3.0, 30.0}});
    f.doc().SetMinTime(BaseTime(1.0));
    f.doc().SetTime(BaseTime(2.5));
    f.doc().ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0);
    const vsp::Node root = loaded(f);
    const vsp::Matrix written = root.at("untitled/Box").findStatement("transform")->arg(0).matrix();
    EXPECT_DOUBLE_EQ(written[13], 10.0);  // position y at the first frame
    EXPECT_EQ(f.doc().GetTime().Get(), 2.5);
    EXPECT_DOUBLE_EQ(box->GetRelPos().y, 25.0);  // evaluated at its own time again
}

TEST(Hierarchy, NestedGroupsCarryNamesFlagsAndLocalTransformsInOrder) {
    ConverterFixture f;
    BaseObject* a = AddObject(f.doc(), Onull, "A");
    a->SetRelPos(Vector(10, 20, 30));
    BaseObject* b = AddObject(f.doc(), Onull, "B", a);
    b->SetRelRot(Vector(0.5, 0, 0));
    b->SetRelScale(Vector(2, 2, 2));
    AddObject(f.doc(), Onull, "", a);
    AddObject(f.doc(), Onull, "D");
    const vsp::Node root = loaded(f);

    const vsp::Node& model = root.at("untitled");
    ASSERT_EQ(model.children.size(), 2u);
    EXPECT_EQ(model.children[1].name, "D");
    ASSERT_EQ(model.children[0].children.size(), 2u);
    EXPECT_EQ(model.children[0].children[1].name, "");  // an empty name stays empty
    // B's own transform, not its global one.
    const vsp::Node& group = root.at("untitled/A/B");
    ASSERT_GE(group.statements.size(), 2u);
    EXPECT_EQ(group.statements[0].keyword, "flags");
    EXPECT_EQ(group.statements[0].arg(0).integer(), 1);
    const Matrix m = b->GetMl();
    const vsp::Matrix expected = {m.v1.x, m.v1.y, m.v1.z, 0, m.v2.x,  m.v2.y,  m.v2.z,  0,
                                  m.v3.x, m.v3.y, m.v3.z, 0, m.off.x, m.off.y, m.off.z, 1};
    const vsp::Matrix written = group.statements[1].arg(0).matrix();
    for (int i = 0; i < 16; ++i)  // six significant digits in the file
        EXPECT_NEAR(written[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << i;
}

TEST(Hierarchy, NodeNamesAreCutAtACharacterBoundaryAndUnreadableNamesBecomeObject) {
    ConverterFixture f;
    const std::string fits(1023, 'x');
    AddObject(f.doc(), Onull, fits);
    AddObject(f.doc(), Onull, std::string(1022, 'y') + "\xc3\xa9");  // 1024 bytes
    AddObject(f.doc(), Onull, "bad \xff");
    const vsp::Node root = loaded(f);
    const vsp::Node& model = root.at("untitled");
    ASSERT_EQ(model.children.size(), 3u);
    EXPECT_EQ(model.children[0].name, fits);
    EXPECT_EQ(model.children[1].name, std::string(1022, 'y'));
    EXPECT_EQ(model.children[2].name, "object");
}

TEST(Hierarchy, ProgressSplitsEachWeightAmongCacheMeshAndChildren) {
    {
        ConverterFixture f;  // a null with three children: a third each
        BaseObject* parent = AddObject(f.doc(), Onull, "Null");
        for (const char* name : {"a", "b", "c"}) AddObject(f.doc(), Onull, name, parent);
        // The null's own walk ends where its last child's did: no second report.
        EXPECT_EQ(progressLog(f), "|Null 0.000|a 0.000|a 0.333|b 0.333|b 0.667|c 0.667|c 1.000|");
    }
    // Half each at the top. A cache takes half of its generator's share, the children
    // share the rest; a written mesh keeps half of its share.
    ConverterFixture f;
    BaseObject* generator = AddObject(f.doc(), Onull, "Gen");
    generator->SetCache(BaseObject::Alloc(Onull));
    generator->GetCache()->SetName(String("Cache"));
    AddObject(f.doc(), Onull, "c1", generator);
    AddObject(f.doc(), Onull, "c2", generator);
    AddObject(f.doc(), Onull, "Probe", addMesh(f.doc(), "Mesh", nullptr));
    EXPECT_EQ(progressLog(f),
              "|Gen 0.000|Cache 0.000|Cache 0.250|c1 0.250|c1 0.375|c2 0.375|c2 0.500|"
              "Mesh 0.500|Probe 0.500|Probe 0.750|Mesh 1.000|");
    EXPECT_FLOAT_EQ(f.loader.progress, 1.0f);
}

TEST(Hierarchy, MeshesFollowVisibilityAsParentAndTheGeneratorInputBit) {
    struct Case {
        const char* what;
        Int32 parentEditor, meshEditor, meshRender;  // -1: not set
        bool controlBit;
        bool written;
    };
    const Case cases[] = {
        {"all visible", -1, -1, -1, false, true},
        {"parent hidden in the editor", 1, -1, -1, false, false},
        {"mesh as its visible parent", 0, 2, -1, false, true},
        {"parent hidden, mesh as parent", 1, 2, -1, false, false},
        {"parent hidden, mesh on again", 1, 0, -1, false, true},
        {"mesh hidden in renders", -1, -1, 1, false, false},
        {"generator input", -1, -1, -1, true, false},
    };
    for (const Case& c : cases) {
        ConverterFixture f;
        BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
        PolygonObject* mesh = addMesh(f.doc(), "Mesh", parent);
        if (c.parentEditor >= 0) SetParam(parent, ID_BASEOBJECT_VISIBILITY_EDITOR, c.parentEditor);
        if (c.meshEditor >= 0) SetParam(mesh, ID_BASEOBJECT_VISIBILITY_EDITOR, c.meshEditor);
        if (c.meshRender >= 0) SetParam(mesh, ID_BASEOBJECT_VISIBILITY_RENDER, c.meshRender);
        if (c.controlBit) mesh->SetBit(BIT_CONTROLOBJECT);
        EXPECT_EQ(loaded(f).find("untitled/Parent/Mesh/Mesh") != nullptr, c.written) << c.what;
    }
}

TEST(Hierarchy, UpdateWithASelectionWritesTheSelectedSubtreesMeshesOnly) {
    struct Case {
        const char* what;
        bool update, tagSelectedOnly, otherWritten;
    };
    const Case cases[] = {
        {"update of the selection", true, false, false},
        {"a selected tag chooses nothing", true, true, true},
        {"render ignores the selection", false, false, true},
    };
    for (const Case& c : cases) {
        ConverterFixture f;
        BaseObject* chosen = AddObject(f.doc(), Onull, "Chosen");
        addMesh(f.doc(), "Inner", chosen);
        addMesh(f.doc(), "Other", nullptr);
        if (c.tagSelectedOnly)
            AddTag(*chosen, Tphong)->SetBit(BIT_ACTIVE);
        else
            f.doc().SetActiveObject(chosen);
        f.loader.updateMode = c.update;
        const vsp::Node root = loaded(f);
        EXPECT_NE(root.find("untitled/Chosen/Inner/Inner"), nullptr) << c.what;
        EXPECT_NE(root.find("untitled/Other"), nullptr) << c.what;  // every group is written
        EXPECT_EQ(root.find("untitled/Other/Other") != nullptr, c.otherWritten) << c.what;
    }
}

TEST(Hierarchy, DeformCacheStandsForTheObjectBeforeItsCache) {
    ConverterFixture f;
    BaseObject* generator = AddObject(f.doc(), Onull, "Gen");
    generator->SetCache(BaseObject::Alloc(Onull));
    generator->GetCache()->SetName(String("Cache"));
    generator->SetDeformCache(BaseObject::Alloc(Onull));
    generator->GetDeformCache()->SetName(String("Deformed"));
    AddObject(f.doc(), Onull, "Child", generator);
    const vsp::Node root = loaded(f);
    const vsp::Node& group = root.at("untitled/Gen");
    ASSERT_EQ(group.children.size(), 2u);
    EXPECT_EQ(group.children[0].name, "Deformed");
    EXPECT_EQ(group.children[1].name, "Child");
}
