#include "radiosim/options.h"

#include "radiosim/line_port.h"
#include "radiosim/number_text.h"

namespace radiosim {
namespace {

enum class Kind { Text, Baud, Seed, Probability, Milliseconds, Flag };

struct OptionRule {
    const char* name;
    Kind kind;
};

constexpr OptionRule kOptions[] = {
    {"--link", Kind::Text},
    {"--device", Kind::Text},
    {"--image", Kind::Text},
    {"--save", Kind::Text},
    {"--log", Kind::Text},
    {"--control", Kind::Text},
    {"--baud", Kind::Baud},
    {"--seed", Kind::Seed},
    {"--drop", Kind::Probability},
    {"--corrupt", Kind::Probability},
    {"--delay", Kind::Probability},
    {"--corrupt-in", Kind::Probability},
    {"--delay-ms", Kind::Milliseconds},
    {"--silent", Kind::Flag},
};

const OptionRule* Find(const std::string& name) {
    for (const OptionRule& rule : kOptions) {
        if (name == rule.name) {
            return &rule;
        }
    }
    return nullptr;
}

std::string* TextField(Options& options, const std::string& name) {
    if (name == "--link") {
        return &options.link;
    }
    if (name == "--device") {
        return &options.device;
    }
    if (name == "--image") {
        return &options.image;
    }
    if (name == "--save") {
        return &options.save;
    }
    if (name == "--log") {
        return &options.log;
    }
    return &options.control;
}

double* ProbabilityField(FaultSettings& faults, const std::string& name) {
    if (name == "--drop") {
        return &faults.drop;
    }
    if (name == "--corrupt") {
        return &faults.corrupt;
    }
    if (name == "--delay") {
        return &faults.delay;
    }
    return &faults.corruptIn;
}

bool Apply(const OptionRule& rule, const std::string& value, Options& options) {
    switch (rule.kind) {
    case Kind::Text:
        *TextField(options, rule.name) = value;
        return !value.empty();
    case Kind::Baud:
        return ParseUnsigned(value, options.baud);
    case Kind::Seed:
        return ParseUnsigned64(value, options.seed);
    case Kind::Probability:
        return ParseProbability(value, *ProbabilityField(options.faults, rule.name));
    case Kind::Milliseconds:
        return ParseUnsigned(value, options.faults.delayMs);
    case Kind::Flag:
        options.faults.silent = true;
        return true;
    }
    return false;
}

} // namespace

std::string UsageText() {
    return "usage: radiosim [--link PATH | --device PATH] [--baud N] [--image FILE] [--save FILE]\n"
           "                [--log FILE] [--control FIFO] [--seed S] [--drop P] [--corrupt P]\n"
           "                [--corrupt-in P] [--delay P --delay-ms MS] [--silent]\n"
           "  --link PATH     serve a pseudo-terminal and publish its slave path as a link here\n"
           "  --device PATH   serve a serial device instead (raw 8N1 at --baud)\n"
           "  --baud N        pace replies as a line at N baud would (default 9600; 0: no pacing)\n"
           "  --image FILE    initial memory, exactly 65536 bytes (default: the built-in radio)\n"
           "  --save FILE     write the memory here at start, after each accepted write, and at "
           "exit\n"
           "  --log FILE      JSON lines: every frame in and out, every rejected frame\n"
           "  --control FIFO  create a FIFO and take control commands from it\n"
           "  --seed S        seed of the fault generator (default 1)\n"
           "  --drop P        lose each outgoing byte with probability P\n"
           "  --corrupt P     flip a random bit of each outgoing byte with probability P\n"
           "  --corrupt-in P  flip a random bit of each incoming byte with probability P\n"
           "  --delay P       hold each reply back --delay-ms milliseconds with probability P\n"
           "  --silent        hear nothing and answer nothing\n";
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
        if (rule->kind == Kind::Flag) {
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
        if (!Apply(*rule, value, result.options)) {
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
