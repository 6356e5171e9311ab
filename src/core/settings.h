// Addresses of the outside sites. The build configuration compiles in a default for each; the
// settings file (read by the window program) can replace any of them at start. Components take
// a Settings value, so tests point them elsewhere and the libraries never see the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pv {

struct Settings {
    std::string planServer;    // host of the plan server, port planServerPort
    std::string planPageSite;  // scheme://host[:port]
    std::string drawSite;
    std::string publisherSite;
    std::string counterSite;
    std::string counterId;
    std::string counterImagePrefix;  // scheme://host[:port] of the counter's digit images
    std::string blogSite;
    int planServerPort = 2200;

    static Settings defaults();
};

// The settings file is INI text; every key lives in the section [sites], and keys come here
// named as "sites/<key>" (keys outside the section keep their own names).
struct SettingsEntry {
    std::string key;
    std::string value;  // as written, GBK
};

// The keys of the section, in the order of the example file.
const std::vector<std::string_view>& settingsKeys();

// Why `value` is no usable value of the key named `key` (without the "sites/"), or "" when it is.
// Sites are http:// or https:// with a host and an optional port from 1 to 65535, and nothing
// behind: no path, not even a trailing "/", no query, no user name. The plan server is a host
// name alone, its port a number from 1 to 65535, the counter id letters, digits and "-._~".
std::string settingProblem(std::string_view key, std::string_view value);

struct AppliedSettings {
    Settings settings;
    // Log lines: one for each refused value, naming the key, the value and the one kept, and one
    // naming every unknown key.
    std::vector<std::string> messages;
};

// The entries of the file called `source` (the name appears in the messages) over `base`: each
// usable value replaces its field, every other field keeps the value of `base`.
AppliedSettings applySettings(Settings base, const std::vector<SettingsEntry>& entries,
                              std::string_view source);

}  // namespace pv
