// Saves a picture of each page of 选择夹1 (and of the sub-pages of 选择夹2) into the folder given
// as the only argument. A development aid for scripts/screenshots.sh, not part of the program.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "gui/main_window.h"
#include "gui/tab_control.h"

using namespace pv;

namespace {

bool save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    if (window.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: planviewer_screenshots <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QApplication::setFont(programFont());
    Runtime runtime;
    MainWindow window(runtime);
    window.show();
    StartupSequence steps;  // only the look: no network, no workers
    window.runStartup(steps);
    runtime.controls.setPeriod("时钟1", 0);

    auto* pages = qobject_cast<TabControl*>(window.control("选择夹1"));
    if (!pages) {
        std::fprintf(stderr, "the layout has no tab control 选择夹1\n");
        return 1;
    }
    bool ok = true;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        ok &= save(window, folder.filePath(QStringLiteral("page-%1.png").arg(i)));
        auto* sub = qobject_cast<TabControl*>(window.control("选择夹2"));
        if (sub && pages->page(i)->isAncestorOf(sub)) {
            for (int j = 1; j < sub->count(); ++j) {
                sub->setCurrentIndex(j);
                ok &= save(window, folder.filePath(QStringLiteral("page-%1-%2.png").arg(i).arg(j)));
            }
            sub->setCurrentIndex(0);
        }
    }
    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    return ok ? 0 : 1;
}
