#include "radiosim/image_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "radiosim/unique_fd.h"

namespace radiosim {
namespace {

std::string Describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

bool LoadImage(const std::string& path, RadioMemory& memory, std::string& error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        error = Describe("cannot open image", path);
        return false;
    }
    RadioMemory loaded;
    size_t total = 0;
    uint8_t extra = 0;
    for (;;) {
        uint8_t* into = total < kMemorySize ? loaded.data() + total : &extra;
        const size_t room = total < kMemorySize ? kMemorySize - total : 1;
        const ssize_t got = ::read(fd.get(), into, room);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = Describe("cannot read image", path);
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<size_t>(got);
        if (total > kMemorySize) {
            break;
        }
    }
    if (total != kMemorySize) {
        error = "image " + path + " must be exactly " + std::to_string(kMemorySize) +
                " bytes, it has " + (total > kMemorySize ? "more" : std::to_string(total));
        return false;
    }
    memory = loaded;
    return true;
}

bool SaveImage(const std::string& path, const RadioMemory& memory, std::string& error) {
    const std::string temporary = path + ".tmp." + std::to_string(::getpid());
    {
        UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!fd) {
            error = Describe("cannot create", temporary);
            return false;
        }
        if (!WriteAll(fd.get(), memory.data(), kMemorySize)) {
            error = Describe("cannot write", temporary);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Describe("cannot rename over", path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace radiosim
