// Reads a scene file into a Node tree. Malformed input raises ParseError carrying the
// byte offset where reading failed; no input makes the reader crash or read past its end.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "vsp/Node.h"

namespace vsp {

class ParseError : public std::runtime_error {
public:
    ParseError(size_t offset, const std::string& message);
    size_t offset() const { return offset_; }

private:
    size_t offset_;
};

// The whole text as a node of kind Document.
Node parse(std::string_view bytes);
// Reads the file ("-" reads standard input); std::runtime_error when it cannot be read.
Node parseFile(const std::string& path);

}  // namespace vsp
