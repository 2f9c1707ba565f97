#include <gtest/gtest.h>

#include "c4d.h"
#include "vantrel_host/document_builder.h"

namespace {

using namespace vantrel_host;

TEST(Track, EvaluatesLinearlyBetweenKeysAndConstantOutside) {
    std::unique_ptr<BaseDocument> doc(BaseDocument::Alloc());
    BaseObject* op = AddObject(*doc, Onull, "Animated");
    CTrack* track = AddTrack(*op, DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_X),
                             {{2.0, 30.0}, {0.0, 10.0}, {1.0, 20.0}});
    const auto at = [&](Float t) { return track->GetValue(doc.get(), BaseTime(t), 30); };
    EXPECT_EQ(at(-1.0), 10.0);
    EXPECT_EQ(at(0.0), 10.0);
    EXPECT_DOUBLE_EQ(at(0.25), 12.5);
    EXPECT_EQ(at(1.0), 20.0);
    EXPECT_DOUBLE_EQ(at(1.5), 25.0);
    EXPECT_EQ(at(9.0), 30.0);

    CCurve* curve = track->GetCurve();
    ASSERT_EQ(curve->GetKeyCount(), 3);
    EXPECT_EQ(curve->GetKey(0)->GetTime().Get(), 0.0);  // keys sorted by time
    EXPECT_EQ(curve->GetKey(2)->GetTime().Get(), 2.0);
    EXPECT_EQ(curve->GetKey(3), nullptr);

    // Two keys at one time: a jump, and no division by a zero span.
    curve->AddKey(BaseTime(1.0))->SetValue(curve, 100.0);
    EXPECT_EQ(at(1.0), 100.0);
    EXPECT_DOUBLE_EQ(at(0.5), 15.0);

    EXPECT_EQ(track->GetName().GetUtf8(), "Position . X");
    GeData on;
    EXPECT_TRUE(track->GetParameter(DescID(ID_CTRACK_ON), on, DESCFLAGS_GET_0));
    EXPECT_EQ(on.GetInt32(), 1);
    EXPECT_EQ(op->GetFirstCTrack(), track);
}

TEST(Track, BaseTimeIsNumeratorOverDenominator) {
    EXPECT_EQ(BaseTime(3.0, 2.0).Get(), 1.5);
    EXPECT_EQ(BaseTime(3.0, 0.0).Get(), 0.0);
    EXPECT_EQ(BaseTime(1.5).GetNumerator(), 1.5);
    EXPECT_EQ(BaseTime(1.5).GetDenominator(), 1.0);
    EXPECT_EQ(BaseTime(1.0).GetFrame(30), 30);
    EXPECT_TRUE(BaseTime(1, 3) < BaseTime(0.5));
}

TEST(ExecutePasses, SetsAnimatedTransformsToTheirValueAtTheCurrentTime) {
    std::unique_ptr<BaseDocument> doc(BaseDocument::Alloc());
    BaseObject* parent = AddObject(*doc, Onull, "Parent");
    BaseObject* child = AddObject(*doc, Onull, "Child", parent);
    parent->SetRelPos(Vector(1, 2, 3));
    AddTrack(*parent, DescID(ID_BASEOBJECT_REL_POSITION, VECTOR_Y), {{0.0, 0.0}, {1.0, 10.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_ROTATION, VECTOR_X), {{0.0, 0.0}, {2.0, 1.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_SCALE, VECTOR_Z), {{0.0, 1.0}, {1.0, 3.0}});
    AddTrack(*child, DescID(ID_BASEOBJECT_REL_SCALE, VECTOR_X), {});  // no keys: left alone

    doc->SetTime(BaseTime(0.5));
    EXPECT_EQ(parent->GetRelPos(), Vector(1, 2, 3));  // nothing moves before the passes run
    ASSERT_TRUE(doc->ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0));
    EXPECT_EQ(parent->GetRelPos(), Vector(1, 5, 3));
    EXPECT_EQ(child->GetRelRot(), Vector(0.25, 0, 0));
    EXPECT_EQ(child->GetRelScale(), Vector(1, 1, 2));
    EXPECT_EQ(child->GetMg().off, Vector(1, 5, 3));

    doc->SetTime(BaseTime(5.0));
    doc->ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0);
    EXPECT_EQ(parent->GetRelPos(), Vector(1, 10, 3));
    EXPECT_EQ(child->GetRelScale(), Vector(1, 1, 3));
}

}  // namespace
