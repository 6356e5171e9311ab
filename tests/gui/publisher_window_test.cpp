// The publisher's services on the program's own window.
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "gui/main_window.h"
#include "support/loopback_server.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;

namespace {

// The probe's "key value" lines.
std::map<QByteArray, QList<QByteArray>> probeLines(const QByteArray& out) {
    std::map<QByteArray, QList<QByteArray>> lines;
    for (const QByteArray& line : out.split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space > 0) lines[line.left(space)].append(line.mid(space + 1));
    }
    return lines;
}

TEST(PublisherWindow, NewVersionEndsTheProgramAfterTheWait) {
    const int waitMs = 2500;
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(PLANVIEWER_UPDATE_PROBE), {QString::number(waitMs)});
    ASSERT_TRUE(probe.waitForStarted(30000));
    const bool finished = probe.waitForFinished(60000);
    if (!finished) probe.kill(), probe.waitForFinished(5000);
    const QByteArray errors = probe.readAllStandardError();
    ASSERT_TRUE(finished) << errors.toStdString();
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << errors.toStdString();

    auto lines = probeLines(probe.readAllStandardOutput());
    EXPECT_EQ(lines["message"], QList<QByteArray>{"发现新版本！请下载最新版"});
    EXPECT_EQ(lines["opened"], QList<QByteArray>{"http://dl.example/new"});
    EXPECT_EQ(lines["notice"], QList<QByteArray>{"#换行符+软件已更新！请下载最新版……"});
    EXPECT_EQ(lines["closed"], QList<QByteArray>{"yes"});
    ASSERT_EQ(lines["waited"].size(), 1);
    EXPECT_GE(lines["waited"][0].toInt(), waitMs);
    ASSERT_EQ(lines["ticks"].size(), 1);
    EXPECT_GE(lines["ticks"][0].toInt(), 1) << "the countdown stood still during the wait";
    std::printf("[ measured ] wait %s ms, countdown ticks during it %s\n",
                lines["waited"][0].constData(), lines["ticks"][0].constData());
}

TEST(PublisherWindow, BlogRequestsServeWindowEvents) {
    ensureApplication();
    resetShutdownForTesting();
    test::LoopbackServer server([](const std::string&) {
        return test::httpReply("HTTP/1.1 200 OK",
                               "<span>后三计划：</span><a href=\"http://pan.example/s/1\">");
    });
    Settings settings;
    settings.blogSite = server.url("");
    Runtime runtime(settings);
    MainWindow window(runtime);
    window.show();

    bool served = false;
    QMetaObject::invokeMethod(
        &window, [&served] { served = true; }, Qt::QueuedConnection);
    auto* button = qobject_cast<QPushButton*>(window.control(ctl::kUpdateBlogPlansButton));
    ASSERT_NE(button, nullptr);
    button->click();  // runs the whole handler before it returns
    EXPECT_TRUE(served);
    EXPECT_EQ(runtime.controls.text(ctl::kBlogStatusLabel), "博客地址更新时间  今日博客计划已更新");
    EXPECT_EQ(runtime.controls.text(ctl::kBlogPlansBox),
              "后三计划：http://pan.example/s/1\r\n\r\n");
    EXPECT_EQ(server.requests().size(), 2u);

    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    resetShutdownForTesting();
}

}  // namespace
