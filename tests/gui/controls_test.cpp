// The controls facade and the desktop services over a real window built from a small layout.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "gui/main_window.h"
#include "gui/tab_control.h"
#include "support/control_name_for_tests.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

Settings testSettings() {
    Settings s;
    s.planPageSite = "http://pages.test";
    return s;
}

class Facade : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureApplication();
        resetShutdownForTesting();
        runtime = std::make_unique<Runtime>(testSettings());
        window = std::make_unique<MainWindow>(*runtime, sampleLayout());
        window->setEventObserver([this](const std::string& name, ControlEvent event) {
            events.push_back({name, event, std::this_thread::get_id()});
        });
        window->show();
    }
    void TearDown() override {
        if (window && !window->hasClosed()) {
            runtime->desktop.answerNextMessageBox(kAnswerYes);
            window->close();
        }
        window.reset();
        runtime.reset();
        resetShutdownForTesting();
    }
    int count(const std::string& name, ControlEvent event) const {
        int n = 0;
        for (const auto& e : events)
            n += e.name == name && e.event == event;
        return n;
    }
    template <class T>
    T* widget(ControlName name) const {
        return qobject_cast<T*>(window->control(name));
    }

    struct Seen {
        std::string name;
        ControlEvent event;
        std::thread::id thread;
    };
    std::unique_ptr<Runtime> runtime;
    std::unique_ptr<MainWindow> window;
    std::vector<Seen> events;
};

// Key presses as the keyboard would deliver them, Chinese included.
void type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            QTest::keyClick(w, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

template <class F>
auto onWorker(F f) {
    auto result = std::async(std::launch::async, std::move(f));
    EXPECT_TRUE(waitUntil([&] { return result.wait_for(0s) == std::future_status::ready; }));
    return result.get();
}

}  // namespace

TEST_F(Facade, EditBoxesReadBackWhatWasWrittenAndWhatWasTyped) {
    Controls& c = runtime->controls;
    // Read before 编辑框2 is written: its content-changed handler rewrites 编辑框1.
    EXPECT_EQ(c.text(ctl::kBackThreeNumbersBox), "\r\n挂机直接采集专用");
    EXPECT_EQ(widget<QPlainTextEdit>(ctl::kBackThreeNumbersBox)->toPlainText(),
              QStringLiteral("\n挂机直接采集专用"));
    const std::string written = "第一行\r\n\xff\x80 bad\rlone\r\n";
    c.setText(ctl::kBackThreePlanBox, written);
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), written);
    auto* box = widget<QPlainTextEdit>(ctl::kBackThreePlanBox);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->toPlainText().startsWith(QStringLiteral("第一行\n")));
    EXPECT_FALSE(box->toPlainText().contains(QLatin1Char('\r')));

    c.appendText(ctl::kBackThreePlanBox, "尾\r\n");
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), written + "尾\r\n");
    c.setText(ctl::kRefreshPeriodBox,
              std::string("12\0 34", 6));  // a text ends at its first zero byte
    EXPECT_EQ(c.text(ctl::kRefreshPeriodBox), "12");

    // What the user types comes back with CR LF line ends, and appends go after it.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    type(box, QStringLiteral("x\n中y"));
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), "x\r\n中y");
    c.appendText(ctl::kBackThreePlanBox, "\r\nz");
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), "x\r\n中y\r\nz");
    type(widget<QLineEdit>(ctl::kRefreshPeriodBox), QStringLiteral("5"));
    EXPECT_EQ(c.text(ctl::kRefreshPeriodBox), "125");

    EXPECT_EQ(c.text(ControlNameTestAccess::unknown("没有这个控件")), "");
    c.setText(ControlNameTestAccess::unknown("没有这个控件"), "x");  // ignored
}

// Appends reach the widget at the window's next turn, and always before the user's next input,
// so what is typed goes after them and nothing appended is lost.
TEST_F(Facade, AppendsShowBeforeTheNextTurnOrTheNextKey) {
    Controls& c = runtime->controls;
    auto* box = widget<QPlainTextEdit>(ctl::kBackThreePlanBox);
    c.setText(ctl::kBackThreePlanBox, "a");
    c.appendText(ctl::kBackThreePlanBox, "b\r\n");
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    type(box, QStringLiteral("c"));
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), "ab\r\nc");
    c.appendText(ctl::kBackThreePlanBox, "d");
    c.appendText(ctl::kBackThreePlanBox, "e");
    QApplication::processEvents();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("ab\ncde"));
    EXPECT_EQ(box->textCursor().position(), box->document()->characterCount() - 1);
}

TEST_F(Facade, EveryContentChangeRaisesOneEventAfterTheContentIsInPlace) {
    Controls& c = runtime->controls;
    std::vector<std::string> seen;
    window->setEventObserver([&](const std::string& name, ControlEvent event) {
        events.push_back({name, event, std::this_thread::get_id()});
        if (name == ctl::kBackThreePlanBox) seen.push_back(c.text(ctl::kBackThreePlanBox));
    });
    c.setText(ctl::kBackThreePlanBox, "a");
    c.appendText(ctl::kBackThreePlanBox, "b");
    c.setText(ctl::kBackThreePlanBox, "ab");  // the same content is still a write
    c.setText(ctl::kBackThreePlanBox, "");
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "ab", "ab", ""}));

    type(widget<QPlainTextEdit>(ctl::kBackThreePlanBox), QStringLiteral("zq"));
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen.back(), "zq");

    // Captions, visibility and the look are not content.
    c.setText(ctl::kCountdownLabel, "09:59");
    c.setVisible(ctl::kBackThreePlanBox, false);
    c.setVisible(ctl::kBackThreePlanBox, true);
    applyThemedStyle();
    QApplication::processEvents();
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(count(ctl::kCountdownLabel, ControlEvent::ContentChanged), 0);
    EXPECT_EQ(c.text(ctl::kCountdownLabel), "09:59");
    EXPECT_EQ(widget<QLabel>(ctl::kCountdownLabel)->textFormat(), Qt::PlainText);
}

TEST_F(Facade, TimerPeriodsRestartOnlyOnAChange) {
    QtControls& c = runtime->controls;
    QTimer* timer = window->timer(ctl::timer(3));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->objectName(), QStringLiteral("时钟3"));
    EXPECT_FALSE(timer->isActive());

    c.setPeriod(ctl::timer(3), 1000);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(c.timerStarts(ctl::timer(3)), 1);
    c.setPeriod(ctl::timer(3), 1000);  // keeps its phase
    EXPECT_EQ(c.timerStarts(ctl::timer(3)), 1);
    c.setPeriod(ctl::timer(3), 250);
    EXPECT_EQ(c.timerStarts(ctl::timer(3)), 2);
    EXPECT_EQ(c.period(ctl::timer(3)), 250);
    c.setPeriod(ctl::timer(3), -5);
    EXPECT_EQ(c.period(ctl::timer(3)), 0);
    EXPECT_FALSE(timer->isActive());
    c.setPeriod(ctl::timer(3), 0);
    EXPECT_EQ(c.timerStarts(ctl::timer(3)), 2);

    c.setPeriod(ctl::kBackThreePlanBox, 100);  // not a timer
    EXPECT_EQ(c.period(ctl::kBackThreePlanBox), 0);

    c.setPeriod(ctl::timer(3), 1);
    EXPECT_TRUE(waitUntil([&] { return count(ctl::timer(3), ControlEvent::Tick) >= 2; }));
    c.setPeriod(ctl::timer(3), 0);
    EXPECT_EQ(count(ctl::kCountdownTimer, ControlEvent::Tick), 0);
}

TEST_F(Facade, WorkerThreadsReachListViewGridAndBoxesThroughTheWindowThread) {
    Controls& c = runtime->controls;
    const std::string page(50000, 'p');
    const GridRows grid = {{"期号", "万", "千", "百", "十", "个"},
                           {"230期", "1", "2", "3", "4", "5"}};
    struct Result {
        int count;
        std::string cells[6];
        GridRows grid;
        bool visible;
    };
    Result r = onWorker([&] {
        Result out{};
        out.count = c.itemCount(ctl::kPageCacheList);
        out.cells[0] = c.itemText(ctl::kPageCacheList, 0);
        out.cells[1] = c.itemText(ctl::kPageCacheList, 1, 1);
        c.setItemText(ctl::kPageCacheList, 1, 2, page);
        out.cells[2] = c.itemText(ctl::kPageCacheList, 1, 2);
        c.setItemText(ctl::kPageCacheList, 2, 0, "beyond");
        c.setItemText(ctl::kPageCacheList, 0, 3, "beyond");
        out.cells[3] = c.itemText(ctl::kPageCacheList, 2, 0);
        out.cells[4] = c.itemText(ctl::kPageCacheList, 0, 3);
        out.cells[5] = c.itemText(ctl::kPageCacheList, -1, 0);
        c.setGridRows(ctl::kDrawHistoryGrid, {{"old"}, {"1"}, {"2"}, {"3"}});
        c.setGridColumnWidth(ctl::kDrawHistoryGrid, 0, 50);
        c.setGridRows(ctl::kDrawHistoryGrid, grid);
        out.grid = c.gridRows(ctl::kDrawHistoryGrid);
        c.setText(ctl::kBackThreePlanBox, "from a worker");
        out.visible = c.visible(ctl::kPageCacheList);
        return out;
    });
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.cells[0], "http://pages.test/detail/1193.html");
    EXPECT_EQ(r.cells[1], "3");
    EXPECT_EQ(r.cells[2], page);
    EXPECT_EQ(r.cells[3] + r.cells[4] + r.cells[5], "");
    EXPECT_EQ(r.grid, grid);
    EXPECT_FALSE(r.visible);

    auto* list = widget<QTreeWidget>(ctl::kPageCacheList);
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("返回信息"));
    // The cell reads back whole, but the widget lays out only its start.
    EXPECT_EQ(list->topLevelItem(1)->text(2),
              QString(1024, QLatin1Char('p')) + QStringLiteral("…"));
    std::string wide = "p";
    for (int i = 0; i < 600; ++i)
        wide += "中";
    c.setItemText(ctl::kPageCacheList, 0, 2, wide);  // the cut falls between two characters
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 0, 2), wide);
    EXPECT_EQ(list->topLevelItem(0)->text(2),
              QStringLiteral("p") + QString(511, QChar(0x4E2D)) + QStringLiteral("…"));
    auto* table = widget<QTableWidget>(ctl::kDrawHistoryGrid);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->columnCount(), 6);
    EXPECT_EQ(table->columnWidth(0), 50);
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("230期"));
    // The worker's write raised its event once, on the window thread.
    ASSERT_EQ(count(ctl::kBackThreePlanBox, ControlEvent::ContentChanged), 1);
    for (const auto& e : events)
        EXPECT_EQ(e.thread, std::this_thread::get_id());
}

TEST_F(Facade, WorkersAreReleasedAtOnceWhenTheWindowCloses) {
    Controls& c = runtime->controls;
    Desktop& d = runtime->desktop;
    c.setText(ctl::kBackThreePlanBox, "kept");
    std::promise<void> calling;
    auto result = std::async(std::launch::async, [&] {
        calling.set_value();
        std::string text =
            c.text(ctl::kBackThreePlanBox);  // nobody serves it: the window thread is busy
        c.setText(ctl::kBackThreePlanBox, "late");
        d.delay(60000);
        return text + "|" + std::to_string(d.messageBox("?", kStyleYesNo));
    });
    calling.get_future().wait();
    runtime->desktop.answerNextMessageBox(kAnswerYes);
    ASSERT_TRUE(window->close());
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(result.get(), "|6");
    QApplication::processEvents();
    EXPECT_EQ(widget<QPlainTextEdit>(ctl::kBackThreePlanBox)->toPlainText(),
              QStringLiteral("kept"));
}

TEST_F(Facade, DelayServesEventsReentrantlyAndOnlyWhenItWaits) {
    Desktop& d = runtime->desktop;
    bool early = false;
    QTimer::singleShot(0, [&] { early = true; });
    d.delay(0);
    d.delay(-5);
    EXPECT_FALSE(early);

    std::vector<std::string> order;
    QTimer::singleShot(0, [&] {
        order.push_back("tick");
        d.delay(10);  // a handler may wait again inside a wait
        order.push_back("inner done");
    });
    QElapsedTimer clock;
    clock.start();
    d.delay(40);
    order.push_back("outer done");
    EXPECT_GE(clock.elapsed(), 40);
    EXPECT_EQ(order, (std::vector<std::string>{"tick", "inner done", "outer done"}));

    // On a worker the pause needs no window events.
    auto waited = std::async(std::launch::async, [&] {
        const auto start = std::chrono::steady_clock::now();
        d.delay(30);
        return std::chrono::steady_clock::now() - start;
    });
    ASSERT_EQ(waited.wait_for(10s), std::future_status::ready);
    EXPECT_GE(waited.get(), 30ms);

    // Closing the window ends a pause in progress.
    QTimer::singleShot(0, [&] {
        runtime->desktop.answerNextMessageBox(kAnswerYes);
        window->close();
    });
    clock.restart();
    d.delay(60000);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(window->hasClosed());
}

TEST_F(Facade, CloseAsksFirstAndNoKeepsEverything) {
    QtDesktop& d = runtime->desktop;
    Controls& c = runtime->controls;
    QSignalSpy closedSpy(window.get(), &MainWindow::closed);
    c.setText(ctl::kBackThreePlanBox, "plan");
    c.setPeriod(ctl::kCountdownTimer, 1000);

    d.answerNextMessageBox(kAnswerNo);
    EXPECT_FALSE(window->close());
    QCloseEvent fromSystemMenu;  // title bar, system menu and Alt+F4 all arrive as this event
    d.answerNextMessageBox(kAnswerCancel);
    QApplication::sendEvent(window.get(), &fromSystemMenu);
    EXPECT_FALSE(fromSystemMenu.isAccepted());
    EXPECT_EQ(d.answeredMessages(), (std::vector<std::string>{"确定要关闭吗？", "确定要关闭吗？"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(runtime->state.stopFlag.load(), 1);  // not undone by the No
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), "plan");
    EXPECT_TRUE(window->timer(ctl::kCountdownTimer)->isActive());
    EXPECT_FALSE(shuttingDown());

    d.answerNextMessageBox(kAnswerYes);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->hasClosed());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closedSpy.count(), 1);
    EXPECT_TRUE(shuttingDown());
    EXPECT_FALSE(window->timer(ctl::kCountdownTimer)->isActive());
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox), "");  // the facade no longer answers
}

// However the window goes, the gate shuts and shutdown begins: a worker waiting in a pause is
// released and its calls return at once.
TEST(WindowGate, ShutsHoweverTheWindowGoes) {
    ensureApplication();
    enum Way { Destroyed, EndedDuringTheQuestion, ApplicationQuits };
    for (Way way : {Destroyed, EndedDuringTheQuestion, ApplicationQuits}) {
        SCOPED_TRACE(way);
        resetShutdownForTesting();
        auto runtime = std::make_unique<Runtime>();
        auto window = std::make_unique<MainWindow>(*runtime, sampleLayout());
        window->show();
        std::promise<void> waiting;
        auto worker = std::async(std::launch::async, [&] {
            waiting.set_value();
            runtime->desktop.delay(60000);
            return runtime->controls.text(ctl::kBackThreeNumbersBox);
        });
        waiting.get_future().wait();
        bool pressedByTest = false;
        switch (way) {
            case Destroyed:
                window.reset();
                break;
            case EndedDuringTheQuestion: {
                // The program ends the window while the closing question is open; the test
                // answers it only if the program does not dismiss it.
                QTimer poll;
                int polls = 0;
                QObject::connect(&poll, &QTimer::timeout, [&] {
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    if (!box) return;
                    if (polls++ == 0) runtime->desktop.closeMainWindow();
                    if (polls < 100) return;
                    pressedByTest = true;
                    box->button(QMessageBox::No)->click();
                });
                poll.start(50);
                EXPECT_TRUE(window->close());
                break;
            }
            case ApplicationQuits:
                QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
                QApplication::exec();
                break;
        }
        const bool released =
            waitUntil([&] { return worker.wait_for(0s) == std::future_status::ready; });
        EXPECT_TRUE(released);
        if (!released) runtime->gate.close();  // lets the test end
        EXPECT_EQ(worker.get(), "");
        EXPECT_FALSE(pressedByTest);
        EXPECT_TRUE(runtime->gate.closed());
        EXPECT_TRUE(shuttingDown());
        EXPECT_EQ(runtime->state.stopFlag.load(), 1);
        if (window) {
            EXPECT_TRUE(window->hasClosed());
        }
    }
    resetShutdownForTesting();
}

TEST_F(Facade, TheProgramMayEndTheWindowWithoutTheQuestion) {
    QtDesktop& d = runtime->desktop;
    d.answerNextMessageBox(kAnswerNo);  // would keep the window if it were asked
    d.closeMainWindow();
    EXPECT_TRUE(window->hasClosed());
    EXPECT_TRUE(d.answeredMessages().empty());
    EXPECT_EQ(runtime->state.stopFlag.load(), 1);
}

TEST_F(Facade, MessageBoxesAnswerWithTheirButtonNumbersAndShowPlainText) {
    QtDesktop& d = runtime->desktop;
    d.answerNextMessageBox(kAnswerRetry);
    EXPECT_EQ(d.messageBox("hooked", kStyleRetryCancel), kAnswerRetry);

    auto press = [](QMessageBox::StandardButton button, QString* shown, QString* title) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [=] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            *shown = box->text() + QLatin1Char('|') + QString::number(int(box->textFormat()));
            *title = box->windowTitle();
            poll->stop();
            poll->deleteLater();
            box->button(button)->click();
        });
        poll->start(5);
    };
    QString shown, title;
    press(QMessageBox::No, &shown, &title);
    EXPECT_EQ(d.messageBox("<b>确定</b>", kStyleYesNo | kStyleIconQuestion), kAnswerNo);
    EXPECT_EQ(shown, QStringLiteral("<b>确定</b>|%1").arg(int(Qt::PlainText)));
    EXPECT_EQ(title, QStringLiteral("信息："));
    press(QMessageBox::Ok, &shown, &title);
    EXPECT_EQ(d.messageBox("ok", 0, "标题"), kAnswerOk);
    EXPECT_EQ(title, QStringLiteral("标题"));
    press(QMessageBox::Ignore, &shown, &title);
    EXPECT_EQ(d.messageBox("?", kStyleAbortRetryIgnore), kAnswerIgnore);

    EXPECT_EQ(dismissedAnswer(kStyleYesNo), kAnswerNo);
    EXPECT_EQ(dismissedAnswer(kStyleYesNoCancel), kAnswerCancel);
    EXPECT_EQ(dismissedAnswer(kStyleOk | kStyleIconStop), kAnswerOk);
}

TEST_F(Facade, ClipboardTakesTextAndOnlyWebAddressesOpen) {
    QtDesktop& d = runtime->desktop;
    EXPECT_TRUE(d.setClipboardText("复制号码\r\n123"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("复制号码\r\n123"));
    EXPECT_TRUE(d.setClipboardText(""));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());

    std::vector<QUrl> opened;
    d.setAddressOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    EXPECT_TRUE(d.openAddress("http://127.0.0.1:2203/xz.htm \r\n"));
    EXPECT_FALSE(d.openAddress(""));
    EXPECT_FALSE(d.openAddress("file:///etc/passwd"));
    EXPECT_FALSE(d.openAddress("javascript:alert(1)"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), QStringLiteral("http://127.0.0.1:2203/xz.htm"));
}

TEST_F(Facade, WidgetsCarryNamesCaptionsAndTheirPlace) {
    Controls& c = runtime->controls;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("岚枫阁免费版+大底v1.41"));
    EXPECT_EQ(c.text(ctl::kWindow), "岚枫阁免费版+大底v1.41");
    EXPECT_TRUE(waitUntil([&] { return window->frameGeometry().size() == QSize(861, 638); }));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(50, 50));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(128, 128)));

    auto* button = widget<QPushButton>(ctl::kRefreshPageCacheButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("A&&B "));  // no mnemonic
    EXPECT_EQ(c.text(ctl::kRefreshPageCacheButton), "A&B ");
    EXPECT_FALSE(window->control(ctl::kPageCacheList)->isVisible());
    EXPECT_TRUE(window->control(ctl::kBackThreePlanBox)->isVisible());
    c.setVisible(ctl::kPageCacheList, true);
    EXPECT_TRUE(c.visible(ctl::kPageCacheList));

    // Pages start under the header; positions count from the tab control's own top.
    auto* tabs = widget<TabControl>(ctl::kMainTabs);
    ASSERT_NE(tabs, nullptr);
    EXPECT_FALSE(tabs->headerAtBottom());
    EXPECT_EQ(tabs->headerHeight(), 24);
    EXPECT_EQ(tabs->tabBar()->tabText(1), QStringLiteral("后二60注"));
    QWidget* box = window->control(ctl::kBackTwoPlanBox);
    EXPECT_EQ(box->parentWidget(), tabs->page(1));
    EXPECT_EQ(box->mapTo(tabs, QPoint(0, 0)), QPoint(0, 25));
    EXPECT_EQ(window->control(ctl::kRefreshPeriodBox)->geometry(), QRect(746, 97, 32, 24));
}

// A window manager reports its frame only after the window is shown, with the move that places
// the window inside the frame; the outer size stays 861 x 638 and never cuts into the layout.
TEST_F(Facade, OuterSizeFollowsAFrameThatComesLate) {
    EXPECT_TRUE(waitUntil([&] { return window->frameGeometry().size() == QSize(861, 638); }));
    auto frameArrives = [&](QMargins frame) {
        window->setFrameSource([frame] { return frame; });
        QMoveEvent placed(window->pos() + QPoint(frame.left(), frame.top()), window->pos());
        QApplication::sendEvent(window.get(), &placed);
    };
    frameArrives({1, 20, 1, 1});
    EXPECT_EQ(window->size(), QSize(859, 617));
    frameArrives({40, 100, 40, 40});  // the layout reaches 840 x 584
    EXPECT_EQ(window->size(), QSize(840, 584));
}
