// The stand-in renderer leaves a picture beside every scene it saves.
#include <gtest/gtest.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "RepeatLinkFactory.h"
#include "renderer_sandbox.h"
#include "tavsceneapi_oo.h"

namespace {

TEST(RendererPictures, EachReceivedSceneGetsAPngOfTheSameName) {
    RendererSandbox sandbox;
    {
        tav::RepeatLinkFactory factory;
        factory.setVersionRange(7, 8);
        factory.setTryDelay(100);
        factory.setNumTries(50);
        tav::tavSceneapi_oo wrapper(&factory);
        ASSERT_NE(wrapper.get_scene_api(), nullptr) << factory.getLastError();
        tavScene_api* api = wrapper.get_scene_api();
        api->object_begin("Triangle", true);
        api->geometry_use("triangles");
        const std::vector<float> vertices{-1, -1, 0, 1, -1, 0, 0, 1, 0};
        const std::vector<int> triangles{0, 1, 2};
        const tavArray vertexArray{vertices.data(), 3}, triangleArray{triangles.data(), 3};
        api->set_parameter("vertices", TAV_ARRAY | TAV_COLOR, &vertexArray);
        api->set_parameter("triangles", TAV_ARRAY | TAV_INT, &triangleArray);
        api->geometry_end();
        api->object_end();
    }
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    ASSERT_FALSE(sandbox.waitForScene(renderers[0], 1).empty());

    const std::string picture =
        sandbox.resourceFolder(8) + "received/" + std::to_string(renderers[0]) + "-1.png";
    int width = 0, height = 0, channels = 0;
    // Rendering takes a while in a sanitizer build on a busy machine.
    for (int tries = 0; tries < 600 && !stbi_info(picture.c_str(), &width, &height, &channels);
         ++tries)
        usleep(100 * 1000);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);

    kill(renderers[0], SIGTERM);
    EXPECT_TRUE(eventually([&] { return waitpid(renderers[0], nullptr, WNOHANG) != 0; }));
}

}  // namespace
