#include "core/settings.h"

#include <gtest/gtest.h>

using namespace pv;

TEST(SettingsRule, CompiledDefaultsAndWellFormedValuesAreUsable) {
    const Settings d = Settings::defaults();
    const std::vector<std::string> defaults = {d.planServer,    std::to_string(d.planServerPort),
                                               d.planPageSite,  d.drawSite,
                                               d.publisherSite, d.counterSite,
                                               d.counterId,     d.counterImagePrefix,
                                               d.blogSite};
    ASSERT_EQ(settingsKeys().size(), defaults.size());
    for (std::size_t i = 0; i < defaults.size(); ++i)
        EXPECT_EQ(settingProblem(settingsKeys()[i], defaults[i]), "") << settingsKeys()[i];
    for (const char* site : {"https://draws.example:8443", "HTTP://10.0.0.7:1", "http://a_b-c.d"})
        EXPECT_EQ(settingProblem("draw_site", site), "") << site;
    EXPECT_EQ(settingProblem("plan_server_port", "65535"), "");
    EXPECT_EQ(settingProblem("counter_id", "ab-1.2_~"), "");
}

TEST(SettingsRule, RefusesWhatCannotBeUsed) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> refused = {
        {"blog_site",
         {"", "blog.example", "ftp://blog.example", "http://", "http://:80", "http://b.example/",
          "http://b.example/a", "http://b.example?x", "http://u:p@b.example", "http://b.example:0",
          "http://b.example:65536", "http://b.example:", "http://b.example:8o", "http://b c",
          "http://[::1]:80"}},
        {"plan_server", {"", "http://plans.example", "plans.example:2200", "plans.example/x"}},
        {"plan_server_port", {"0", "65536", "+80", "80 ", "4294967376"}},
        {"counter_id", {"", "1&sx=9", "1 2"}},
    };
    for (const auto& [key, values] : refused)
        for (const char* value : values)
            EXPECT_NE(settingProblem(key, value), "") << key << " = " << value;
}

TEST(SettingsFile, UsableValuesReplaceTheirFieldsTheRestIsLoggedOneLineEach) {
    Settings base;
    base.drawSite = "http://kept.example";
    const AppliedSettings applied = applySettings(base,
                                                  {{"sites/draw_site", "http://new.example/\n"},
                                                   {"sites/plan_server_port", "99999"},
                                                   {"sites/colour", "red"},
                                                   {"loose", "1"},
                                                   {"sites/publisher_site", "https://p.example"},
                                                   {"sites/plan_server_port", "2300"}},
                                                  "/home/u/.config/planviewer/planviewer.conf");
    EXPECT_EQ(applied.settings.drawSite, "http://kept.example");
    EXPECT_EQ(applied.settings.publisherSite, "https://p.example");
    EXPECT_EQ(applied.settings.planServerPort, 2300);
    EXPECT_EQ(applied.settings.blogSite, "");
    ASSERT_EQ(applied.messages.size(), 3u);
    EXPECT_EQ(applied.messages[0].find("settings: /home/u/.config/planviewer/planviewer.conf: "
                                       "draw_site = \"http://new.example/\\x0a\" refused, "),
              0u)
        << applied.messages[0];
    EXPECT_NE(applied.messages[0].find("; keeping http://kept.example"), std::string::npos);
    EXPECT_NE(applied.messages[1].find("plan_server_port = \"99999\" refused"), std::string::npos);
    EXPECT_NE(applied.messages[1].find("keeping 2200"), std::string::npos);
    EXPECT_NE(applied.messages[2].find(": unknown keys ignored: sites/colour, loose"),
              std::string::npos)
        << applied.messages[2];
}
