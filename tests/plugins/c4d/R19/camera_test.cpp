#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter_fixture.h"

using vantrel_host::AddObject;
using vantrel_host::AddTrack;
using vantrel_host::SetParam;

namespace {

constexpr Int32 kFieldOfView = 1008;
// The host's projection parameter and its parallel (orthographic) value.
constexpr Int32 kProjection = 1001, kParallel = 1;

}  // namespace

TEST(CameraCollection, PreOrderOverTheObjectTreeWithoutCaches) {
    ConverterFixture f;
    BaseObject* outer = AddObject(f.doc(), Ocamera, "Outer");
    BaseObject* holder = AddObject(f.doc(), Onull, "Holder", outer);
    BaseObject* inner = AddObject(f.doc(), Ocamera, "Inner", holder);
    BaseObject* generator = AddObject(f.doc(), 5159, "Generator");
    generator->SetCache(BaseObject::Alloc(Ocamera));
    BaseObject* last = AddObject(f.doc(), Ocamera, "Last", generator);

    std::vector<BaseObject*> cameras;
    for (BaseObject* op = f.doc().GetFirstObject(); op; op = op->GetNext())
        f.loader.getCameras(op, cameras);
    EXPECT_EQ(cameras, (std::vector<BaseObject*>{outer, inner, last}));
}

TEST(CameraRecord, MirroredTransformFieldOfViewInDegreesAlwaysPerspective) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Rig");
    parent->SetRelPos({0, 100, 0});
    BaseObject* camera = AddObject(f.doc(), Ocamera, "", parent);
    camera->SetRelPos({1, 2, 3});
    camera->SetRelRot({0.4, -0.2, 0.1});
    SetParam(camera, kFieldOfView, GeData(0.7853981633974483));
    SetParam(camera, kProjection, GeData(Int32(kParallel)));
    f.take();
    f.loader.writeCamera(camera);

    const vsp::Node root = f.parsed();
    const vsp::Node& block = root.at("Camera");
    EXPECT_EQ(block.kind, vsp::NodeKind::Camera);
    EXPECT_EQ(block.param("projection").text(), "perspective");
    EXPECT_EQ(block.param("fov").number(), 45.0);
    EXPECT_EQ(block.param("position").numbers(), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(block.param("direction").numbers(), (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(block.param("up").numbers(), (std::vector<double>{0, 1, 0}));
    const Matrix64 g = camera->GetMg();
    const std::vector<double> expected = {g.v1.x,  g.v1.y,  -g.v1.z,  0,      g.v2.x,  g.v2.y,
                                          -g.v2.z, 0,       g.v3.x,   g.v3.y, -g.v3.z, 0,
                                          g.off.x, g.off.y, -g.off.z, 1};
    const std::vector<double> written = block.findStatement("transform")->arg(0).numbers();
    ASSERT_EQ(written.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(written[i], expected[i], 1e-5) << i;
    EXPECT_EQ(written[14], -3.0);
    EXPECT_EQ(written[13], 102.0);
    EXPECT_TRUE(root.all(vsp::NodeKind::Animation).empty());
}

TEST(CameraRecord, LongNamesAreCutAndTracksGoUnderCameraLabels) {
    ConverterFixture f;
    std::string name;
    while (name.size() < 1100) name += "\xe2\x82\xac";  // three bytes each
    BaseObject* camera = AddObject(f.doc(), Ocamera, name);
    AddTrack(*camera, DescID(DescLevel(903), DescLevel(VECTOR_Z)), {{0, 0}, {1, 30}});
    f.take();
    f.loader.writeCamera(camera);

    const vsp::Node root = f.parsed();
    const std::vector<const vsp::Node*> cameras = root.all(vsp::NodeKind::Camera);
    ASSERT_EQ(cameras.size(), 1u);
    EXPECT_EQ(cameras[0]->name, name.substr(0, 1023 / 3 * 3));
    const std::vector<const vsp::Node*> animations = root.all(vsp::NodeKind::Animation);
    ASSERT_EQ(animations.size(), 1u);
    const std::string folder = animations[0]->param("folder").text();
    EXPECT_EQ(folder, name.substr(0, (1023 - 16) / 3 * 3) + "/Camera Position");
}

TEST(CameraRecord, DocumentWalkWritesCamerasBeforeTheModelGroup) {
    ConverterFixture f;
    BaseObject* rig = AddObject(f.doc(), Onull, "Rig");
    BaseObject* camera = AddObject(f.doc(), Ocamera, "Cam", rig);
    AddTrack(*camera, DescID(DescLevel(903), DescLevel(VECTOR_X)), {{0, 0}, {1, 10}});
    f.take();
    f.loader.load(&f.doc());

    const vsp::Node root = f.parsed();
    ASSERT_GE(root.children.size(), 3u);
    EXPECT_EQ(root.children[0].kind, vsp::NodeKind::Camera);
    EXPECT_EQ(root.children[1].kind, vsp::NodeKind::Animation);
    EXPECT_EQ(root.children[1].param("folder").text(), "Cam/Camera Position");
    EXPECT_EQ(root.children[2].kind, vsp::NodeKind::Group);
    // Inside the model group the camera is an object like any other.
    const vsp::Node& group = root.children[2].at("Rig/Cam");
    ASSERT_EQ(group.children.size(), 1u);
    EXPECT_EQ(group.children[0].param("folder").text(), "Cam/Position");
}
