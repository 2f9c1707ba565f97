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

}  // namespace

TEST(TransformTracks, SwitchedOnTracksWhoseKeysSpanTimeAreWrittenInRotationOrder) {
    ConverterFixture f;
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    op->SetRotationOrder(ROTATIONORDER_ZYXGLOBAL);
    addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_X, {{0, 0}, {1, 1}});
    addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_Y, {{0, 0}});  // one key
    SetParam(addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_Z, {{0, 0}, {1, 1}}), ID_CTRACK_ON, 0);
    CTrack* x = addTrack(op, ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {{2, 0}, {3, 1}});
    CTrack* z = addTrack(op, ID_BASEOBJECT_REL_ROTATION, VECTOR_Z, {{2, 0}, {3, 1}});
    CTrack* y = addTrack(op, ID_BASEOBJECT_REL_ROTATION, VECTOR_Y, {{2, 0}, {3, 1}});
    addTrack(op, ID_BASEOBJECT_REL_SCALE, VECTOR_X, {{1, 1}, {1, 2}});  // keys at one time
    addTrack(op, ID_BASEOBJECT_REL_SCALE, VECTOR_Y, {{0, 1}, {1, 2}});
    addTrack(op, ID_BASEOBJECT_REL_SCALE, VECTOR_Z,
             {{1e8, 1}, {1e8 + 1, 2}});                             // one time in single precision
    addTrack(op, ID_BASEOBJECT_COLOR, VECTOR_X, {{0, 0}, {1, 1}});  // not a transform
    CTrack* other =
        addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_Z + 1, {{0, 0}, {1, 1}});  // no x, y or z
    AddTrack(*op, DescID(DescLevel(ID_BASEOBJECT_REL_SCALE)), {{0, 0}, {1, 1}});
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
        write(f, op,
              {addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_X, {{c.first, 0}, {c.last, 1}})});
        const auto written = animations(f);
        ASSERT_EQ(written.size(), c.count ? 1u : 0u);
        if (!c.count) continue;
        EXPECT_EQ(written[0].param("start_time").integer(), c.startTime);  // whole seconds
        EXPECT_FLOAT_EQ(written[0].param("duration").number(), float(c.last) - float(c.first));
        const std::vector<int> stamps = written[0].param("timestamps").ints();
        ASSERT_EQ(stamps.size(), c.count);
        EXPECT_EQ(stamps.back(), c.lastStamp);
    }
    // Neither x, y nor z: no component to sample.
    write(f, op, {addTrack(op, ID_BASEOBJECT_REL_POSITION, VECTOR_Z + 1, {{0, 0}, {1, 1}})});
    EXPECT_TRUE(animations(f).empty());
}

// The last sample of a track that changes right after its first key and then holds,
// worked out by hand (heading turns about y, pitch about x, bank about z).
TEST(SampleMatrices, TurnsMovesAndScalesLandInTheObjectsOrTheCamerasFrame) {
    const double q = M_PI / 2;
    struct Case {
        const char* what;
        Int32 channel;
        Int32 component;
        Vector64 position, rotation, scale;
        bool camera;
        Float from, to;
        vsp::Matrix16 last;
        ROTATIONORDER order = ROTATIONORDER_HPB;
    };
    // clang-format off
    const Case cases[] = {
        {"heading turned 90 degrees from zero", ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {}, {}, {1, 1, 1}, false, 0, q, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
        // Under a pitch of 90 degrees a turn about y is one about z.
        {"heading turned from 90 to 180 degrees under a pitch", ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {}, {q, q, 0}, {1, 1, 1}, false, q, 2 * q, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        // Under the other orders the x component turns about x.
        {"x turned 90 degrees under the order ZYX", ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {}, {}, {1, 1, 1}, false, 0, q, {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}, ROTATIONORDER_ZYXGLOBAL},
        {"pitch turned 90 degrees under a bank", ID_BASEOBJECT_REL_ROTATION, VECTOR_Y, {}, {0, 0, q}, {1, 1, 1}, false, 0, q, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}},
        // 10 along x, scaled back by 1/2 and turned back to z.
        {"x moved by an object turned and scaled", ID_BASEOBJECT_REL_POSITION, VECTOR_X, {7, 8, 9}, {q, 0, 0}, {2, 4, 8}, false, 0, 10, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}},
        {"x scale doubled by a turned object", ID_BASEOBJECT_REL_SCALE, VECTOR_X, {5, 0, 0}, {q, 0, 0}, {1, 1, 1}, false, 1, 2, {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        // Cameras turn about their own position, and the result is mirrored in z.
        {"camera heading turned 90 degrees", ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {0, 0, 10}, {}, {1, 1, 1}, true, 0, q, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, -10, 0, -10, 1}},
        // The turned x axis is the host's -z: the camera scales along z, about its position.
        {"camera x scale doubled", ID_BASEOBJECT_REL_SCALE, VECTOR_X, {0, 0, 10}, {q, 0, 0}, {1, 1, 1}, true, 1, 2, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 10, 1}},
    };
    // clang-format on
    ConverterFixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BaseObject* op = AddObject(f.doc(), Onull, "Cube");
        op->SetRelPos(c.position);
        op->SetRelRot(c.rotation);
        op->SetRelScale(c.scale);
        op->SetRotationOrder(c.order);
        write(f, op, {addTrack(op, c.channel, c.component, {{0, c.from}, {0.01, c.to}, {1, c.to}})},
              c.camera);
        const auto written = animations(f).at(0).param("matrices").matrices();
        ASSERT_EQ(written.size(), 30u);
        const vsp::Matrix16 identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(written.front()[i], identity[i], 1e-6) << "first, element " << i;
            EXPECT_NEAR(written.back()[i], c.last[i], 1e-6) << "last, element " << i;
        }
    }

    // The host inverts a scale of 0 to the identity: the change is then the scale itself.
    BaseObject* op = AddObject(f.doc(), Onull, "Cube");
    write(f, op, {addTrack(op, ID_BASEOBJECT_REL_SCALE, VECTOR_X, {{0, 0}, {1, 3}})});
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
    addTrack(camera, ID_BASEOBJECT_REL_POSITION, VECTOR_X, {{0, 0}, {1, 10}});
    BaseObject* generator = AddObject(f.doc(), Ocube, "Generator");
    generator->SetCache(BaseObject::Alloc(Ocamera));  // what a generator makes is no user camera
    AddObject(f.doc(), Ocamera, "Last", generator);
    const vsp::Node root = f.loaded();
    std::vector<std::string> blocks;
    for (const vsp::Node& block : root.children)
        blocks.push_back(block.kind == vsp::NodeKind::Animation ? block.param("folder").text()
                                                                : block.name);
    EXPECT_EQ(blocks, (std::vector<std::string>{"Outer", "Cam", "Cam/Camera Position", "Last",
                                                "untitled"}));
    // Inside the model group the camera is an object like any other.
    const vsp::Node& group = root.at("untitled/Outer/Rig/Cam");
    ASSERT_EQ(group.children.size(), 1u);
    EXPECT_EQ(group.children[0].param("folder").text(), "Cam/Position");

    // A long name is cut at a character boundary.
    std::string name;
    while (name.size() < 1100) name += "\xe2\x82\xac";  // three bytes each
    f.loader.writeCamera(AddObject(f.doc(), Ocamera, name));
    EXPECT_EQ(f.parsed().at(name.substr(0, 1023 / 3 * 3)).kind, vsp::NodeKind::Camera);
}

TEST(CameraRecord, TakenAtTheFirstFrameFromTheGlobalMatrixAnimatedAboutItsOwnPosition) {
    // Under a parent turned 90 degrees; the document shows 2.5 s but starts at 1 s, where
    // the camera stands at z = 10 of its parent, unturned.
    const double q = M_PI / 2;
    ConverterFixture f;
    BaseObject* camera = AddObject(f.doc(), Ocamera, "", AddObject(f.doc(), Onull, "Rig"));
    camera->GetUp()->SetRelRot({q, 0, 0});
    SetParam(camera, CAMERA_FIELD_OF_VIEW, 0.7853981633974483);  // field of view in radians
    SetParam(camera, CAMERA_PROJECTION, Int32(Pparallel));
    addTrack(camera, ID_BASEOBJECT_REL_POSITION, VECTOR_Z, {{1, 10}, {3, 30}});
    addTrack(camera, ID_BASEOBJECT_REL_ROTATION, VECTOR_X, {{1, 0}, {1.01, q}, {3, q}});
    f.doc().SetMinTime(BaseTime(1.0));
    f.doc().SetTime(BaseTime(2.5));
    f.doc().ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0);
    const vsp::Node root = f.loaded();

    const vsp::Node& block = root.at("Camera");  // the name of an unnamed one
    EXPECT_EQ(block.param("projection").text(), "perspective");
    EXPECT_EQ(block.param("fov").number(), 45.0);
    // The parent's turn takes the camera's z to the host's x; then z is mirrored.
    const std::vector<double> transform = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 10, 0, 0, 1};
    const std::vector<double> written = block.findStatement("transform")->arg(0).numbers();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(written.at(i), transform[i], 1e-5) << i;
    EXPECT_EQ(f.doc().GetTime().Get(), 2.5);
    EXPECT_DOUBLE_EQ(camera->GetRelPos().z, 25.0);  // evaluated at its own time again

    // The heading turns about the camera's position in its parent, (0, 0, 10).
    const vsp::Node& turn = root.children.at(1);  // the record's tracks follow it
    EXPECT_EQ(turn.param("folder").text(), "Camera/Camera Rotation");
    const vsp::Matrix16 last = turn.param("matrices").matrices().back();
    const vsp::Matrix16 expected = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, -10, 0, -10, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(last[i], expected[i], 1e-6) << i;
}
