// Runs a shell command the way a user would, for tests of the programs.
#pragma once

#include <ostream>
#include <string>

struct CommandRun {
    int status;          // exit status; -1 when the command did not exit normally
    std::string output;  // standard output and standard error, interleaved
};

CommandRun runCommand(const std::string& command);

inline bool operator==(const CommandRun& a, const CommandRun& b) {
    return a.status == b.status && a.output == b.output;
}
inline std::ostream& operator<<(std::ostream& out, const CommandRun& run) {
    return out << "status " << run.status << ", output \"" << run.output << "\"";
}
