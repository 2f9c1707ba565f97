#include "command_line.h"

#include <stdexcept>

namespace vantrel_host {
namespace {

// Up to about eleven days, so that the timer can hold it.
constexpr double kMaxImportTimeout = 1e6;

double ParseSeconds(const std::string& option, const std::string& text) {
    size_t used = 0;
    double seconds = 0;
    try {
        seconds = std::stod(text, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !(seconds > 0) || seconds > kMaxImportTimeout)
        throw std::invalid_argument(option + " needs a number of seconds above 0 and up to " +
                                    "1000000, not \"" + text + "\"");
    return seconds;
}

}  // namespace

const char* const kUsage =
    "usage: vantrel-host [--document FILE | --demo] [--command ID|NAME] [--save-as FILE]\n"
    "                    [--select NAME]... [--plugins DIR] [--list-commands]\n"
    "                    [--import-timeout SECONDS]\n"
    "  --document FILE   open this document file or model file (glTF, FBX, OBJ, ...;\n"
    "                    default: the built-in demo document)\n"
    "  --demo            open the built-in demo document\n"
    "  --command ID|NAME run the command with this id, menu name or help text\n"
    "  --save-as FILE    answer the save dialog with FILE (default: cancel it)\n"
    "  --select NAME     select the first object of that name (repeatable)\n"
    "  --plugins DIR     load the plug-ins in DIR (default: build/plugins)\n"
    "  --list-commands   list the registered commands\n"
    "  --import-timeout SECONDS\n"
    "                    give up a model import after SECONDS (default: 300)\n";

RunnerOptions ParseCommandLine(const std::vector<std::string>& args) {
    RunnerOptions options;
    bool demo = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        auto once = [&](std::optional<std::string>& slot) {
            if (slot) throw std::invalid_argument(arg + " is given twice");
            slot = value();
        };
        if (arg == "--document") {
            once(options.document);
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--command") {
            once(options.command);
        } else if (arg == "--save-as") {
            once(options.save_as);
        } else if (arg == "--select") {
            options.select.push_back(value());
        } else if (arg == "--plugins") {
            once(options.plugins);
        } else if (arg == "--import-timeout") {
            options.import_timeout = ParseSeconds(arg, value());
        } else if (arg == "--list-commands") {
            options.list_commands = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else {
            throw std::invalid_argument("unknown argument \"" + arg + "\"");
        }
    }
    if (demo && options.document)
        throw std::invalid_argument("--document and --demo exclude each other");
    return options;
}

}  // namespace vantrel_host
