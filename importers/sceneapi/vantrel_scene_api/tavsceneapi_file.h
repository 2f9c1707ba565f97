// The text scene-file back end: every scene call becomes text of the renderer's
// scene-file language on a stdio stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tavsceneapi.h"

// Growable stack whose slots keep their content after a pop, so popping an empty
// stack yields what the bottom slot last held (a default value if it never held one).
template <class T>
class tavStack {
public:
    void push(const T& value) {
        if (count_ < slots_.size())
            slots_[count_] = value;
        else
            slots_.push_back(value);
        ++count_;
    }
    T pop() {
        if (count_ == 0) return slots_.empty() ? T() : slots_[0];
        return slots_[--count_];
    }
    size_t size() const { return count_; }

private:
    std::vector<T> slots_;
    size_t count_ = 0;
};

// Text of one anonymous shader captured into memory; the handle handed out for it.
struct tavString : tavShader {
    char tag[8] = "ERROR";
    char* text = nullptr;  // NUL-terminated once anything was appended
    int32_t length = 0;
    int32_t capacity = -1;
    int32_t raw = 0;  // 1 once raw bytes (hex names, byte blocks, binary arrays) were appended

    tavString() = default;
    tavString(const tavString&) = delete;
    tavString& operator=(const tavString&) = delete;
    ~tavString() { delete[] text; }

    void append(const char* data, size_t n);
};

class tavScene_api_file : public tavScene_api {
public:
    // Writes to a stream it does not own.
    tavScene_api_file(FILE* stream, bool binary);
    // Opens path with "wb+" and owns the stream; falls back to standard output.
    tavScene_api_file(const char* path, bool binary);
    ~tavScene_api_file() override;

    tavScene_api_file(const tavScene_api_file&) = delete;
    tavScene_api_file& operator=(const tavScene_api_file&) = delete;

    // True once any write to the stream failed; the bytes written stay the same.
    bool failed() const;

    void install() override;
    bool group_begin(const char* name, bool use) override;
    void group_end() override;
    bool object_begin(const char* name, bool use) override;
    void object_end() override;
    bool geometry_use(const char* name) override;
    void geometry_end() override;
    bool animation_begin(const char* name, const char* kind) override;
    bool animation_end() override;
    bool module_begin(const char* name) override;
    void module_end() override;
    bool options_begin() override;
    void options_end() override;
    bool camera_begin(const char* name) override;
    void camera_end() override;
    bool image_begin() override;
    void image_end() override;
    bool output_begin(const char* a, const char* b, const char* c) override;
    void output_end() override;
    bool light_begin(const char* name) override;
    void light_end() override;
    bool accel_use(const char* name) override;
    void accel_end() override;
    void transform(const tavMatrix& m) override;
    void transform_set(const tavMatrix& m) override;
    void scale(const double& x, const double& y, const double& z) override;
    void rotate(const double& x, const double& y, const double& z) override;
    void translate(const double& x, const double& y, const double& z) override;
    bool matrix_begin(const char* name) override;
    void matrix_end() override;
    bool material_begin(const char* name, bool use) override;
    bool material_use(const char* name) override;
    void material_end() override;
    void material_set_shader(tavShader_type slot, int shader_id) override;
    bool shader_begin(const char* name, int shader_id) override;
    void shader_end() override;
    void material_set_shader(tavShader_type slot, tavShader* shader) override;
    bool shader_begin(const char* name, const char* kind) override;
    tavShader* shader_get() override;
    void shader_push() override;
    void shader_pop() override;
    bool set_parameter(const char* name, tavType type, const void* value) override;
    bool set_subshader(const char* name, tavShader* shader) override;
    bool set_subshader(const char* name, int shader_id) override;
    bool initialize_array_mode(const char* name) override;
    void finalize_array_mode() override;
    void set_array_parameter(tavType type, void* value) override;
    tavType get_array_type() override;
    tavType get_parameter_type(const char* name) override;
    void* geometry_get() override;
    void set_attribute(const char* name, const char* value) override;
    void add_comment(const char* text) override;
    void set_output_mode(tavScene_api_output_mode mode) override;
    void set_version(int version) override;
    void clear(bool all) override;
    void set_progress(const char* text, float fraction) override;
    void set_icon(const char* data, int size) override;
    void set_data(const char* name, const char* data, int size) override;
    void set_id(int id) override;
    void set_flags(int flags) override;
    bool cancel() override;
    bool render() override;
    void print(const char* text) const override;
    void error(const char* text) const override;

    // Statements of the scene-file language beyond the interface.
    virtual bool camera_modify(const char* name);
    bool material_modify(const char* name);
    bool geometry_define(const char* name, const char* kind);
    void instance_create(const char* name);
    void frame_begin(int frame);
    void frame_end();
    void motion_transform(const tavMatrix& m, double time);
    bool set_parameter_shader_id(const char* name, int shader_id);
    void transform_begin() {}
    void transform_end() {}
    void transform_print() {}
    const char* matrix_find(const char* name) { return name; }

private:
    enum BlockKind { BLOCK_NONE, BLOCK_OPTIONS, BLOCK_CAMERA, BLOCK_IMAGE, BLOCK_OBJECT };

    void initialize(bool binary);

    // Output primitives: print_out indents every line of the piece, print_ni writes
    // it plain, write_raw writes bytes and marks a capture buffer as raw.
    void print_out(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void print_ni(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void print_out_text(std::string_view piece);
    void print_ni_text(std::string_view piece);
    void write_raw(const void* data, size_t n);
    void emit(const char* data, size_t n, bool raw);
    void indentation();

    void print_string(const char* text);
    void print_ni_string(const char* text);
    void print_bytes(const char* data, int size);
    void print_type(tavType type, const void* value);
    void print_array(tavType element, const tavArray& array);
    void print_shader_string(const tavString* buffer);
    void closing_line();
    // "keyword ⟨name⟩ {" one level deeper, and the matching closing line.
    void open_block(const char* keyword, const char* name, const char* kind = nullptr);
    void close_block();
    bool begin_top_level(BlockKind kind);
    void end_top_level(BlockKind kind);
    void write_slot_keyword(tavShader_type slot, const char* separator);
    void push_style(bool statement);
    void pop_style();
    void append_matrix(std::string& out, const tavMatrix& m, const char* separator);

    tavStack<int> levels_;
    tavStack<tavString*> captured_;  // owned
    tavStack<tavString*> targets_;
    tavStack<bool> capture_flags_;
    tavStack<bool> styles_;
    bool capturing_ = false;
    tavString* target_ = nullptr;
    FILE* stream_ = nullptr;
    int level_ = 0;
    int array_count_ = 0;
    bool statement_style_ = false;
    BlockKind block_kind_ = BLOCK_NONE;
    bool binary_ = false;
    bool in_geometry_definition_ = false;
    bool owns_stream_ = false;
    char bin_letter_ = 'f';
    std::vector<uint32_t> bin_array_;
    tavScene_api_output_mode mode_ = TAV_OUTPUT_DEFAULT;
    std::string format_buffer_;
    std::string output_buffer_;
    std::string array_text_;
    std::string saved_locale_;
    mutable bool write_failed_ = false;
};
