// Stream-style logger of the renderer link. One message is one line, assembled in
// memory and appended to "sceneapi.log" in the renderer's resource folder when the
// message object is destroyed:
//
//     FILE_LOG(logDEBUG) << "shared_library_open: " << path;
//
// A line reads: source base name, ":", line, " - ", time of day, " ", level, ":  ", text.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>

enum TLogLevel {
    logERROR,
    logWARNING,
    logINFO,
    logDEBUG,
    logDEBUG1,
    logDEBUG2,
    logDEBUG3,
    logDEBUG4
};

// Local time of day with milliseconds, e.g. 14:03:27.045.
std::string NowTime();

// One message, written through OutputPolicy::Output when destroyed.
template <class OutputPolicy>
class Log {
public:
    Log() = default;
    virtual ~Log() {
        os << '\n';
        OutputPolicy::Output(os.str());
    }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Writes the line header and returns the stream for the message text.
    std::ostringstream& Get(TLogLevel level, const char* file, int line) {
        os << BaseName(file) << ':' << line << " - " << NowTime() << ' ' << ToString(level)
           << ":  ";
        return os;
    }

    // Messages above this level are not produced; every level is by default.
    static TLogLevel& ReportingLevel() {
        static TLogLevel level = logDEBUG4;
        return level;
    }
    static const char* ToString(TLogLevel level) {
        static const char* const names[] = {"ERROR",  "WARNING", "INFO",   "DEBUG",
                                            "DEBUG1", "DEBUG2",  "DEBUG3", "DEBUG4"};
        return level >= logERROR && level <= logDEBUG4 ? names[level] : "UNKNOWN";
    }
    // The part of a source path after its last "/" or "\".
    static std::string BaseName(const std::string& file) {
        const size_t slash = file.find_last_of("/\\");
        return slash == std::string::npos ? file : file.substr(slash + 1);
    }

protected:
    std::ostringstream os;
};

// The process-wide sink: "sceneapi.log" in the renderer's resource folder.
class Output2FILE {
public:
    // The open log, or null while it cannot be opened; each use with no open log
    // tries again. Once open, the file stays open for the life of the process.
    static FILE*& Stream();
    // Writes one finished line and flushes it at once; dropped without a log.
    static void Output(const std::string& line);
    // Opens folder/"sceneapi.log": appended to below 20 MiB, started afresh from there.
    // On failure reports to standard error and returns null.
    static FILE* Open(const std::string& folder);
};

class FILELog : public Log<Output2FILE> {};

// Builds the message only when its level is reported and the log can be written.
#define FILE_LOG(level)                                                  \
    if ((level) > FILELog::ReportingLevel() || !Output2FILE::Stream()) { \
    } else                                                               \
        FILELog().Get(level, __FILE__, __LINE__)
