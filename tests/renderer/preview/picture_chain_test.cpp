// Host documents exported by the plug-in and rendered by vsp-render: what the host's user
// sees must be where the picture shows it.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <nlohmann/json.hpp>

#include "picture_test_support.h"

namespace {

using nlohmann::json;
using picture_test::Image;

constexpr double kPi = 3.14159265358979;

json material(const std::string& name, std::vector<double> colour) {
    return {{"name", name}, {"channels", {"color"}}, {"color", colour}};
}

// A quad in the plane z, from (x0, y0) to (x1, y1). Its front faces -z, towards a camera
// in front of it, unless turned away.
json quad(const std::string& name, const std::string& materialName, double x0, double y0, double x1,
          double y1, double z, bool facingFront = true) {
    json polygon = facingFront ? json{0, 1, 2, 3} : json{0, 3, 2, 1};
    return {{"type", "polygon"},
            {"name", name},
            {"points", {{x0, y0, z}, {x0, y1, z}, {x1, y1, z}, {x1, y0, z}}},
            {"polygons", {polygon}},
            {"tags",
             {{{"type", "texture"},
               {"name", materialName},
               {"material", materialName},
               {"projection", "uvw"}}}}};
}

json camera(std::vector<double> position, double heading) {
    return {{"type", "camera"},
            {"name", "Camera"},
            {"position", position},
            {"rotation", {heading, 0, 0}},
            {"fov", 0.8}};
}

class PictureChain : public ::testing::Test {
protected:
    // Exports the document with the plug-in and renders it small.
    Image render(const json& document, int samples = 8) {
        const std::string documentPath = folder_.root() + "/document.json",
                          scene = folder_.root() + "/scene.vsp",
                          picture = folder_.root() + "/picture.png";
        writeFile(documentPath, document.dump());
        const auto exported = runCommand("'" VANTREL_HOST_RUNNER "' --document '" + documentPath +
                                         "' --command export --save-as '" + scene + "'");
        EXPECT_EQ(exported.status, 0) << exported.output;
        const auto rendered =
            runCommand("'" VSP_RENDER "' '" + scene + "' --out '" + picture +
                       "' --width 64 --height 48 --samples " + std::to_string(samples));
        EXPECT_EQ(rendered.status, 0) << rendered.output;
        return picture_test::readPng(picture);
    }

    Sandbox folder_;  // a temporary folder
};

// A lost or doubled mirror, in the model or in the camera, swaps the sides.
TEST_F(PictureChain, RedQuadAtPlusXShowsWhereTheHostShowsIt) {
    struct Case {
        const char* name;
        json camera;  // null: the framing camera, which looks as the host's front view
        bool redOnTheRight;
    };
    const Case cases[] = {
        {"camera in front", camera({0, 0, -500}, 0), true},
        {"camera behind, turned round", camera({0, 0, 500}, kPi), false},
        {"no camera", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        json objects = {quad("Right", "Red", 20, -60, 140, 60, 0),
                        quad("Left", "Blue", -140, -60, -20, 60, 0)};
        // Seen from behind, the quads' backs would be dimmed; the colours still tell.
        if (!c.camera.is_null()) objects.push_back(c.camera);
        const Image image = render(
            {{"materials", {material("Red", {0.9, 0.1, 0.1}), material("Blue", {0.1, 0.1, 0.9})}},
             {"objects", objects}});
        ASSERT_EQ(image.width, 64);
        // Inner parts of the two quads.
        const auto right = image.mean(0.6, 0.35, 0.78, 0.65),
                   left = image.mean(0.22, 0.35, 0.4, 0.65);
        const auto& red = c.redOnTheRight ? right : left;
        const auto& blue = c.redOnTheRight ? left : right;
        EXPECT_GT(red.r, 2 * red.b + 10);
        EXPECT_GT(blue.b, 2 * blue.r + 10);
    }
}

// Reversed corners turn a face's back to the camera, which the picture shows darker.
TEST_F(PictureChain, BackOfAQuadShowsDarkerThanItsFront) {
    const Image image =
        render({{"materials", {material("Grey", {0.8, 0.8, 0.8})}},
                {"objects",
                 {quad("Front", "Grey", -140, -60, -20, 60, 0, true),
                  quad("Back", "Grey", 20, -60, 140, 60, 0, false), camera({0, 0, -500}, 0)}}});
    ASSERT_EQ(image.width, 64);
    const double front = image.mean(0.22, 0.35, 0.4, 0.65).brightness();
    const double back = image.mean(0.6, 0.35, 0.78, 0.65).brightness();
    EXPECT_GT(front, 1.5 * back) << "front " << front << ", back " << back;
}

// The texture's top-left quarter (red) must show at the quad's top left, as in the host,
// where UV (0, 0) is the picture's top-left corner.
TEST_F(PictureChain, TextureShowsTheRightWayRound) {
    // 8 x 8 texels, so that filtering blends the colours only near the seams.
    std::vector<unsigned char> texels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool red = x < 4 && y < 4;
            texels.insert(texels.end(), {static_cast<unsigned char>(red ? 230 : 20), 20,
                                         static_cast<unsigned char>(red ? 20 : 230)});
        }
    ASSERT_TRUE(
        stbi_write_png((folder_.root() + "/quarters.png").c_str(), 8, 8, 3, texels.data(), 24));

    json textured = material("Textured", {1, 1, 1});
    textured["shaders"] = {{{"type", "bitmap"}, {"name", "Image"}, {"file", "quarters.png"}}};
    textured["color_shader"] = "Image";
    json panel = quad("Panel", "Textured", -120, -120, 120, 120, 0);
    // Corners: bottom left, top left, top right, bottom right.
    panel["tags"].push_back(
        {{"type", "uvw"}, {"name", "UVW"}, {"uvw", {{{0, 1}, {0, 0}, {1, 0}, {1, 1}}}}});
    const Image image =
        render({{"materials", {textured}}, {"objects", {panel, camera({0, 0, -400}, 0)}}});
    ASSERT_EQ(image.width, 64);
    // Inner parts of each quarter of the quad, away from the filtered seams.
    const struct {
        const char* name;
        double x0, y0;
        bool red;
    } quarters[] = {{"top left", 0.33, 0.2, true},
                    {"top right", 0.55, 0.2, false},
                    {"bottom left", 0.33, 0.6, false},
                    {"bottom right", 0.55, 0.6, false}};
    for (const auto& q : quarters) {
        SCOPED_TRACE(q.name);
        const auto colour = image.mean(q.x0, q.y0, q.x0 + 0.1, q.y0 + 0.15);
        if (q.red)
            EXPECT_GT(colour.r, 2 * colour.b);
        else
            EXPECT_GT(colour.b, 2 * colour.r);
    }
}

// An area light above the frame's left half, the only light besides the dim sky, lights
// the wall's left side; a light with no power or one that is not found would not.
TEST_F(PictureChain, EmittingPanelLightsTheSideItIsOn) {
    const json light = {{"type", "light"},    {"name", "Panel"},    {"position", {-150, 260, 150}},
                        {"color", {1, 1, 1}}, {"brightness", 1.0},  {"light_type", 8},
                        {"area_size_x", 120}, {"area_size_y", 120}, {"area_size_z", 0}};
    const Image image = render(
        {{"materials", {material("Grey", {0.8, 0.8, 0.8})}},
         {"objects",
          {quad("Wall", "Grey", -600, -600, 600, 600, 200), light, camera({0, 0, -400}, 0)}}},
        16);
    ASSERT_EQ(image.width, 64);
    const double lit = image.mean(0.05, 0.05, 0.35, 0.35).brightness();
    const double far = image.mean(0.65, 0.05, 0.95, 0.35).brightness();
    EXPECT_GT(lit, far + 40) << "lit " << lit << ", far " << far;
}

}  // namespace
