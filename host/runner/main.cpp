// vantrel-host: loads the plug-ins, opens a document, applies a selection and runs
// one command, answering the save dialog from the command line.
// Exit status: 0 when the command ran without showing a message, 1 for a document or
// plug-in error or a command that failed, 2 for a usage error.
#include <malloc.h>
#include <strings.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "c4d.h"
#include "command_line.h"
#include "plugin_loader.h"
#include "progress_line.h"
#include "runner_temp_folder.h"
#include "save_target.h"
#include "thread_count.h"
#include "vantrel_host/document_file.h"
#include "vantrel_host/host_services.h"
#include "vantrel_host/model_import.h"

namespace vantrel_host {
namespace {

constexpr int kCommandRan = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

// Model files from this size on show their loading progress.
constexpr uintmax_t kProgressFileSize = uintmax_t(4) << 20;

// A failure to report with its exit status.
struct RunError {
    int status;
    std::string message;
};

std::string DefaultPluginFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::absolute(argv0, ec);
    return (exe.parent_path().parent_path() / "plugins").lexically_normal().string();
}

int CountObjects(BaseObject* op) {
    int n = 0;
    for (; op != nullptr; op = op->GetNext()) n += 1 + CountObjects(op->GetDown());
    return n;
}

const RegisteredCommand& FindCommand(const std::string& wanted, const std::string& folder) {
    const auto& commands = RegisteredCommands();
    if (commands.empty()) throw RunError{kFailure, "no plug-in is loaded from " + folder};
    const RegisteredCommand* found = nullptr;
    for (const RegisteredCommand& c : commands) {
        const bool match = std::to_string(c.id) == wanted ||
                           strcasecmp(c.name.c_str(), wanted.c_str()) == 0 ||
                           strcasecmp(c.help.c_str(), wanted.c_str()) == 0;
        if (!match) continue;
        if (found != nullptr)
            throw RunError{kUsageError, "command \"" + wanted + "\" is ambiguous"};
        found = &c;
    }
    if (found == nullptr) {
        std::string known;
        for (const RegisteredCommand& c : commands) known += (known.empty() ? "" : ", ") + c.name;
        throw RunError{kUsageError, "no command \"" + wanted + "\" (commands: " + known + ")"};
    }
    return *found;
}

// Files from kProgressFileSize on show a progress line on standard error.
ModelDocument ImportModelFile(const std::string& path, std::string& error) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size < kProgressFileSize) return ImportModel(path, error);
    ProgressLine line(stderr,
                      "vantrel-host: loading " + std::filesystem::path(path).filename().string());
    return ImportModel(path, error, [&line](float fraction) { line.Update(fraction); });
}

// A model file, a document file or the demo document, with the folder of the
// textures a model embeds, which lives as long as the document. A model brings the
// runner's temporary folder, which must outlive the document.
ModelDocument OpenDocument(const RunnerOptions& options,
                           std::optional<RunnerTempFolder>& temp_folder) {
    std::string error;
    ModelDocument opened;
    if (!options.document) {
        opened.document = BuildDemoDocument(error);
    } else if (IsModelFile(*options.document)) {
        const std::string& file = *options.document;
        temp_folder.emplace();
        opened = temp_folder->Import(file, options.import_timeout,
                                     [&] { return ImportModelFile(file, error); });
    } else {
        std::vector<std::string> warnings;
        opened.document = LoadDocument(*options.document, error, &warnings);
        for (const std::string& warning : warnings)
            std::fprintf(stderr, "vantrel-host: warning: %s\n", warning.c_str());
    }
    if (!opened.document) throw RunError{kFailure, error};
    BaseDocument* doc = opened.document.get();
    if (!options.select.empty()) doc->DeselectAll();
    for (const std::string& name : options.select) {
        BaseObject* op = doc->SearchObject(String(name));
        if (op == nullptr)
            throw RunError{kFailure, "no object named \"" + name + "\" in the document"};
        doc->SetActiveObject(op, SELECTION_ADD);
    }
    return opened;
}

int Run(const std::vector<std::string>& args, const char* argv0) {
    RunnerOptions options;
    try {
        options = ParseCommandLine(args);
    } catch (const std::invalid_argument& e) {
        std::string usage = kUsage;
        usage.pop_back();  // the message gets its own newline
        throw RunError{kUsageError, std::string(e.what()) + "\n" + usage};
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kCommandRan;
    }
    if (options.save_as) {
        if (auto problem = SaveTargetProblem(*options.save_as, options.document))
            throw RunError{kUsageError, *problem};
    }
    const std::string folder = options.plugins ? *options.plugins : DefaultPluginFolder(argv0);
    PluginHost plugins;
    try {
        plugins.LoadFolder(folder, C4D_HOST_API_VERSION);
    } catch (const std::runtime_error& e) {
        throw RunError{kFailure, e.what()};
    }
    plugins.Broadcast(C4DPL_STARTACTIVITY);
    if (options.list_commands) {
        for (const RegisteredCommand& c : RegisteredCommands())
            std::printf("%d\t%s\t%s\n", c.id, c.name.c_str(), c.help.c_str());
        if (!options.command) return kCommandRan;
    }

    std::optional<RunnerTempFolder> temp_folder;
    const ModelDocument opened = OpenDocument(options, temp_folder);
    BaseDocument* doc = opened.document.get();
    if (!options.command) {
        std::printf("Opened %s: %d objects.%s\n",
                    doc->GetDocumentName().GetString().GetUtf8().c_str(),
                    CountObjects(doc->GetFirstObject()),
                    plugins.Plugins().empty() ? " No plug-in is loaded." : "");
        return kCommandRan;
    }
    const RegisteredCommand& command = FindCommand(*options.command, folder);
    SetFileDialogAnswer(options.save_as);
    if ((command.command->GetState(doc) & CMD_ENABLED) == 0)
        throw RunError{kFailure, "command \"" + command.name + "\" is disabled"};
    bool ran = false;
    const long threadsBefore = ThreadsStarted();
    try {
        ran = command.command->Execute(doc);
    } catch (const std::exception& e) {
        throw RunError{kFailure, "command \"" + command.name + "\" failed: " + e.what()};
    } catch (...) {
        throw RunError{kFailure, "command \"" + command.name + "\" failed"};
    }
    const DialogCounts dialogs = TakeDialogCounts();
    if (dialogs.cancelled_file_dialogs > 0)
        std::fputs("vantrel-host: the save dialog was cancelled: no --save-as was given\n", stderr);
    if (const long threads = ThreadsStarted() - threadsBefore; threads != 0)
        throw RunError{kFailure, "command \"" + command.name + "\" started " +
                                     std::to_string(threads) +
                                     " thread(s); the host calls plug-ins on its main thread only"};
    if (!ran) throw RunError{kFailure, "command \"" + command.name + "\" reported a failure"};
    // The plug-in shows messages only when something went wrong.
    if (dialogs.messages > 0)
        throw RunError{kFailure, "command \"" + command.name + "\" failed: see its message"};
    return kCommandRan;
}

}  // namespace
}  // namespace vantrel_host

int main(int argc, char** argv) {
    // Like the application's own memory pool, keep freed blocks for the next step of the
    // command instead of handing them back to the system and faulting them in again.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    try {
        return vantrel_host::Run(std::vector<std::string>(argv + 1, argv + argc), argv[0]);
    } catch (const vantrel_host::RunError& e) {
        std::fprintf(stderr, "vantrel-host: %s\n", e.message.c_str());
        return e.status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrel-host: %s\n", e.what());
        return 1;
    }
}
