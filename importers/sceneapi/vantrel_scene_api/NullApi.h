// A scene back end that accepts every call and produces nothing.
#pragma once

#include "tavsceneapi.h"

class NullApi : public tavScene_api {
public:
    void install() override {}
    bool group_begin(const char*, bool) override { return false; }
    void group_end() override {}
    bool object_begin(const char*, bool) override { return false; }
    void object_end() override {}
    bool geometry_use(const char*) override { return false; }
    void geometry_end() override {}
    bool animation_begin(const char*, const char*) override { return false; }
    bool animation_end() override { return false; }
    bool module_begin(const char*) override { return false; }
    void module_end() override {}
    bool options_begin() override { return false; }
    void options_end() override {}
    bool camera_begin(const char*) override { return false; }
    void camera_end() override {}
    bool image_begin() override { return false; }
    void image_end() override {}
    bool output_begin(const char*, const char*, const char*) override { return false; }
    void output_end() override {}
    bool light_begin(const char*) override { return false; }
    void light_end() override {}
    bool accel_use(const char*) override { return false; }
    void accel_end() override {}
    void transform(const tavMatrix&) override {}
    void transform_set(const tavMatrix&) override {}
    void scale(const double&, const double&, const double&) override {}
    void rotate(const double&, const double&, const double&) override {}
    void translate(const double&, const double&, const double&) override {}
    bool matrix_begin(const char*) override { return false; }
    void matrix_end() override {}
    bool material_begin(const char*, bool) override { return false; }
    bool material_use(const char*) override { return false; }
    void material_end() override {}
    void material_set_shader(tavShader_type, int) override {}
    bool shader_begin(const char*, int) override { return false; }
    void shader_end() override {}
    void material_set_shader(tavShader_type, tavShader*) override {}
    bool shader_begin(const char*, const char*) override { return false; }
    tavShader* shader_get() override { return nullptr; }
    void shader_push() override {}
    void shader_pop() override {}
    bool set_parameter(const char*, tavType, const void*) override { return false; }
    bool set_subshader(const char*, tavShader*) override { return false; }
    bool set_subshader(const char*, int) override { return false; }
    bool initialize_array_mode(const char*) override { return false; }
    void finalize_array_mode() override {}
    void set_array_parameter(tavType, void*) override {}
    tavType get_array_type() override { return 0; }
    tavType get_parameter_type(const char*) override { return 0; }
    void* geometry_get() override { return nullptr; }
    void set_attribute(const char*, const char*) override {}
    void add_comment(const char*) override {}
    void set_output_mode(tavScene_api_output_mode) override {}
    void set_version(int) override {}
    void clear(bool) override {}
    void set_progress(const char*, float) override {}
    void set_icon(const char*, int) override {}
    void set_data(const char*, const char*, int) override {}
    void set_id(int) override {}
    void set_flags(int) override {}
    bool cancel() override { return false; }
    bool render() override { return false; }
    void print(const char*) const override {}
    void error(const char*) const override {}
};
