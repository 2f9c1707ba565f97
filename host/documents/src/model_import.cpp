// Reading a model file with Assimp, under a memory budget and with progress.
#include "vantrel_host/model_import.h"

#include <assimp/config.h>
#include <assimp/scene.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "file_suffix.h"
#include "model_import_scene.h"

namespace vantrel_host {
namespace {

// Assimp's reading takes this share of the progress, building the document the rest.
constexpr float kReadingShare = 0.8f;

// While Assimp reads, the address space may grow by this much plus a multiple of the
// file's size (files may be compressed several times over).
constexpr uintmax_t kBudgetBase = uintmax_t(4) << 30;
constexpr uintmax_t kBudgetPerFileByte = 64;

// Passes rising fractions on.
class Progress {
public:
    explicit Progress(const ImportProgress& report) : report_(report) {}
    void Report(float fraction) {
        if (!report_ || !(fraction > last_)) return;
        last_ = std::min(fraction, 1.0f);
        report_(last_);
    }

private:
    const ImportProgress& report_;
    float last_ = 0.0f;
};

// Assimp's progress (0 to 1, or -1 when unknown) as the reading share.
class ReadingProgress : public Assimp::ProgressHandler {
public:
    explicit ReadingProgress(Progress& progress) : progress_(progress) {}
    bool Update(float fraction) override {
        progress_.Report(fraction * kReadingShare);
        return true;
    }

private:
    Progress& progress_;
};

// Caps the process's address space (RLIMIT_AS) at its current size plus a budget for
// its lifetime; a limit already tighter stays.
class AddressSpaceBudget {
public:
    explicit AddressSpaceBudget(uintmax_t budget) {
        std::ifstream statm("/proc/self/statm");
        uintmax_t pages = 0;
        if (!(statm >> pages) || getrlimit(RLIMIT_AS, &saved_) != 0) return;
        const uintmax_t wanted = pages * uintmax_t(sysconf(_SC_PAGESIZE)) + budget;
        if (saved_.rlim_cur != RLIM_INFINITY && saved_.rlim_cur <= wanted) return;
        rlimit limit = saved_;
        limit.rlim_cur = saved_.rlim_max == RLIM_INFINITY
                             ? wanted
                             : std::min<uintmax_t>(wanted, saved_.rlim_max);
        active_ = setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~AddressSpaceBudget() {
        if (active_) setrlimit(RLIMIT_AS, &saved_);
    }
    AddressSpaceBudget(const AddressSpaceBudget&) = delete;
    AddressSpaceBudget& operator=(const AddressSpaceBudget&) = delete;

private:
    rlimit saved_{};
    bool active_ = false;
};

// Whether a line of the stream begins (after blanks) with "end_header". Assimp's PLY
// reader never returns on a header without one, so such a file never reaches it.
bool HasPlyHeaderEnd(std::istream& in) {
    static const std::string kEnd = "end_header";
    size_t matched = 0;
    bool line_start = true;
    for (char c; in.get(c);) {
        if (c == '\n' || c == '\r') {
            line_start = true;
            matched = 0;
        } else if (line_start && matched == 0 && (c == ' ' || c == '\t')) {
            continue;
        } else if (line_start && c == kEnd[matched]) {
            if (++matched < kEnd.size()) continue;
            const int next = in.peek();
            if (next == EOF || std::isspace(next)) return true;
            line_start = false;
        } else {
            line_start = false;
        }
    }
    return false;
}

}  // namespace

bool IsModelFile(const std::string& path) {
    const std::string suffix = LowerCaseSuffix(path);
    return suffix.size() > 1 && suffix != ".json" &&
           Assimp::Importer().IsExtensionSupported(suffix);
}

ModelDocument ImportModel(const std::string& path, std::string& error,
                          const ImportProgress& progress) {
    error.clear();
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || !std::ifstream(path, std::ios::binary)) {
        error = path + (std::filesystem::is_directory(path, ec) ? ": is a folder, not a model file"
                                                                : ": cannot read the file");
        return {};
    }
    try {
        if (LowerCaseSuffix(path) == ".ply") {
            std::ifstream header(path, std::ios::binary);
            if (!HasPlyHeaderEnd(header))
                throw std::runtime_error("the PLY header has no \"end_header\" line");
        }
        Progress rising(progress);
        Assimp::Importer importer;
        importer.SetProgressHandler(new ReadingProgress(rising));  // the importer owns it
        // Pivots baked into the nodes instead of extra "$AssimpFbx$" helper nodes.
        importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
        const aiScene* scene = nullptr;
        {
            AddressSpaceBudget budget(kBudgetBase + kBudgetPerFileByte * size);
            scene = importer.ReadFile(path, 0);
        }
        if (scene == nullptr)
            throw std::runtime_error(std::string("Assimp cannot read the file: ") +
                                     importer.GetErrorString());
        ModelDocument result = model_import::BuildModelDocument(*scene, path, [&rising](float f) {
            rising.Report(kReadingShare + (1 - kReadingShare) * f);
        });
        rising.Report(1.0f);
        return result;
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
    }
    return {};
}

}  // namespace vantrel_host
