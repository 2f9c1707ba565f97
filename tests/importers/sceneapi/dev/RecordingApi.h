// A scene back end that records the calls the tests care about as readable lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "NullApi.h"

class RecordingApi : public NullApi {
public:
    mutable std::vector<std::string> calls;
    tavShader captured;  // the handle shader_get hands out

    bool group_begin(const char* name, bool use) override { return add("group_begin", name, use); }
    void group_end() override { add("group_end"); }
    bool module_begin(const char* name) override { return add("module_begin", name); }
    void module_end() override { add("module_end"); }
    bool camera_begin(const char* name) override { return add("camera_begin", name); }
    void camera_end() override { add("camera_end"); }
    void transform(const tavMatrix& m) override { add("transform", m.m[12]); }
    void transform_set(const tavMatrix& m) override { add("transform_set", m.m[12]); }
    bool shader_begin(const char* name, int id) override { return add("shader_begin", name, id); }
    bool shader_begin(const char* name, const char* kind) override {
        return add("shader_begin", name ? name : "(anonymous)", kind);
    }
    void shader_end() override { add("shader_end"); }
    tavShader* shader_get() override { return &captured; }
    void set_id(int id) override { add("set_id", id); }
    void set_flags(int flags) override { add("set_flags", flags); }
    void set_progress(const char* text, float fraction) override {
        add("set_progress", text, fraction);
    }
    void set_version(int version) override { add("set_version", version); }
    void add_comment(const char* text) override { add("add_comment", text); }
    void print(const char* text) const override { add("print", text); }
    void error(const char* text) const override { add("error", text); }

    bool set_parameter(const char* name, tavType type, const void* value) override {
        std::ostringstream line;
        line << name << ' ';
        if (type & TAV_ARRAY) {
            const auto* array = static_cast<const tavArray*>(value);
            line << "array " << std::hex << type << std::dec << " count " << array->count;
            if ((type & ~TAV_ARRAY) == TAV_MATRIX) return add("set_parameter", line.str());
            const size_t floats = (type & ~TAV_ARRAY) == TAV_COLOR ? 3 : 1;
            for (size_t i = 0; i < array->count * floats; ++i) {
                if (type == (TAV_ARRAY | TAV_DOUBLE))
                    line << ' ' << static_cast<const double*>(array->data)[i];
                else if (type == (TAV_ARRAY | TAV_INT))
                    line << ' ' << static_cast<const int32_t*>(array->data)[i];
                else
                    line << ' ' << static_cast<const float*>(array->data)[i];
            }
            return add("set_parameter", line.str());
        }
        const auto* f = static_cast<const float*>(value);
        const auto* d = static_cast<const double*>(value);
        switch (type) {
            case TAV_BOOL: line << "bool " << *static_cast<const int32_t*>(value); break;
            case TAV_INT: line << "int " << *static_cast<const int32_t*>(value); break;
            case TAV_FLOAT: line << "float " << *f; break;
            case TAV_DOUBLE: line << "double " << *d; break;
            case TAV_FLOAT2: line << "float2 " << f[0] << ' ' << f[1]; break;
            case TAV_FLOAT4_B: line << "float4 " << f[0] << ' ' << f[1] << ' ' << f[2] << ' ' << f[3]; break;
            case TAV_COLOR: line << "color " << f[0] << ' ' << f[1] << ' ' << f[2]; break;
            case TAV_VECTOR: line << "vector " << d[0] << ' ' << d[1] << ' ' << d[2]; break;
            case TAV_STRING: line << "string " << static_cast<const char*>(value); break;
            case TAV_SHADER:
                line << (*static_cast<tavShader* const*>(value) == &captured ? "captured shader"
                                                                            : "other shader");
                break;
            default: line << "type " << type;
        }
        return add("set_parameter", line.str());
    }

    // The calls whose line starts with prefix.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> result;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0) result.push_back(call);
        return result;
    }

private:
    template <class... Args>
    bool add(const char* operation, const Args&... args) const {
        std::ostringstream line;
        line << operation;
        ((line << ' ' << args), ...);
        calls.push_back(line.str());
        return true;
    }
};
