#include "radiosim/event_log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace radiosim {

bool EventLog::Open(const std::string& path, std::string& error) {
    m_fd.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644));
    if (!m_fd) {
        error = "cannot open log " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void EventLog::Write(const JsonLine& line) {
    if (!m_fd) {
        return;
    }
    const std::string text = line.Finish();
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(m_fd.get(), text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // a full disk must not stop the radio
        }
        done += static_cast<size_t>(written);
    }
}

} // namespace radiosim
