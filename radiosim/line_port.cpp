#include "radiosim/line_port.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace radiosim {
namespace {

struct BaudEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr BaudEntry kBauds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedFor(uint32_t baud, speed_t& speed) {
    for (const BaudEntry& entry : kBauds) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

std::string Failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool MakeRaw(int fd, speed_t speed, std::string& error) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        error = Failure("not a terminal");
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
        error = Failure("cannot set line settings");
        return false;
    }
    return true;
}

} // namespace

bool LinePort::IsSupportedBaud(uint32_t baud) {
    speed_t speed;
    return SpeedFor(baud, speed);
}

LinePort::~LinePort() {
    if (m_link.empty()) {
        return;
    }
    // Remove the link only while it is still ours: another simulator may have taken it over.
    char target[PATH_MAX];
    const ssize_t size = ::readlink(m_link.c_str(), target, sizeof target - 1);
    if (size >= 0 && std::string(target, static_cast<size_t>(size)) == m_name) {
        ::unlink(m_link.c_str());
    }
}

bool LinePort::OpenPty(const std::string& link, std::string& error) {
    m_io.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_io || ::grantpt(m_io.get()) != 0 || ::unlockpt(m_io.get()) != 0) {
        error = Failure("cannot create a pseudo-terminal");
        return false;
    }
    char slave[PATH_MAX];
    if (::ptsname_r(m_io.get(), slave, sizeof slave) != 0) {
        error = Failure("cannot name the pseudo-terminal");
        return false;
    }
    m_name = slave;
    m_slaveHeld.Reset(::open(slave, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_slaveHeld) {
        error = Failure("cannot open " + m_name);
        return false;
    }
    if (!MakeRaw(m_slaveHeld.get(), B9600, error)) {
        return false;
    }
    if (::fcntl(m_io.get(), F_SETFL, ::fcntl(m_io.get(), F_GETFL) | O_NONBLOCK) != 0) {
        error = Failure("cannot make the pseudo-terminal non-blocking");
        return false;
    }
    return link.empty() || PublishLink(link, error);
}

bool LinePort::PublishLink(const std::string& link, std::string& error) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        error = "link path " + link + " exists and is not a symbolic link";
        return false;
    }
    // Made beside the link and renamed over it, so the link is never missing in between.
    const std::string temporary = link + ".tmp." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(m_name.c_str(), temporary.c_str()) != 0) {
        error = Failure("cannot create link " + temporary);
        return false;
    }
    if (::rename(temporary.c_str(), link.c_str()) != 0) {
        error = Failure("cannot create link " + link);
        ::unlink(temporary.c_str());
        return false;
    }
    m_link = link;
    return true;
}

bool LinePort::OpenDevice(const std::string& device, uint32_t baud, std::string& error) {
    speed_t speed;
    if (!SpeedFor(baud, speed)) {
        error = "unsupported baud rate " + std::to_string(baud) + " for a device";
        return false;
    }
    m_io.Reset(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_io) {
        error = Failure("cannot open " + device);
        return false;
    }
    m_name = device;
    if (!MakeRaw(m_io.get(), speed, error)) {
        error = device + ": " + error;
        return false;
    }
    ::tcflush(m_io.get(), TCIOFLUSH);
    return true;
}

} // namespace radiosim
