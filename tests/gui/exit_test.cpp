// Closing the program while workers are busy ends it with code 0 once the workers have ended,
// or after the program's wait for them. Start-up readies the process first.

#include <gtest/gtest.h>

#include "gui/program.h"
#include "support/window_support.h"

namespace {

pv::test::ProbeRun runProbe(const QString& mode) {
    return pv::test::runProbe(QStringLiteral(PLANVIEWER_EXIT_PROBE), mode, "closing\n", 10000);
}

}  // namespace

TEST(OrderlyExit, StartUpIgnoresSigpipeAndSetsUpCurlFirst) {
    const pv::test::ProbeRun out = runProbe(QStringLiteral("cooperative"));
    EXPECT_TRUE(out.output.contains("sigpipe ignored\n")) << out.errors.toStdString();
    EXPECT_TRUE(out.output.contains("curl set up once, on the main thread\n"));
    EXPECT_EQ(out.exitCode, 0);
}

TEST(OrderlyExit, BusyWorkersEndWithTheWindow) {
    for (const char* mode : {"cooperative", "straggler"}) {
        SCOPED_TRACE(mode);
        const pv::test::ProbeRun out = runProbe(QString::fromLatin1(mode));
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
