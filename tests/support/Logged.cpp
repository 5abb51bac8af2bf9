#include "support/Logged.h"

#include <algorithm>

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> LoggedStates(const std::string& csv) {
    std::vector<std::string> states;
    const std::string peer = ",127.0.0.1,";
    for (size_t at = csv.find(peer); at != std::string::npos; at = csv.find(peer, at + 1)) {
        states.push_back(csv.substr(at + peer.size(), csv.find("\r\n", at) - at - peer.size()));
    }
    std::sort(states.begin(), states.end());
    return states;
}

std::vector<std::string> StatesOfLoadReports(int count) {
    std::vector<std::string> states;
    for (int n = 0; n < count; ++n) {
        std::string row;
        for (int bit = 0; bit < 5; ++bit) row += (bit ? "," : "") + std::to_string(n >> bit & 1);
        states.push_back(row);
    }
    std::sort(states.begin(), states.end());
    return states;
}
