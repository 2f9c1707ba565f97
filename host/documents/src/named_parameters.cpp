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
const NamedParameters kLayerParameters = {{"editor_visible", 1001, ValueKind::Bool},
                                          {"render_visible", 1002, ValueKind::Bool},
                                          {"color", 1009, ValueKind::Vector}};
const NamedParameters kStandardMaterialParameters = {
    {"color", 2100, ValueKind::Vector},
    {"brightness", 2101, ValueKind::Float},
    {"color_shader", 8000, ValueKind::ShaderLink},
    {"luminance", 2300, ValueKind::Vector},
    {"luminance_shader", 8002, ValueKind::ShaderLink},
    {"specular_color", 3100, ValueKind::Vector}};
const NamedParameters kHairMaterialParameters = {{"root_radius", 3009, ValueKind::Float},
                                                 {"tip_radius", 3010, ValueKind::Float},
                                                 {"color_shader", 3000, ValueKind::ShaderLink},
                                                 {"gradient", 3139, ValueKind::Gradient}};
const NamedParameters kTextureTagParameters = {
    {"material", TEXTURETAG_MATERIAL, ValueKind::MaterialLink},
    {"offset_u", TEXTURETAG_OFFSETX, ValueKind::Float},
    {"offset_v", TEXTURETAG_OFFSETY, ValueKind::Float},
    {"length_u", TEXTURETAG_LENGTHX, ValueKind::Float},
    {"length_v", TEXTURETAG_LENGTHY, ValueKind::Float},
    {"projection", TEXTURETAG_PROJECTION, ValueKind::Projection},
    {"restriction", TEXTURETAG_RESTRICTION, ValueKind::String},
    {"tile", TEXTURETAG_TILE, ValueKind::Bool}};
const NamedParameters kHairMaterialTagParameters = {{"material", 1000, ValueKind::MaterialLink}};
const NamedParameters kColorShaderParameters = {{"color", 1000, ValueKind::Vector}};
const NamedParameters kBitmapShaderParameters = {{"file", 1000, ValueKind::Filename}};
const NamedParameters kGradientShaderParameters = {{"gradient", 1007, ValueKind::Gradient}};
const NamedParameters kGradient2ShaderParameters = {{"gradient", 10001, ValueKind::Gradient}};
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
        case 1012158:
            return kGradient2ShaderParameters;
        default:
            return kNoParameters;
    }
}

}  // namespace vantrel_host::document_file
