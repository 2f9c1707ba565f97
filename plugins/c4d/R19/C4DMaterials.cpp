#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "C4DLoader.h"
#include "C4DText.h"

namespace {

// Shaders this converter reads, beyond the host's named types.
constexpr Int32 kGradientShaderB = 1012158;

bool read(const C4DAtom* node, Int32 id, GeData& value) {
    return node->GetParameter(DescID(id), value, DESCFLAGS_GET_0);
}

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

bool setColor(tavScene_api* api, const char* name, const Vector64& value) {
    const tavColor color = toColor(value);
    return api->set_parameter(name, TAV_COLOR, &color);
}
bool setFloat(tavScene_api* api, const char* name, double value) {
    const float f = float(value);
    return api->set_parameter(name, TAV_FLOAT, &f);
}
bool setInt(tavScene_api* api, const char* name, int32_t value) {
    return api->set_parameter(name, TAV_INT, &value);
}
bool setBool(tavScene_api* api, const char* name, bool value) {
    const int32_t flag = value ? 1 : 0;
    return api->set_parameter(name, TAV_BOOL, &flag);
}

// Object space to texture space for a flat projection: the inverse placement, halved.
tavMatrix flatPlacement(const Matrix64& textureMatrix) {
    const Matrix64 n = ~textureMatrix;
    const Vector64 x = n.v1 * 0.5, y = n.v2 * 0.5, z = n.v3 * 0.5, o = n.off * 0.5;
    return tavMatrix{{x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, o.x, o.y, o.z, 1}};
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
    GeData mode;
    if (!read(object, ID_BASEOBJECT_USECOLOR, mode)) return grey;
    if (mode.GetInt32() == 1) {
        GeData color;
        read(object, ID_BASEOBJECT_COLOR, color);
        return color.GetVector();
    }
    if (mode.GetInt32() == 3) {
        GeData color;
        LayerObject* layer = object->GetLayerObject(document);
        if (layer && read(layer, 1009, color)) return color.GetVector();
    }
    return grey;
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

    GeData data;
    record.textureTag = tag;
    read(tag, TEXTURETAG_PROJECTION, data);
    record.projection = data.GetInt32();
    record.textureMatrix = textureTag->GetMl();
    read(tag, TEXTURETAG_OFFSETX, data);
    record.offsetU = data.GetFloat();
    read(tag, TEXTURETAG_OFFSETY, data);
    record.offsetV = data.GetFloat();
    read(tag, TEXTURETAG_LENGTHX, data);
    record.lengthU = data.GetFloat();
    read(tag, TEXTURETAG_LENGTHY, data);
    record.lengthV = data.GetFloat();
    read(tag, TEXTURETAG_TILE, data);
    record.tile = data.GetInt32() != 0;
    return true;
}

bool C4DLoader::getMaterial(Material* material, TavMat& record) {
    if (!material->GetChannelState(CHANNEL_ALPHA)) {
        GeData data;
        bool found = false;
        if (material->GetChannelState(CHANNEL_COLOR)) {
            if (read(material, 2100, data)) record.color = data.GetVector();
            if (read(material, 2101, data)) record.color *= double(float(data.GetFloat()));
            if (read(material, 8000, data))
                getMaterial(static_cast<BaseShader*>(data.GetLink(document, Xbase)), record);
            found = true;
        } else if (material->GetChannelState(CHANNEL_LUMINANCE) && read(material, 2300, data)) {
            record.color = data.GetVector();
            if (read(material, 8002, data))
                getMaterial(static_cast<BaseShader*>(data.GetLink(document, Xbase)), record);
            found = true;
        }

        if (material->GetChannelState(CHANNEL_SPECULAR) ||
            material->GetChannelState(CHANNEL_SPECULARCOLOR)) {
            if (read(material, 3100, data)) {
                record.specular = data.GetVector();
                return true;
            }
        } else if (material->GetChannelState(CHANNEL_REFLECTION)) {
            if (read(material, 3100, data)) {
                record.specular = data.GetVector();
                return true;
            }
            record.specular = material->GetDataInstance()->GetVector(65);
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
    GeData data;
    switch (shader->GetType()) {
        case Xcolor:
            if (!read(shader, 1000, data)) return false;
            record.color = data.GetVector();
            return true;
        case Xbitmap:
            if (read(shader, 1000, data)) record.texture = resolveTexturePath(data.GetFilename());
            return false;
        case Xgradient:
        case kGradientShaderB: {
            const Int32 id = shader->GetType() == Xgradient ? 1007 : 10001;
            const auto* gradient =
                read(shader, id, data)
                    ? static_cast<Gradient*>(data.GetCustomDataType(CUSTOMDATATYPE_GRADIENT))
                    : nullptr;
            // A gradient without knots has no first colour to give.
            if (gradient && gradient->GetKnotCount() > 0) record.color = gradient->GetKnot(0).col;
            return false;
        }
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
    if (number == 0) return base;  // at most 1023 bytes, as the record holds it
    // The number keeps two materials apart, so a long name gives way to it.
    const std::string suffix = " #" + std::to_string(number);
    return cutUtf8(base, 1023 - suffix.size()) + suffix;
}

void C4DLoader::writeMaterial(TavMat record) {
    tavScene_api* api = sceneWrapper->get_scene_api();
    const std::string displayName = materialDisplayName(record);

    tavShader* texture = nullptr;
    if (!record.texture.empty()) {
        api->shader_begin(nullptr, "texture2_rgb");
        api->set_parameter("texture", TAV_STRING, record.texture.c_str());
        setColor(api, "default_color", Vector64(0, 0, 0));
        setBool(api, "wrap", record.tile);
        const bool flat = record.projection == TEXTURETAG_PROJECTION_FLAT;
        setInt(api, "uv_projection", flat ? 5 : 4);
        setFloat(api, "scale_u", record.lengthU);
        setFloat(api, "scale_v", record.lengthV);
        setFloat(api, "shift_u", record.offsetU);
        setFloat(api, "shift_v", record.offsetV);
        if (flat) {
            const tavMatrix placement = flatPlacement(record.textureMatrix);
            api->set_parameter("transform_obj_to_uv", TAV_MATRIX, &placement);
        } else {
            setInt(api, "uv_flags", 62);
        }
        api->shader_end();
        texture = api->shader_get();
    }

    if (texture || record.specular.GetLength() > 0.000001) {
        api->shader_begin(nullptr, "tav_advanced");
        setColor(api, "diffuse", record.color);
        setColor(api, "specular", record.specular);
        setBool(api, "fresnel", true);
        setFloat(api, "roughness", 0.0);
        setFloat(api, "ior", 1.5);
        setBool(api, "glossy", true);
        setInt(api, "glossy_samples", 9);
        setFloat(api, "alpha", 1.0);
        if (texture) api->set_subshader("diffuse", texture);
    } else {
        api->shader_begin(nullptr, "tav_diffuse");
        setColor(api, "diffuse", record.color);
    }
    api->shader_end();
    tavShader* surface = api->shader_get();
    api->material_begin(displayName.c_str(), true);
    api->material_set_shader(TAV_SHADER_SURFACE, surface);
    api->material_end();
}
