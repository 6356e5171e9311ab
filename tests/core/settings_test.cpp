#include "core/settings.h"

#include <gtest/gtest.h>

using namespace pv;

namespace {

std::vector<SettingsEntry> inSites(std::vector<SettingsEntry> entries) {
    for (SettingsEntry& e : entries)
        e.key = "sites/" + e.key;
    return entries;
}

}  // namespace

TEST(SettingsRule, CompiledDefaultsAreUsableValues) {
    const Settings d = Settings::defaults();
    const std::string port = std::to_string(d.planServerPort);
    const std::vector<std::string> values = {
        d.planServer,  port,        d.planPageSite,       d.drawSite, d.publisherSite,
        d.counterSite, d.counterId, d.counterImagePrefix, d.blogSite};
    ASSERT_EQ(settingsKeys().size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(settingProblem(settingsKeys()[i], values[i]), "") << settingsKeys()[i];
}

TEST(SettingsRule, AcceptsSitesHostsPortsAndIds) {
    for (const char* site : {"http://draws.example", "https://draws.example:8443",
                             "HTTP://10.0.0.7:1", "http://a_b-c.example:65535"})
        EXPECT_EQ(settingProblem("draw_site", site), "") << site;
    EXPECT_EQ(settingProblem("plan_server", "plans.example"), "");
    EXPECT_EQ(settingProblem("plan_server_port", "65535"), "");
    EXPECT_EQ(settingProblem("counter_id", "ab-1.2_~"), "");
}

TEST(SettingsRule, RefusesWhatCannotBeUsed) {
    const std::vector<std::pair<const char*, const char*>> refused = {
        {"blog_site", ""},
        {"blog_site", "blog.example"},             // no scheme
        {"blog_site", "ftp://blog.example"},       // not http or https
        {"blog_site", "http://"},                  // no host
        {"blog_site", "http://:80"},               // no host
        {"blog_site", "http://blog.example/"},     // trailing slash
        {"blog_site", "http://blog.example/a"},    // path
        {"blog_site", "http://blog.example?x"},    // query
        {"blog_site", "http://u:p@blog.example"},  // user name
        {"blog_site", "http://blog.example:0"},    // port out of range
        {"blog_site", "http://blog.example:65536"},
        {"blog_site", "http://blog.example:"},
        {"blog_site", "http://blog.example:8o"},
        {"blog_site", "http://blog example"},
        {"blog_site", "http://[::1]:80"},
        {"counter_image_prefix", "counter.example"},
        {"plan_server", ""},
        {"plan_server", "http://plans.example"},
        {"plan_server", "plans.example:2200"},
        {"plan_server", "plans.example/x"},
        {"plan_server_port", "0"},
        {"plan_server_port", "65536"},
        {"plan_server_port", "+80"},
        {"plan_server_port", "80 "},
        {"plan_server_port", "4294967376"},  // 80 modulo 2^32
        {"counter_id", ""},
        {"counter_id", "1&sx=9"},
        {"counter_id", "1 2"},
    };
    for (const auto& [key, value] : refused)
        EXPECT_NE(settingProblem(key, value), "") << key << " = " << value;
}

TEST(SettingsFile, UsableValuesReplaceTheirFieldsAndNothingElse) {
    Settings base = Settings::defaults();
    const AppliedSettings applied = applySettings(base,
                                                  inSites({{"plan_server", "plans.example"},
                                                           {"plan_server_port", "2300"},
                                                           {"draw_site", "https://draws.example"},
                                                           {"counter_id", "77"}}),
                                                  "a.conf");
    EXPECT_TRUE(applied.messages.empty());
    base.planServer = "plans.example";
    base.planServerPort = 2300;
    base.drawSite = "https://draws.example";
    base.counterId = "77";
    const Settings& s = applied.settings;
    EXPECT_EQ(std::tie(s.planServer, s.planServerPort, s.planPageSite, s.drawSite, s.publisherSite,
                       s.counterSite, s.counterId, s.counterImagePrefix, s.blogSite),
              std::tie(base.planServer, base.planServerPort, base.planPageSite, base.drawSite,
                       base.publisherSite, base.counterSite, base.counterId,
                       base.counterImagePrefix, base.blogSite));
}

TEST(SettingsFile, RefusedValuesAndUnknownKeysGetOneLineEach) {
    Settings base;
    base.drawSite = "http://kept.example";
    base.planServerPort = 2200;
    const AppliedSettings applied = applySettings(base,
                                                  {{"sites/draw_site", "http://new.example/\n"},
                                                   {"sites/plan_server_port", "99999"},
                                                   {"sites/colour", "red"},
                                                   {"loose", "1"},
                                                   {"sites/publisher_site", "https://pub.example"}},
                                                  "/home/u/.config/planviewer/planviewer.conf");
    EXPECT_EQ(applied.settings.drawSite, "http://kept.example");
    EXPECT_EQ(applied.settings.planServerPort, 2200);
    EXPECT_EQ(applied.settings.publisherSite, "https://pub.example");
    ASSERT_EQ(applied.messages.size(), 3u);
    const std::string& draw = applied.messages[0];
    EXPECT_NE(draw.find("/home/u/.config/planviewer/planviewer.conf"), std::string::npos);
    EXPECT_NE(draw.find("draw_site = \"http://new.example/\\x0a\" refused"), std::string::npos)
        << draw;
    EXPECT_NE(draw.find("keeping http://kept.example"), std::string::npos) << draw;
    EXPECT_EQ(draw.find('\n'), std::string::npos);
    EXPECT_NE(applied.messages[1].find("plan_server_port = \"99999\" refused"), std::string::npos);
    EXPECT_NE(applied.messages[1].find("keeping 2200"), std::string::npos);
    EXPECT_NE(applied.messages[2].find("unknown keys ignored: sites/colour, loose"),
              std::string::npos)
        << applied.messages[2];
}
