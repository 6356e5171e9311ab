// The real window built from the program's own layout table.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/tab_control.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;

namespace {

class ProgramWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ensureApplication();
        resetShutdownForTesting();
        Settings settings;
        settings.planPageSite = "http://pages.test";
        runtime = new Runtime(settings);
        QElapsedTimer clock;
        clock.start();
        window = new MainWindow(*runtime);
        window->show();
        applyThemedStyle();
        QApplication::processEvents();
        window->grab();  // the first full paint
        std::printf("[ measured ] window built, shown and painted in %lld ms\n",
                    static_cast<long long>(clock.elapsed()));
    }
    static void TearDownTestSuite() {
        runtime->desktop.answerNextMessageBox(kAnswerYes);
        window->close();
        delete window;
        delete runtime;
        resetShutdownForTesting();
    }

    // Where a control sits relative to its container, as the table counts: tab controls from
    // their own top, header included.
    static QRect placeOf(const ControlSpec& spec, QWidget* w) {
        const ControlSpec* container = findControl(spec.container);
        if (container && container->kind == ControlKind::TabControl)
            return QRect(w->mapTo(window->control(spec.container), QPoint(0, 0)), w->size());
        return w->geometry();
    }

    static Runtime* runtime;
    static MainWindow* window;
};

Runtime* ProgramWindow::runtime = nullptr;
MainWindow* ProgramWindow::window = nullptr;

bool hasType(ControlKind kind, QWidget* w) {
    switch (kind) {
        case ControlKind::Button:
            return qobject_cast<QPushButton*>(w);
        case ControlKind::Label:
        case ControlKind::TransparentLabel:
        case ControlKind::HyperlinkBox:
            return qobject_cast<QLabel*>(w);
        case ControlKind::EditBox:
            return qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QLineEdit*>(w);
        case ControlKind::TabControl:
            return qobject_cast<TabControl*>(w);
        case ControlKind::ListView:
            return qobject_cast<QTreeWidget*>(w);
        case ControlKind::Grid:
            return qobject_cast<QTableWidget*>(w);
        case ControlKind::ShapeBox:
            return qobject_cast<QFrame*>(w);
        case ControlKind::Timer:
            return false;
    }
    return false;
}

}  // namespace

TEST_F(ProgramWindow, MakesEveryControlOfTheTableInItsContainerAndPlace) {
    std::map<ControlKind, int> counts;
    std::set<QString> names;
    for (const ControlSpec& spec : layoutTable()) {
        SCOPED_TRACE(spec.name);
        ++counts[spec.kind];
        const QString name = toQString(spec.name);
        EXPECT_TRUE(names.insert(name).second);
        if (spec.kind == ControlKind::Timer) {
            QTimer* timer = window->timer(spec.name);
            ASSERT_NE(timer, nullptr);
            EXPECT_EQ(timer->objectName(), name);
            EXPECT_FALSE(timer->isActive());
            continue;
        }
        QWidget* w = window->control(spec.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), name);
        EXPECT_TRUE(hasType(spec.kind, w));
        EXPECT_EQ(placeOf(spec, w), QRect(spec.left, spec.top, spec.width, spec.height));
        QWidget* expected = window;
        if (auto* tabs = qobject_cast<TabControl*>(window->control(spec.container)))
            expected = tabs->page(spec.page);
        else if (!spec.container.empty())
            expected = window->control(spec.container);
        EXPECT_EQ(w->parentWidget(), expected);
        EXPECT_EQ(!w->isHidden(), spec.visible);
        if (spec.kind == ControlKind::Button || spec.kind == ControlKind::Label ||
            spec.kind == ControlKind::EditBox) {
            EXPECT_EQ(runtime->controls.text(spec.name), spec.text);
        }
    }
    const std::map<ControlKind, int> expected = {
        {ControlKind::Button, 216},   {ControlKind::Timer, 40},
        {ControlKind::Label, 13},     {ControlKind::EditBox, 10},
        {ControlKind::TabControl, 2}, {ControlKind::TransparentLabel, 2},
        {ControlKind::ListView, 1},   {ControlKind::Grid, 1},
        {ControlKind::ShapeBox, 1},   {ControlKind::HyperlinkBox, 1}};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(window->findChildren<QPushButton*>().size(), 216);
    EXPECT_EQ(window->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly).size(), 40);
}

TEST_F(ProgramWindow, HeadersLeaveEveryControlFreeAndButtonsLieOnTop) {
    auto* main = qobject_cast<TabControl*>(window->control(ctl::kMainTabs));
    auto* plans = qobject_cast<TabControl*>(window->control(ctl::kPlanTabs));
    ASSERT_TRUE(main && plans);
    EXPECT_FALSE(main->headerAtBottom());
    EXPECT_TRUE(plans->headerAtBottom());
    EXPECT_EQ(main->tabBar()->tabText(2), QStringLiteral("岚枫阁计划"));
    EXPECT_EQ(plans->tabBar()->tabText(2), QStringLiteral("第三页"));
    for (const ControlSpec& spec : layoutTable()) {
        auto* tabs = qobject_cast<TabControl*>(window->control(spec.container));
        if (!tabs || spec.kind == ControlKind::Timer) continue;
        EXPECT_FALSE(
            placeOf(spec, window->control(spec.name)).intersects(tabs->tabBar()->geometry()))
            << spec.name;
    }
    // Every button can be pressed on its page: nothing lies over its centre.
    std::set<std::string> pressable;
    for (int page = 0; page < main->count(); ++page) {
        for (int sub = 0; sub < plans->count(); ++sub) {
            main->setCurrentIndex(page);
            plans->setCurrentIndex(sub);
            QApplication::processEvents();
            for (const ControlSpec& spec : layoutTable()) {
                QWidget* w = window->control(spec.name);
                if (spec.kind != ControlKind::Button || !w->isVisible()) continue;
                EXPECT_EQ(w->parentWidget()->childAt(w->geometry().center()), w) << spec.name;
                pressable.insert(spec.name);
            }
        }
    }
    main->setCurrentIndex(0);
    plans->setCurrentIndex(0);
    EXPECT_EQ(pressable.size(), 216u);
}

// On every page, a click anywhere on a visible control reaches that control, unless the layout
// puts another visible control there too; the tabs themselves stay free.
TEST_F(ProgramWindow, EveryVisibleControlTakesClicksOverItsWholeRectangle) {
    auto* main = qobject_cast<TabControl*>(window->control(ctl::kMainTabs));
    auto* plans = qobject_cast<TabControl*>(window->control(ctl::kPlanTabs));
    auto within = [](QWidget* w, QWidget* hit) { return hit == w || w->isAncestorOf(hit); };
    auto isContainer = [](const ControlSpec& s) {
        return s.kind == ControlKind::TabControl || s.kind == ControlKind::ShapeBox;
    };
    int checked = 0;
    for (int page = 0; page < main->count(); ++page) {
        for (int sub = 0; sub < plans->count(); ++sub) {
            main->setCurrentIndex(page);
            plans->setCurrentIndex(sub);
            QApplication::processEvents();
            std::vector<std::pair<const ControlSpec*, QRect>> shown;  // window coordinates
            for (const ControlSpec& spec : layoutTable()) {
                QWidget* w = window->control(spec.name);
                if (w && w->isVisible())
                    shown.push_back({&spec, QRect(w->mapTo(window, QPoint(0, 0)), w->size())});
            }
            for (const auto& [spec, rect] : shown) {
                QWidget* w = window->control(spec->name);
                for (int i = 0; i < 5; ++i) {
                    for (int j = 0; j < 5; ++j) {
                        const QPoint p(rect.left() + (rect.width() - 1) * i / 4,
                                       rect.top() + (rect.height() - 1) * j / 4);
                        QWidget* hit = window->childAt(p);
                        bool ok = within(w, hit);
                        for (const auto& [other, otherRect] : shown)
                            ok = ok || (!isContainer(*other) && otherRect.contains(p) &&
                                        within(window->control(other->name), hit));
                        EXPECT_TRUE(ok) << spec->name << " at " << p.x() << "," << p.y() << " hits "
                                        << (hit ? hit->metaObject()->className() : "nothing");
                        ++checked;
                    }
                }
                if (auto* tabs = qobject_cast<TabControl*>(w)) {
                    for (int t = 0; t < tabs->count(); ++t) {
                        const QRect tab = tabs->tabBar()->tabRect(t);
                        const QPoint centre = tabs->tabBar()->mapTo(window, tab.center());
                        EXPECT_EQ(window->childAt(centre), tabs->tabBar()) << spec->name << t;
                    }
                }
            }
        }
    }
    main->setCurrentIndex(0);
    plans->setCurrentIndex(0);
    EXPECT_GT(checked, 0);

    // The refresh period box takes the focus from a click at any of its points.
    QWidget* period = window->control(ctl::kRefreshPeriodBox);
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 23), QPoint(16, 12), QPoint(2, 20)}) {
        window->control(ctl::kBackThreePlanBox)->setFocus();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          period->mapTo(window, corner));
        EXPECT_EQ(window->focusWidget(), period) << corner.x() << "," << corner.y();
    }
}

// Ordinary labels hide what lies behind them: the bottom line of 外形框1 runs behind 标签6.
TEST_F(ProgramWindow, OnlyTransparentLabelsLetWhatIsBehindShow) {
    const QImage image = window->grab().toImage();
    QWidget* label = window->control(ctl::kCountdownCaption);
    const QColor background = label->palette().color(QPalette::Window);
    const int line = window->control(ctl::kDrawPanel)->geometry().bottom();
    ASSERT_TRUE(label->geometry().contains(label->geometry().right(), line));
    // Right of the caption, where no glyph is drawn.
    for (int x = label->geometry().right() - 30; x <= label->geometry().right(); ++x)
        EXPECT_EQ(image.pixelColor(x * image.width() / window->width(),
                                   line * image.height() / window->height()),
                  background)
            << x;
    for (const ControlSpec& spec : layoutTable()) {
        if (spec.kind == ControlKind::Label || spec.kind == ControlKind::TransparentLabel) {
            EXPECT_EQ(window->control(spec.name)->autoFillBackground(),
                      spec.kind == ControlKind::Label)
                << spec.name;
        }
    }
}

TEST_F(ProgramWindow, HiddenControlsStayHiddenOnEveryPage) {
    auto* main = qobject_cast<TabControl*>(window->control(ctl::kMainTabs));
    const ControlName hidden[] = {
        ctl::kPageCacheList, ctl::kPageCachePassLog,     ctl::kUnusedLabel, ctl::kCounterWorkLabel,
        ctl::kVersionLabel,  ctl::kDownloadAddressLabel, ctl::kDownloadLink};
    for (int page = 0; page < main->count(); ++page) {
        main->setCurrentIndex(page);
        QApplication::processEvents();
        for (ControlName name : hidden)
            EXPECT_FALSE(window->control(name)->isVisible()) << name;
        for (const ControlSpec& spec : layoutTable()) {
            if (spec.container != ctl::kMainTabs || spec.kind == ControlKind::Timer) continue;
            EXPECT_EQ(window->control(spec.name)->isVisible(), spec.page == page) << spec.name;
        }
    }
    main->setCurrentIndex(0);
}

TEST_F(ProgramWindow, PageCacheRowsCarryTheSiteAndTheLookIsSimplifiedChinese) {
    Controls& c = runtime->controls;
    EXPECT_EQ(c.itemCount(ctl::kPageCacheList), 39);
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 0), "http://pages.test/detail/1193.html");
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 38), "http://pages.test/detail/1227.html");
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 38, 1), "3");
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 39), "");
    auto* list = qobject_cast<QTreeWidget*>(window->control(ctl::kPageCacheList));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("网址"));
    EXPECT_EQ(list->columnWidth(2), 250);

    EXPECT_EQ(window->windowTitle(), QStringLiteral("岚枫阁免费版+大底v1.41"));
    EXPECT_TRUE(waitUntil([] { return window->frameGeometry() == QRect(50, 50, 861, 638); }));
    // 微软雅黑 is not on this machine: the CJK face picked must be the simplified-Chinese one.
    for (ControlName name : {ctl::kAnnouncementBox, ctl::kRefreshPageCacheButton,
                             ctl::kCountdownCaption, ctl::button(41)})
        EXPECT_EQ(QFontInfo(window->control(name)->font()).family(),
                  QStringLiteral("Noto Sans CJK SC"))
            << name;
    const QFont refresh = window->control(ctl::kRefreshPageCacheButton)->font();
    EXPECT_EQ(refresh.pixelSize(), 19);
    EXPECT_TRUE(refresh.bold());
    EXPECT_EQ(window->control(ctl::kAnnouncementBox)->font().pixelSize(), 14);
    auto* box = qobject_cast<QPlainTextEdit*>(window->control(ctl::kBackThreePlanBox));
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(236, 236, 236));
}

TEST_F(ProgramWindow, TheDrawGridShowsEveryColumnAndTheDigitsFillTheirCells) {
    Controls& c = runtime->controls;
    auto* grid = qobject_cast<QTableWidget*>(window->control(ctl::kDrawHistoryGrid));
    GridRows rows = {{"期号", "万", "千", "百", "十", "个"}};
    for (int i = 0; i < 60; ++i)
        rows.push_back({"230期", "1", "2", "3", "4", "5"});
    // Without a vertical scroll bar, then with one.
    for (const std::size_t count : {std::size_t{2}, rows.size()}) {
        SCOPED_TRACE(count);
        c.setGridColumnWidth(ctl::kDrawHistoryGrid, 0, 50);
        c.setGridRows(ctl::kDrawHistoryGrid, GridRows(rows.begin(), rows.begin() + long(count)));
        ASSERT_TRUE(waitUntil([&] {
            return grid->verticalScrollBar()->isVisible() == (count > 2) &&
                   grid->columnViewportPosition(5) + grid->columnWidth(5) <=
                       grid->viewport()->width();
        }));
        EXPECT_EQ(grid->columnWidth(0), 50);
        for (int column = 1; column < 6; ++column)
            EXPECT_GE(grid->columnWidth(column),
                      grid->fontMetrics().horizontalAdvance(QStringLiteral("十")) + 4);
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    }

    auto* box = window->control(ctl::kDrawPanel);
    const QRect inside(box->mapTo(window, box->contentsRect().topLeft()),
                       box->contentsRect().size());
    for (ControlName name : {ctl::kDrawDigit1, ctl::kDrawDigit2, ctl::kDrawDigit3, ctl::kDrawDigit4,
                             ctl::kDrawDigit5}) {
        SCOPED_TRACE(name);
        auto* label = qobject_cast<QLabel*>(window->control(name));
        const QRect figure = QFontMetrics(label->font()).tightBoundingRect(QStringLiteral("8"));
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_GE(figure.height(), label->height() / 2);
        EXPECT_LE(figure.width(), label->width() / 2);
        EXPECT_TRUE(inside.contains(QRect(label->mapTo(window, QPoint(0, 0)), label->size())));
    }
}
