// The settings file: read in-process through QSettings, and by the real program, started with
// XDG_CONFIG_HOME on a folder of the test's own.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <mutex>

#include <gtest/gtest.h>

#include "core/log.h"
#include "gui/settings_file.h"
#include "loopback_server.h"

using namespace pv;

namespace {

std::mutex g_logMutex;
std::vector<std::string> g_log;

void capture(std::string_view message) {
    std::lock_guard lock(g_logMutex);
    g_log.emplace_back(message);
}

QString writeFile(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    file.write(text.data(), qint64(text.size()));
    return path;
}

auto fields(const Settings& s) {
    return std::tie(s.planServer, s.planServerPort, s.planPageSite, s.drawSite, s.publisherSite,
                    s.counterSite, s.counterId, s.counterImagePrefix, s.blogSite);
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log.clear();
        previous_ = setLogSink(capture);
    }
    void TearDown() override { setLogSink(previous_); }

    QTemporaryDir dir_;
    LogSink previous_ = nullptr;
};

TEST_F(SettingsFileTest, TheUsersFileWinsOverTheSystemOneKeyByKey) {
    const QString system = writeFile(dir_.filePath(QStringLiteral("etc/planviewer.conf")),
                                     "[sites]\n"
                                     "draw_site = http://system-draws.example\n"
                                     "blog_site = http://system-blog.example\n");
    const QString user = writeFile(dir_.filePath(QStringLiteral("home/planviewer.conf")),
                                   "; a comment\n"
                                   "[sites]\n"
                                   "blog_site = https://user-blog.example:8443\n"
                                   "draw_site = http://a,b\n"
                                   "plan_server_port = 2300\n");
    const QString missing = dir_.filePath(QStringLiteral("nowhere/planviewer.conf"));
    const Settings s = loadSettings({missing, system, user});
    EXPECT_EQ(s.drawSite, "http://system-draws.example");  // the user's value is refused
    EXPECT_EQ(s.blogSite, "https://user-blog.example:8443");
    EXPECT_EQ(s.planServerPort, 2300);
    EXPECT_EQ(s.publisherSite, Settings::defaults().publisherSite);
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_NE(g_log[0].find("draw_site = \"http://a,b\" refused"), std::string::npos) << g_log[0];
    EXPECT_NE(g_log[0].find("keeping http://system-draws.example"), std::string::npos);
}

TEST_F(SettingsFileTest, TheExampleFileWithEveryKeyInPlaceGivesTheDefaults) {
    QFile example(QStringLiteral(PLANVIEWER_SETTINGS_EXAMPLE));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    // Every key's line, "# key = default", without its "# ".
    std::string text;
    std::size_t keys = 0;
    for (const QByteArray& line : example.readAll().split('\n')) {
        std::string l = line.toStdString();
        for (std::string_view key : settingsKeys())
            if (l.starts_with("# " + std::string(key) + " = ")) l.erase(0, 2), ++keys;
        text += l + "\n";
    }
    EXPECT_EQ(keys, settingsKeys().size());
    const QString file = writeFile(dir_.filePath(QStringLiteral("planviewer.conf")), text);
    const Settings read = loadSettings({file}), defaults = Settings::defaults();
    EXPECT_EQ(fields(read), fields(defaults));
    EXPECT_TRUE(g_log.empty()) << g_log.front();
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileIsLoggedAndPassedOver) {
    QDir().mkpath(dir_.filePath(QStringLiteral("planviewer.conf")));
    const Settings read = loadSettings({dir_.filePath(QStringLiteral("planviewer.conf"))});
    const Settings defaults = Settings::defaults();
    EXPECT_EQ(fields(read), fields(defaults));
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_NE(g_log[0].find("cannot be read"), std::string::npos);
}

// The installed program, with a settings file of the test's own and every site on loopback.
class ProgramRun {
  public:
    explicit ProgramRun(const std::string& settings) {
        configFile_ =
            writeFile(config_.filePath(QStringLiteral("planviewer/planviewer.conf")), settings);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(PLANVIEWER_PROGRAM), {});
        process_.waitForStarted(30000);
    }
    ~ProgramRun() {
        process_.kill();
        process_.waitForFinished(10000);
    }

    bool running() const { return process_.state() == QProcess::Running; }
    // Waits, bounded, until standard error holds `count` lines that contain `marker`.
    std::vector<std::string> errorLines(const std::string& marker, std::size_t count) {
        std::vector<std::string> lines;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            process_.waitForReadyRead(100);
            errors_ += process_.readAllStandardError().toStdString();
            lines.clear();
            std::size_t start = 0;
            for (std::size_t end; (end = errors_.find('\n', start)) != std::string::npos;
                 start = end + 1)
                if (errors_.substr(start, end - start).find(marker) != std::string::npos)
                    lines.push_back(errors_.substr(start, end - start));
            if (lines.size() >= count || !running()) break;
        }
        return lines;
    }
    // Every file under the settings folder, relative to it.
    QStringList files() const {
        QStringList out;
        QDirIterator it(config_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(config_.path()).relativeFilePath(it.next());
        return out;
    }

  private:
    QTemporaryDir config_;
    QString configFile_;
    QProcess process_;
    std::string errors_;
};

test::Reply emptyPage(const std::string&) {
    return test::httpReply("HTTP/1.1 200 OK", "");
}

TEST(SettingsProgram, StartUpRequestsGoWhereTheFileSends) {
    int argc = 1;
    char name[] = "settings_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
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
    EXPECT_NE(test::requestLine(counter.requests()[0]).find("/count/count.asp?id=4711&"),
              std::string::npos);
    ASSERT_TRUE(publisher.waitForRequests(2, std::chrono::seconds(10)));
    EXPECT_NE(test::requestLine(publisher.requests()[0]).find("/ruanjian/gonggao.htm"),
              std::string::npos);
    EXPECT_TRUE(draws.waitForRequests(1, std::chrono::seconds(10)));
    EXPECT_TRUE(run.running());
    EXPECT_TRUE(run.errorLines("settings:", 0).empty());
    EXPECT_EQ(run.files(), QStringList{QStringLiteral("planviewer/planviewer.conf")});
}

TEST(SettingsProgram, BadValuesKeepTheDefaultsWithOneLineEach) {
    int argc = 1;
    char name[] = "settings_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    // The counter site alone is usable: its request shows the end of start-up and the default
    // counter id.
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
    EXPECT_NE(test::requestLine(counter.requests()[0]).find("?id=" + d.counterId + "&"),
              std::string::npos);
    const std::vector<std::string> refused = run.errorLines(" refused, ", 8);
    EXPECT_TRUE(run.running());
    ASSERT_EQ(refused.size(), 8u);
    const std::vector<std::pair<std::string, std::string>> kept = {
        {"blog_site", d.blogSite},
        {"counter_id", d.counterId},
        {"counter_image_prefix", d.counterImagePrefix},
        {"draw_site", d.drawSite},
        {"plan_page_site", d.planPageSite},
        {"plan_server", d.planServer},
        {"plan_server_port", std::to_string(d.planServerPort)},
        {"publisher_site", d.publisherSite}};
    for (const auto& [key, value] : kept) {
        const auto line = std::find_if(refused.begin(), refused.end(), [&](const std::string& l) {
            return l.find(": " + key + " = ") != std::string::npos;
        });
        ASSERT_NE(line, refused.end()) << key;
        EXPECT_NE(line->find("keeping " + value), std::string::npos) << *line;
    }
    const std::vector<std::string> unknown =
        run.errorLines("unknown keys ignored: sites/colour", 1);
    EXPECT_EQ(unknown.size(), 1u);
    EXPECT_TRUE(run.running());
}

}  // namespace
