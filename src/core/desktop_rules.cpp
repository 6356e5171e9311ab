#include "core/desktop_rules.h"

#include <string_view>

#include "core/convert.h"

namespace pv {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool isHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool validPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    long value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= 65535;
}

// host[:port] or [v6 address][:port]
bool validHostAndPort(std::string_view hostPort) {
    std::string_view host = hostPort, port;
    bool hasPort = false;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const size_t close = hostPort.find(']');
        if (close == std::string_view::npos || close < 3) return false;
        for (char c : hostPort.substr(1, close - 1))
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                  c == ':' || c == '.'))
                return false;
        std::string_view rest = hostPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return false;
            hasPort = true;
            port = rest.substr(1);
        }
        return !hasPort || validPort(port);
    }
    const size_t colon = hostPort.find(':');
    if (colon != std::string_view::npos) {
        host = hostPort.substr(0, colon);
        port = hostPort.substr(colon + 1);
        hasPort = true;
    }
    if (host.empty() || host.front() == '.' || host.front() == '-') return false;
    for (char c : host)
        if (!isHostChar(c)) return false;
    return !hasPort || validPort(port);
}

}  // namespace

std::optional<std::string> webAddressToOpen(const std::string& address) {
    const std::string text = toText(address);
    std::string_view s = text;
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E)
            return std::nullopt;
    size_t afterScheme = 0;
    if (startsWithNoCase(s, "http://"))
        afterScheme = 7;
    else if (startsWithNoCase(s, "https://"))
        afterScheme = 8;
    else
        return std::nullopt;
    std::string_view authority = s.substr(afterScheme);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (!validHostAndPort(authority)) return std::nullopt;
    return std::string(s);
}

}  // namespace pv
