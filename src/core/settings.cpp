#include "core/settings.h"

#include <charconv>

#include "settings_defaults.h"

namespace pv {
namespace {

constexpr std::string_view kSection = "sites/";

enum class Kind { Host, Port, Site, Id };

struct Key {
    std::string_view name;
    Kind kind;
    std::string Settings::*text;  // null for the port
};

const Key kKeys[] = {
    {"plan_server", Kind::Host, &Settings::planServer},
    {"plan_server_port", Kind::Port, nullptr},
    {"plan_page_site", Kind::Site, &Settings::planPageSite},
    {"draw_site", Kind::Site, &Settings::drawSite},
    {"publisher_site", Kind::Site, &Settings::publisherSite},
    {"counter_site", Kind::Site, &Settings::counterSite},
    {"counter_id", Kind::Id, &Settings::counterId},
    {"counter_image_prefix", Kind::Site, &Settings::counterImagePrefix},
    {"blog_site", Kind::Site, &Settings::blogSite},
};

const Key* findKey(std::string_view name) {
    for (const Key& k : kKeys)
        if (k.name == name) return &k;
    return nullptr;
}

bool isAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// 1 to 65535, decimal digits only; 0 otherwise.
int portNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return 0;
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return port >= 1 && port <= 65535 ? port : 0;
}

// A host name or an IPv4 address.
std::string hostProblem(std::string_view host) {
    if (host.empty()) return "it has no host";
    for (char c : host)
        if (!isAlnum(c) && c != '-' && c != '.' && c != '_')
            return "its host holds characters that no host name has";
    return {};
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::string siteProblem(std::string_view value) {
    std::string_view rest;
    if (startsWithNoCase(value, "http://"))
        rest = value.substr(7);
    else if (startsWithNoCase(value, "https://"))
        rest = value.substr(8);
    else
        return "it is not an http:// or https:// address";
    if (rest.find_first_of("/?#") != std::string_view::npos)
        return "a site is scheme://host[:port] with nothing behind, not even a trailing /";
    if (rest.find('@') != std::string_view::npos) return "a site carries no user name";
    if (const auto colon = rest.rfind(':'); colon != std::string_view::npos) {
        if (!portNumber(rest.substr(colon + 1))) return "its port is not a number from 1 to 65535";
        rest = rest.substr(0, colon);
    }
    return hostProblem(rest);
}

// Control characters, quotes and backslashes escaped, so that a message stays one line.
std::string escaped(std::string_view value) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7f) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view value) {
    return '"' + escaped(value) + '"';
}

}  // namespace

Settings Settings::defaults() {
    Settings s{PLANVIEWER_DEFAULT_PLAN_SERVER,
               PLANVIEWER_DEFAULT_PLAN_PAGE_SITE,
               PLANVIEWER_DEFAULT_DRAW_SITE,
               PLANVIEWER_DEFAULT_PUBLISHER_SITE,
               PLANVIEWER_DEFAULT_COUNTER_SITE,
               PLANVIEWER_DEFAULT_COUNTER_ID,
               PLANVIEWER_DEFAULT_COUNTER_IMAGE_PREFIX,
               PLANVIEWER_DEFAULT_BLOG_SITE};
    s.planServerPort = PLANVIEWER_DEFAULT_PLAN_SERVER_PORT;
    return s;
}

const std::vector<std::string_view>& settingsKeys() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> v;
        for (const Key& k : kKeys)
            v.push_back(k.name);
        return v;
    }();
    return names;
}

std::string settingProblem(std::string_view key, std::string_view value) {
    const Key* k = findKey(key);
    if (!k) return "the key is unknown";
    switch (k->kind) {
        case Kind::Host:
            if (value.find("://") != std::string_view::npos || value.find('/') != value.npos)
                return "the plan server is a host name alone, without scheme or path";
            if (value.find(':') != std::string_view::npos)
                return "the plan server's port goes in plan_server_port";
            return hostProblem(value);
        case Kind::Port:
            return portNumber(value) ? std::string() : "it is not a port number from 1 to 65535";
        case Kind::Site:
            return siteProblem(value);
        case Kind::Id:
            if (value.empty()) return "it is empty";
            for (char c : value)
                if (!isAlnum(c) && c != '-' && c != '.' && c != '_' && c != '~')
                    return "it may hold only letters, digits and - . _ ~";
            return {};
    }
    return {};
}

AppliedSettings applySettings(Settings base, const std::vector<SettingsEntry>& entries,
                              std::string_view source) {
    AppliedSettings out{std::move(base), {}};
    Settings& s = out.settings;
    std::string unknown;
    for (const SettingsEntry& e : entries) {
        const Key* k = e.key.starts_with(kSection)
                           ? findKey(std::string_view(e.key).substr(kSection.size()))
                           : nullptr;
        if (!k) {
            unknown += (unknown.empty() ? "" : ", ") + escaped(e.key);
            continue;
        }
        const std::string kept = k->text ? s.*(k->text) : std::to_string(s.planServerPort);
        if (const std::string problem = settingProblem(k->name, e.value); !problem.empty()) {
            out.messages.push_back("settings: " + std::string(source) + ": " +
                                   std::string(k->name) + " = " + quoted(e.value) + " refused, " +
                                   problem + "; keeping " + kept);
            continue;
        }
        if (k->text)
            s.*(k->text) = e.value;
        else
            s.planServerPort = portNumber(e.value);
    }
    if (!unknown.empty())
        out.messages.push_back("settings: " + std::string(source) +
                               ": unknown keys ignored: " + unknown);
    return out;
}

}  // namespace pv
