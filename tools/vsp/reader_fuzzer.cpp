// libFuzzer harness: any bytes must either read into a tree that every printer can
// render, or raise ParseError; the sanitizers catch everything else.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "vsp/Dump.h"
#include "vsp/Json.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        vsp::Node root = vsp::parse(std::string_view(reinterpret_cast<const char*>(data), size));
        std::ostringstream out;
        vsp::printTree(out, root);
        vsp::printSummary(out, vsp::summarize(root));
        out << vsp::toJson(root).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const vsp::ParseError&) {
    }
    return 0;
}
