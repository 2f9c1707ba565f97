#include <gtest/gtest.h>

#include "c4d.h"
#include "test_support.h"
#include "vantrel_host/document_builder.h"
#include "vantrel_host/host_services.h"

namespace {

using namespace vantrel_host;

std::unique_ptr<BaseDocument> NewDocument() {
    return std::unique_ptr<BaseDocument>(BaseDocument::Alloc());
}

TEST(Parameters, AbsentReadsFailAndStoredOnesReadBack) {
    auto doc = NewDocument();
    BaseObject* op = AddObject(*doc, Onull, "Null");
    GeData data(Int32(7));
    EXPECT_FALSE(op->GetParameter(DescID(ID_BASEOBJECT_VISIBILITY_EDITOR), data, DESCFLAGS_GET_0));
    EXPECT_TRUE(data.IsNil());
    EXPECT_EQ(data.GetInt32(), 0);
    EXPECT_EQ(data.GetFloat(), 0.0);

    SetParam(op, ID_BASEOBJECT_COLOR, GeData(Vector(0.1, 0.2, 0.3)));
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetVector(), Vector(0.1, 0.2, 0.3));
    EXPECT_EQ(data.GetInt32(), 0);  // a vector is no integer
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR, VECTOR_Y), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetFloat(), 0.2);
    EXPECT_FALSE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR, 1003), data, DESCFLAGS_GET_0));

    SetParam(op, 90001, GeData(2.75));
    ASSERT_TRUE(op->GetParameter(DescID(90001), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetInt32(), 2);  // floats read as integers truncate
    SetParam(op, 90001, GeData());  // a nil value removes the parameter
    EXPECT_FALSE(op->GetParameter(DescID(90001), data, DESCFLAGS_GET_0));

    // The name and the transform are parameters too.
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASELIST_NAME), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetString().GetUtf8(), "Null");
    op->SetRelScale(Vector(1, 2, 3));
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASEOBJECT_REL_SCALE, VECTOR_Z), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetFloat(), 3.0);
    EXPECT_EQ(op->GetDataInstance()->GetVector(ID_BASEOBJECT_REL_SCALE), Vector(1, 2, 3));
}

TEST(Links, ResolveOnlyInTheirDocumentAndOnlyWhileTheTargetLives) {
    auto doc = NewDocument();
    auto other = NewDocument();
    BaseMaterial* mine = AddStandardMaterial(*doc, "Mine");
    BaseMaterial* theirs = AddStandardMaterial(*other, "Theirs");
    BaseObject* op = AddObject(*doc, Opolygon, "Mesh");
    TextureTag* tag = AddTextureTag(*op, mine);
    EXPECT_EQ(tag->GetMaterial(), mine);
    EXPECT_EQ(tag->GetObject(), op);
    EXPECT_EQ(tag->GetDocument(), doc.get());

    const GeData link = Link(theirs);
    EXPECT_EQ(link.GetLink(other.get()), theirs);
    EXPECT_EQ(link.GetLink(doc.get()), nullptr);
    EXPECT_EQ(link.GetLink(other.get(), Mhair), nullptr);
    tag->SetMaterial(theirs);
    EXPECT_EQ(tag->GetMaterial(), nullptr);
    EXPECT_EQ(tag->GetMaterial(true), theirs);

    BaseShader* shader = AddShader(*mine, Xcolor, "Color");
    const GeData shader_link = Link(shader);
    EXPECT_EQ(shader_link.GetLink(doc.get()), shader);
    EXPECT_EQ(mine->GetFirstShader(), shader);
    BaseMaterial::Free(mine);
    EXPECT_EQ(shader_link.GetLink(nullptr), nullptr);  // taken away with its material

    LayerObject* layer = AddLayer(*doc, "Layer");
    op->SetLayerObject(layer);
    EXPECT_EQ(op->GetLayerObject(doc.get()), layer);
    EXPECT_EQ(op->GetLayerObject(other.get()), nullptr);
    LayerObject::Free(layer);
    EXPECT_EQ(op->GetLayerObject(doc.get()), nullptr);
}

TEST(Document, KeepsTreeOrderSelectionAndUniqueGuids) {
    auto doc = NewDocument();
    BaseObject* a = AddObject(*doc, Onull, "A");
    BaseObject* b = AddObject(*doc, Onull, "B", a);
    BaseObject* c = AddObject(*doc, Onull, "C");
    BaseObject* b2 = AddObject(*doc, Onull, "B", c);
    BaseTag* tag = AddTag(*c, Tphong, "Phong");
    EXPECT_EQ(doc->GetFirstObject(), a);
    EXPECT_EQ(a->GetNext(), c);
    EXPECT_EQ(a->GetDown(), b);
    EXPECT_EQ(b->GetUp(), a);
    EXPECT_EQ(a->GetUp(), nullptr);
    EXPECT_EQ(doc->SearchObject(String("B")), b);
    EXPECT_NE(b->GetGUID(), b2->GetGUID());

    doc->SetActiveObject(b2, SELECTION_NEW);
    tag->SetBit(BIT_ACTIVE);
    doc->SetActiveObject(a, SELECTION_ADD);
    AtomArray selection;
    doc->GetSelection(selection);
    ASSERT_EQ(selection.GetCount(), 3);
    EXPECT_EQ(selection.GetIndex(0), a);  // objects in document order, then tags
    EXPECT_EQ(selection.GetIndex(1), b2);
    EXPECT_EQ(selection.GetIndex(2), tag);
    EXPECT_EQ(selection.GetIndex(3), nullptr);
    doc->DeselectAll();
    doc->GetSelection(selection);
    EXPECT_EQ(selection.GetCount(), 0);

    // Deleting a node unlinks it and frees its subtree.
    BaseObject::Free(a);
    EXPECT_EQ(doc->GetFirstObject(), c);
    EXPECT_EQ(c->GetPred(), nullptr);
}

TEST(PolygonObject, PhongNormalsAreSmoothPerPointAndOnlyWithAPhongTag) {
    auto doc = NewDocument();
    // Two quads folded along the edge of points 1 and 4, one facing -z, one facing +x.
    PolygonObject* op = AddPolygonObject(
        *doc, "Fold", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}},
        {CPolygon(0, 3, 2, 1), CPolygon(1, 2, 5, 4), CPolygon(0, 1, 4)});
    EXPECT_EQ(op->CreatePhongNormals(), nullptr);
    AddTag(*op, Tphong);
    Vector32* normals = op->CreatePhongNormals();
    ASSERT_NE(normals, nullptr);
    const Vector32 flat_z = normals[0];  // point 0: the -z quad and the triangle on y = 0
    EXPECT_NEAR(flat_z.GetLength(), 1.0f, 1e-6f);
    // Point 2 is shared by the -z and +x quads: its normal bisects them.
    EXPECT_NEAR(normals[2].x, 0.70710678f, 1e-6f);
    EXPECT_NEAR(normals[2].z, -0.70710678f, 1e-6f);
    EXPECT_EQ(normals[5], normals[2]);    // the same point in the second quad
    EXPECT_EQ(normals[10], normals[11]);  // a triangle's d corner repeats c
    DeleteMem(normals);
    EXPECT_EQ(normals, nullptr);
}

TEST(Selections, RunsMergeAndRangesClipToTheElementCount) {
    BaseSelect s;
    s.Select(5);
    s.SelectAll(1, 3);
    s.Select(4);
    s.Select(9);
    EXPECT_EQ(s.GetSegments(), 2);
    EXPECT_EQ(s.GetCount(), 6);
    Int32 a = 0, b = 0;
    ASSERT_TRUE(s.GetRange(0, 2147483647, &a, &b));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 5);
    ASSERT_TRUE(s.GetRange(1, 7, &a, &b) == false);
    s.Deselect(3);
    EXPECT_EQ(s.GetSegments(), 3);
    EXPECT_FALSE(s.IsSelected(3));
    EXPECT_TRUE(s.IsSelected(4));
    EXPECT_FALSE(s.GetRange(3, 100, &a, &b));
}

TEST(HairObject, GuidesComeOnlyWhileLocked) {
    std::unique_ptr<HairObject> hair(HairObject::Alloc());
    EXPECT_EQ(hair->GetType(), Ohair);
    ASSERT_TRUE(hair->Lock(nullptr, nullptr, false, 0));
    EXPECT_EQ(hair->GenerateHair(0), nullptr);  // no guides
    HairGuides* guides = HairGuides::Alloc(2, 3);
    guides->SetRootUV(1, Vector(0.5, 0.25, 0));
    hair->SetGuides(guides);
    EXPECT_EQ(hair->GenerateHair(0, -1, -1), guides);
    EXPECT_EQ(guides->GetSegmentCount(), 3);
    EXPECT_EQ(guides->GetRootUV(1), Vector(0.5, 0.25, 0));
    hair->Unlock();
    EXPECT_FALSE(hair->IsLocked());
    EXPECT_EQ(hair->GenerateHair(0), nullptr);
}

TEST(Text, CopiesAreUtf8AndFileNamesCompose) {
    char* copy = String("Würfel").GetCStringCopy(STRINGENCODING_UTF8);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "Würfel");
    DeleteMem(copy);
    EXPECT_EQ(String("Würfel").GetCStringCopy(STRINGENCODING_7BIT), nullptr);
    EXPECT_EQ(String("bad \xff").GetCStringCopy(STRINGENCODING_UTF8), nullptr);
    String part;
    part.SetCString("abcdef", 3);
    EXPECT_EQ(part.GetUtf8(), "abc");

    Filename f;
    f.SetDirectory(Filename("%USERDATA%"));
    f.SetFile(Filename("untitled"));
    f.SetSuffix(String("vsp"));
    EXPECT_EQ(f.GetString().GetUtf8(), "%USERDATA%/untitled.vsp");
    f.SetDirectory(Filename("/tmp/out/"));
    EXPECT_EQ(f.GetString().GetUtf8(), "/tmp/out/untitled.vsp");
    EXPECT_EQ(f.GetFileString().GetUtf8(), "untitled.vsp");
    EXPECT_EQ(f.GetDirectory().GetString().GetUtf8(), "/tmp/out");
    EXPECT_TRUE(f.CheckSuffix(String("VSP")));
    EXPECT_FALSE(Filename().Content());
}

TEST(HostServices, FileDialogMessagesAndCommandRegistration) {
    Filename f(String("x"));
    SetFileDialogAnswer(std::nullopt);
    EXPECT_FALSE(
        f.FileSelect(FILESELECTTYPE_ANYTHING, FILESELECT_SAVE, String("Save"), String("vsp")));
    SetFileDialogAnswer(std::string("/tmp/scene"));
    EXPECT_TRUE(
        f.FileSelect(FILESELECTTYPE_ANYTHING, FILESELECT_SAVE, String("Save"), String("vsp")));
    EXPECT_EQ(f.GetString().GetUtf8(), "/tmp/scene.vsp");
    SetFileDialogAnswer(std::string("/tmp/scene.txt"));
    EXPECT_TRUE(
        f.FileSelect(FILESELECTTYPE_ANYTHING, FILESELECT_SAVE, String("Save"), String("vsp")));
    EXPECT_EQ(f.GetString().GetUtf8(), "/tmp/scene.txt");
    SetFileDialogAnswer(std::nullopt);

    std::vector<std::pair<MessageKind, std::string>> messages;
    MessageSink previous =
        SetMessageSink([&](MessageKind k, const std::string& s) { messages.emplace_back(k, s); });
    GePrint(String("line"));
    MessageDialog(String("dialog"));
    SetMessageSink(previous);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::make_pair(MessageKind::Print, std::string("line")));
    EXPECT_EQ(messages[1], std::make_pair(MessageKind::Dialog, std::string("dialog")));

    const size_t before = RegisteredCommands().size();
    AutoBitmap icon(String("icon.png"));
    EXPECT_TRUE(
        RegisterCommandPlugin(424242, String("Name"), 0, icon, String("Help"), new CommandData));
    EXPECT_FALSE(
        RegisterCommandPlugin(424242, String("Again"), 0, nullptr, String(""), new CommandData));
    ASSERT_EQ(RegisteredCommands().size(), before + 1);
    EXPECT_EQ(RegisteredCommands().back().icon, "icon.png");
    EXPECT_EQ(RegisteredCommands().back().command->GetState(nullptr), CMD_ENABLED);
    ClearCommands();
}

}  // namespace
