// Cameras: which are collected, their records, and their place before the model group.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

TEST(CameraRecord, MirroredGlobalTransformFieldOfViewInDegreesAlwaysPerspective) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Rig");
    parent->SetRelPos({0, 100, 0});
    BaseObject* camera = AddObject(f.doc(), Ocamera, "", parent);
    camera->SetRelPos({1, 2, 3});
    camera->SetRelRot({0.4, -0.2, 0.1});
    SetParam(camera, 1008, GeData(0.7853981633974483));  // field of view in radians
    SetParam(camera, 1001, GeData(Int32(1)));            // parallel projection
    f.take();
    f.loader.writeCamera(camera);

    const vsp::Node root = f.parsed();
    const vsp::Node& block = root.at("Camera");
    EXPECT_EQ(block.kind, vsp::NodeKind::Camera);
    EXPECT_EQ(block.param("projection").text(), "perspective");
    EXPECT_EQ(block.param("fov").number(), 45.0);
    const Matrix64 g = camera->GetMg();
    const std::vector<double> expected = {g.v1.x,  g.v1.y,  -g.v1.z,  0,      g.v2.x,  g.v2.y,
                                          -g.v2.z, 0,       g.v3.x,   g.v3.y, -g.v3.z, 0,
                                          g.off.x, g.off.y, -g.off.z, 1};
    const std::vector<double> written = block.findStatement("transform")->arg(0).numbers();
    ASSERT_EQ(written.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(written[i], expected[i], 1e-5) << i;
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
    EXPECT_EQ(animations[0]->param("folder").text(),
              name.substr(0, (1023 - 16) / 3 * 3) + "/Camera Position");
}

TEST(CameraRecord, DocumentWalkWritesCamerasInPreOrderBeforeTheModelGroupCachesAside) {
    ConverterFixture f;
    BaseObject* outer = AddObject(f.doc(), Ocamera, "Outer");
    BaseObject* camera =
        AddObject(f.doc(), Ocamera, "Cam", AddObject(f.doc(), Onull, "Rig", outer));
    AddTrack(*camera, DescID(DescLevel(903), DescLevel(VECTOR_X)), {{0, 0}, {1, 10}});
    BaseObject* generator = AddObject(f.doc(), 5159, "Generator");
    generator->SetCache(BaseObject::Alloc(Ocamera));  // what a generator makes is no user camera
    AddObject(f.doc(), Ocamera, "Last", generator);
    f.take();
    f.loader.load(&f.doc());

    const vsp::Node root = f.parsed();
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
}
