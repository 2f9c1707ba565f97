#include <dlfcn.h>
#include <gtest/gtest.h>

#include "c4d_plugin.h"
#include "test_support.h"

namespace {

using namespace vantrel_host::testing;

const std::string kProbe = std::string("--plugins '") + VANTREL_PROBE_PLUGIN_DIR + "' ";

TEST(Runner, ListsCommandsAndACommandReceivesDocumentSelectionAndSaveAnswer) {
    RunResult r = RunHost(kProbe + "--list-commands");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "1000001\tProbe\tProbe the host\n");

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

    r = RunHost(kProbe + "--command 1000001");  // the demo document by default
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("probe: document demo.json\nprobe: selection Box\n"),
              std::string::npos);
}

TEST(Runner, ReportsErrorsWithTheirExitStatus) {
    TempDir dir;
    EXPECT_EQ(RunHost("--bogus").status, 2);
    EXPECT_EQ(RunHost("--document x --demo").status, 2);
    EXPECT_EQ(RunHost("--command").status, 2);
    EXPECT_EQ(RunHost(kProbe + "--command nothing").status, 2);

    RunResult r = RunHost(kProbe + "--document '" + dir.File("missing.json") + "' --command Probe");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("missing.json: cannot read the file"), std::string::npos) << r.output;

    r = RunHost(kProbe + "--command Probe --select Nobody");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("no object named \"Nobody\""), std::string::npos) << r.output;

    r = RunHost("--plugins '" + dir.Path().string() + "' --command Export");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("no plug-in is loaded"), std::string::npos) << r.output;

    dir.Write("broken.so", "not a library");
    r = RunHost("--plugins '" + dir.Path().string() + "' --list-commands");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot load plug-in"), std::string::npos) << r.output;
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
    auto message = [&](Int32 id) {
        return entry(C4DPL_MESSAGE, reinterpret_cast<void*>(static_cast<intptr_t>(id)), nullptr,
                     nullptr);
    };
    EXPECT_EQ(message(C4DPL_STARTACTIVITY), C4DPL_OK);
    EXPECT_EQ(message(7), C4DPL_ERROR);
}

}  // namespace
