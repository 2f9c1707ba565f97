// The scene interface: a flat, stateful, call-by-call protocol through which every
// converted scene reaches the renderer. The virtual slot order and the value layouts
// are a binary contract with the renderer's live-link library: never reorder, insert
// or remove a virtual operation, and never change a type code.
#pragma once

#include <cstdint>

// Value-type codes of set_parameter. An element code plus TAV_ARRAY makes an array
// of that element type (the value then points to a tavArray).
typedef int32_t tavType;
enum : tavType {
    TAV_COLOR = 1,   // tavColor
    TAV_FLOAT4 = 2,  // 4 floats
    TAV_FLOAT = 3,   // float
    TAV_DOUBLE = 4,  // double
    TAV_VECTOR = 5,  // tavVector
    TAV_INT = 6,     // int32_t
    TAV_BOOL = 7,    // int32_t, 0 = false
    TAV_TYPE_8 = 8,
    TAV_MATRIX = 9,   // tavMatrix
    TAV_STRING = 10,  // the value pointer is the NUL-terminated text itself
    TAV_TYPE_11 = 11,
    TAV_TYPE_12 = 12,
    TAV_STRING_REF = 13,  // points to a const char*
    TAV_FLOAT2 = 14,      // 2 floats
    TAV_FLOAT4_B = 15,    // 4 floats
    TAV_INT2 = 16,
    TAV_INT3 = 17,
    TAV_INT4 = 18,
    TAV_TYPE_19 = 19,
    TAV_TYPE_20 = 20,
    TAV_TYPE_21 = 21,
    TAV_TYPE_22 = 22,
    TAV_INT_B = 23,  // int32_t
    TAV_ARRAY = 0x8000,
    TAV_SHADER = 0x10000  // points to a tavShader*
};

// Material slot filled by material_set_shader.
enum tavShader_type : int32_t {
    TAV_SHADER_SURFACE = 0,
    TAV_SHADER_SHADOW = 1,
    TAV_SHADER_VOLUME = 2,
    TAV_SHADER_REFLECTION_MAP = 3
};

// Output-mode bit set of set_output_mode.
typedef uint32_t tavScene_api_output_mode;
enum : tavScene_api_output_mode {
    TAV_OUTPUT_BINARY = 0x2,
    TAV_OUTPUT_NO_INDENT = 0x400000,
    TAV_OUTPUT_DEFAULT = 0x400001
};

// Rows 0 to 2 hold the axes (fourth column 0), row 3 the position and 1:
// a point p maps to the row vector p times the matrix.
struct tavMatrix {
    double m[16];
};

struct tavColor {
    float r, g, b;
};

struct tavVector {
    double x, y, z;
};

// The value of every array type: element pointer, then a 32-bit element count.
struct tavArray {
    const void* data;
    uint32_t count;
};

// Opaque handle of a captured anonymous shader; only the back end that made it
// knows what it designates.
struct tavShader {};

class tavScene_api {
public:
    virtual ~tavScene_api() = default;

    virtual void install() = 0;
    virtual bool connect(const char* host, int port, int param);
    virtual bool disconnect();
    virtual bool get_version(int& major, int& minor, int& patch) const;

    virtual bool group_begin(const char* name, bool use) = 0;
    virtual void group_end() = 0;
    virtual bool object_begin(const char* name, bool use) = 0;
    virtual void object_end() = 0;
    virtual bool geometry_use(const char* name) = 0;
    virtual void geometry_end() = 0;
    virtual bool animation_begin(const char* name, const char* kind) = 0;
    virtual bool animation_end() = 0;
    virtual bool module_begin(const char* name) = 0;
    virtual void module_end() = 0;
    virtual bool options_begin() = 0;
    virtual void options_end() = 0;
    virtual bool camera_begin(const char* name) = 0;
    virtual void camera_end() = 0;
    virtual bool image_begin() = 0;
    virtual void image_end() = 0;
    virtual bool output_begin(const char* a, const char* b, const char* c) = 0;
    virtual void output_end() = 0;
    virtual bool light_begin(const char* name) = 0;
    virtual void light_end() = 0;
    virtual bool accel_use(const char* name) = 0;
    virtual void accel_end() = 0;

    virtual void transform(const tavMatrix& m) = 0;
    virtual void transform_set(const tavMatrix& m) = 0;
    virtual void scale(const double& x, const double& y, const double& z) = 0;
    virtual void rotate(const double& x, const double& y, const double& z) = 0;
    virtual void translate(const double& x, const double& y, const double& z) = 0;
    virtual bool matrix_begin(const char* name) = 0;
    virtual void matrix_end() = 0;

    virtual bool material_begin(const char* name, bool use) = 0;
    virtual bool material_use(const char* name) = 0;
    virtual void material_end() = 0;
    virtual void material_set_shader(tavShader_type slot, int shader_id) = 0;
    virtual bool shader_begin(const char* name, int shader_id) = 0;
    virtual void shader_end() = 0;
    virtual void material_set_shader(tavShader_type slot, tavShader* shader) = 0;
    virtual bool shader_begin(const char* name, const char* kind) = 0;
    virtual tavShader* shader_get() = 0;
    virtual void shader_push() = 0;
    virtual void shader_pop() = 0;

    virtual bool set_parameter(const char* name, tavType type, const void* value) = 0;
    virtual bool set_subshader(const char* name, tavShader* shader) = 0;
    virtual bool set_subshader(const char* name, int shader_id) = 0;
    virtual bool initialize_array_mode(const char* name) = 0;
    virtual void finalize_array_mode() = 0;
    virtual void set_array_parameter(tavType type, void* value) = 0;
    virtual tavType get_array_type() = 0;
    virtual tavType get_parameter_type(const char* name) = 0;
    virtual void* geometry_get() = 0;
    virtual void set_attribute(const char* name, const char* value) = 0;
    virtual void add_comment(const char* text) = 0;
    virtual void set_output_mode(tavScene_api_output_mode mode) = 0;
    virtual void set_version(int version) = 0;
    virtual void clear(bool all) = 0;
    virtual void set_progress(const char* text, float fraction) = 0;
    virtual void set_icon(const char* data, int size) = 0;
    virtual void set_data(const char* name, const char* data, int size) = 0;
    virtual void set_id(int id) = 0;
    virtual void set_flags(int flags) = 0;
    virtual bool cancel() = 0;
    virtual bool render() = 0;
    virtual void print(const char* text) const = 0;
    virtual void error(const char* text) const = 0;
};

// Only the live back end connects; the defaults refuse and leave outputs untouched.
inline bool tavScene_api::connect(const char*, int, int) { return false; }
inline bool tavScene_api::disconnect() { return false; }
inline bool tavScene_api::get_version(int&, int&, int&) const { return false; }
