#include "tests/e2e/driver/steps.h"

#include <fstream>

namespace {

struct VerbRule {
    const char* verb;
    bool needsArgument;
};

constexpr VerbRule kVerbs[] = {
    {"click", true},      {"sysmenu", true}, {"type", false},        {"entry", false},
    {"focus", false},     {"key", true},     {"focus-entry", false}, {"close", false},
    {"wait-exit", false}, {"mark", true},    {"await", true},        {"sleep", true},
};

} // namespace

bool ParseStep(const std::string& text, Step& step, std::string& error) {
    const size_t blank = text.find(' ');
    step.verb = text.substr(0, blank);
    step.argument = blank == std::string::npos ? "" : text.substr(blank + 1);
    step.text = text;
    for (const VerbRule& rule : kVerbs) {
        if (step.verb == rule.verb) {
            if (rule.needsArgument && step.argument.empty()) {
                error = "step '" + text + "' needs an argument";
                return false;
            }
            return true;
        }
    }
    error = "unknown step '" + text + "'";
    return false;
}

bool ReadScript(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the script " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    return true;
}
