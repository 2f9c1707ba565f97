#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "c4d_plugin.h"
#include "test_support.h"

namespace {

using namespace vantrel_host::testing;

const std::string kProbe = std::string("--plugins '") + VANTREL_PROBE_PLUGIN_DIR + "' ";

TEST(Runner, ListsCommandsAndACommandReceivesDocumentSelectionAndSaveAnswer) {
    RunResult r = RunHost(kProbe + "--list-commands");
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
    EXPECT_EQ(r.output, "probe: document scene.json\nprobe: selection A\nprobe: save cancelled\n");

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
    const std::tuple<std::string, int, std::string> cases[] = {
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
        const RunResult r = RunHost(args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_NE(r.output.find(message), std::string::npos) << r.output;
    }

    dir.Write("broken.so", "not a library");
    const RunResult r = RunHost(own_plugins + "--list-commands");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot load plug-in"), std::string::npos) << r.output;
}

TEST(Runner, UnreadableModelsFailWithStatus1AndLargeOnesShowProgress) {
    TempDir dir;
    const std::string empty = dir.Write("empty.obj", "");
    RunResult r = RunHost("--document '" + empty + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "vantrel-host: " + empty + ": Assimp cannot read the file: OBJ-file is too small.\n");

    {
        std::ofstream obj(dir.File("big.obj"));
        obj << "o Big\n";
        for (int i = 0; i < 150000; ++i) obj << "v " << i << ".125 " << i % 97 << ".5 0.0625\n";
        for (int i = 1; i + 2 <= 150000; i += 3)
            obj << "f " << i << ' ' << i + 1 << ' ' << i + 2 << '\n';
    }
    ASSERT_GE(std::filesystem::file_size(dir.File("big.obj")), 4u << 20);
    r = RunHost("--plugins '" + dir.Path() + "' --document '" + dir.File("big.obj") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\rvantrel-host: loading big.obj: 100%\n"
                            "Opened big.obj: 2 objects. No plug-in is loaded.\n"),
              std::string::npos)
        << r.output;
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
