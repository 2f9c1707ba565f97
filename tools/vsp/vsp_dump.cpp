// vsp-dump: prints a scene file as a readable tree, as JSON, or as a summary of counts.
#include <cstring>
#include <iostream>
#include <string>

#include "vsp/Dump.h"
#include "vsp/Json.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

namespace {

constexpr const char* kUsage =
    "usage: vsp-dump [--summary] [--json] FILE\n"
    "  Prints the scene file FILE (\"-\" for standard input) as a tree.\n"
    "  --summary  counts per node kind, triangles, vertices and materials\n"
    "  --json     the tree (or, with --summary, the counts) as JSON\n";

}  // namespace

int main(int argc, char** argv) {
    bool summary = false;
    bool json = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--summary") == 0) {
            summary = true;
        } else if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::cout << kUsage;
            return 0;
        } else if (path == nullptr && (argv[i][0] != '-' || argv[i][1] == '\0')) {
            path = argv[i];
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (path == nullptr) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        vsp::Node root = vsp::parseFile(path);
        if (summary && json)
            std::cout << vsp::toJson(vsp::summarize(root)).dump(2) << '\n';
        else if (summary)
            vsp::printSummary(std::cout, vsp::summarize(root));
        else if (json)
            std::cout << vsp::toJson(root).dump(2, ' ', false,
                                                nlohmann::json::error_handler_t::replace)
                      << '\n';
        else
            vsp::printTree(std::cout, root);
    } catch (const std::exception& error) {
        std::cerr << "vsp-dump: " << path << ": " << error.what() << '\n';
        return 1;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "vsp-dump: could not write the output\n";
        return 1;
    }
    return 0;
}
