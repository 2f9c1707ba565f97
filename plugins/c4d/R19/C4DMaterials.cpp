#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"
#include "tavsceneapi_values.h"

namespace {

// A file that opens for reading and is not a folder.
bool isReadableFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return false;
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && !S_ISDIR(info.st_mode);
    std::fclose(file);
    return regular;
}

tavColor toColor(const Vector64& v) { return {float(v.x), float(v.y), float(v.z)}; }

// Object space to texture space for a flat projection: the inverse placement, halved.
tavMatrix flatPlacement(const Matrix64& textureMatrix) {
    const Matrix64 n = ~textureMatrix;
    const Vector64 x = n.v1 * 0.5, y = n.v2 * 0.5, z = n.v3 * 0.5, o = n.off * 0.5;
    return tavMatrix{{x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, o.x, o.y, o.z, 1}};
}

// The shader a material's link parameter names; null when there is none.
BaseShader* linkedShader(const Material* material, Int32 id, const BaseDocument* doc) {
    return static_cast<BaseShader*>(readLink(material, id, doc, Xbase));
}

}  // namespace

bool TavMat::operator<(const TavMat& other) const {
    const int byName = std::strcmp(name, other.name);
    if (byName != 0) return byName < 0;
    return std::tie(color.x, color.y, color.z, texture, offsetU, offsetV, lengthU, lengthV, tile) <
           std::tie(other.color.x, other.color.y, other.color.z, other.texture, other.offsetU,
                    other.offsetV, other.lengthU, other.lengthV, other.tile);
}

Vector64 C4DLoader::getDefaultColor(BaseObject* object) {
    const Vector64 grey(0.65, 0.65, 0.65);
    Int32 mode = 0;
    if (!readParameter(object, ID_BASEOBJECT_USECOLOR, mode)) return grey;
    if (mode == 1) return readParameter<Vector64>(object, ID_BASEOBJECT_COLOR);
    Vector64 color = grey;
    LayerObject* layer = mode == 3 ? object->GetLayerObject(document) : nullptr;
    if (layer) readParameter(layer, ID_LAYER_COLOR, color);
    return color;
}

bool C4DLoader::getMaterial(BaseTag* tag, TavMat& record) {
    if (!tag || tag->GetType() != Ttexture) return false;
    TextureTag* textureTag = static_cast<TextureTag*>(tag);
    BaseMaterial* material = textureTag->GetMaterial();
    std::string name;
    if (!material || !getUtf8(material->GetName(), name)) return false;
    copyUtf8(record.name, sizeof record.name, name);
    if (material->GetType() != Mmaterial || !getMaterial(static_cast<Material*>(material), record))
        return false;

    record.textureTag = tag;
    record.projection = readParameter<Int32>(tag, TEXTURETAG_PROJECTION);
    record.textureMatrix = textureTag->GetMl();
    record.offsetU = readParameter<Float>(tag, TEXTURETAG_OFFSETX);
    record.offsetV = readParameter<Float>(tag, TEXTURETAG_OFFSETY);
    record.lengthU = readParameter<Float>(tag, TEXTURETAG_LENGTHX);
    record.lengthV = readParameter<Float>(tag, TEXTURETAG_LENGTHY);
    record.tile = readParameter<Int32>(tag, TEXTURETAG_TILE) != 0;
    return true;
}

bool C4DLoader::getMaterial(Material* material, TavMat& record) {
    if (!material->GetChannelState(CHANNEL_ALPHA)) {
        bool found = false;
        if (material->GetChannelState(CHANNEL_COLOR)) {
            readParameter(material, MATERIAL_COLOR_COLOR, record.color);
            Float brightness = 0.0;
            // The host keeps the brightness in single precision.
            if (readParameter(material, MATERIAL_COLOR_BRIGHTNESS, brightness))
                record.color *= double(float(brightness));
            getMaterial(linkedShader(material, MATERIAL_COLOR_SHADER, document), record);
            found = true;
        } else if (material->GetChannelState(CHANNEL_LUMINANCE) &&
                   readParameter(material, MATERIAL_LUMINANCE_COLOR, record.color)) {
            getMaterial(linkedShader(material, MATERIAL_LUMINANCE_SHADER, document), record);
            found = true;
        }

        if (material->GetChannelState(CHANNEL_SPECULAR) ||
            material->GetChannelState(CHANNEL_SPECULARCOLOR)) {
            if (readParameter(material, MATERIAL_SPECULAR_COLOR, record.specular)) return true;
        } else if (material->GetChannelState(CHANNEL_REFLECTION)) {
            if (readParameter(material, MATERIAL_SPECULAR_COLOR, record.specular)) return true;
            record.specular = material->GetDataInstance()->GetVector(MATERIAL_REFLECTION_COLOR);
        }
        if (found) return true;
    }

    // Only a colour shader of the material's own gives it its colour.
    bool result = false;
    for (BaseShader* shader = material->GetFirstShader(); shader && !result;
         shader = shader->GetNext())
        result = getMaterial(shader, record);
    return result;
}

bool C4DLoader::getMaterial(BaseShader* shader, TavMat& record) {
    if (!shader) return false;
    Filename file;
    switch (shader->GetType()) {
        case Xcolor:
            return readParameter(shader, COLORSHADER_COLOR, record.color);
        case Xbitmap:
            if (readParameter(shader, BITMAPSHADER_FILENAME, file))
                record.texture = resolveTexturePath(file);
            return false;
        case Xgradient:
            readFirstKnotColor(shader, SLA_GRADIENT_GRADIENT, record.color);
            return false;
        case Xgradient2:
            readFirstKnotColor(shader, GRADIENT2SHADER_GRADIENT, record.color);
            return false;
        default:
            return false;
    }
}

std::string C4DLoader::resolveTexturePath(const Filename& file) {
    std::string full, fileName;
    getUtf8(file.GetString(), full);
    getUtf8(file.GetFileString(), fileName);
    if (!full.empty() && isReadableFile(full)) return full;
    if (!documentPath.empty() && !fileName.empty()) {
        for (const std::string& candidate :
             {documentPath + "/tex/" + fileName, documentPath + "/" + fileName})
            if (isReadableFile(candidate)) return candidate;
    }
    return full;
}

std::string C4DLoader::materialDisplayName(const TavMat& record) {
    const std::string base = record.name[0] ? record.name : "Display color";
    auto& numbers = materialTable[base];
    const uint64_t number = numbers.emplace(record, numbers.size()).first->second;
    if (number == 0) return base;  // at most kMaxNameBytes, as the record holds it
    // The number keeps two materials apart, so a long name gives way to it.
    const std::string suffix = " #" + std::to_string(number);
    return cutUtf8(base, kMaxNameBytes - suffix.size()) + suffix;
}

void C4DLoader::writeMaterial(TavMat record) {
    using tav::setParameter;
    tavScene_api& api = *sceneWrapper->get_scene_api();
    const std::string displayName = materialDisplayName(record);

    tavShader* texture = nullptr;
    if (!record.texture.empty()) {
        api.shader_begin(nullptr, "texture2_rgb");
        setParameter(api, "texture", record.texture);
        setParameter(api, "default_color", tavColor{0, 0, 0});
        setParameter(api, "wrap", record.tile);
        const bool flat = record.projection == TEXTURETAG_PROJECTION_FLAT;
        setParameter(api, "uv_projection", flat ? 5 : 4);
        setParameter(api, "scale_u", float(record.lengthU));
        setParameter(api, "scale_v", float(record.lengthV));
        setParameter(api, "shift_u", float(record.offsetU));
        setParameter(api, "shift_v", float(record.offsetV));
        if (flat)
            setParameter(api, "transform_obj_to_uv", flatPlacement(record.textureMatrix));
        else
            setParameter(api, "uv_flags", 62);
        api.shader_end();
        texture = api.shader_get();
    }

    if (texture || record.specular.GetLength() > 0.000001) {
        api.shader_begin(nullptr, "tav_advanced");
        setParameter(api, "diffuse", toColor(record.color));
        setParameter(api, "specular", toColor(record.specular));
        setParameter(api, "fresnel", true);
        setParameter(api, "roughness", 0.0f);
        setParameter(api, "ior", 1.5f);
        setParameter(api, "glossy", true);
        setParameter(api, "glossy_samples", 9);
        setParameter(api, "alpha", 1.0f);
        if (texture) api.set_subshader("diffuse", texture);
    } else {
        api.shader_begin(nullptr, "tav_diffuse");
        setParameter(api, "diffuse", toColor(record.color));
    }
    api.shader_end();
    tavShader* surface = api.shader_get();
    api.material_begin(displayName.c_str(), true);
    api.material_set_shader(TAV_SHADER_SURFACE, surface);
    api.material_end();
    ++counts.materials;
}
