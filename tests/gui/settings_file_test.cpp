// The settings file: read in-process through QSettings, and by the real program, started with
// XDG_CONFIG_HOME on a folder of the test's own and its sites on loopback.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

#include "core/log.h"
#include "gui/settings_file.h"
#include "support/loopback_server.h"

using namespace pv;

namespace {

std::vector<std::string> g_log;

QString writeFile(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text.data(), qint64(text.size()));
    return path;
}

auto fields(const Settings& s) {
    return std::tie(s.planServer, s.planServerPort, s.planPageSite, s.drawSite, s.publisherSite,
                    s.counterSite, s.counterId, s.counterImagePrefix, s.blogSite);
}

class SettingsFileReading : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log.clear();
        previous_ = setLogSink([](std::string_view m) { g_log.emplace_back(m); });
    }
    void TearDown() override { setLogSink(previous_); }

    QTemporaryDir dir_;
    LogSink previous_ = nullptr;
};

TEST_F(SettingsFileReading, TheUsersFileWinsOverTheSystemOneKeyByKey) {
    const QString system = writeFile(dir_.filePath(QStringLiteral("etc/planviewer.conf")),
                                     "[sites]\ndraw_site = http://system-draws.example\n"
                                     "blog_site = http://system-blog.example\n");
    const QString user = writeFile(dir_.filePath(QStringLiteral("home/planviewer.conf")),
                                   "; a comment\n[sites]\nblog_site = https://blog.example:8443\n"
                                   "draw_site = http://a,b\n");
    QDir().mkpath(dir_.filePath(QStringLiteral("folder.conf")));
    const Settings s = loadSettings({dir_.filePath(QStringLiteral("nowhere.conf")), system,
                                     dir_.filePath(QStringLiteral("folder.conf")), user});
    EXPECT_EQ(s.drawSite, "http://system-draws.example");  // the user's value is refused
    EXPECT_EQ(s.blogSite, "https://blog.example:8443");
    EXPECT_EQ(s.publisherSite, Settings::defaults().publisherSite);
    ASSERT_EQ(g_log.size(), 2u);
    EXPECT_NE(g_log[0].find("folder.conf cannot be read"), std::string::npos) << g_log[0];
    EXPECT_NE(g_log[1].find("draw_site = \"http://a,b\" refused"), std::string::npos) << g_log[1];
    EXPECT_NE(g_log[1].find("keeping http://system-draws.example"), std::string::npos);
}

TEST_F(SettingsFileReading, TheExampleFileWithEveryKeyInPlaceGivesTheDefaults) {
    QFile example(QStringLiteral(PLANVIEWER_SETTINGS_EXAMPLE));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    std::string text;  // every "# key = default" line without its "# "
    std::size_t keys = 0;
    for (const QByteArray& line : example.readAll().split('\n')) {
        std::string l = line.toStdString();
        for (std::string_view key : settingsKeys())
            if (l.starts_with("# " + std::string(key) + " = ")) l.erase(0, 2), ++keys;
        text += l + "\n";
    }
    EXPECT_EQ(keys, settingsKeys().size());
    const Settings read = loadSettings({writeFile(dir_.filePath(QStringLiteral("a.conf")), text)});
    const Settings defaults = Settings::defaults();
    EXPECT_EQ(fields(read), fields(defaults));
    EXPECT_TRUE(g_log.empty()) << g_log.front();
}

// The real program, run until the test ends, with `settings` as the user's file.
struct ProgramRun {
    explicit ProgramRun(const std::string& settings) {
        writeFile(config.filePath(QStringLiteral("planviewer/planviewer.conf")), settings);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PLANVIEWER_PROGRAM), {});
        process.waitForStarted(30000);
    }
    ~ProgramRun() {
        process.kill();
        process.waitForFinished(10000);
    }
    // The lines of standard error that hold `marker`, once it has been quiet for 100 ms.
    std::vector<std::string> errorLines(const std::string& marker) {
        for (int i = 0; i < 100 && process.waitForReadyRead(100); ++i)
            errors += process.readAllStandardError().toStdString();
        errors += process.readAllStandardError().toStdString();
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; (end = errors.find('\n', at)) != std::string::npos;
             at = end + 1)
            if (errors.substr(at, end - at).find(marker) != std::string::npos)
                lines.push_back(errors.substr(at, end - at));
        return lines;
    }

    int argc = 1;
    char* argv[2] = {const_cast<char*>("settings_tests"), nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir config;
    QProcess process;
    std::string errors;
};

test::Reply emptyPage(const std::string&) {
    return test::httpReply("HTTP/1.1 200 OK", "");
}

}  // namespace

TEST(SettingsProgram, StartUpRequestsGoWhereTheFileSends) {
    test::LoopbackServer plans(emptyPage), pages(emptyPage), draws(emptyPage), publisher(emptyPage),
        counter(emptyPage), blog(emptyPage);
    ProgramRun run(
        "[sites]\nplan_server = 127.0.0.1\nplan_server_port = " + std::to_string(plans.port()) +
        "\nplan_page_site = " + pages.url("") + "\ndraw_site = " + draws.url("") +
        "\npublisher_site = " + publisher.url("") + "\ncounter_site = " + counter.url("") +
        "\ncounter_id = 4711" + "\ncounter_image_prefix = " + counter.url("") +
        "\nblog_site = " + blog.url("") + "\n");
    // Start-up asks for the announcement, the published version, the draw list and the counter.
    ASSERT_TRUE(counter.waitForRequests(1, std::chrono::seconds(30)));
    EXPECT_NE(counter.requests()[0].find("/count/count.asp?id=4711&"), std::string::npos);
    EXPECT_TRUE(publisher.waitForRequests(2));
    EXPECT_TRUE(draws.waitForRequests(1));
    EXPECT_EQ(run.process.state(), QProcess::Running);
    EXPECT_TRUE(run.errorLines("settings:").empty());
    EXPECT_EQ(QDir(run.config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("planviewer")});
    EXPECT_EQ(QDir(run.config.filePath(QStringLiteral("planviewer"))).entryList(QDir::Files),
              QStringList{QStringLiteral("planviewer.conf")});  // it writes nothing
}

TEST(SettingsProgram, BadValuesKeepTheDefaultsWithOneLineEach) {
    // The counter site alone is usable: its request marks the end of start-up and carries the
    // default counter id.
    test::LoopbackServer counter(emptyPage);
    ProgramRun run(
        "[sites]\nplan_server = http://plans.example/\nplan_server_port = 70000\n"
        "plan_page_site = pages.example\ndraw_site = ftp://draws.example\n"
        "publisher_site = http://:2203\ncounter_site = " +
        counter.url("") +
        "\ncounter_id = 1&sx=9\ncounter_image_prefix = http://img.example/img\n"
        "blog_site = \"http://blog.example:\\n\"\ncolour = red\n");
    ASSERT_TRUE(counter.waitForRequests(1, std::chrono::seconds(30)));
    const Settings d = Settings::defaults();
    EXPECT_NE(counter.requests()[0].find("?id=" + d.counterId + "&"), std::string::npos);
    std::vector<std::string> refused = run.errorLines(" refused, ");
    std::sort(refused.begin(), refused.end());  // by key: the file's name leads every line
    EXPECT_EQ(run.process.state(), QProcess::Running);
    const std::vector<std::string> kept = {"blog_site",
                                           d.blogSite,
                                           "counter_id",
                                           d.counterId,
                                           "counter_image_prefix",
                                           d.counterImagePrefix,
                                           "draw_site",
                                           d.drawSite,
                                           "plan_page_site",
                                           d.planPageSite,
                                           "plan_server",
                                           d.planServer,
                                           "plan_server_port",
                                           std::to_string(d.planServerPort),
                                           "publisher_site",
                                           d.publisherSite};
    ASSERT_EQ(refused.size(), kept.size() / 2);
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_NE(refused[i].find(": " + kept[2 * i] + " = "), std::string::npos) << refused[i];
        EXPECT_NE(refused[i].find("; keeping " + kept[2 * i + 1]), std::string::npos);
    }
    EXPECT_EQ(run.errorLines("unknown keys ignored: sites/colour").size(), 1u);
}
