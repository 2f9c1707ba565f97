// A scene back end that records the calls the tests care about as readable lines;
// parameters show their type code in hex and their values.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "NullApi.h"
#include "tavsceneapi_oo.h"

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
        line << "set_parameter " << name << std::hex << " 0x" << type << std::dec;
        size_t count = 1;
        if (type & TAV_ARRAY) {
            const auto* array = static_cast<const tavArray*>(value);
            value = array->data;
            count = array->count;
            line << " count " << count;
        }
        switch (type & ~TAV_ARRAY) {
            case TAV_STRING:
                line << ' ' << static_cast<const char*>(value);
                break;
            case TAV_SHADER:
                line << (*static_cast<tavShader* const*>(value) == &captured ? " captured"
                                                                             : " other");
                break;
            case TAV_BOOL:
            case TAV_INT:
                put<int32_t>(line, value, count);
                break;
            case TAV_DOUBLE:
                put<double>(line, value, count);
                break;
            case TAV_VECTOR:
                put<double>(line, value, 3 * count);
                break;
            case TAV_FLOAT:
                put<float>(line, value, count);
                break;
            case TAV_FLOAT2:
                put<float>(line, value, 2 * count);
                break;
            case TAV_COLOR:
                put<float>(line, value, 3 * count);
                break;
            case TAV_FLOAT4_B:
                put<float>(line, value, 4 * count);
                break;
        }
        calls.push_back(line.str());
        return true;
    }

private:
    template <class T>
    static void put(std::ostream& out, const void* values, size_t n) {
        for (size_t i = 0; i < n; ++i) out << ' ' << static_cast<const T*>(values)[i];
    }

    template <class... Args>
    bool add(const char* operation, const Args&... args) const {
        std::ostringstream line;
        line << operation;
        ((line << ' ' << args), ...);
        calls.push_back(line.str());
        return true;
    }
};

// The calls a scene record makes when inserted through a wrapper.
inline std::vector<std::string> recordInsert(const tav::LightNode& node) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.insertNode(node);
    return api.calls;
}
