// The document walk: model group, document names and folder, first frame, selection.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

const std::vector<double> kMirrorZ = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};

std::vector<std::string> groupNames(const vsp::Node& node) {
    std::vector<std::string> names;
    for (const vsp::Node& child : node.children) names.push_back(child.name);
    return names;
}

}  // namespace

TEST(Load, EmptyDocumentGetsTheMirroredModelGroupWithItsSourceAttribute) {
    ConverterFixture f;
    f.take();
    f.loader.load(&f.doc());
    const vsp::Node root = f.parsed();
    ASSERT_EQ(groupNames(root), std::vector<std::string>{"untitled"});
    const vsp::Node& model = root.children[0];
    EXPECT_EQ(model.kind, vsp::NodeKind::Group);
    EXPECT_TRUE(model.children.empty());
    ASSERT_EQ(model.statements.size(), 2u);
    EXPECT_EQ(model.statements[0].keyword, "transform");
    EXPECT_EQ(model.statements[0].arg(0).numbers(), kMirrorZ);
    EXPECT_EQ(model.statements[1].keyword, "attribute");
    EXPECT_EQ(model.statements[1].arg(0).text(), "source file");
    EXPECT_EQ(model.statements[1].arg(1).text(), "source file");
}

TEST(Load, NoDocumentWritesNothing) {
    ConverterFixture f;
    f.take();
    f.loader.documentPath = "/old";
    f.loader.progress = 0.5f;
    f.loader.load(nullptr);
    EXPECT_EQ(f.take(), "");
    EXPECT_EQ(f.loader.document, nullptr);
    EXPECT_EQ(f.loader.documentPath, "");
    EXPECT_EQ(f.loader.progress, 0.0f);
}

TEST(Load, ModelIsNamedAfterTheDocumentWithoutItsExtension) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"car.final.c4d", "car.final"}, {"scene", "scene"}, {"bad \xff.c4d", "untitled"}};
    for (const auto& [file, model] : cases) {
        ConverterFixture f;
        f.doc().SetDocumentName(Filename(String(file)));
        f.doc().SetDocumentPath(Filename("/projects/cars"));
        f.take();
        f.loader.load(&f.doc());
        EXPECT_EQ(groupNames(f.parsed()), std::vector<std::string>{model}) << file;
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
    f.take();
    f.loader.load(&f.doc());

    const vsp::Node root = f.parsed();
    const vsp::Matrix written = root.at("untitled/Box").findStatement("transform")->arg(0).matrix();
    EXPECT_DOUBLE_EQ(written[13], 10.0);  // position y at the first frame
    EXPECT_EQ(f.doc().GetTime().Get(), 2.5);
    EXPECT_DOUBLE_EQ(box->GetRelPos().y, 25.0);  // evaluated at its own time again
}

TEST(Load, UpdateCollectsTheSelectedObjectsOnly) {
    ConverterFixture f;
    BaseObject* a = AddObject(f.doc(), Onull, "A");
    BaseObject* b = AddObject(f.doc(), Onull, "B", a);
    AddObject(f.doc(), Onull, "C");
    f.doc().SetActiveObject(b);
    AddTag(*a, Ttexture, "Tex")->SetBit(BIT_ACTIVE);
    AddTag(*a, Tphong, "Phong")->SetBit(BIT_ACTIVE);

    f.loader.updateMode = true;
    f.loader.load(&f.doc());
    EXPECT_EQ(f.loader.selectedObjects, std::set<uint64_t>{b->GetGUID()});

    // Render and export ignore the selection; the set left by an update goes.
    f.loader.updateMode = false;
    f.loader.load(&f.doc());
    EXPECT_TRUE(f.loader.selectedObjects.empty());
}
