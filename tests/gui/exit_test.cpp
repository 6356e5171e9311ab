// Closing the program while workers are busy ends it with code 0 once the workers have ended,
// or after the program's wait for them. Start-up readies the process first.
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include "gui/program.h"

namespace {

struct Outcome {
    bool started = false;
    bool finished = false;
    qint64 closingMs = -1;
    int exitCode = -1;
    QByteArray output;
    QString errors;
};

Outcome runProbe(const QString& mode) {
    Outcome out;
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(PLANVIEWER_EXIT_PROBE), {mode});
    if (!probe.waitForStarted(30000)) return out;
    QByteArray seen;
    while (!seen.contains("closing\n") && probe.waitForReadyRead(60000))
        seen += probe.readAllStandardOutput();
    out.started = seen.contains("closing\n");
    out.output = seen;
    QElapsedTimer clock;
    clock.start();
    out.finished = probe.waitForFinished(10000);
    out.closingMs = clock.elapsed();
    if (!out.finished) probe.kill(), probe.waitForFinished(5000);
    out.exitCode = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    out.errors = QString::fromLocal8Bit(probe.readAllStandardError());
    return out;
}

}  // namespace

TEST(OrderlyExit, StartUpIgnoresSigpipeAndSetsUpCurlFirst) {
    const Outcome out = runProbe(QStringLiteral("cooperative"));
    EXPECT_TRUE(out.output.contains("sigpipe ignored\n")) << out.errors.toStdString();
    EXPECT_TRUE(out.output.contains("curl set up once, on the main thread\n"));
    EXPECT_EQ(out.exitCode, 0);
}

TEST(OrderlyExit, BusyWorkersEndWithTheWindow) {
    for (const char* mode : {"cooperative", "straggler"}) {
        SCOPED_TRACE(mode);
        const Outcome out = runProbe(QString::fromLatin1(mode));
        ASSERT_TRUE(out.started) << out.errors.toStdString();
        EXPECT_TRUE(out.finished);
        // The wait for stragglers, plus slack for a loaded machine and the sanitizers.
        EXPECT_LT(out.closingMs, pv::ProgramOptions{}.workerWait.count() + 5000);
        EXPECT_EQ(out.exitCode, 0);
        EXPECT_FALSE(out.errors.contains(QStringLiteral("Sanitizer"))) << out.errors.toStdString();
        EXPECT_FALSE(out.errors.contains(QStringLiteral("runtime error")))
            << out.errors.toStdString();
        std::printf("[ measured ] %s: closed to exit in %lld ms\n", mode,
                    static_cast<long long>(out.closingMs));
    }
}
