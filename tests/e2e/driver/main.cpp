// e2e_driver: starts the program, runs a script of steps against its main dialog as a person
// would, and prints one JSON line per step with what it saw (the popups shown and answered,
// the entry's text, the exit code). Every wait has a timeout: a step that hangs fails with a
// message, and the program is ended with the driver.
//
//   e2e_driver --exe PATH [--caption TEXT] [--timeout-ms N] [--out PATH] [--script PATH]
//              [STEP ...]
//
// Steps: see steps.h. Exit status: 0 when every step ran, 1 when one failed, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/steps.h"
#include "tests/e2e/driver/window_text.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr unsigned long kDefaultTimeoutMs = 20000;

struct Options {
    std::string exe;
    std::string caption = "Hushwell";
    std::string out;
    std::string script;
    unsigned long timeoutMs = kDefaultTimeoutMs;
    std::vector<std::string> steps;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "e2e_driver: %s\nusage: e2e_driver --exe PATH [--caption TEXT] [--timeout-ms N]"
                 " [--out PATH] [--script PATH] [STEP ...]\n",
                 problem.c_str());
    return kExitUsage;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--exe" && hasValue) {
            options.exe = argv[++i];
        } else if (arg == "--caption" && hasValue) {
            options.caption = argv[++i];
        } else if (arg == "--out" && hasValue) {
            options.out = argv[++i];
        } else if (arg == "--script" && hasValue) {
            options.script = argv[++i];
        } else if (arg == "--timeout-ms" && hasValue) {
            if (!ParseNumber(argv[++i], options.timeoutMs) || options.timeoutMs == 0) {
                error = "bad --timeout-ms";
                return false;
            }
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown or incomplete option " + arg;
            return false;
        } else {
            options.steps.push_back(arg);
        }
    }
    if (options.exe.empty()) {
        error = "--exe is required";
        return false;
    }
    return options.script.empty() || ReadScript(options.script, options.steps, error);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        return Usage(error);
    }
    std::vector<Step> steps;
    for (const std::string& text : options.steps) {
        Step step;
        if (!ParseStep(text, step, error)) {
            return Usage(error);
        }
        steps.push_back(step);
    }
    FILE* out = stdout;
    if (!options.out.empty() && !(out = _wfopen(Wide(options.out).c_str(), L"w"))) {
        return Usage("cannot write " + options.out);
    }

    Driver driver(out, options.caption, static_cast<DWORD>(options.timeoutMs));
    bool ok = driver.Start(Wide(options.exe));
    for (size_t i = 0; ok && i < steps.size(); ++i) {
        ok = driver.Run(steps[i], static_cast<int>(i + 1));
    }
    driver.Finish();
    if (out != stdout) {
        std::fclose(out);
    }
    return ok ? 0 : kExitFailed;
}
