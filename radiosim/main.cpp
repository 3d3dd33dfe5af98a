// radiosim: a simulated radio on a pseudo-terminal or a serial device. Options: --help.
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/signalfd.h>
#include <vector>

#include "radiosim/default_radio.h"
#include "radiosim/image_file.h"
#include "radiosim/options.h"
#include "radiosim/simulator.h"
#include "radiosim/unique_fd.h"

namespace radiosim {
namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

// Stop signals are taken through a descriptor, so the loop handles them like any input
// and shuts down through the normal path.
UniqueFd BlockStopSignals() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGHUP);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return UniqueFd(signalfd(-1, &stop, SFD_CLOEXEC));
}

int RunRadio(const std::vector<std::string>& args) {
    const OptionsParse parse = ParseOptions(args);
    if (parse.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (!parse.ok) {
        std::fprintf(stderr, "radiosim: %s\n%s", parse.error.c_str(), UsageText().c_str());
        return kExitUsage;
    }
    const Options& options = parse.options;

    RadioMemory memory = MakeDefaultRadio();
    std::string error;
    if (!options.image.empty() && !LoadImage(options.image, memory, error)) {
        std::fprintf(stderr, "radiosim: %s\n", error.c_str());
        return kExitUsage;
    }

    const UniqueFd signals = BlockStopSignals();
    if (!signals) {
        std::perror("radiosim: signalfd");
        return kExitFailure;
    }
    Simulator simulator(options, memory);
    if (!simulator.Start(error)) {
        std::fprintf(stderr, "radiosim: %s\n", error.c_str());
        return kExitFailure;
    }
    std::fprintf(stderr, "radiosim: ready on %s\n", simulator.PortName().c_str());
    std::fflush(stderr);
    const int status = simulator.Run(signals.get());
    simulator.Finish();
    return status;
}

} // namespace
} // namespace radiosim

int main(int argc, char** argv) {
    return radiosim::RunRadio(std::vector<std::string>(argv + 1, argv + argc));
}
