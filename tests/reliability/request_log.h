// The Requests in a fake radio's call log, parsed back: name, address and payload bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct LoggedRequest {
    std::string name;
    uint32_t address = 0;
    std::vector<uint8_t> payload;
};

// Entries look like "Request REQ_WR_DATA @576 [1E 33 AA]".
inline std::vector<LoggedRequest> RequestsIn(const std::vector<std::string>& calls) {
    std::vector<LoggedRequest> requests;
    for (const std::string& call : calls) {
        if (call.rfind("Request ", 0) != 0) {
            continue;
        }
        LoggedRequest request;
        const size_t at = call.find(" @");
        const size_t open = call.find('[', at);
        request.name = call.substr(8, at - 8);
        request.address = static_cast<uint32_t>(std::stoul(call.substr(at + 2)));
        for (size_t i = open + 1; i + 1 < call.size() && call[i] != ']'; i += 3) {
            request.payload.push_back(
                static_cast<uint8_t>(std::stoul(call.substr(i, 2), nullptr, 16)));
        }
        requests.push_back(request);
    }
    return requests;
}

inline std::vector<std::string> BoxesIn(const std::vector<std::string>& calls) {
    std::vector<std::string> boxes;
    for (const std::string& call : calls) {
        if (call.rfind("MessageBox: ", 0) == 0) {
            boxes.push_back(call.substr(12));
        }
    }
    return boxes;
}
