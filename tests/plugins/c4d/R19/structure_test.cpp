// The hierarchy walk: groups, progress shares, the polygon write rule, caches, tags.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

struct Progress {
    std::string name;
    double value;
};

// Every progress report, in file order.
std::vector<Progress> progressReports(const vsp::Node& root) {
    std::vector<const vsp::Statement*> found;
    root.visit([&](const vsp::Node& node) {
        for (const vsp::Statement* s : node.statementsNamed("progress")) found.push_back(s);
    });
    std::sort(found.begin(), found.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
    std::vector<Progress> reports;
    for (const vsp::Statement* s : found) reports.push_back({s->arg(0).text(), s->arg(1).number()});
    return reports;
}

// The value the last report of that name gives: where the object's walk ended.
double progressAfter(const vsp::Node& root, const std::string& name) {
    double value = -1.0;
    for (const Progress& p : progressReports(root))
        if (p.name == name) value = p.value;
    return value;
}

// A mesh with a null "Probe" below it. Walked alone, the probe's walk ends at 0.5 when the
// mesh is written (it keeps half of the weight) and at 1.0 when it is not.
PolygonObject* meshWithProbe(BaseDocument& doc, const std::string& name, BaseObject* parent) {
    PolygonObject* mesh =
        AddPolygonObject(doc, name, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {CPolygon(0, 1, 2)}, parent);
    AddObject(doc, Onull, "Probe", mesh);
    return mesh;
}

bool meshWritten(ConverterFixture& f) {
    f.take();
    f.loader.load(&f.doc());
    const double end = progressAfter(f.parsed(), "Probe");
    EXPECT_TRUE(end == 0.5 || end == 1.0) << end;
    return end == 0.5;
}

void setVisibility(BaseObject* object, Int32 parameter, Int32 mode) {
    SetParam(object, parameter, GeData(mode));
}

}  // namespace

TEST(Hierarchy, NestedGroupsCarryNamesFlagsAndLocalTransformsInOrder) {
    ConverterFixture f;
    BaseObject* a = AddObject(f.doc(), Onull, "A");
    a->SetRelPos(Vector(10, 20, 30));
    BaseObject* b = AddObject(f.doc(), Onull, "B", a);
    b->SetRelRot(Vector(0.5, 0, 0));
    b->SetRelScale(Vector(2, 2, 2));
    AddObject(f.doc(), Onull, "", a);
    AddObject(f.doc(), Onull, "D");
    f.take();
    f.loader.load(&f.doc());
    const vsp::Node root = f.parsed();

    const vsp::Node& model = root.at("untitled");
    ASSERT_EQ(model.children.size(), 2u);
    EXPECT_EQ(model.children[0].name, "A");
    EXPECT_EQ(model.children[1].name, "D");
    ASSERT_EQ(model.children[0].children.size(), 2u);
    EXPECT_EQ(model.children[0].children[1].name, "");  // an empty name stays empty

    for (const BaseObject* object : {a, b}) {
        const vsp::Node& group = object == a ? root.at("untitled/A") : root.at("untitled/A/B");
        ASSERT_GE(group.statements.size(), 2u);  // then the children's progress reports
        EXPECT_EQ(group.statements[0].keyword, "flags");
        EXPECT_EQ(group.statements[0].arg(0).integer(), 1);
        const Matrix m = object->GetMl();
        const vsp::Matrix expected = {m.v1.x, m.v1.y, m.v1.z, 0, m.v2.x,  m.v2.y,  m.v2.z,  0,
                                      m.v3.x, m.v3.y, m.v3.z, 0, m.off.x, m.off.y, m.off.z, 1};
        const vsp::Matrix written = group.statements[1].arg(0).matrix();
        // Six significant digits in the file.
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(written[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << i;
    }
}

TEST(Hierarchy, NodeNamesAreCutAtACharacterBoundaryAndUnreadableNamesBecomeObject) {
    ConverterFixture f;
    const std::string fits(1023, 'x');
    const std::string cut =
        std::string(1022, 'y') + "\xc3\xa9";  // 1024 bytes, the last character 2
    AddObject(f.doc(), Onull, fits);
    AddObject(f.doc(), Onull, cut);
    AddObject(f.doc(), Onull, "bad \xff");
    f.take();
    f.loader.load(&f.doc());
    const vsp::Node root = f.parsed();
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
        f.take();
        f.loader.load(&f.doc());
        const std::vector<Progress> reports = progressReports(f.parsed());
        // The null's own walk ends where its last child's did: no second report.
        const std::vector<std::pair<std::string, double>> expected = {
            {"Null", 0.0}, {"a", 0.0},   {"a", 0.333}, {"b", 0.333},
            {"b", 0.667},  {"c", 0.667}, {"c", 1.0}};
        ASSERT_EQ(reports.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(reports[i].name, expected[i].first) << i;
            EXPECT_NEAR(reports[i].value, expected[i].second, 0.0006) << i;
        }
        EXPECT_FLOAT_EQ(f.loader.progress, 1.0f);
    }
    {
        ConverterFixture f;  // a cache takes half; two children share the other half
        BaseObject* generator = AddObject(f.doc(), Onull, "Gen");
        generator->SetCache(BaseObject::Alloc(Onull));
        generator->GetCache()->SetName(String("Cache"));
        AddObject(f.doc(), Onull, "c1", generator);
        AddObject(f.doc(), Onull, "c2", generator);
        f.take();
        f.loader.load(&f.doc());
        const vsp::Node root = f.parsed();
        EXPECT_DOUBLE_EQ(progressAfter(root, "Cache"), 0.5);
        EXPECT_DOUBLE_EQ(progressAfter(root, "c1"), 0.75);
        EXPECT_DOUBLE_EQ(progressAfter(root, "c2"), 1.0);
    }
    {
        ConverterFixture f;  // a written mesh keeps half; the top level splits evenly
        meshWithProbe(f.doc(), "Mesh", nullptr);
        AddObject(f.doc(), Onull, "Last");
        f.take();
        f.loader.load(&f.doc());
        const vsp::Node root = f.parsed();
        EXPECT_DOUBLE_EQ(progressAfter(root, "Probe"), 0.25);
        EXPECT_DOUBLE_EQ(progressAfter(root, "Mesh"), 0.5);
        EXPECT_DOUBLE_EQ(progressAfter(root, "Last"), 1.0);
    }
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
        {"parent hidden, mesh as parent", 1, 2, -1, false, false},
        {"parent hidden, mesh on again", 1, 0, -1, false, true},
        {"mesh hidden in renders", -1, -1, 1, false, false},
        {"generator input", -1, -1, -1, true, false},
    };
    for (const Case& c : cases) {
        ConverterFixture f;
        BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
        PolygonObject* mesh = meshWithProbe(f.doc(), "Mesh", parent);
        if (c.parentEditor >= 0)
            setVisibility(parent, ID_BASEOBJECT_VISIBILITY_EDITOR, c.parentEditor);
        if (c.meshEditor >= 0) setVisibility(mesh, ID_BASEOBJECT_VISIBILITY_EDITOR, c.meshEditor);
        if (c.meshRender >= 0) setVisibility(mesh, ID_BASEOBJECT_VISIBILITY_RENDER, c.meshRender);
        if (c.controlBit) mesh->SetBit(BIT_CONTROLOBJECT);
        EXPECT_EQ(meshWritten(f), c.written) << c.what;
    }
}

TEST(Hierarchy, UpdateWithASelectionWritesTheSelectedSubtreesMeshesOnly) {
    // A selected null with a mesh below it, and an unselected mesh.
    auto build = [](ConverterFixture& f) {
        BaseObject* chosen = AddObject(f.doc(), Onull, "Chosen");
        AddPolygonObject(f.doc(), "Inner", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {CPolygon(0, 1, 2)},
                         chosen);
        AddObject(f.doc(), Onull, "InnerProbe", chosen->GetDown());
        meshWithProbe(f.doc(), "Other", nullptr);
        return chosen;
    };
    auto probes = [](ConverterFixture& f) {
        f.take();
        f.loader.load(&f.doc());
        const vsp::Node root = f.parsed();
        EXPECT_NE(root.find("untitled/Other/Probe"), nullptr);  // every group is still written
        return std::make_pair(progressAfter(root, "InnerProbe"), progressAfter(root, "Probe"));
    };
    // Chosen and Other have half the weight each; a written mesh keeps half of its own.
    const auto bothWritten = std::make_pair(0.25, 0.75);
    {
        ConverterFixture f;
        f.doc().SetActiveObject(build(f));
        f.loader.updateMode = true;
        EXPECT_EQ(probes(f), std::make_pair(0.25, 1.0));
    }
    {
        ConverterFixture f;  // nothing selected: everything
        build(f);
        f.loader.updateMode = true;
        EXPECT_EQ(probes(f), bothWritten);
    }
    {
        ConverterFixture f;  // not an update: the selection does not count
        f.doc().SetActiveObject(build(f));
        EXPECT_EQ(probes(f), bothWritten);
    }
}

TEST(Hierarchy, DeformCacheStandsForTheObjectBeforeItsCache) {
    ConverterFixture f;
    BaseObject* generator = AddObject(f.doc(), Onull, "Gen");
    BaseObject* cache = BaseObject::Alloc(Onull);
    cache->SetName(String("Cache"));
    generator->SetCache(cache);
    BaseObject* deformed = BaseObject::Alloc(Onull);
    deformed->SetName(String("Deformed"));
    generator->SetDeformCache(deformed);
    AddObject(f.doc(), Onull, "Child", generator);
    f.take();
    f.loader.load(&f.doc());
    const vsp::Node root = f.parsed();
    const vsp::Node& group = root.at("untitled/Gen");
    ASSERT_EQ(group.children.size(), 2u);
    EXPECT_EQ(group.children[0].name, "Deformed");
    EXPECT_EQ(group.children[1].name, "Child");
}

TEST(Tags, SortedIntoListSlotsAndSelectionMap) {
    ConverterFixture f;
    BaseObject* object = AddObject(f.doc(), Onull, "Object");
    BaseTag* texture = AddTag(*object, Ttexture, "Tex");
    BaseTag* hairMaterial = AddTag(*object, Thairmaterial, "Hair");
    AddTag(*object, Tuvw, "first uvw");
    BaseTag* uvw = AddTag(*object, Tuvw, "second uvw");
    BaseTag* normal = AddTag(*object, Tnormal, "Normals");
    AddTag(*object, Tpolygonselection, "Top");
    BaseTag* laterTop = AddTag(*object, Tpolygonselection, "Top");
    BaseTag* side = AddTag(*object, Tpolygonselection, "Side");
    AddTag(*object, Tphong, "Phong");

    std::vector<BaseTag*> list{nullptr};
    UVWTag* uvwSlot = nullptr;
    NormalTag* normalSlot = nullptr;
    std::map<std::string, SelectionTag*> selections;
    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext())
        f.loader.browseTag(tag, &uvwSlot, &normalSlot, &selections, &list);
    EXPECT_EQ(list, (std::vector<BaseTag*>{nullptr, texture, hairMaterial}));
    EXPECT_EQ(uvwSlot, uvw);
    EXPECT_EQ(normalSlot, normal);
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(selections["Top"], laterTop);
    EXPECT_EQ(selections["Side"], side);

    // Without slots and map only the list fills.
    std::vector<BaseTag*> walkList;
    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext())
        f.loader.browseTag(tag, nullptr, nullptr, nullptr, &walkList);
    EXPECT_EQ(walkList.size(), 2u);
}
