#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include "c4d_plugin.h"
#include "test_support.h"

namespace {

using namespace vantrel_host::testing;

const std::string kProbe = std::string("--plugins '") + VANTREL_PROBE_PLUGIN_DIR + "' ";
const std::string kPlugin = std::string("--plugins '") + VANTREL_PLUGIN_DIR + "' ";

// A valid model of one object "Big" that takes a while to read: 100,000 points make
// about 3 MB and a few tenths of a second.
std::string WriteBigModel(const TempDir& dir, const std::string& name, int points) {
    std::ofstream obj(dir.File(name));
    obj << "o Big\n";
    for (int i = 0; i < points; ++i) obj << "v " << i << ".125 " << i % 97 << ".5 0.0625\n";
    for (int i = 1; i + 2 <= points; i += 3)
        obj << "f " << i << ' ' << i + 1 << ' ' << i + 2 << '\n';
    return dir.File(name);
}

TEST(Runner, ListsCommandsAndACommandReceivesDocumentSelectionAndSaveAnswer) {
    CommandRun r = RunHost(kProbe + "--list-commands");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "1000001\tProbe\tProbe the host\n1000002\tProbe thread\tStart a thread\n");

    TempDir dir;
    const std::string doc = dir.Write(
        "scene.json", R"({"objects": [{"name": "A", "children": [{"name": "B"}]}, {"name": "B"}],
                          "selection": ["A"]})");
    r = RunHost(kProbe + "--document '" + doc + "' --command probe --select B --save-as '" +
                dir.File("out") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    // --select replaces the stored selection and takes the first B in document order.
    EXPECT_EQ(r.output, "probe: document scene.json\nprobe: selection B\nprobe: save " +
                            dir.File("out.vsp") + "\n");

    r = RunHost(kProbe + "--document '" + doc + "' --command 'PROBE THE HOST'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output,
              "probe: document scene.json\nprobe: selection A\nprobe: save cancelled\n"
              "vantrel-host: the save dialog was cancelled: no --save-as was given\n");

    // The demo document by default; a file name with a suffix keeps it.
    r = RunHost(kProbe + "--command 1000001 --save-as scene.txt");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(
        r.output.find("probe: document demo.json\nprobe: selection Box\nprobe: save scene.txt\n"),
        std::string::npos)
        << r.output;
}

TEST(Runner, ReportsErrorsWithTheirExitStatus) {
    TempDir dir;
    const std::string own_plugins = "--plugins '" + dir.Path() + "' ";
    const std::string doc = dir.Write("scene.json", R"({"objects": [{"name": "A"}]})");
    const std::string empty = dir.Write("empty.obj", "");
    const std::string doc_again = dir.Path() + "/./../" +
                                  std::filesystem::path(dir.Path()).filename().string() +
                                  "/scene.json";
    const std::tuple<std::string, int, std::string> cases[] = {
        // Save answers that would write a hidden ".vsp", "<folder>.vsp" or over the document.
        {kProbe + "--command Probe --save-as ''", 2, "--save-as needs a file name"},
        {kProbe + "--command Probe --save-as '" + dir.Path() + "/new/'", 2,
         "is a folder, not a file"},
        {kProbe + "--command Probe --save-as '" + dir.Path() + "'", 2, "is a folder, not a file"},
        {kProbe + "--document '" + doc + "' --command Probe --save-as '" + doc_again + "'", 2,
         "is the document that is open"},
        {"--import-timeout 0", 2, "--import-timeout needs a number of seconds above 0"},
        {"--import-timeout 1e9", 2, "up to 1000000, not \"1e9\""},
        {"--document '" + empty + "'", 1,
         empty + ": Assimp cannot read the file: OBJ-file is too small.\n"},
        {"--bogus", 2, "unknown argument \"--bogus\"\nusage: "},
        {"--document x --demo", 2, "--document and --demo exclude each other"},
        {"--command", 2, "--command needs a value"},
        {kProbe + "--command nothing", 2, "no command \"nothing\" (commands: Probe, Probe thread)"},
        {kProbe + "--command 'probe thread'", 1,
         "command \"Probe thread\" started 1 thread(s); the host calls plug-ins on its main "
         "thread"},
        {kProbe + "--command Probe --select Nobody", 1, "no object named \"Nobody\""},
        {own_plugins + "--command Export", 1, "no plug-in is loaded"},
    };
    for (const auto& [args, status, message] : cases) {
        SCOPED_TRACE(args);
        const CommandRun r = RunHost(args);
        EXPECT_EQ(r.status, status);
        EXPECT_NE(r.output.find(message), std::string::npos) << r.output;
    }

    dir.Write("broken.so", "not a library");
    const CommandRun r = RunHost(own_plugins + "--list-commands");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot load plug-in"), std::string::npos) << r.output;
}

TEST(Runner, LargeModelsShowProgress) {
    TempDir dir;
    WriteBigModel(dir, "big.obj", 150000);
    ASSERT_GE(std::filesystem::file_size(dir.File("big.obj")), 4u << 20);
    const CommandRun r =
        RunHost("--plugins '" + dir.Path() + "' --document '" + dir.File("big.obj") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\rvantrel-host: loading big.obj: 100%\n"
                            "Opened big.obj: 2 objects. No plug-in is loaded.\n"),
              std::string::npos)
        << r.output;
}

TEST(Runner, WarnsOnceOfPositionsBeyondSinglePrecisionAndStillExports) {
    TempDir dir;
    const std::string doc = dir.Write(
        "far.json", R"({"objects": [{"type": "polygon", "name": "Far", "position": [1e39, 0, 0],
                         "points": [[0, 0, 0], [1, 0, 0], [0, -1e39, 0]], "polygons": [[0, 1, 2]]}]})");
    const CommandRun r = RunHost(kPlugin + "--document '" + doc + "' --command Export --save-as '" +
                                 dir.File("far.vsp") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "vantrel-host: warning: " + doc +
                            ": 2 positions exceed single precision and export as infinite "
                            "(first: objects[0].position)\nExported \"" +
                            dir.File("far.vsp") +
                            "\" (896 bytes): 1 object with 1 triangle, 1 material, 0 cameras, "
                            "0 animation tracks\n");
}

// A model import that overruns its time limit ends the runner, which also removes its
// temporary folder when SIGINT or SIGTERM ends it.
TEST(Runner, ImportTimeLimitAndSignalsEndTheRunnerWithoutLeavingTemporaryFiles) {
    TempDir dir, tmp;
    const std::string model = WriteBigModel(dir, "slow.obj", 100000);
    CommandRun r =
        RunHost("--import-timeout 0.01 --document '" + model + "'", "TMPDIR='" + tmp.Path() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "vantrel-host: " + model +
                            ": the import did not finish within 0.01 seconds "
                            "(see --import-timeout)\n");
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));

    // Nobody reads the pipe, so the export blocks for good once the import is done.
    const std::string pipe = dir.File("pipe.vsp");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const pid_t runner = fork();
        ASSERT_GE(runner, 0);
        if (runner == 0) {
            setenv("TMPDIR", tmp.Path().c_str(), 1);
            execl(VANTREL_HOST_RUNNER, VANTREL_HOST_RUNNER, "--plugins", VANTREL_PLUGIN_DIR,
                  "--document", model.c_str(), "--command", "Export", "--save-as", pipe.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        std::filesystem::path folder;
        for (int i = 0; i < 5000 && folder.empty(); ++i) {
            for (const auto& entry : std::filesystem::directory_iterator(tmp.Path()))
                folder = entry.path();
            if (folder.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // Where the model's embedded textures would be.
        if (!folder.empty()) {
            std::filesystem::create_directories(folder / "textures");
            std::ofstream(folder / "textures" / "texture0.png") << "png";
        }
        kill(runner, folder.empty() ? SIGKILL : signal);
        int status = 0;
        ASSERT_EQ(waitpid(runner, &status, 0), runner);
        ASSERT_FALSE(folder.empty()) << "the runner made no temporary folder";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));
    }
}

TEST(PluginEntry, RefusesHostsBelowInterfaceVersion16000) {
    void* handle = dlopen(VANTREL_PROBE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto entry = reinterpret_cast<Int32 (*)(Int32, void*, void*, void*)>(dlsym(handle, "c4d_main"));
    ASSERT_NE(entry, nullptr);
    C4D_HostInterface old_host{15999};
    EXPECT_EQ(entry(C4DPL_INIT_SYS, &old_host, nullptr, nullptr), C4DPL_ERROR_VERSION);
    EXPECT_EQ(entry(C4DPL_INIT, nullptr, nullptr, nullptr), C4DPL_ERROR_VERSION);
    EXPECT_EQ(entry(C4DPL_INIT_SYS, nullptr, nullptr, nullptr), C4DPL_ERROR_VERSION);

    C4D_HostInterface host{C4D_MIN_API_VERSION};
    EXPECT_EQ(entry(C4DPL_INIT_SYS, &host, nullptr, nullptr), C4DPL_OK);
    void* start = reinterpret_cast<void*>(intptr_t(C4DPL_STARTACTIVITY));
    EXPECT_EQ(entry(C4DPL_MESSAGE, start, nullptr, nullptr), C4DPL_OK);
    EXPECT_EQ(entry(C4DPL_MESSAGE, reinterpret_cast<void*>(7), nullptr, nullptr), C4DPL_ERROR);
}

}  // namespace
