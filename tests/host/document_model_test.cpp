#include <gtest/gtest.h>

#include <functional>

#include "vantrel_host/document_builder.h"

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

    SetParam(op, ID_BASEOBJECT_COLOR, GeData(Vector(0.1, 0.2, 0.3)));
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetVector(), Vector(0.1, 0.2, 0.3));
    EXPECT_EQ(data.GetInt32(), 0);  // a vector is no integer
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR, VECTOR_Y), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetFloat(), 0.2);
    EXPECT_FALSE(op->GetParameter(DescID(ID_BASEOBJECT_COLOR, 1003), data, DESCFLAGS_GET_0));

    SetParam(op, LIGHT_BRIGHTNESS, GeData(2.75));
    ASSERT_TRUE(op->GetParameter(DescID(LIGHT_BRIGHTNESS), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetInt32(), 2);             // floats read as integers truncate
    SetParam(op, LIGHT_BRIGHTNESS, GeData());  // a nil value removes the parameter
    EXPECT_FALSE(op->GetParameter(DescID(LIGHT_BRIGHTNESS), data, DESCFLAGS_GET_0));

    // The name is a parameter too.
    ASSERT_TRUE(op->GetParameter(DescID(ID_BASELIST_NAME), data, DESCFLAGS_GET_0));
    EXPECT_EQ(data.GetString().GetUtf8(), "Null");
}

TEST(Links, ResolveOnlyInTheirDocumentAndOnlyWhileTheTargetLives) {
    auto doc = NewDocument(), other = NewDocument();
    BaseMaterial* mine = AddStandardMaterial(*doc, "Mine");
    BaseMaterial* theirs = AddStandardMaterial(*other, "Theirs");
    TextureTag* tag = AddTextureTag(*AddObject(*doc, Opolygon, "Mesh"), mine);
    EXPECT_EQ(tag->GetMaterial(), mine);

    const GeData link = Link(theirs);
    EXPECT_EQ(link.GetLink(other.get()), theirs);
    EXPECT_EQ(link.GetLink(doc.get()), nullptr);
    EXPECT_EQ(link.GetLink(other.get(), Mhair), nullptr);
    tag->SetMaterial(theirs);
    EXPECT_EQ(tag->GetMaterial(), nullptr);
    EXPECT_EQ(tag->GetMaterial(true), theirs);

    // Xbase stands for every shader and for nothing else.
    BaseShader* shader = AddShader(*mine, Xcolor, "Color");
    const GeData shader_link = Link(shader);
    EXPECT_EQ(shader_link.GetLink(doc.get(), Xbase), shader);
    EXPECT_EQ(Link(mine).GetLink(doc.get(), Xbase), nullptr);
    BaseMaterial::Free(mine);
    EXPECT_EQ(shader_link.GetLink(nullptr), nullptr);  // taken away with its material
}

TEST(Lists, TheLastChildFollowsEveryInsertionAndRemoval) {
    auto doc = NewDocument();
    BaseObject* parent = AddObject(*doc, Onull, "Parent");
    const auto walked_last = [parent] {
        BaseObject* last = parent->GetDown();
        while (last != nullptr && last->GetNext() != nullptr) last = last->GetNext();
        return last;
    };
    BaseObject* a = AddObject(*doc, Onull, "A", parent);
    BaseObject* b = AddObject(*doc, Onull, "B", parent);
    BaseObject* c = BaseObject::Alloc(Onull);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"after the last", [&] { c->InsertAfter(b); }},
        {"before the first", [&] { c->InsertBefore(a); }},
        {"after the first", [&] { c->InsertAfter(a); }},
        {"the last removed", [&] { b->Remove(); }},
        {"first under", [&] { b->InsertUnder(parent); }},
        {"last under", [&] { b->InsertUnderLast(parent); }},
        {"moved to another parent", [&] { b->InsertUnderLast(a); }},
        {"deleted", [&] { BaseObject::Free(c); }},
        {"the only one removed", [&] { a->Remove(); }},
    };
    for (const auto& [step, apply] : steps) {
        SCOPED_TRACE(step);
        apply();
        EXPECT_EQ(parent->GetDownLast(), walked_last());
    }
    EXPECT_EQ(a->GetDownLast(), b);
    BaseObject::Free(a);
}

TEST(Document, SelectionListsObjectsInDocumentOrderThenTagsAndGuidsAreUnique) {
    auto doc = NewDocument();
    BaseObject* a = AddObject(*doc, Onull, "A");
    BaseObject* c = AddObject(*doc, Onull, "C");
    BaseObject* b = AddObject(*doc, Onull, "B", c);
    BaseObject* b2 = AddObject(*doc, Onull, "B", a);
    EXPECT_NE(b->GetGUID(), b2->GetGUID());
    doc->SetActiveObject(b, SELECTION_NEW);
    AddTag(*c, Tphong, "Phong")->SetBit(BIT_ACTIVE);
    doc->SetActiveObject(a, SELECTION_ADD);
    AtomArray selection;
    doc->GetSelection(selection);
    ASSERT_EQ(selection.GetCount(), 3);
    EXPECT_EQ(selection.GetIndex(0), a);
    EXPECT_EQ(selection.GetIndex(1), b);
    EXPECT_EQ(selection.GetIndex(2), c->GetFirstTag());

    // Deleting a node unlinks it and frees its subtree.
    BaseObject::Free(a);
    EXPECT_EQ(doc->GetFirstObject(), c);
    EXPECT_EQ(c->GetPred(), nullptr);
}

TEST(PolygonObject, PhongNormalsAreSmoothPerPointAndOnlyWithAPhongTag) {
    auto doc = NewDocument();
    // Two quads folded along the edge of points 1 and 2, one facing -z, one facing +x.
    PolygonObject* op = AddPolygonObject(
        *doc, "Fold", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}},
        {CPolygon(0, 3, 2, 1), CPolygon(1, 2, 5, 4), CPolygon(0, 1, 4), CPolygon(0, 99, 4)});
    EXPECT_EQ(op->CreatePhongNormals(), nullptr);
    AddTag(*op, Tphong);
    Vector32* normals = op->CreatePhongNormals();
    ASSERT_NE(normals, nullptr);
    // Point 2 is shared by the -z and +x quads: its normal bisects them.
    EXPECT_NEAR(normals[2].x, 0.70710678f, 1e-6f);
    EXPECT_NEAR(normals[2].z, -0.70710678f, 1e-6f);
    EXPECT_EQ(normals[5], normals[2]);    // the same point in the second quad
    EXPECT_EQ(normals[10], normals[11]);  // a triangle's d corner repeats c
    EXPECT_EQ(normals[13], Vector32());   // a corner naming a missing point has none
    DeleteMem(normals);
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
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(1, 5));
    EXPECT_FALSE(s.GetRange(1, 7, &a, &b));
    s.Deselect(3);
    EXPECT_EQ(s.GetSegments(), 3);
    EXPECT_FALSE(s.IsSelected(3));
    EXPECT_FALSE(s.GetRange(3, 100, &a, &b));
}

TEST(Animation, TracksInterpolateLinearlyAndThePassesSetTransformsAtTheCurrentTime) {
    auto doc = NewDocument();
    BaseObject* parent = AddObject(*doc, Onull, "Parent");
    CTrack* track = AddTrack(*parent, DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_X),
                             {{2.0, 30.0}, {0.0, 10.0}, {1.0, 20.0}});  // sorted by time
    const auto at = [&](Float t) { return track->GetValue(doc.get(), BaseTime(t), 30); };
    EXPECT_EQ(at(-1.0), 10.0);
    EXPECT_DOUBLE_EQ(at(1.5), 25.0);
    EXPECT_EQ(at(9.0), 30.0);

    // Two keys at one time: a jump, and no division by a zero span.
    CCurve* curve = track->GetCurve();
    curve->AddKey(BaseTime(1.0))->SetValue(curve, 100.0);
    EXPECT_EQ(at(1.0), 100.0);
    EXPECT_DOUBLE_EQ(at(0.5), 15.0);

    // Times are numerator over denominator; a zero denominator reads 0.
    EXPECT_EQ(BaseTime(3.0, 2.0).Get(), 1.5);
    EXPECT_EQ(BaseTime(3.0, 0.0).Get(), 0.0);
    EXPECT_TRUE(BaseTime(1, 3) < BaseTime(0.5));

    BaseObject* child = AddObject(*doc, Onull, "Child", parent);
    parent->SetRelPos(Vector(1, 2, 3));
    AddTrack(*parent, DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_Y), {{0.0, 0.0}, {1.0, 10.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_ROTATION, VECTOR_X), {{0.0, 0.0}, {2.0, 1.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_SCALE, VECTOR_Z), {{0.0, 1.0}, {1.0, 3.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_SCALE, VECTOR_X), {});  // no keys: left alone

    doc->SetTime(BaseTime(0.5));
    EXPECT_EQ(parent->GetRelPos(), Vector(1, 2, 3));  // nothing moves before the passes run
    ASSERT_TRUE(doc->ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0));
    EXPECT_EQ(parent->GetRelPos(), Vector(15, 5, 3));  // x from the first track
    EXPECT_EQ(child->GetRelRot(), Vector(0.25, 0, 0));
    EXPECT_EQ(child->GetRelScale(), Vector(1, 1, 2));
    EXPECT_EQ(child->GetMg().off, Vector(15, 5, 3));
}

}  // namespace
