// The document walk: model group, document names and folder, first frame.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

TEST(Load, EmptyDocumentGetsTheMirroredModelGroupAndNoDocumentNothing) {
    ConverterFixture f;
    f.take();
    f.loader.load(&f.doc());
    const vsp::Node root = f.parsed();
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
        f.take();
        f.loader.load(&f.doc());
        const vsp::Node root = f.parsed();
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
    f.take();
    f.loader.load(&f.doc());

    const vsp::Node root = f.parsed();
    const vsp::Matrix written = root.at("untitled/Box").findStatement("transform")->arg(0).matrix();
    EXPECT_DOUBLE_EQ(written[13], 10.0);  // position y at the first frame
    EXPECT_EQ(f.doc().GetTime().Get(), 2.5);
    EXPECT_DOUBLE_EQ(box->GetRelPos().y, 25.0);  // evaluated at its own time again
}
