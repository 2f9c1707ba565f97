#include "tavsceneapi_file.h"

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "number_format.h"

using tav_format::append_g;
using tav_format::kMaxNumberText;
using tav_format::write_fixed16;
using tav_format::write_g;
using tav_format::write_int;

namespace {

// The largest float: values not strictly inside it cannot be sent as a float.
constexpr double kFloatLimit = 3.4028234663852886e38;

double float_or_minus_one(double value) {
    return (value > -kFloatLimit && value < kFloatLimit) ? value : -1.0;
}

template <class T>
T load(const void* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void vformat(std::string& out, const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    char stack[256];
    int n = std::vsnprintf(stack, sizeof stack, format, args);
    if (n < 0) {
        out.clear();
    } else if (static_cast<size_t>(n) < sizeof stack) {
        out.assign(stack, n);
    } else {
        // Pieces are never cut: a long name must keep its closing quote.
        out.resize(n + 1);
        std::vsnprintf(&out[0], n + 1, format, again);
        out.resize(n);
    }
    va_end(again);
}

const char hex_digits[] = "0123456789abcdef";

// Binary block letter of an array element code, or 0 when it has no binary form.
char binary_letter(tavType element) {
    switch (element) {
        case TAV_COLOR:
            return 'c';
        case TAV_FLOAT:
            return 'f';
        case TAV_DOUBLE:
            return 'r';
        case TAV_INT:
        case TAV_INT_B:
            return 'i';
        default:
            return 0;
    }
}

size_t element_size(tavType element) {
    switch (element) {
        case TAV_COLOR:
            return sizeof(tavColor);
        case TAV_FLOAT4:
        case TAV_FLOAT4_B:
            return 4 * sizeof(float);
        case TAV_DOUBLE:
            return sizeof(double);
        case TAV_VECTOR:
            return sizeof(tavVector);
        case TAV_MATRIX:
            return sizeof(tavMatrix);
        case TAV_STRING:
        case TAV_STRING_REF:
            return sizeof(const char*);
        default:
            return 4;
    }
}

// Whether an array of this element code lists its elements; the others keep only the brackets.
bool has_element_text(tavType element) {
    switch (element) {
        case TAV_COLOR:
        case TAV_FLOAT4:
        case TAV_FLOAT:
        case TAV_DOUBLE:
        case TAV_VECTOR:
        case TAV_INT:
        case TAV_BOOL:
        case TAV_MATRIX:
        case TAV_STRING:
        case TAV_STRING_REF:
        case TAV_INT_B:
            return true;
        default:
            return false;
    }
}

// Scalars per element in a binary block: a colour counts as three floats.
uint32_t binary_scalars(tavType element, uint32_t count) {
    return element == TAV_COLOR ? 3 * count : count;
}

char* write_floats(char* out, const void* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (i) *out++ = ' ';
        out = write_g(out, load<float>(static_cast<const char*>(p) + 4 * i));
    }
    return out;
}

char* write_ints(char* out, const void* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (i) *out++ = ' ';
        out = write_int(out, load<int32_t>(static_cast<const char*>(p) + 4 * i));
    }
    return out;
}

char* write_doubles(char* out, const void* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (i) *out++ = ' ';
        out = write_g(out, load<double>(static_cast<const char*>(p) + 8 * i));
    }
    return out;
}

// Room for the text of any one value: up to sixteen numbers with their separators.
constexpr size_t kValueText = 16 * (kMaxNumberText + 1);

// Array text is written out whenever this much of it has gathered.
constexpr size_t kArrayChunk = 1 << 16;

}  // namespace

void tavString::append(const char* data, size_t n) {
    if (static_cast<int64_t>(length) + static_cast<int64_t>(n) + 1 >= capacity) {
        capacity = static_cast<int32_t>(n + 2 * static_cast<int64_t>(capacity) + 512);
        char* grown = new char[capacity + 2];
        if (text)
            std::memcpy(grown, text, length + 1);
        else
            grown[0] = '\0';
        delete[] text;
        text = grown;
    }
    std::memcpy(text + length, data, n);
    length += static_cast<int32_t>(n);
    text[length] = '\0';
}

// ---------------------------------------------------------------------------
// Construction

tavScene_api_file::tavScene_api_file(FILE* stream, bool binary) : stream_(stream) {
    initialize(binary);
}

tavScene_api_file::tavScene_api_file(const char* path, bool binary) {
    stream_ = std::fopen(path, "wb+");
    if (!stream_) stream_ = stdout;
    owns_stream_ = true;
    initialize(binary);
}

void tavScene_api_file::initialize(bool binary) {
    // Numbers must use "." whatever locale the host process runs in.
    if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) saved_locale_ = current;
    std::setlocale(LC_NUMERIC, "C");
    binary_ = binary;
    captured_.push(nullptr);
}

tavScene_api_file::~tavScene_api_file() {
    if (owns_stream_ && stream_ && stream_ != stdout) std::fclose(stream_);
    if (!saved_locale_.empty()) std::setlocale(LC_NUMERIC, saved_locale_.c_str());
    while (captured_.size() > 0) delete captured_.pop();
}

bool tavScene_api_file::failed() const {
    return write_failed_ || (stream_ && std::ferror(stream_));
}

// ---------------------------------------------------------------------------
// Output primitives

void tavScene_api_file::emit(const char* data, size_t n, bool raw) {
    if (!stream_ || n == 0) return;
    if (capturing_) {
        if (!target_) return;
        target_->append(data, n);
        if (raw) target_->raw = 1;
        return;
    }
    if (std::fwrite(data, 1, n, stream_) != n) write_failed_ = true;
}

void tavScene_api_file::print_out_text(std::string_view piece) {
    if (!stream_) return;
    int spaces = (mode_ & TAV_OUTPUT_NO_INDENT) ? 0 : level_;
    if (spaces <= 0) {
        emit(piece.data(), piece.size(), false);
        return;
    }
    output_buffer_.assign(spaces, ' ');
    for (size_t i = 0; i < piece.size(); ++i) {
        output_buffer_ += piece[i];
        if (piece[i] == '\n' && i + 1 < piece.size()) output_buffer_.append(spaces, ' ');
    }
    emit(output_buffer_.data(), output_buffer_.size(), false);
}

void tavScene_api_file::print_ni_text(std::string_view piece) {
    emit(piece.data(), piece.size(), false);
}

void tavScene_api_file::print_out(const char* format, ...) {
    if (!stream_) return;
    va_list args;
    va_start(args, format);
    vformat(format_buffer_, format, args);
    va_end(args);
    print_out_text(format_buffer_);
}

void tavScene_api_file::print_ni(const char* format, ...) {
    if (!stream_) return;
    va_list args;
    va_start(args, format);
    vformat(format_buffer_, format, args);
    va_end(args);
    print_ni_text(format_buffer_);
}

void tavScene_api_file::write_raw(const void* data, size_t n) {
    emit(static_cast<const char*>(data), n, true);
}

void tavScene_api_file::indentation() { print_out_text(""); }

void tavScene_api_file::closing_line() { print_out_text("}\n"); }

void tavScene_api_file::open_block(const char* keyword, const char* name, const char* kind) {
    print_out_text(keyword);
    print_ni_string(name);
    if (kind) {
        print_ni_text(" ");
        print_ni_string(kind);
    }
    print_ni_text(" {\n");
    ++level_;
}

void tavScene_api_file::close_block() {
    --level_;
    closing_line();
}

void tavScene_api_file::push_style(bool statement) {
    styles_.push(statement_style_);
    statement_style_ = statement;
}

void tavScene_api_file::pop_style() { statement_style_ = styles_.pop(); }

// ---------------------------------------------------------------------------
// Names, bytes, values

void tavScene_api_file::print_string(const char* text) {
    if (!text) text = "";
    size_t n = std::strlen(text);
    bool plain = true;
    for (size_t i = 0; i < n && plain; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        plain = c != '\n' && c != '\r' && c != '"' && c < 128;
    }
    if (plain) {
        format_buffer_.assign(1, '"');
        format_buffer_.append(text, n);
        format_buffer_ += '"';
        print_out_text(format_buffer_);
        return;
    }
    std::string encoded = "xX";
    encoded.reserve(2 * n + 2);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        encoded += hex_digits[c >> 4];
        encoded += hex_digits[c & 15];
    }
    write_raw(encoded.data(), encoded.size());
}

void tavScene_api_file::print_ni_string(const char* text) {
    int saved = level_;
    level_ = 0;
    print_string(text);
    level_ = saved;
}

void tavScene_api_file::print_bytes(const char* data, int size) {
    std::string encoded = "bX";
    for (int i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        encoded += hex_digits[c >> 4];
        encoded += hex_digits[c & 15];
    }
    write_raw(encoded.data(), encoded.size());
}

void tavScene_api_file::append_matrix(std::string& out, const tavMatrix& m, const char* separator) {
    for (int i = 0; i < 16; ++i) {
        if (i) out += separator;
        append_g(out, static_cast<float>(m.m[i]));
    }
}

void tavScene_api_file::print_type(tavType type, const void* value) {
    if (type & TAV_ARRAY) {
        print_array(type & ~TAV_ARRAY, *static_cast<const tavArray*>(value));
        return;
    }
    char text[kValueText];
    char* end = text;
    switch (type) {
        case TAV_COLOR:
            end = write_floats(text, value, 3);
            break;
        case TAV_FLOAT4:
        case TAV_FLOAT4_B:
            end = write_floats(text, value, 4);
            break;
        case TAV_FLOAT:
            end = write_g(text, float_or_minus_one(load<float>(value)));
            break;
        case TAV_DOUBLE:
            end = write_fixed16(text, load<double>(value));
            break;
        case TAV_VECTOR:
            end = write_doubles(text, value, 3);
            break;
        case TAV_INT:
        case TAV_INT_B:
            end = write_ints(text, value, 1);
            break;
        case TAV_BOOL:
            print_ni_text(load<int32_t>(value) ? "on" : "off");
            return;
        case TAV_MATRIX: {
            std::string matrix;
            append_matrix(matrix, *static_cast<const tavMatrix*>(value), " ");
            print_ni_text(matrix);
            return;
        }
        case TAV_STRING:
            print_ni_string(static_cast<const char*>(value));
            return;
        case TAV_STRING_REF:
            print_ni_string(*static_cast<const char* const*>(value));
            return;
        case TAV_FLOAT2:
            end = write_floats(text, value, 2);
            break;
        case TAV_INT2:
            end = write_ints(text, value, 2);
            break;
        case TAV_INT3:
            end = write_ints(text, value, 3);
            break;
        case TAV_INT4:
            end = write_ints(text, value, 4);
            break;
        case TAV_SHADER: {
            int saved = level_;
            level_ = 2;
            print_shader_string(
                static_cast<const tavString*>(*static_cast<tavShader* const*>(value)));
            level_ = saved;
            return;
        }
        default:
            return;
    }
    print_ni_text(std::string_view(text, end - text));
}

void tavScene_api_file::print_array(tavType element, const tavArray& array) {
    if (element == TAV_TYPE_8 || element == TAV_TYPE_11 || element == TAV_TYPE_12 ||
        (element >= TAV_FLOAT2 && element <= TAV_TYPE_22))
        return;
    print_ni_text("[ ");
    const char* data = static_cast<const char*>(array.data);
    const uint32_t count = array.count;

    if (char letter = binary_ ? binary_letter(element) : 0) {
        // Binary arrays go from the caller's memory to the stream in one write.
        uint32_t scalars = binary_scalars(element, count);
        unsigned char header[8] = {1, 2, 3, static_cast<unsigned char>(letter)};
        std::memcpy(header + 4, &scalars, 4);
        write_raw(header, sizeof header);
        write_raw(data, size_t(scalars) * (letter == 'r' ? 8 : 4));
        print_ni_text("] ");
        return;
    }

    if (!has_element_text(element)) {
        print_ni_text("] ");
        return;
    }
    const size_t stride = element_size(element);
    const int spaces = (mode_ & TAV_OUTPUT_NO_INDENT) ? 0 : std::max(level_, 0);
    // Numbers are formatted straight into one buffer kept between arrays, with room for
    // one more element (and its indented new line) past the chunk size.
    array_text_.resize(kArrayChunk + kValueText + spaces + 3);
    char* const begin = array_text_.data();
    char* out = begin;
    auto flush = [&] {
        print_ni_text(std::string_view(begin, out - begin));
        out = begin;
    };

    switch (element) {
        case TAV_MATRIX:
            for (uint32_t i = 0; i < count; ++i) {
                out = std::fill_n(out, spaces, ' ');
                const tavMatrix m = load<tavMatrix>(data + i * stride);
                for (double v : m.m) {
                    out = write_g(out, v);
                    *out++ = ' ';
                }
                if (i + 1 < count) *out++ = ',';
                *out++ = '\n';
                if (size_t(out - begin) > kArrayChunk) flush();
            }
            break;
        case TAV_STRING:
        case TAV_STRING_REF:
            for (uint32_t i = 0; i < count; ++i) {
                print_ni_string(load<const char*>(data + i * stride));
                print_ni_text((i + 1 < count) ? ",\n" : " \n");
            }
            break;
        default:
            for (uint32_t i = 0; i < count; ++i) {
                const char* e = data + i * stride;
                switch (element) {
                    case TAV_COLOR:
                        out = write_floats(out, e, 3);
                        break;
                    case TAV_FLOAT4:
                        out = write_floats(out, e, 4);
                        break;
                    case TAV_FLOAT:
                        out = write_g(out, float_or_minus_one(load<float>(e)));
                        break;
                    case TAV_DOUBLE:
                        out = write_fixed16(out, float_or_minus_one(load<double>(e)));
                        break;
                    case TAV_VECTOR:
                        out = write_doubles(out, e, 3);
                        break;
                    case TAV_INT:
                    case TAV_INT_B:
                        out = write_int(out, load<int32_t>(e));
                        break;
                    case TAV_BOOL:
                        *out++ = load<int32_t>(e) ? '1' : '0';
                        break;
                    default:
                        break;
                }
                *out++ = (i + 1 < count) ? ',' : ' ';
                if (i > 0 && i % 8 == 0) {
                    *out++ = '\n';
                    out = std::fill_n(out, spaces, ' ');
                }
                if (size_t(out - begin) > kArrayChunk) flush();
            }
            break;
    }
    flush();
    print_ni_text("] ");
}

void tavScene_api_file::print_shader_string(const tavString* buffer) {
    if (!buffer || !buffer->text) return;  // a capture that never received text
    if (buffer->raw == 0)
        print_out_text(std::string_view(buffer->text, buffer->length));
    else
        write_raw(buffer->text, buffer->length);
}

// ---------------------------------------------------------------------------
// Blocks and statements

void tavScene_api_file::install() {}

bool tavScene_api_file::group_begin(const char* name, bool use) {
    print_ni_text("\n");
    open_block(use ? "group " : "#define group ", name);
    push_style(true);
    return true;
}

void tavScene_api_file::group_end() {
    close_block();
    pop_style();
}

bool tavScene_api_file::object_begin(const char* name, bool use) {
    open_block(use ? "object " : "#define object ", name);
    push_style(true);
    block_kind_ = BLOCK_OBJECT;
    return true;
}

void tavScene_api_file::object_end() {
    pop_style();
    block_kind_ = BLOCK_NONE;
    close_block();
}

bool tavScene_api_file::geometry_use(const char* name) {
    if (in_geometry_definition_) return true;
    open_block("geometry ", name);
    push_style(false);
    return true;
}

void tavScene_api_file::geometry_end() {
    close_block();
    in_geometry_definition_ = false;
    pop_style();
}

bool tavScene_api_file::animation_begin(const char* name, const char* kind) {
    open_block("animation ", name, kind);
    push_style(false);
    return true;
}

bool tavScene_api_file::animation_end() {
    close_block();
    pop_style();
    return false;
}

bool tavScene_api_file::module_begin(const char* name) {
    open_block("load ", name);
    return true;
}

void tavScene_api_file::module_end() { close_block(); }

bool tavScene_api_file::begin_top_level(BlockKind kind) {
    if (block_kind_ != BLOCK_NONE) return false;
    // Top-level blocks always reach the stream, even while a shader is captured.
    capturing_ = false;
    statement_style_ = true;
    block_kind_ = kind;
    return true;
}

void tavScene_api_file::end_top_level(BlockKind kind) {
    if (block_kind_ == kind) close_block();
    statement_style_ = false;
    block_kind_ = BLOCK_NONE;
}

bool tavScene_api_file::options_begin() {
    if (!begin_top_level(BLOCK_OPTIONS)) return false;
    print_out_text("\noptions {\n");
    ++level_;
    return true;
}

void tavScene_api_file::options_end() { end_top_level(BLOCK_OPTIONS); }

bool tavScene_api_file::camera_begin(const char* name) {
    if (!begin_top_level(BLOCK_CAMERA)) return false;
    if (name) {
        open_block("\ncamera ", name);
    } else {
        print_out_text("\ncamera {\n");
        ++level_;
    }
    return true;
}

void tavScene_api_file::camera_end() { end_top_level(BLOCK_CAMERA); }

bool tavScene_api_file::image_begin() {
    if (!begin_top_level(BLOCK_IMAGE)) return false;
    print_out_text("\nimage {\n");
    ++level_;
    return true;
}

void tavScene_api_file::image_end() { end_top_level(BLOCK_IMAGE); }

bool tavScene_api_file::output_begin(const char* a, const char* b, const char* c) {
    print_out_text("output ");
    print_ni_string(a);
    print_ni_text(" ");
    print_ni_string(b);
    print_ni_text(" ");
    print_ni_string(c);
    print_ni_text(" {\n");
    ++level_;
    statement_style_ = false;
    return true;
}

void tavScene_api_file::output_end() {
    close_block();
    statement_style_ = true;
}

bool tavScene_api_file::light_begin(const char* name) {
    print_ni_text("\n");
    open_block("light ", name);
    return true;
}

void tavScene_api_file::light_end() { close_block(); }

bool tavScene_api_file::accel_use(const char* name) {
    open_block("\naccel ", name);
    push_style(false);
    return true;
}

void tavScene_api_file::accel_end() {
    close_block();
    pop_style();
}

void tavScene_api_file::transform(const tavMatrix& m) {
    std::string text = "transform ";
    append_matrix(text, m, " ");
    text += '\n';
    print_out_text(text);
}

void tavScene_api_file::transform_set(const tavMatrix& m) {
    std::string text = "set transform ";
    append_matrix(text, m, " ");
    text += '\n';
    print_out_text(text);
}

void tavScene_api_file::scale(const double& x, const double& y, const double& z) {
    print_out("scale %g %g %g\n", x, y, z);
}

void tavScene_api_file::rotate(const double& x, const double& y, const double& z) {
    print_out("rotate %g %g %g\n", x, y, z);
}

void tavScene_api_file::translate(const double& x, const double& y, const double& z) {
    print_out("translate %g %g %g\n", x, y, z);
}

bool tavScene_api_file::matrix_begin(const char* name) {
    open_block("#define matrix ", name);
    return true;
}

void tavScene_api_file::matrix_end() { close_block(); }

bool tavScene_api_file::material_begin(const char* name, bool use) {
    open_block(use ? "material " : "\n#define material ", name);
    return true;
}

bool tavScene_api_file::material_use(const char* name) {
    print_out_text("material ");
    print_ni_string(name);
    print_ni_text("\n");
    return true;
}

void tavScene_api_file::material_end() { close_block(); }

// ---------------------------------------------------------------------------
// Shaders

void tavScene_api_file::write_slot_keyword(tavShader_type slot, const char* separator) {
    static const char* const keywords[] = {"surface", "shadow", "volume", "reflection map"};
    const char* keyword = keywords[0];
    if (slot >= TAV_SHADER_SURFACE && slot <= TAV_SHADER_REFLECTION_MAP)
        keyword = keywords[slot];
    else
        print_out_text("// assuming surface shader\n");
    print_out("%s%s", keyword, separator);
}

void tavScene_api_file::material_set_shader(tavShader_type slot, int shader_id) {
    write_slot_keyword(slot, "");
    print_ni(" %d\n", shader_id);
}

void tavScene_api_file::material_set_shader(tavShader_type slot, tavShader* shader) {
    if (!shader) return;
    write_slot_keyword(slot, " ");
    print_shader_string(static_cast<tavString*>(shader));
    print_ni_text("\n");
}

bool tavScene_api_file::shader_begin(const char* name, int shader_id) {
    capture_flags_.push(capturing_);
    targets_.push(target_);
    push_style(false);
    // Numbered definitions go to the stream even when opened inside a capture.
    capturing_ = false;
    print_out("#define shader %d %s {\n", shader_id, name ? name : "");
    ++level_;
    return true;
}

bool tavScene_api_file::shader_begin(const char* name, const char* kind) {
    capture_flags_.push(capturing_);
    targets_.push(target_);
    push_style(false);
    if (name) {
        capturing_ = false;
        open_block("#define shader ", name, kind);
        return true;
    }
    tavString* buffer = new tavString;
    captured_.push(buffer);
    target_ = buffer;
    capturing_ = true;
    levels_.push(level_);
    level_ = 0;
    print_ni_string(kind);
    print_ni_text(" {\n");
    level_ = 1;
    return true;
}

void tavScene_api_file::shader_end() {
    --level_;
    if (capturing_) {
        print_out_text("}");
        level_ = levels_.pop();
    } else {
        closing_line();
    }
    pop_style();
    targets_.pop();  // the buffer just closed stays current, so shader_get returns it
    capturing_ = capture_flags_.pop();
}

tavShader* tavScene_api_file::shader_get() { return target_; }

void tavScene_api_file::shader_push() { targets_.push(target_); }

void tavScene_api_file::shader_pop() { target_ = targets_.pop(); }

// ---------------------------------------------------------------------------
// Parameters

bool tavScene_api_file::set_parameter(const char* name, tavType type, const void* value) {
    if (statement_style_) {
        print_out("%s ", name ? name : "");
        print_type(type, value);
        print_ni_text("\n");
    } else {
        print_string(name);
        print_ni_text(" ");
        print_type(type, value);
        print_ni_text(",\n");
    }
    return true;
}

bool tavScene_api_file::set_subshader(const char* name, tavShader* shader) {
    print_string(name);
    print_ni_text(" ! ");
    print_shader_string(static_cast<tavString*>(shader));
    print_ni_text(",\n");
    return true;
}

bool tavScene_api_file::set_subshader(const char* name, int shader_id) {
    print_string(name);
    print_ni(" ! %d,\n", shader_id);
    return true;
}

bool tavScene_api_file::set_parameter_shader_id(const char* name, int shader_id) {
    print_ni_string(name);
    print_ni(" %d,\n", shader_id);
    return true;
}

bool tavScene_api_file::initialize_array_mode(const char* name) {
    array_count_ = 0;
    print_string(name);
    print_ni_text(" [\n");
    ++level_;
    indentation();
    bin_array_.clear();
    return true;
}

void tavScene_api_file::set_array_parameter(tavType type, void* value) {
    if (binary_ && (type == TAV_COLOR || type == TAV_FLOAT || type == TAV_INT)) {
        bin_letter_ = binary_letter(type);
        const int scalars = type == TAV_COLOR ? 3 : 1;
        for (int i = 0; i < scalars; ++i)
            bin_array_.push_back(load<uint32_t>(static_cast<const char*>(value) + 4 * i));
        return;
    }
    if (array_count_ > 0) {
        if (array_count_ % 6 == 0 || (type == TAV_COLOR && array_count_ % 2 == 0)) {
            print_ni_text(",\n");
            indentation();
        } else {
            print_ni_text(", ");
        }
    }
    print_type(type, value);
    ++array_count_;
}

void tavScene_api_file::finalize_array_mode() {
    if (binary_ && !bin_array_.empty()) {
        uint32_t count = static_cast<uint32_t>(bin_array_.size());
        unsigned char header[8] = {1, 2, 3, static_cast<unsigned char>(bin_letter_)};
        std::memcpy(header + 4, &count, 4);
        write_raw(header, sizeof header);
        write_raw(bin_array_.data(), bin_array_.size() * 4);
        bin_array_.clear();
    }
    print_ni_text(" ],\n");
    --level_;
}

tavType tavScene_api_file::get_array_type() { return TAV_STRING; }

tavType tavScene_api_file::get_parameter_type(const char*) { return TAV_STRING; }

void* tavScene_api_file::geometry_get() { return nullptr; }

// ---------------------------------------------------------------------------
// Single statements

void tavScene_api_file::set_attribute(const char* name, const char* value) {
    print_out_text("attribute ");
    print_ni_string(name);
    print_ni_text(" ");
    print_ni_string(value);
    print_ni_text("\n");
}

void tavScene_api_file::add_comment(const char* text) { print_out_text(text ? text : ""); }

void tavScene_api_file::set_output_mode(tavScene_api_output_mode mode) {
    mode_ = mode;
    binary_ = (mode & TAV_OUTPUT_BINARY) != 0;
}

void tavScene_api_file::set_version(int version) {
    print_out("version %d\n\n", version == -1 ? 8 : version);
}

void tavScene_api_file::clear(bool) {}

void tavScene_api_file::set_progress(const char* text, float fraction) {
    print_out_text("progress ");
    print_ni_string(text);
    print_ni(" %.3f\n\n", fraction);
}

void tavScene_api_file::set_icon(const char* data, int size) {
    print_out_text("icon ");
    print_bytes(data, size);
    print_ni_text("\n");
}

void tavScene_api_file::set_data(const char* name, const char* data, int size) {
    print_out("%s ", name ? name : "");
    print_bytes(data, size);
    print_ni_text("\n");
}

void tavScene_api_file::set_id(int id) { print_out("id %u\n", static_cast<unsigned>(id)); }

void tavScene_api_file::set_flags(int flags) {
    print_out("flags %u\n", static_cast<unsigned>(flags));
}

bool tavScene_api_file::cancel() { return false; }

bool tavScene_api_file::render() {
    print_out_text("\nrender\n");
    return true;
}

// print and error are const in the interface but still write to the stream.
void tavScene_api_file::print(const char* text) const {
    auto* self = const_cast<tavScene_api_file*>(this);
    self->print_out_text("#print \"");
    self->print_ni_text(text ? text : "");
    self->print_ni_text("\"\n");
}

void tavScene_api_file::error(const char* text) const {
    auto* self = const_cast<tavScene_api_file*>(this);
    self->print_out_text("#error \"");
    self->print_ni_text(text ? text : "");
    self->print_ni_text("\"\n");
}

// ---------------------------------------------------------------------------
// Statements beyond the interface

bool tavScene_api_file::camera_modify(const char* name) {
    if (block_kind_ != BLOCK_NONE) return false;
    print_out_text("#modify ");
    return camera_begin(name);
}

bool tavScene_api_file::material_modify(const char* name) {
    open_block("#modify material ", name);
    return true;
}

bool tavScene_api_file::geometry_define(const char* name, const char* kind) {
    open_block("#define geometry ", name, kind);
    push_style(false);
    in_geometry_definition_ = true;
    return true;
}

void tavScene_api_file::instance_create(const char* name) {
    print_out_text("instance ");
    print_ni_string(name);
    print_ni_text("\n");
}

void tavScene_api_file::frame_begin(int frame) {
    print_out("frame %d {\n", frame);
    ++level_;
}

void tavScene_api_file::frame_end() { close_block(); }

void tavScene_api_file::motion_transform(const tavMatrix& m, double time) {
    print_out("motion %g {\n", time);
    ++level_;
    print_out_text("transform ");
    std::string text;
    append_matrix(text, m, " ");
    text += '\n';
    print_ni_text(text);
    close_block();
}
