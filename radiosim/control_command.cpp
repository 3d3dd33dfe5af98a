#include "radiosim/control_command.h"

#include <sstream>

#include "radiosim/number_text.h"
#include "radiosim/radio_memory.h"

namespace radiosim {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

bool ParseOnOff(const std::string& word, bool& on) {
    if (word == "on" || word == "off") {
        on = word == "on";
        return true;
    }
    return false;
}

bool ParseFaults(const std::vector<std::string>& words, ControlCommand& command,
                 std::string& error) {
    if (words.size() < 2) {
        error = "faults needs at least one of drop=, corrupt=, delay=, delayms=, corruptin=";
        return false;
    }
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        const size_t equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
        double probability = 0;
        uint32_t milliseconds = 0;
        if (key == "delayms" && ParseUnsigned(value, milliseconds)) {
            command.delayMs = milliseconds;
        } else if (key != "delayms" && ParseProbability(value, probability)) {
            if (key == "drop") {
                command.drop = probability;
            } else if (key == "corrupt") {
                command.corrupt = probability;
            } else if (key == "delay") {
                command.delay = probability;
            } else if (key == "corruptin") {
                command.corruptIn = probability;
            } else {
                error = "unknown fault '" + key + "'";
                return false;
            }
        } else {
            error = "bad value in '" + word + "' (probabilities 0 to 1, delayms a whole number)";
            return false;
        }
    }
    return true;
}

bool ParsePoke(const std::vector<std::string>& words, ControlCommand& command, std::string& error) {
    std::string hex;
    for (size_t i = 2; i < words.size(); ++i) {
        hex += words[i];
    }
    if (words.size() < 3 || !ParseUnsigned(words[1], command.address) ||
        !ParseHexBytes(hex, command.bytes) || command.bytes.empty()) {
        error = "usage: poke ADDR HEXBYTES";
        return false;
    }
    if (!RadioMemory::Contains(command.address, command.bytes.size())) {
        error = "poke reaches past the memory";
        return false;
    }
    return true;
}

} // namespace

ControlParse ParseControlLine(const std::string& line, ControlCommand& command,
                              std::string& error) {
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') {
        return ControlParse::Blank;
    }
    command = ControlCommand{};
    const std::string& verb = words[0];
    bool ok = false;
    if (verb == "silent") {
        command.kind = ControlCommand::Kind::Silent;
        ok = words.size() == 2 && ParseOnOff(words[1], command.on);
        error = "usage: silent on|off";
    } else if (verb == "faults") {
        command.kind = ControlCommand::Kind::Faults;
        ok = ParseFaults(words, command, error);
    } else if (verb == "mode") {
        command.kind = ControlCommand::Kind::Mode;
        ok = words.size() == 2 && (words[1] == "programming" || words[1] == "normal");
        command.on = ok && words[1] == "programming";
        error = "usage: mode programming|normal";
    } else if (verb == "reset") {
        command.kind = ControlCommand::Kind::Reset;
        ok = words.size() == 1;
        error = "usage: reset";
    } else if (verb == "load" || verb == "save") {
        command.kind = verb == "load" ? ControlCommand::Kind::Load : ControlCommand::Kind::Save;
        ok = words.size() == 2;
        command.path = ok ? UnixPath(words[1]) : "";
        error = "usage: " + verb + " FILE";
    } else if (verb == "poke") {
        command.kind = ControlCommand::Kind::Poke;
        ok = ParsePoke(words, command, error);
    } else {
        error = "unknown control command '" + verb + "'";
    }
    if (ok) {
        error.clear();
        return ControlParse::Command;
    }
    return ControlParse::Error;
}

std::string UnixPath(const std::string& path) {
    const bool onDriveZ = path.size() >= 3 && (path[0] == 'Z' || path[0] == 'z') &&
                          path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!onDriveZ) {
        return path;
    }
    std::string unix = path.substr(2);
    for (char& c : unix) {
        if (c == '\\') {
            c = '/';
        }
    }
    return unix;
}

} // namespace radiosim
