#include "sim_process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

pid_t Spawn(const std::vector<std::string>& args, int& stderrRead) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    // Everything the child needs is made before the fork: it only execs.
    std::string program = RADIOSIM_PATH;
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    stderrRead = pipeFds[0];
    return pid;
}

int WaitForExit(pid_t pid, Clock::time_point end) {
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (Clock::now() >= end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        ::usleep(10000);
    }
}

} // namespace

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        Stop(SIGKILL);
    }
    if (m_stderr >= 0) {
        ::close(m_stderr);
    }
}

void SimProcess::ReadStderr(int timeoutMs) {
    pollfd fd = {m_stderr, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0) {
        return;
    }
    char buffer[1024];
    const ssize_t got = ::read(m_stderr, buffer, sizeof buffer);
    if (got > 0) {
        m_text.append(buffer, static_cast<size_t>(got));
    }
}

bool SimProcess::Start(const std::vector<std::string>& args) {
    if (m_pid > 0) {
        Stop(SIGKILL);
    }
    if (m_stderr >= 0) {
        ::close(m_stderr);
    }
    m_text.clear();
    m_port.clear();
    m_pid = Spawn(args, m_stderr);
    if (m_pid < 0) {
        return false;
    }
    const std::string marker = "radiosim: ready on ";
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        const size_t at = m_text.find(marker);
        const size_t eol = at == std::string::npos ? at : m_text.find('\n', at);
        if (eol != std::string::npos) {
            m_port = m_text.substr(at + marker.size(), eol - at - marker.size());
            return true;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            ReadStderr(100);
            return false;
        }
        ReadStderr(100);
    }
    return false;
}

int SimProcess::Stop(int signal) {
    if (m_pid <= 0) {
        return -1;
    }
    ::kill(m_pid, signal);
    const int status = WaitForExit(m_pid, Clock::now() + std::chrono::seconds(10));
    m_pid = -1;
    ReadStderr(100);
    return status;
}

const std::string& SimProcess::Stderr() {
    ReadStderr(0);
    return m_text;
}

RunResult RunToExit(const std::vector<std::string>& args) {
    RunResult result;
    int stderrRead = -1;
    const pid_t pid = Spawn(args, stderrRead);
    if (pid < 0) {
        return result;
    }
    const auto end = Clock::now() + std::chrono::seconds(10);
    char buffer[1024];
    for (;;) {
        pollfd fd = {stderrRead, POLLIN, 0};
        if (::poll(&fd, 1, RemainingMs(end)) <= 0) {
            break;
        }
        const ssize_t got = ::read(stderrRead, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        result.stderrText.append(buffer, static_cast<size_t>(got));
    }
    ::close(stderrRead);
    result.status = WaitForExit(pid, end);
    return result;
}

LineClient::LineClient(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd >= 0) {
        termios settings{};
        ::tcgetattr(m_fd, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(m_fd, TCSANOW, &settings);
    }
}

LineClient::~LineClient() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void LineClient::Send(const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<size_t>(written);
        } else if (errno != EAGAIN && errno != EINTR) {
            return;
        }
    }
}

void LineClient::Send(const proto::Frame& frame) {
    Send(Encoded(frame));
}

Bytes LineClient::ReceiveChunk(std::chrono::milliseconds deadline) {
    Bytes bytes;
    const auto end = Clock::now() + deadline;
    while (bytes.empty() || bytes.back() != 0) {
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, RemainingMs(end)) <= 0) {
            break;
        }
        uint8_t byte = 0;
        if (::read(m_fd, &byte, 1) != 1) {
            break; // the line hung up
        }
        bytes.push_back(byte);
    }
    return bytes;
}

Bytes LineClient::ReceiveCount(size_t count, std::chrono::milliseconds deadline) {
    Bytes bytes;
    const auto end = Clock::now() + deadline;
    uint8_t buffer[256];
    while (bytes.size() < count) {
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, RemainingMs(end)) <= 0) {
            break;
        }
        const ssize_t got = ::read(m_fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) {
            break; // the line hung up
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

Bytes LineClient::ReceiveFor(std::chrono::milliseconds window) {
    Bytes bytes;
    const auto end = Clock::now() + window;
    uint8_t buffer[256];
    for (;;) {
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, RemainingMs(end)) <= 0) {
            break;
        }
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0) {
            break; // the line hung up
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

Bytes Encoded(const proto::Frame& frame) {
    Bytes out(proto::kMaxEncodedFrame);
    out.resize(proto::EncodeFrame(frame, out.data(), out.size()));
    return out;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/radiosim-test-XXXXXX";
    if (::mkdtemp(pattern) != nullptr) {
        m_path = pattern;
    }
}

TempDir::~TempDir() {
    if (m_path.empty()) {
        return;
    }
    if (DIR* dir = ::opendir(m_path.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                ::unlink(Path(name).c_str());
            }
        }
        ::closedir(dir);
    }
    ::rmdir(m_path.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace simtest
