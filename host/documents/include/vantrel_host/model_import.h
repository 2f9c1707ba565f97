// Host documents built from 3D model files of every format Assimp reads (glTF, FBX,
// Collada, OBJ, PLY, 3DS, ...), with the same builders as document files, so that a
// model becomes the document a document file describing it would give. How a model
// maps onto the document: docs/model-import.md.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "c4d_basedocument.h"
#include "vantrel_host/temp_folder.h"

namespace vantrel_host {

// An imported document and the folder holding the textures its file embeds, which
// the document's bitmap shaders name. The document goes first, then the folder.
struct ModelDocument {
    std::unique_ptr<TempFolder> textures;  // null when no used texture is embedded
    std::unique_ptr<BaseDocument> document;
};

// Called with the fraction done, from 0 to 1, rising.
using ImportProgress = std::function<void(float fraction)>;

// True when the file's suffix names a format Assimp reads (".json" is none of them).
bool IsModelFile(const std::string& path);

// Imports a model file. On failure returns a null document and sets error to one line
// naming the file ("box.obj: Assimp cannot read the file: ..."). While Assimp reads,
// the process's address space may grow by a few gigabytes only (RLIMIT_AS), so that
// a file claiming absurd sizes fails instead of exhausting the machine.
ModelDocument ImportModel(const std::string& path, std::string& error,
                          const ImportProgress& progress = ImportProgress());

}  // namespace vantrel_host
