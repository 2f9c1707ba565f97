// The whole live road with real processes: the repeat-link factory and the scene
// wrapper in this process, the stand-in renderer launched inside a sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "LightFileFactory.h"
#include "RepeatLinkFactory.h"
#include "live_protocol.h"
#include "private_network.h"
#include "registry.h"
#include "renderer_sandbox.h"
#include "tavsceneapi_oo.h"
#include "vsp/Reader.h"

namespace {

using tav::RepeatLinkFactory;

// A factory configured like the commands, polling fast.
struct CommandFactory : RepeatLinkFactory {
    explicit CommandFactory(bool update, int tries = 50) {
        setUpdate(update);
        setVersionRange(7, 8);
        setNumTries(tries);
        setTryDelay(100);
    }
};

// What a render (or an update) command sends: the banner and version from the wrapper,
// then the model group; the renderer confirms the whole scene.
void sendModel(bool update = false) {
    CommandFactory factory(update);
    tav::tavSceneapi_oo wrapper(&factory);
    if (!wrapper.get_scene_api()) {
        ADD_FAILURE() << factory.getLastError();
        return;
    }
    int major = 0, minor = 0, patch = 0;
    EXPECT_TRUE(factory.get_version(major, minor, patch) && major == 8);
    wrapper.begin_group("Doc");
    wrapper.set_flags(1);
    wrapper.set_array("values", std::vector<float>{1.0f, 2.0f, 3.0f});
    wrapper.end_group();
    EXPECT_TRUE(factory.finish()) << factory.getLastError();
}

// Many small calls around arrays of odd sizes, so frames of every size end and begin
// anywhere in the renderer's reads.
void sendMixedScene(tav::tavSceneapi_oo& wrapper) {
    wrapper.begin_group("Doc");
    for (int i = 0; i < 20000; ++i) {
        wrapper.begin_group("part" + std::to_string(i));
        wrapper.set_flags(i);
        if (i % 2000 == 0)
            wrapper.set_array("values",
                              std::vector<float>((size_t(1) << (i / 1000 + 4)) + 3, 0.5f * i));
        wrapper.end_group();
    }
    wrapper.end_group();
}

void registerInstance(const RendererSandbox& sandbox, pid_t pid, const std::string& entry) {
    vantrel_renderer::makeFolders(sandbox.registryFolder());
    writeFile(vantrel_renderer::sceneTreePath(sandbox.registryFolder(), pid),
              "<scene><modelsets><modelset/></modelsets></scene>");
    writeFile(vantrel_renderer::instanceEntryPath(sandbox.registryFolder(), pid), entry);
}

std::string entryOf(pid_t pid, int port) {
    return vantrel_renderer::instanceEntryText({8, pid, port});
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Waits up to 5 s for an adopted or own child to end; its wait status, or -1.
int waitForExit(pid_t pid) {
    int status = 0;
    return eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }) ? status : -1;
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A program that is no renderer, listening on a live-link port on loopback: it takes
// connections, says what it was given to say, and counts the bytes it receives.
class ForeignListener {
public:
    ForeignListener(int port, std::string says) : says_(std::move(says)) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        const sockaddr_in address = loopback(port);
        if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            listen(fd_, 4) == 0)
            thread_ = std::thread([this] { serve(); });
    }
    ~ForeignListener() { stop(); }
    bool listening() const { return thread_.joinable(); }
    // Stops listening once every connection ended: "connections/bytes received".
    std::string stop() {
        shutdown(fd_, SHUT_RDWR);  // ends the accept
        if (thread_.joinable()) thread_.join();
        close(fd_);
        fd_ = -1;
        return std::to_string(connections_) + "/" + std::to_string(received_);
    }

private:
    void serve() {
        for (int connection; (connection = accept(fd_, nullptr, nullptr)) >= 0;) {
            ++connections_;
            if (!says_.empty()) send(connection, says_.data(), says_.size(), MSG_NOSIGNAL);
            char buffer[4096];
            for (ssize_t n; (n = recv(connection, buffer, sizeof buffer, 0)) > 0;) received_ += n;
            close(connection);
        }
    }

    std::string says_;
    int fd_ = -1;
    std::thread thread_;
    int connections_ = 0;  // both only touched by the thread until it is joined
    size_t received_ = 0;
};

// Render then Update through the same renderer, which finds its model, is proven end to end
// with the plug-in in the host runner.
TEST(LiveRoad, LaunchesTheRendererWhichSavesTheSceneAndAPictureAndEndsCleanly) {
    RendererSandbox sandbox;
    sendModel();
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const vsp::Node scene = vsp::parse(sandbox.waitForScene(renderers[0], 1));
    EXPECT_EQ(scene.at("Doc").param("values").floats(), (std::vector<float>{1, 2, 3}));
    // Beside the scene, a picture of the same name; rendering takes a while in a sanitizer
    // build on a busy machine.
    const std::string picture =
        sandbox.resourceFolder(8) + "received/" + std::to_string(renderers[0]) + "-1.png";
    int width = 0, height = 0, channels = 0;
    for (int tries = 0; tries < 600 && !stbi_info(picture.c_str(), &width, &height, &channels);
         ++tries)
        usleep(100 * 1000);
    EXPECT_EQ(width, 640);

    // SIGTERM ends the renderer normally and it unregisters; so does a renderer left idle.
    kill(renderers[0], SIGTERM);
    EXPECT_EQ(waitForExit(renderers[0]), 0);
    EXPECT_TRUE(sandbox.registered().empty());
    setenv("VANTREL_RENDERER_IDLE_SECONDS", "2", 1);
    sendModel();
    const std::vector<pid_t> idle = sandbox.registered();
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(waitForExit(idle[0]), 0);
    EXPECT_TRUE(sandbox.registered().empty());
}

// The renderer saves exactly the bytes the file export writes for the same scene, after
// the comment lines that open only a file.
TEST(LiveRoad, SavedSceneIsByteForByteTheFileExport) {
    RendererSandbox sandbox;
    const std::string exported = sandbox.root() + "/export.vsp";
    {
        tav::LightFileFactory factory(exported);
        tav::tavSceneapi_oo wrapper(&factory);
        sendMixedScene(wrapper);
        factory.finish();
    }
    CommandFactory factory(false);
    {
        tav::tavSceneapi_oo wrapper(&factory);
        ASSERT_NE(wrapper.get_scene_api(), nullptr) << factory.getLastError();
        sendMixedScene(wrapper);
    }
    EXPECT_TRUE(factory.finish()) << factory.getLastError();
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const std::string saved = sandbox.waitForScene(renderers[0], 1);
    EXPECT_GT(saved.size(), size_t(1) << 22);
    const std::string file = readFile(exported);
    const std::string expected = file.substr(std::min(file.find("#print"), file.size()));
    const auto differ = std::mismatch(saved.begin(), saved.end(), expected.begin(), expected.end());
    EXPECT_TRUE(differ.first == saved.end() && differ.second == expected.end())
        << "sizes " << saved.size() << " and " << expected.size() << "; first difference at "
        << (differ.first - saved.begin()) << ": \""
        << std::string(differ.first, std::min(differ.first + 40, saved.end())) << "\" against \""
        << std::string(differ.second, std::min(differ.second + 40, expected.end())) << "\"";
}

std::string frame(const std::string& bytes) {
    unsigned char header[vantrel_renderer::kFrameHeaderSize];
    vantrel_renderer::encodeFrameHeader(static_cast<uint32_t>(bytes.size()), header);
    return std::string(reinterpret_cast<char*>(header), sizeof header) + bytes;
}

// Frames may reach the renderer in any pieces, headers split too; it joins them.
TEST(LiveRoad, FramesArrivingInPiecesAreJoined) {
    RendererSandbox sandbox;
    sendModel();
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    std::string text;
    vantrel_renderer::InstanceEntry entry;
    ASSERT_TRUE(
        vantrel_renderer::readFile(
            vantrel_renderer::instanceEntryPath(sandbox.registryFolder(), renderers[0]), text) &&
        vantrel_renderer::parseInstanceEntry(text, entry));

    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(entry.port);
    ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const timeval limit{5, 0};  // a renderer that never answers fails the test soon
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string scene = "group \"Doc\" {\n", stream = frame(scene);
    for (int i = 0; i < 10; ++i) {
        const std::string line = "flags " + std::to_string(i) + "\n";
        scene += line;
        stream += frame(line);
    }
    scene += "}\n";
    stream += frame("}\n") + frame("");
    // Pieces of 3 bytes, sent apart, mostly arrive alone and split every header somewhere.
    for (size_t at = 0; at < stream.size(); at += 3) {
        ASSERT_GT(
            send(fd, stream.data() + at, std::min<size_t>(3, stream.size() - at), MSG_NOSIGNAL), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string answer(vantrel_renderer::kGreetingSize + vantrel_renderer::kSavedSize, '\0');
    EXPECT_EQ(recv(fd, answer.data(), answer.size(), MSG_WAITALL),
              static_cast<ssize_t>(answer.size()));
    close(fd);
    EXPECT_EQ(answer, std::string(vantrel_renderer::kGreeting) + vantrel_renderer::kSaved);
    EXPECT_EQ(sandbox.waitForScene(renderers[0], 2), scene);
}

// Entries that are not a running renderer neither are chosen nor hide the one that is,
// so no second renderer is launched.
TEST(LiveRoad, OnlySoundEntriesOfRunningRenderersAreListed) {
    RendererSandbox sandbox;
    sendModel();
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    registerInstance(sandbox, dead, entryOf(dead, 1));
    registerInstance(sandbox, getpid(), entryOf(getpid(), 1));  // not a renderer program
    registerInstance(sandbox, 1, "<instance><version_major>8</version_major>");

    sendModel(true);
    EXPECT_EQ(sandbox.registered().size(), 4u);
    EXPECT_NE(sandbox.waitForScene(renderers[0], 2), "");

    std::remove((sandbox.binFolder() + "vantrel").c_str());  // nothing can be launched
    kill(renderers[0], SIGKILL);
    EXPECT_NE(waitForExit(renderers[0]), -1);
    CommandFactory factory(true);
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(factory.getLastError(),
              "Failed to connect. Unabled to launch Vantrel. Please check your Vantrel "
              "installation.");
}

// A launched renderer that never registers leaves the port scan, which must not stream
// the scene into whatever listens there.
TEST(LiveRoad, ForeignProgramsOnTheLivePortsGetNothing) {
    if (const std::string reason = livePortsUnusable(); !reason.empty()) GTEST_SKIP() << reason;
    RendererSandbox sandbox;
    writeFile(sandbox.binFolder() + "vantrel", "#!/bin/sh\nexit 0\n", true);
    setenv("VANTREL_LIVE_TIMEOUT_MS", "300", 1);
    ForeignListener silent(3141, "");
    ForeignListener talking(3142, "SSH-2.0-OpenSSH\r\n");
    ASSERT_TRUE(silent.listening() && talking.listening());
    {
        CommandFactory factory(false, 2);
        tav::tavSceneapi_oo wrapper(&factory);
        EXPECT_EQ(wrapper.get_scene_api(), nullptr);
        EXPECT_EQ(factory.getLastError(),
                  "Failed to connect. Could not connect on any known port. Please check your "
                  "Vantrel installation and Live Link settings.");
    }
    unsetenv("VANTREL_LIVE_TIMEOUT_MS");
    EXPECT_EQ(silent.stop(), "1/0");
    EXPECT_EQ(talking.stop(), "1/0");
}

// A renderer that dies or freezes while the scene streams in: the host is not blocked
// past the time limit and is told, and the renderer keeps nothing as received; woken, the
// frozen one sets the cut-off stream aside.
TEST(LiveRoad, RendererLostMidStreamIsReportedAndKeepsNoScene) {
    RendererSandbox sandbox;
    setenv("VANTREL_LIVE_TIMEOUT_MS", "1000", 1);
    for (const int signal : {SIGKILL, SIGSTOP}) {
        SCOPED_TRACE(strsignal(signal));
        CommandFactory factory(false);
        tav::tavSceneapi_oo wrapper(&factory);
        ASSERT_NE(wrapper.get_scene_api(), nullptr) << factory.getLastError();
        const std::vector<pid_t> renderers = sandbox.registered();
        ASSERT_EQ(renderers.size(), 1u);
        kill(renderers[0], signal);
        wrapper.begin_group("Doc");  // more than every buffer on the way holds
        for (int i = 0; i < 4; ++i) wrapper.set_array("values", std::vector<float>(1 << 22));
        wrapper.end_group();
        EXPECT_FALSE(factory.finish());
        EXPECT_EQ(factory.getLastError(),
                  "The renderer closed the connection or stopped responding; the scene was not "
                  "delivered completely.");

        const std::string name = std::to_string(renderers[0]) + "-1.vsp";
        if (signal == SIGSTOP) {
            kill(renderers[0], SIGCONT);
            EXPECT_TRUE(eventually(
                [&] { return exists(sandbox.resourceFolder(8) + "incomplete/" + name); }));
            kill(renderers[0], SIGTERM);
        }
        EXPECT_NE(waitForExit(renderers[0]), -1);
        EXPECT_FALSE(exists(sandbox.resourceFolder(8) + "received/" + name));
        std::remove(
            vantrel_renderer::instanceEntryPath(sandbox.registryFolder(), renderers[0]).c_str());
    }
    unsetenv("VANTREL_LIVE_TIMEOUT_MS");
}

}  // namespace
