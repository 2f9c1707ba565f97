// Basic types, flags and identifiers of the host's plug-in interface, as far as the
// bridge uses them. Numeric values are the host's identifiers wherever the bridge
// relies on them; the others are this stand-in's own choice.
#pragma once

#include <cstdint>

using Int32 = int32_t;
using UInt32 = uint32_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using Int = int64_t;
using Float = double;
using Float32 = float;
using Float64 = double;
using Bool = bool;
using Char = char;

// Object types.
enum : Int32 {
    Opolygon = 5100,
    Olight = 5102,
    Ocamera = 5103,
    Onull = 5140,
    Ocube = 5159,
    Ohair = 1017305,
    Olayer = 100004801
};

// Tag types.
enum : Int32 {
    Tphong = 5612,
    Ttexture = 5616,
    Tuvw = 5671,
    Tpolygonselection = 5673,
    Tnormal = 5711,
    Thairmaterial = 1017729
};

// Material, shader and custom data types.
enum : Int32 {
    Mmaterial = 5703,
    Mhair = 1017730,
    Xbase = 5707,  // every shader is an instance of it
    Xcolor = 5832,
    Xbitmap = 5833,
    Xgradient = 1011100,
    Xgradient2 = 1012158,  // a second gradient shader, its gradient in another parameter
    CUSTOMDATATYPE_GRADIENT = 1000481
};

// Animation track.
enum : Int32 { CTbase = 5350 };

// Parameter ids shared by every node.
enum : Int32 {
    ID_BASELIST_NAME = 900,
    ID_BASEOBJECT_VISIBILITY_EDITOR = 901,
    ID_BASEOBJECT_VISIBILITY_RENDER = 902,
    ID_BASEOBJECT_REL_POSITION = 903,
    ID_BASEOBJECT_REL_ROTATION = 904,
    ID_BASEOBJECT_REL_SCALE = 905,
    ID_BASEOBJECT_USECOLOR = 907,
    ID_BASEOBJECT_COLOR = 908,
    VECTOR_X = 1000,
    VECTOR_Y = 1001,
    VECTOR_Z = 1002
};

// Texture tag parameters.
enum : Int32 {
    TEXTURETAG_OFFSETX = 1000,
    TEXTURETAG_OFFSETY = 1001,
    TEXTURETAG_LENGTHX = 1002,
    TEXTURETAG_LENGTHY = 1003,
    TEXTURETAG_PROJECTION = 1004,
    TEXTURETAG_RESTRICTION = 1006,
    TEXTURETAG_TILE = 1007,
    TEXTURETAG_MATERIAL = 1010,
    TEXTURETAG_PROJECTION_FLAT = 2,
    TEXTURETAG_PROJECTION_UVW = 6
};

// Layer parameters; the visibility flags are 32-bit integers, 0 for hidden.
enum : Int32 { ID_LAYER_VIEW = 1001, ID_LAYER_RENDER = 1002, ID_LAYER_COLOR = 1009 };

// Standard material parameters.
enum : Int32 {
    MATERIAL_COLOR_COLOR = 2100,
    MATERIAL_COLOR_BRIGHTNESS = 2101,
    MATERIAL_LUMINANCE_COLOR = 2300,
    MATERIAL_SPECULAR_COLOR = 3100,
    MATERIAL_COLOR_SHADER = 8000,
    MATERIAL_LUMINANCE_SHADER = 8002,
    // An entry of the material's data container rather than a parameter.
    MATERIAL_REFLECTION_COLOR = 65
};

// Shader parameters.
enum : Int32 {
    COLORSHADER_COLOR = 1000,
    BITMAPSHADER_FILENAME = 1000,
    SLA_GRADIENT_GRADIENT = 1007,
    GRADIENT2SHADER_GRADIENT = 10001
};

// Hair material tag and hair material parameters.
enum : Int32 {
    HAIRMATERIALTAG_MATERIAL = 1000,
    HAIRMATERIAL_COLOR_SHADER = 3000,
    HAIRMATERIAL_ROOT_RADIUS = 3009,
    HAIRMATERIAL_TIP_RADIUS = 3010,
    HAIRMATERIAL_GRADIENT = 3139
};

// Light parameters; the area size is read for area lights only.
enum : Int32 {
    LIGHT_COLOR = 90000,
    LIGHT_BRIGHTNESS = 90001,
    LIGHT_TYPE = 90002,
    LIGHT_PHOTOMETRIC_UNIT = 90037,
    LIGHT_PHOTOMETRIC_INTENSITY = 90043,
    LIGHT_PHOTOMETRIC = 90046,
    LIGHT_AREA_SIZE_X = 100010,
    LIGHT_AREA_SIZE_Y = 100011,
    LIGHT_AREA_SIZE_Z = 100012,
    LIGHT_TYPE_AREA = 8,
    LIGHT_UNIT_CANDELA = 1
};

// Camera parameters: the projection (Pperspective, Pparallel, ...) and the field of
// view in radians.
enum : Int32 {
    CAMERA_PROJECTION = 1001,
    CAMERA_FIELD_OF_VIEW = 1008,
    Pperspective = 0,
    Pparallel = 1
};

// Track parameter that must be non-zero for a track to count as on.
enum : Int32 { ID_CTRACK_ON = 904 };

// Material channels.
enum : Int32 {
    CHANNEL_COLOR = 0,
    CHANNEL_LUMINANCE = 1,
    CHANNEL_TRANSPARENCY = 2,
    CHANNEL_REFLECTION = 3,
    CHANNEL_ENVIRONMENT = 4,
    CHANNEL_FOG = 5,
    CHANNEL_BUMP = 6,
    CHANNEL_ALPHA = 7,
    CHANNEL_SPECULAR = 8,
    CHANNEL_SPECULARCOLOR = 9
};

// Node bits (GetBit, SetBit).
enum : Int32 {
    BIT_ACTIVE = 0x2,          // selected in the document
    BIT_CONTROLOBJECT = 0x200  // input of a generator: represented by the generator's cache
};

enum DESCFLAGS_GET : Int32 { DESCFLAGS_GET_0 = 0 };
enum DESCFLAGS_SET : Int32 { DESCFLAGS_SET_0 = 0 };

enum STRINGENCODING : Int32 {
    STRINGENCODING_XBIT = 0,
    STRINGENCODING_8BIT = 1,
    STRINGENCODING_7BIT = 2,
    STRINGENCODING_7BITHEX = 3,
    STRINGENCODING_UTF8 = 4,
    STRINGENCODING_HTML = 5
};

// The order in which the three angles of a rotation vector are applied; see HPBToMatrix.
enum ROTATIONORDER : Int32 {
    ROTATIONORDER_YXZGLOBAL = 0,
    ROTATIONORDER_YZXGLOBAL = 1,
    ROTATIONORDER_ZYXGLOBAL = 2,
    ROTATIONORDER_ZXYGLOBAL = 3,
    ROTATIONORDER_XZYGLOBAL = 4,
    ROTATIONORDER_XYZGLOBAL = 5,
    ROTATIONORDER_HPB = 6
};

enum FILESELECTTYPE : Int32 { FILESELECTTYPE_ANYTHING = 0 };
enum FILESELECT : Int32 { FILESELECT_LOAD = 0, FILESELECT_SAVE = 1, FILESELECT_DIRECTORY = 2 };

enum BUILDFLAGS : Int32 { BUILDFLAGS_0 = 0 };
enum CCURVETYPE : Int32 { CCURVETYPE_CURVE = 1 };

// Command states returned by CommandData::GetState.
enum : Int32 { CMD_ENABLED = 0x40000000 };

class BaseThread;  // never defined: the stand-in runs everything on one thread
