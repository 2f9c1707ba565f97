#include "model_import_materials.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "vantrel_host/document_builder.h"

namespace vantrel_host::model_import {
namespace {

// A new material's colour in the host.
const aiColor3D kDefaultColor(0.8f, 0.8f, 0.8f);

void WriteFile(const std::string& path, const void* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    const bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
    const int error = errno;
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path + ": " +
                                 std::strerror(written ? errno : error));
}

// Uncompressed texels as a 32-bit TGA, whose BGRA pixels are Assimp's texel layout.
void WriteTga(const std::string& path, const aiTexture& texture) {
    if (texture.mWidth > 0xffff || texture.mHeight > 0xffff)
        throw std::runtime_error("an embedded texture of " + std::to_string(texture.mWidth) +
                                 " x " + std::to_string(texture.mHeight) +
                                 " pixels is too large for a TGA file");
    std::vector<unsigned char> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (unsigned size : {texture.mWidth, texture.mHeight}) {
        bytes.push_back(static_cast<unsigned char>(size & 0xff));
        bytes.push_back(static_cast<unsigned char>(size >> 8));
    }
    bytes.push_back(32);    // bits per pixel
    bytes.push_back(0x28);  // 8 alpha bits, rows from the top
    const auto* texels = reinterpret_cast<const unsigned char*>(texture.pcData);
    bytes.insert(bytes.end(), texels,
                 texels + size_t(texture.mWidth) * texture.mHeight * sizeof(aiTexel));
    WriteFile(path, bytes.data(), bytes.size());
}

// The suffix of a compressed texture: Assimp's format hint, else its file name's.
std::string Suffix(const aiTexture& texture) {
    std::string hint(texture.achFormatHint, strnlen(texture.achFormatHint, HINTMAXTEXTURELEN));
    if (hint.empty()) hint = std::filesystem::path(texture.mFilename.C_Str()).extension().string();
    std::string suffix;
    for (char c : hint)
        if (std::isalnum(static_cast<unsigned char>(c)))
            suffix += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix.empty() ? "bin" : suffix;
}

}  // namespace

MaterialImporter::MaterialImporter(const aiScene& scene, BaseDocument& doc,
                                   std::string model_folder, std::unique_ptr<TempFolder>& textures)
    : scene_(scene), doc_(doc), model_folder_(std::move(model_folder)), textures_(textures) {}

BaseMaterial* MaterialImporter::Get(unsigned index) {
    if (index >= scene_.mNumMaterials || scene_.mMaterials[index] == nullptr)
        throw std::runtime_error("a mesh uses material " + std::to_string(index) +
                                 ", which the file lacks");
    auto found = created_.find(index);
    if (found == created_.end())
        found = created_.emplace(index, Create(*scene_.mMaterials[index], index)).first;
    return found->second;
}

BaseMaterial* MaterialImporter::Create(const aiMaterial& source, unsigned index) {
    aiString name;
    source.Get(AI_MATKEY_NAME, name);
    Material* mat = AddStandardMaterial(
        doc_, name.length > 0 ? name.C_Str() : "Material " + std::to_string(index));

    aiColor3D color = kDefaultColor;
    if (source.Get(AI_MATKEY_COLOR_DIFFUSE, color) != AI_SUCCESS)
        source.Get(AI_MATKEY_BASE_COLOR, color);
    mat->SetChannelState(CHANNEL_COLOR, true);
    SetParam(mat, MATERIAL_COLOR_COLOR, GeData(Vector(color.r, color.g, color.b)));
    SetParam(mat, MATERIAL_COLOR_BRIGHTNESS, GeData(1.0));

    aiColor3D specular;
    if (source.Get(AI_MATKEY_COLOR_SPECULAR, specular) == AI_SUCCESS && !specular.IsBlack()) {
        mat->SetChannelState(CHANNEL_SPECULAR, true);
        SetParam(mat, MATERIAL_SPECULAR_COLOR, GeData(Vector(specular.r, specular.g, specular.b)));
    }

    aiString texture;
    if (source.GetTexture(aiTextureType_DIFFUSE, 0, &texture) != AI_SUCCESS)
        source.GetTexture(aiTextureType_BASE_COLOR, 0, &texture);
    if (texture.length > 0) {
        const std::string path = TexturePath(texture.C_Str());
        BaseShader* bitmap =
            AddShader(*mat, Xbitmap, std::filesystem::path(path).filename().string());
        SetParam(bitmap, BITMAPSHADER_FILENAME, GeData(Filename(String(path))));
        SetParam(mat, MATERIAL_COLOR_SHADER, Link(bitmap));
    }
    return mat;
}

std::string MaterialImporter::TexturePath(const std::string& reference) {
    const auto [embedded, index] = scene_.GetEmbeddedTextureAndIndex(reference.c_str());
    if (embedded != nullptr) return WriteEmbedded(*embedded, index);
    std::string path = reference;
    std::replace(path.begin(), path.end(), '\\', '/');
    const bool windows_drive = path.size() > 1 && path[1] == ':';
    if (windows_drive || std::filesystem::path(path).is_absolute()) return path;
    return (std::filesystem::path(model_folder_) / path).lexically_normal().string();
}

std::string MaterialImporter::WriteEmbedded(const aiTexture& texture, int index) {
    const auto found = written_.find(index);
    if (found != written_.end()) return found->second;
    if (!textures_) textures_ = std::make_unique<TempFolder>("vantrel_model_");
    if (texture.pcData == nullptr)
        throw std::runtime_error("embedded texture " + std::to_string(index) + " has no data");
    const bool compressed = texture.mHeight == 0;
    const std::string path = textures_->Path() + "/texture" + std::to_string(index) + "." +
                             (compressed ? Suffix(texture) : "tga");
    if (compressed) {
        WriteFile(path, texture.pcData, texture.mWidth);
    } else {
        WriteTga(path, texture);
    }
    return written_.emplace(index, path).first->second;
}

}  // namespace vantrel_host::model_import
