#include "radiosim/options.h"

#include <cstdio>

#include "radiosim/line_port.h"
#include "radiosim/number_text.h"

namespace radiosim {
namespace {

// Stores an option's value; false when the value is not one the option takes.
using Setter = bool (*)(const std::string& value, Options& options);

template <std::string Options::*Field>
bool SetText(const std::string& value, Options& options) {
    options.*Field = value;
    return !value.empty();
}

template <double FaultSettings::*Field>
bool SetProbability(const std::string& value, Options& options) {
    return ParseProbability(value, options.faults.*Field);
}

bool SetBaud(const std::string& value, Options& options) {
    return ParseUnsigned(value, options.baud);
}

bool SetSeed(const std::string& value, Options& options) {
    return ParseUnsigned64(value, options.seed);
}

bool SetDelayMs(const std::string& value, Options& options) {
    return ParseUnsigned(value, options.faults.delayMs);
}

bool SetSilent(const std::string&, Options& options) {
    options.faults.silent = true;
    return true;
}

struct OptionRule {
    const char* name;
    const char* value; // the value's name in the help; nullptr: a flag, which takes no value
    const char* help;  // nullptr: explained in another option's line
    Setter set;
};

// In the order of the help text.
constexpr OptionRule kOptions[] = {
    {"--link", "PATH", "serve a pseudo-terminal and publish its slave path as a link here",
     SetText<&Options::link>},
    {"--device", "PATH", "serve a serial device instead (raw 8N1 at --baud)",
     SetText<&Options::device>},
    {"--baud", "N", "pace replies as a line at N baud would (default 9600; 0: no pacing)", SetBaud},
    {"--image", "FILE", "initial memory, exactly 65536 bytes (default: the built-in radio)",
     SetText<&Options::image>},
    {"--save", "FILE", "write the memory here at start, after each accepted write, and at exit",
     SetText<&Options::save>},
    {"--log", "FILE", "JSON lines: every frame in and out, every rejected frame",
     SetText<&Options::log>},
    {"--control", "FIFO", "create a FIFO and take control commands from it",
     SetText<&Options::control>},
    {"--seed", "S", "seed of the fault generator (default 1)", SetSeed},
    {"--drop", "P", "lose each outgoing byte with probability P",
     SetProbability<&FaultSettings::drop>},
    {"--corrupt", "P", "flip a random bit of each outgoing byte with probability P",
     SetProbability<&FaultSettings::corrupt>},
    {"--corrupt-in", "P", "flip a random bit of each incoming byte with probability P",
     SetProbability<&FaultSettings::corruptIn>},
    {"--delay", "P", "hold each reply back --delay-ms milliseconds with probability P",
     SetProbability<&FaultSettings::delay>},
    {"--delay-ms", "MS", nullptr, SetDelayMs},
    {"--silent", nullptr, "hear nothing and answer nothing", SetSilent},
};

const OptionRule* Find(const std::string& name) {
    for (const OptionRule& rule : kOptions) {
        if (name == rule.name) {
            return &rule;
        }
    }
    return nullptr;
}

} // namespace

std::string UsageText() {
    std::string text =
        "usage: radiosim [--link PATH | --device PATH] [--baud N] [--image FILE] [--save FILE]\n"
        "                [--log FILE] [--control FIFO] [--seed S] [--drop P] [--corrupt P]\n"
        "                [--corrupt-in P] [--delay P --delay-ms MS] [--silent]\n";
    for (const OptionRule& rule : kOptions) {
        if (rule.help == nullptr) {
            continue;
        }
        const std::string option =
            rule.value ? std::string(rule.name) + " " + rule.value : std::string(rule.name);
        char line[160];
        std::snprintf(line, sizeof line, "  %-15s %s\n", option.c_str(), rule.help);
        text += line;
    }
    return text;
}

OptionsParse ParseOptions(const std::vector<std::string>& args) {
    OptionsParse result;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            result.help = true;
            return result;
        }
        const OptionRule* rule = Find(name);
        if (rule == nullptr) {
            result.error = "unknown option " + args[i];
            return result;
        }
        if (rule->value == nullptr) {
            if (inlineValue) {
                result.error = name + " takes no value";
                return result;
            }
        } else if (!inlineValue) {
            if (i + 1 == args.size()) {
                result.error = name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        if (!rule->set(value, result.options)) {
            result.error = "bad value for " + name + ": '" + value + "'";
            return result;
        }
    }
    const Options& options = result.options;
    if (!options.link.empty() && !options.device.empty()) {
        result.error = "--link and --device exclude each other";
        return result;
    }
    if (!options.device.empty() && !LinePort::IsSupportedBaud(options.baud)) {
        result.error = "--device needs a standard --baud (1200 to 921600)";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace radiosim
