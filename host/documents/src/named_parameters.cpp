#include "named_parameters.h"

namespace vantrel_host::document_file {

const NamedParameters kObjectParameters = {
    {"editor_visibility", ID_BASEOBJECT_VISIBILITY_EDITOR, ValueKind::Int},
    {"render_visibility", ID_BASEOBJECT_VISIBILITY_RENDER, ValueKind::Int},
    {"display_color_mode", ID_BASEOBJECT_USECOLOR, ValueKind::Int},
    {"display_color", ID_BASEOBJECT_COLOR, ValueKind::Vector}};
const NamedParameters kLightParameters = {
    {"color", LIGHT_COLOR, ValueKind::Vector},
    {"brightness", LIGHT_BRIGHTNESS, ValueKind::Float},
    {"light_type", LIGHT_TYPE, ValueKind::Int},
    {"area_size_x", LIGHT_AREA_SIZE_X, ValueKind::Float},
    {"area_size_y", LIGHT_AREA_SIZE_Y, ValueKind::Float},
    {"area_size_z", LIGHT_AREA_SIZE_Z, ValueKind::Float},
    {"photometric", LIGHT_PHOTOMETRIC, ValueKind::Bool},
    {"photometric_unit", LIGHT_PHOTOMETRIC_UNIT, ValueKind::Int},
    {"photometric_intensity", LIGHT_PHOTOMETRIC_INTENSITY, ValueKind::Float}};
const NamedParameters kCameraParameters = {{"fov", CAMERA_FIELD_OF_VIEW, ValueKind::Float}};
const NamedParameters kLayerParameters = {{"editor_visible", ID_LAYER_VIEW, ValueKind::Bool},
                                          {"render_visible", ID_LAYER_RENDER, ValueKind::Bool},
                                          {"color", ID_LAYER_COLOR, ValueKind::Vector}};
const NamedParameters kStandardMaterialParameters = {
    {"color", MATERIAL_COLOR_COLOR, ValueKind::Vector},
    {"brightness", MATERIAL_COLOR_BRIGHTNESS, ValueKind::Float},
    {"color_shader", MATERIAL_COLOR_SHADER, ValueKind::ShaderLink},
    {"luminance", MATERIAL_LUMINANCE_COLOR, ValueKind::Vector},
    {"luminance_shader", MATERIAL_LUMINANCE_SHADER, ValueKind::ShaderLink},
    {"specular_color", MATERIAL_SPECULAR_COLOR, ValueKind::Vector}};
const NamedParameters kHairMaterialParameters = {
    {"root_radius", HAIRMATERIAL_ROOT_RADIUS, ValueKind::Float},
    {"tip_radius", HAIRMATERIAL_TIP_RADIUS, ValueKind::Float},
    {"color_shader", HAIRMATERIAL_COLOR_SHADER, ValueKind::ShaderLink},
    {"gradient", HAIRMATERIAL_GRADIENT, ValueKind::Gradient}};
const NamedParameters kTextureTagParameters = {
    {"material", TEXTURETAG_MATERIAL, ValueKind::MaterialLink},
    {"offset_u", TEXTURETAG_OFFSETX, ValueKind::Float},
    {"offset_v", TEXTURETAG_OFFSETY, ValueKind::Float},
    {"length_u", TEXTURETAG_LENGTHX, ValueKind::Float},
    {"length_v", TEXTURETAG_LENGTHY, ValueKind::Float},
    {"projection", TEXTURETAG_PROJECTION, ValueKind::Projection},
    {"restriction", TEXTURETAG_RESTRICTION, ValueKind::String},
    {"tile", TEXTURETAG_TILE, ValueKind::Bool}};
const NamedParameters kHairMaterialTagParameters = {
    {"material", HAIRMATERIALTAG_MATERIAL, ValueKind::MaterialLink}};
const NamedParameters kColorShaderParameters = {{"color", COLORSHADER_COLOR, ValueKind::Vector}};
const NamedParameters kBitmapShaderParameters = {
    {"file", BITMAPSHADER_FILENAME, ValueKind::Filename}};
const NamedParameters kGradientShaderParameters = {
    {"gradient", SLA_GRADIENT_GRADIENT, ValueKind::Gradient}};
const NamedParameters kGradient2ShaderParameters = {
    {"gradient", GRADIENT2SHADER_GRADIENT, ValueKind::Gradient}};
const NamedParameters kTrackParameters = {{"on", ID_CTRACK_ON, ValueKind::Bool}};
const NamedParameters kNoParameters = {};

const NamedParameters& ParametersOf(Int32 type) {
    switch (type) {
        case Olight:
            return kLightParameters;
        case Ocamera:
            return kCameraParameters;
        case Mmaterial:
            return kStandardMaterialParameters;
        case Mhair:
            return kHairMaterialParameters;
        case Ttexture:
            return kTextureTagParameters;
        case Thairmaterial:
            return kHairMaterialTagParameters;
        case Xcolor:
            return kColorShaderParameters;
        case Xbitmap:
            return kBitmapShaderParameters;
        case Xgradient:
            return kGradientShaderParameters;
        case Xgradient2:
            return kGradient2ShaderParameters;
        default:
            return kNoParameters;
    }
}

}  // namespace vantrel_host::document_file
