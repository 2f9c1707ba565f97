#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "C4DAnimation.h"
#include "converter_fixture.h"

using vantrel_host::AddObject;
using vantrel_host::AddTrack;
using vantrel_host::SetParam;

namespace {

using Keys = std::vector<std::pair<Float, Float>>;

CTrack* addTrack(BaseObject* op, Int32 channel, Int32 component, const Keys& keys) {
    return AddTrack(*op, DescID(DescLevel(channel), DescLevel(component)), keys);
}

// Writes one list as an object's channel with the object's own base values.
void write(ConverterFixture& f, BaseObject* op, std::vector<CTrack*> tracks, bool camera = false) {
    f.loader.writeTracksSeparate("Cube", tracks, "Position", op->GetRelPos(), op->GetRelRot(),
                                 op->GetRotationOrder(), op->GetRelScale(), camera);
}

// The animation blocks written since the last look, in file order.
std::vector<vsp::Node> animations(ConverterFixture& f) {
    const vsp::Node root = f.parsed();
    std::vector<vsp::Node> found;
    for (const vsp::Node* a : root.all(vsp::NodeKind::Animation)) found.push_back(*a);
    return found;
}

}  // namespace

TEST(TrackCollection, KeepsSwitchedOnTransformTracksWhoseKeysSpanTime) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    CTrack* px = addTrack(op, 903, VECTOR_X, {{0, 0}, {1, 1}});
    addTrack(op, 903, VECTOR_Y, {{0, 0}});  // one key
    CTrack* pz = addTrack(op, 903, VECTOR_Z, {{2, 0}, {3, 1}});
    CTrack* rb = addTrack(op, 904, VECTOR_Z, {{0, 0}, {1, 1}});
    SetParam(addTrack(op, 904, VECTOR_X, {{0, 0}, {1, 1}}), ID_CTRACK_ON, GeData(Int32(0)));
    CTrack* sy = addTrack(op, 905, VECTOR_Y, {{0, 1}, {1, 2}});
    addTrack(op, 905, VECTOR_X, {{1, 1}, {1, 2}});          // keys at one time
    addTrack(op, 905, VECTOR_Z, {{1e8, 1}, {1e8 + 1, 2}});  // one time in single precision
    addTrack(op, 908, VECTOR_X, {{0, 0}, {1, 1}});          // not a transform
    addTrack(op, 903, 1003, {{0, 0}, {1, 1}});              // no x, y or z
    AddTrack(*op, DescID(DescLevel(905)), {{0, 0}, {1, 1}});

    std::vector<CTrack*> scale, rotation, position;
    for (CTrack* t = op->GetFirstCTrack(); t; t = t->GetNext())
        f.loader.browseTrack(t, scale, rotation, position);
    EXPECT_EQ(position, (std::vector<CTrack*>{px, pz}));
    EXPECT_EQ(rotation, std::vector<CTrack*>{rb});
    EXPECT_EQ(scale, std::vector<CTrack*>{sy});
}

TEST(RotationSorter, OrdersComponentsAsTheRotationOrderNamesThem) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    CTrack* x = addTrack(op, 904, VECTOR_X, {});
    CTrack* y = addTrack(op, 904, VECTOR_Y, {});
    CTrack* z = addTrack(op, 904, VECTOR_Z, {});
    const std::vector<std::vector<CTrack*>> expected = {{z, x, y}, {x, z, y}, {x, y, z}, {y, x, z},
                                                        {y, z, x}, {z, y, x}, {x, y, z}};
    for (Int32 order = 0; order <= 6; ++order) {
        std::vector<CTrack*> tracks = {y, z, x};
        std::sort(tracks.begin(), tracks.end(), rotationSorter(ROTATIONORDER(order)));
        EXPECT_EQ(tracks, expected[order]) << "order " << order;
    }
    CTrack* other = addTrack(op, 904, 1003, {});
    for (CTrack* a : {x, y, z, other}) {
        EXPECT_FALSE(rotationSorter(ROTATIONORDER_HPB)(a, a));
        EXPECT_FALSE(rotationSorter(ROTATIONORDER_HPB)(a, other));
        EXPECT_FALSE(rotationSorter(ROTATIONORDER_HPB)(other, a));
        for (CTrack* b : {x, y, z}) {
            EXPECT_FALSE(rotationSorter(ROTATIONORDER(7))(a, b));
            EXPECT_FALSE(rotationSorter(ROTATIONORDER(-1))(a, b));
        }
    }
}

TEST(AnimationSampling, ThirtySamplesASecondStampedInSinglePrecision) {
    struct Case {
        Float first, last;
        size_t count;
        int lastStamp, startTime;
        float duration;
    };
    for (const Case& c : {Case{0, 1, 30, 966, 0, 1.0f}, Case{1, 2, 31, 999, 1, 1.0f},
                          Case{0, 2, 61, 1999, 0, 2.0f}, Case{1.9, 2.9, 31, 999, 1, 1.0f}}) {
        ConverterFixture f;
        BaseObject* op = AddObject(f.doc(), Onull, "Cube");
        write(f, op, {addTrack(op, 903, VECTOR_X, {{c.first, 0}, {c.last, 1}})});
        const auto written = animations(f);
        ASSERT_EQ(written.size(), 1u);
        const vsp::Node& a = written[0];
        EXPECT_EQ(a.name, "fbx_animation");
        EXPECT_EQ(a.labels.at(1), "Position . X");
        EXPECT_EQ(a.param("start_time").integer(), c.startTime);
        EXPECT_FLOAT_EQ(a.param("duration").number(), c.duration);
        EXPECT_EQ(a.param("folder").text(), "Cube/Position");
        const std::vector<int> stamps = a.param("timestamps").ints();
        ASSERT_EQ(stamps.size(), c.count);
        EXPECT_EQ(a.param("matrices").matrices().size(), c.count);
        EXPECT_EQ(std::vector<int>(stamps.begin(), stamps.begin() + 3),
                  (std::vector<int>{0, 33, 66}));
        EXPECT_EQ(stamps.back(), c.lastStamp);
    }
}

TEST(AnimationSampling, EmptyOrUnusableListsWriteNothing) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    f.take();
    write(f, op, {});
    write(f, op,
          {addTrack(op, 903, VECTOR_X, {{0, 0}}), addTrack(op, 903, VECTOR_Y, {{1, 0}, {1, 1}}),
           addTrack(op, 903, 1003, {{0, 0}, {1, 1}})});
    EXPECT_EQ(f.take(), "");
}

// The factors of X in the sampling rule, for one channel and component.
std::vector<Matrix64> factorsOfX(Int32 channel, int c, bool camera, const BaseObject* op) {
    const ROTATIONORDER order = op->GetRotationOrder();
    const Vector64 rot = op->GetRelRot();
    const Matrix64 Mpos = MatrixMove(op->GetRelPos()), Mrot = HPBToMatrix(rot, order),
                   Mscl = MatrixScale(op->GetRelScale()), Mh = HPBToMatrix({rot.x, 0, 0}, order),
                   Mp = HPBToMatrix({0, rot.y, 0}, order), Mb = HPBToMatrix({0, 0, rot.z}, order);
    if (channel == 903)
        return camera ? std::vector<Matrix64>{Mpos} : std::vector<Matrix64>{Mscl, Mrot, Mpos};
    if (channel == 905)
        return camera ? std::vector<Matrix64>{Mpos, Mrot, Mscl} : std::vector<Matrix64>{Mscl};
    const std::vector<Matrix64> hpb = {Mh, Mp, Mb};
    std::vector<Matrix64> x = {camera ? Mpos : Mscl};
    if (camera)
        x.insert(x.end(), hpb.begin(), hpb.begin() + c + 1);
    else
        x.insert(x.end(), hpb.begin() + c, hpb.end());
    return x;
}

// Each sample against the rule written out with the host's matrix operations:
// inv(X)·K·X for objects and mirror·X·K·inv(X)·mirror for cameras, where K is the
// track's change since its first key and inv(X) the factors' inverses in reverse.
TEST(SampleMatrices, EveryChannelMatchesTheHostMatrixOperations) {
    for (ROTATIONORDER order : {ROTATIONORDER_HPB, ROTATIONORDER_ZYXGLOBAL})
        for (bool camera : {false, true})
            for (Int32 channel : {903, 904, 905})
                for (int c = 0; c < 3; ++c) {
                    SCOPED_TRACE(testing::Message()
                                 << "order " << order << " camera " << camera << " channel "
                                 << channel << " component " << c);
                    ConverterFixture f;
                    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
                    op->SetRelPos({10, -20, 30});
                    op->SetRelRot({0.3, -0.5, 0.7});
                    op->SetRelScale({2, 3, 0.5});
                    op->SetRotationOrder(order);
                    CTrack* track = addTrack(op, channel, VECTOR_X + c, {{0, 1.5}, {0.5, 0.25}});
                    write(f, op, {track}, camera);
                    const auto written = animations(f).at(0).param("matrices").matrices();

                    Matrix64 X, invX;
                    for (const Matrix64& factor : factorsOfX(channel, c, camera, op)) {
                        X = X * factor;
                        invX = ~factor * invX;
                    }
                    auto channelMatrix = [&](float value) {
                        Vector64 v = channel == 905 ? Vector64(1, 1, 1) : Vector64();
                        v[c] = value;
                        return channel == 903   ? MatrixMove(v)
                               : channel == 904 ? HPBToMatrix(v, order)
                                                : MatrixScale(v);
                    };
                    const Matrix64 mirror = MatrixScale({1, 1, -1}),
                                   firstInverse = ~channelMatrix(1.5f);
                    ASSERT_EQ(written.size(), 16u);
                    float t = 0;
                    for (const vsp::Matrix& sample : written) {
                        const float value = float(1.5 + (0.25 - 1.5) * (t / 0.5));
                        const Matrix64 K = channelMatrix(value) * firstInverse;
                        const tavMatrix expected =
                            toTavMatrix(camera ? mirror * X * K * invX * mirror : invX * K * X);
                        for (int i = 0; i < 16; ++i)
                            ASSERT_NEAR(sample[i], expected.m[i],
                                        2e-5 * std::max(1.0, std::abs(expected.m[i])))
                                << "t " << t << " element " << i;
                        t += 0.033333335f;
                    }
                    const tavMatrix identity = toTavMatrix(Matrix64());
                    for (int i = 0; i < 16; ++i) EXPECT_NEAR(written[0][i], identity.m[i], 1e-9);
                }
}

TEST(SampleMatrices, ChangesAreRelativeToTheFirstKeyAndCamerasAreMirrored) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    CTrack* moveZ = addTrack(op, 903, VECTOR_Z, {{0, 5}, {1, 35}});
    // A scale starting at 0 cannot be inverted: the change is then the scale itself.
    CTrack* scaleX = addTrack(op, 905, VECTOR_X, {{0, 0}, {1, 3}});
    write(f, op, {moveZ});
    write(f, op, {moveZ}, true);
    write(f, op, {scaleX});
    const auto written = animations(f);
    ASSERT_EQ(written.size(), 3u);
    const auto object = written[0].param("matrices").matrices(),
               camera = written[1].param("matrices").matrices(),
               scale = written[2].param("matrices").matrices();
    EXPECT_NEAR(object[15][14], 15.0, 1e-4);  // 5 + 30 * 0.5 - 5
    EXPECT_NEAR(camera[15][14], -15.0, 1e-4);
    EXPECT_EQ(object[15][12], 0.0);
    EXPECT_EQ(scale[0][0], 0.0);
    EXPECT_NEAR(scale[15][0], 1.5, 1e-4);
    EXPECT_EQ(scale[15][5], 1.0);
}

TEST(AnimationFolders, OneAnimationPerTrackInWritingOrder) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    op->SetRotationOrder(ROTATIONORDER_ZYXGLOBAL);
    addTrack(op, 903, VECTOR_X, {{0, 0}, {1, 1}});
    for (Int32 component : {VECTOR_X, VECTOR_Z, VECTOR_Y})
        addTrack(op, 904, component, {{0, 0}, {1, 1}});
    f.loader.writeTransformTracks(op, "Cube", op->GetRelPos(), op->GetRelRot(),
                                  op->GetRotationOrder(), op->GetRelScale(), false);
    std::vector<std::string> seen;
    for (const vsp::Node& a : animations(f))
        seen.push_back(a.param("folder").text() + ":" + a.labels.at(1));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Cube/Rotation:Rotation . Z", "Cube/Rotation:Rotation . Y",
                        "Cube/Rotation:Rotation . X", "Cube/Position:Position . X"}));

    // A name too long for the folder buffer gives way to the label, at a character boundary.
    std::string longName;
    while (longName.size() < 1100) longName += "\xc3\xa9";
    f.loader.writeTracksSeparate(longName.c_str(), {op->GetFirstCTrack()}, "Position", {}, {},
                                 ROTATIONORDER_HPB, {1, 1, 1}, false);
    const std::string folder = animations(f).at(0).param("folder").text();
    EXPECT_EQ(folder, longName.substr(0, 1014) + "/Position");
}

TEST(PathologicalTracks, SamplingStopsAtTheLastRepresentableSample) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    // Beyond 2^20 s adding 1/30 s no longer changes a single-precision time.
    write(f, op, {addTrack(op, 903, VECTOR_X, {{1048000, 0}, {4e6, 1}})});
    // 3e9 s does not fit "start_time"; one sample is all single precision resolves there.
    write(f, op, {addTrack(op, 903, VECTOR_Y, {{3e9, 0}, {3.1e9, 1}})});
    // A first key at minus infinity in single precision leaves no stamp that fits.
    write(f, op, {addTrack(op, 903, VECTOR_Z, {{-1e39, 0}, {0, 1}})});
    const auto written = animations(f);
    ASSERT_EQ(written.size(), 2u);
    const std::vector<int> stalled = written[0].param("timestamps").ints();
    EXPECT_EQ(stalled.size(), 9217u);  // 576 s in steps of 1/16 s, then 2^20 s itself
    EXPECT_EQ(stalled.back(), 576000);
    EXPECT_EQ(written[1].param("start_time").integer(), 2147483647);
    EXPECT_EQ(written[1].param("timestamps").ints(), std::vector<int>{0});
}
