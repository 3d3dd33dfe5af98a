#include "radiosim/control_channel.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace radiosim {

namespace {
// A line longer than this is garbage: it is cut short (and then fails to parse) rather than
// held without end.
constexpr size_t kMaxLine = 4096;
} // namespace

ControlChannel::~ControlChannel() {
    if (!m_path.empty()) {
        ::unlink(m_path.c_str());
    }
}

bool ControlChannel::Create(const std::string& path, std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISFIFO(info.st_mode)) {
            error = "control path " + path + " exists and is not a FIFO";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::mkfifo(path.c_str(), 0600) != 0) {
        error = "cannot create control FIFO " + path + ": " + std::strerror(errno);
        return false;
    }
    m_path = path;
    m_read.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (m_read) {
        m_keepOpen.Reset(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    }
    if (!m_read || !m_keepOpen) {
        error = "cannot open control FIFO " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::vector<std::string> ControlChannel::ReadLines() {
    std::vector<std::string> lines;
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(m_read.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        for (ssize_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                // Windows writers end lines with CR LF.
                if (!m_partial.empty() && m_partial.back() == '\r') {
                    m_partial.pop_back();
                }
                lines.push_back(std::move(m_partial));
                m_partial.clear();
            } else if (m_partial.size() < kMaxLine) {
                m_partial += c;
            }
        }
    }
    return lines;
}

} // namespace radiosim
