// One ordered record of everything the code under test did: component calls, dialog services
// and message boxes. Thread-safe: message boxes are seen from a watcher thread while the code
// under test waits for them to close.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class CallLog {
public:
    void Add(std::string entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};
