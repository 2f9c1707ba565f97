// The runner's own folder for temporary files, such as the textures that model files
// embed, and the time limit of the model import that fills it.
#pragma once

#include <functional>

#include "vantrel_host/model_import.h"
#include "vantrel_host/temp_folder.h"

namespace vantrel_host {

// One at a time. The folder is removed when the object goes, and also when SIGINT or
// SIGTERM ends the process while it lives: the signal then ends the process as it would
// have without the folder.
class RunnerTempFolder {
public:
    RunnerTempFolder();
    ~RunnerTempFolder();
    RunnerTempFolder(const RunnerTempFolder&) = delete;
    RunnerTempFolder& operator=(const RunnerTempFolder&) = delete;

    // Runs import with the temporary files it makes inside the folder. An import that
    // takes longer than seconds cannot be stopped, so the process ends: the folder is
    // removed, "vantrel-host: <file>: ..." goes to standard error and the status is 1.
    ModelDocument Import(const std::string& file, double seconds,
                         const std::function<ModelDocument()>& import);

private:
    std::unique_ptr<TempFolder> folder_;
};

}  // namespace vantrel_host
