// Transform tracks: which are collected, in which order, and how they are sampled; cameras:
// which are collected, their records, and their place before the model group.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "C4DAnimation.h"
#include "converter_fixture.h"

using namespace vantrel_host;

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

// X of the sampling rule for one channel and component: the frame, built from the
// object's base values, that carries the track's change into its space.
Matrix64 frameX(Int32 channel, int c, bool camera, const BaseObject* op) {
    const ROTATIONORDER order = op->GetRotationOrder();
    const Vector64 r = op->GetRelRot();
    const Matrix64 pos = MatrixMove(op->GetRelPos()), rot = HPBToMatrix(r, order),
                   scl = MatrixScale(op->GetRelScale());
    const Matrix64 hpb[3] = {HPBToMatrix({r.x, 0, 0}, order), HPBToMatrix({0, r.y, 0}, order),
                             HPBToMatrix({0, 0, r.z}, order)};
    if (channel == 903) return camera ? pos : scl * rot * pos;
    if (channel == 905) return camera ? pos * rot * scl : scl;
    Matrix64 x = camera ? pos : scl;  // a camera turns through h up to c, an object from c on
    for (int i = camera ? 0 : c; i <= (camera ? c : 2); ++i) x = x * hpb[i];
    return x;
}

}  // namespace

TEST(TransformTracks, SwitchedOnTracksWhoseKeysSpanTimeAreWrittenInRotationOrder) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    op->SetRotationOrder(ROTATIONORDER_ZYXGLOBAL);
    addTrack(op, 903, VECTOR_X, {{0, 0}, {1, 1}});
    addTrack(op, 903, VECTOR_Y, {{0, 0}});  // one key
    SetParam(addTrack(op, 903, VECTOR_Z, {{0, 0}, {1, 1}}), ID_CTRACK_ON, GeData(Int32(0)));
    CTrack* x = addTrack(op, 904, VECTOR_X, {{2, 0}, {3, 1}});
    CTrack* z = addTrack(op, 904, VECTOR_Z, {{2, 0}, {3, 1}});
    CTrack* y = addTrack(op, 904, VECTOR_Y, {{2, 0}, {3, 1}});
    addTrack(op, 905, VECTOR_X, {{1, 1}, {1, 2}});  // keys at one time
    addTrack(op, 905, VECTOR_Y, {{0, 1}, {1, 2}});
    addTrack(op, 905, VECTOR_Z, {{1e8, 1}, {1e8 + 1, 2}});      // one time in single precision
    addTrack(op, 908, VECTOR_X, {{0, 0}, {1, 1}});              // not a transform
    CTrack* other = addTrack(op, 903, 1003, {{0, 0}, {1, 1}});  // no x, y or z
    AddTrack(*op, DescID(DescLevel(905)), {{0, 0}, {1, 1}});
    f.loader.writeTransformTracks(op, "Cube", op->GetRelPos(), op->GetRelRot(),
                                  op->GetRotationOrder(), op->GetRelScale(), false);
    std::vector<std::string> seen;
    for (const vsp::Node& a : animations(f))
        seen.push_back(a.param("folder").text() + ":" + a.labels.at(1));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Cube/Scale:Scale . Y", "Cube/Rotation:Rotation . Z",
                                        "Cube/Rotation:Rotation . Y", "Cube/Rotation:Rotation . X",
                                        "Cube/Position:Position . X"}));

    // A name too long for the folder buffer gives way to the label, at a character boundary.
    std::string longName;
    while (longName.size() < 1100) longName += "\xc3\xa9";
    f.loader.writeTracksSeparate(longName.c_str(), {op->GetFirstCTrack()}, "Position", {}, {},
                                 ROTATIONORDER_HPB, {1, 1, 1}, false);
    EXPECT_EQ(animations(f).at(0).param("folder").text(), longName.substr(0, 1014) + "/Position");

    // Components sort in the order the rotation order names them.
    const std::vector<std::vector<CTrack*>> expected = {{z, x, y}, {x, z, y}, {x, y, z}, {y, x, z},
                                                        {y, z, x}, {z, y, x}, {x, y, z}};
    for (Int32 order = 0; order <= 6; ++order) {
        std::vector<CTrack*> tracks = {y, z, x};
        std::sort(tracks.begin(), tracks.end(), rotationSorter(ROTATIONORDER(order)));
        EXPECT_EQ(tracks, expected[order]) << "order " << order;
    }
    // Equal components, other components and orders outside 0 to 6 never compare as less.
    const rotationSorter hpb(ROTATIONORDER_HPB);
    for (CTrack* a : {x, y, z, other}) EXPECT_FALSE(hpb(a, a) || hpb(a, other) || hpb(other, a));
    for (Int32 order : {-1, 7})
        EXPECT_FALSE(rotationSorter(ROTATIONORDER(order))(x, z) ||
                     rotationSorter(ROTATIONORDER(order))(z, x));
}

TEST(AnimationSampling, ThirtySamplesASecondUpToTheLastRepresentableOne) {
    struct Case {
        Float first, last;
        size_t count;  // 0: nothing written
        int lastStamp, startTime;
    };
    const Case cases[] = {
        {0, 1, 30, 966, 0},
        {1, 2, 31, 999, 1},
        {0, 2, 61, 1999, 0},
        {1.9, 2.9, 31, 999, 1},
        // Beyond 2^20 s adding 1/30 s no longer changes a single-precision time: 576 s in
        // steps of 1/16 s, then 2^20 s itself.
        {1048000, 4e6, 9217, 576000, 1048000},
        // 3e9 s does not fit "start_time"; one sample is all single precision resolves there.
        {3e9, 3.1e9, 1, 0, 2147483647},
        // A first key at minus infinity in single precision leaves no stamp that fits.
        {-1e39, 0, 0, 0, 0},
    };
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        write(f, op, {addTrack(op, 903, VECTOR_X, {{c.first, 0}, {c.last, 1}})});
        const auto written = animations(f);
        ASSERT_EQ(written.size(), c.count ? 1u : 0u);
        if (!c.count) continue;
        EXPECT_EQ(written[0].param("start_time").integer(), c.startTime);  // whole seconds
        EXPECT_FLOAT_EQ(written[0].param("duration").number(), float(c.last) - float(c.first));
        const std::vector<int> stamps = written[0].param("timestamps").ints();
        ASSERT_EQ(stamps.size(), c.count);
        EXPECT_EQ(stamps.front(), 0);
        EXPECT_EQ(stamps.back(), c.lastStamp);
    }
    // Neither x, y nor z: no component to sample.
    write(f, op, {addTrack(op, 903, 1003, {{0, 0}, {1, 1}})});
    EXPECT_TRUE(animations(f).empty());
}

// Each sample against the rule written out with the host's matrix operations:
// inv(X)·K·X for objects and mirror·X·K·inv(X)·mirror for cameras, where K is the
// track's change since its first key.
TEST(SampleMatrices, EveryChannelMatchesTheHostMatrixOperationsASingularScaleToo) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    op->SetRelPos({10, -20, 30});
    op->SetRelRot({0.3, -0.5, 0.7});
    op->SetRelScale({2, 3, 0.5});
    const Matrix64 mirror = MatrixScale({1, 1, -1});
    for (ROTATIONORDER order : {ROTATIONORDER_HPB, ROTATIONORDER_ZYXGLOBAL})
        for (bool camera : {false, true})
            for (Int32 channel : {903, 904, 905})
                for (int c = 0; c < 3; ++c) {
                    SCOPED_TRACE(testing::Message()
                                 << "order " << order << " camera " << camera << " channel "
                                 << channel << " component " << c);
                    op->SetRotationOrder(order);
                    write(f, op, {addTrack(op, channel, VECTOR_X + c, {{0, 1.5}, {0.5, 0.25}})},
                          camera);
                    const auto written = animations(f).at(0).param("matrices").matrices();
                    ASSERT_EQ(written.size(), 16u);
                    auto channelMatrix = [&](float value) {
                        Vector64 v = channel == 905 ? Vector64(1, 1, 1) : Vector64();
                        v[c] = value;
                        return channel == 903   ? MatrixMove(v)
                               : channel == 904 ? HPBToMatrix(v, order)
                                                : MatrixScale(v);
                    };
                    const Matrix64 X = frameX(channel, c, camera, op);
                    float t = 0;
                    for (const vsp::Matrix& sample : written) {
                        const float value = float(1.5 + (0.25 - 1.5) * (t / 0.5));
                        const Matrix64 K = channelMatrix(value) * ~channelMatrix(1.5f);
                        const tavMatrix expected =
                            toTavMatrix(camera ? mirror * X * K * ~X * mirror : ~X * K * X);
                        for (int i = 0; i < 16; ++i)
                            ASSERT_NEAR(sample[i], expected.m[i],
                                        2e-5 * std::max(1.0, std::abs(expected.m[i])))
                                << "t " << t << " element " << i;
                        t += 0.033333335f;
                    }
                }

    // The host inverts a scale of 0 to the identity: the change is then the scale itself.
    write(f, op, {addTrack(op, 905, VECTOR_X, {{0, 0}, {1, 3}})});
    const auto scale = animations(f).at(0).param("matrices").matrices();
    EXPECT_EQ(scale[0][0], 0.0);
    EXPECT_NEAR(scale[15][0], 1.5, 1e-4);
    EXPECT_EQ(scale[15][5], 1.0);
}

TEST(CameraRecord, WalkWritesThemFirstInPreOrderMirroredInDegreesPerspectiveWithCutNames) {
    ConverterFixture f;
    BaseObject* outer = AddObject(f.doc(), Ocamera, "Outer");
    BaseObject* camera =
        AddObject(f.doc(), Ocamera, "Cam", AddObject(f.doc(), Onull, "Rig", outer));
    addTrack(camera, 903, VECTOR_X, {{0, 0}, {1, 10}});
    BaseObject* generator = AddObject(f.doc(), 5159, "Generator");
    generator->SetCache(BaseObject::Alloc(Ocamera));  // what a generator makes is no user camera
    AddObject(f.doc(), Ocamera, "Last", generator);
    const vsp::Node root = f.loaded();
    std::vector<std::string> blocks;
    for (const vsp::Node& block : root.children)
        blocks.push_back(block.kind == vsp::NodeKind::Animation ? block.param("folder").text()
                                                                : block.name);
    EXPECT_EQ(blocks, (std::vector<std::string>{"Outer", "Cam", "Cam/Camera Position", "Last",
                                                "untitled"}));
    EXPECT_EQ(root.children[0].kind, vsp::NodeKind::Camera);
    // Inside the model group the camera is an object like any other.
    const vsp::Node& group = root.at("untitled/Outer/Rig/Cam");
    ASSERT_EQ(group.children.size(), 1u);
    EXPECT_EQ(group.children[0].param("folder").text(), "Cam/Position");

    BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
    parent->SetRelPos({0, 100, 0});
    BaseObject* unnamed = AddObject(f.doc(), Ocamera, "", parent);
    unnamed->SetRelPos({1, 2, 3});
    unnamed->SetRelRot({0.4, -0.2, 0.1});
    SetParam(unnamed, 1008, GeData(0.7853981633974483));  // field of view in radians
    SetParam(unnamed, 1001, GeData(Int32(1)));            // parallel projection
    f.loader.writeCamera(unnamed);
    const vsp::Node record = f.parsed();
    const vsp::Node& block = record.at("Camera");  // the name of an unnamed one
    EXPECT_EQ(block.param("projection").text(), "perspective");
    EXPECT_EQ(block.param("fov").number(), 45.0);
    const Matrix64 g = unnamed->GetMg();
    const std::vector<double> expected = {g.v1.x,  g.v1.y,  -g.v1.z,  0,      g.v2.x,  g.v2.y,
                                          -g.v2.z, 0,       g.v3.x,   g.v3.y, -g.v3.z, 0,
                                          g.off.x, g.off.y, -g.off.z, 1};
    const std::vector<double> written = block.findStatement("transform")->arg(0).numbers();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(written.at(i), expected[i], 1e-5) << i;

    // A long name is cut at a character boundary.
    std::string name;
    while (name.size() < 1100) name += "\xe2\x82\xac";  // three bytes each
    f.loader.writeCamera(AddObject(f.doc(), Ocamera, name));
    EXPECT_EQ(f.parsed().at(name.substr(0, 1023 / 3 * 3)).kind, vsp::NodeKind::Camera);
}
