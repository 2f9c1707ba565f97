// Assimp's materials as the host's standard materials, and the textures a file
// embeds as files that the materials' bitmap shaders name.
#pragma once

#include <assimp/scene.h>

#include <map>
#include <memory>
#include <string>

#include "c4d.h"
#include "vantrel_host/temp_folder.h"

namespace vantrel_host::model_import {

class MaterialImporter {
public:
    // Embedded textures are written into a temporary folder made in textures on first
    // need. Relative texture paths resolve against model_folder.
    MaterialImporter(const aiScene& scene, BaseDocument& doc, std::string model_folder,
                     std::unique_ptr<TempFolder>& textures);

    // The standard material of Assimp's material index, created on first use, so that
    // materials no mesh uses (Assimp adds a default one to many formats) stay out:
    // diffuse (else base) colour as the colour channel, a specular colour other than
    // black as the specular channel, the diffuse (else base colour) texture as a
    // bitmap shader linked as the colour shader. An unnamed material is named
    // "Material N" after its index. Throws std::runtime_error for an index the file
    // lacks or a texture that cannot be written.
    BaseMaterial* Get(unsigned index);

private:
    BaseMaterial* Create(const aiMaterial& source, unsigned index);
    std::string TexturePath(const std::string& reference);
    std::string WriteEmbedded(const aiTexture& texture, int index);

    const aiScene& scene_;
    BaseDocument& doc_;
    const std::string model_folder_;
    std::unique_ptr<TempFolder>& textures_;
    std::map<unsigned, BaseMaterial*> created_;
    std::map<int, std::string> written_;  // embedded texture index to its file
};

}  // namespace vantrel_host::model_import
