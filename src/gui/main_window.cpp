#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <climits>

#include "core/shutdown.h"
#include "core/window_wait.h"
#include "gui/app_icon.h"
#include "gui/qt_text.h"
#include "gui/tab_control.h"

namespace pv {
namespace {

constexpr int kMinHeader = 16;
constexpr int kMaxHeader = 32;

// A hyperlink box: opens its address when clicked.
class LinkLabel final : public QLabel {
  public:
    LinkLabel(std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick)) {}

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (onClick_) onClick_();
    }

  private:
    std::function<void()> onClick_;
};

QColor colorOf(std::uint32_t rgb) {
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

QStringList captionsOf(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts)
        list << toDisplayText(t);
    return list;
}

void applyLook(const ControlSpec& spec, QWidget* w, QPalette::ColorRole text,
               QPalette::ColorRole back) {
    if (!spec.font.family.empty() || spec.font.pixelSize > 0 || spec.font.bold) {
        w->setFont(programFont(spec.font.family, spec.font.pixelSize > 0 ? spec.font.pixelSize : 12,
                               spec.font.bold));
    }
    if (!spec.hasColors) return;
    QPalette p = w->palette();
    p.setColor(text, colorOf(spec.textColor));
    p.setColor(back, colorOf(spec.backColor));
    w->setPalette(p);
    if (back == QPalette::Window) w->setAutoFillBackground(true);
}

// Centring a line centres its ascent and descent, which leaves a figure low: it stands on the
// baseline, above the descent. A bottom margin lifts it to the middle.
void centreFigures(QLabel* label) {
    label->setAlignment(Qt::AlignCenter);
    const QFontMetrics metrics(label->font());
    const int lift = (metrics.ascent() - metrics.descent() -
                      metrics.tightBoundingRect(QStringLiteral("0")).height()) /
                     2;
    if (lift > 0) label->setContentsMargins(0, 0, 0, 2 * lift);
}

}  // namespace

void applyThemedStyle() {
    const QString fusion = QStringLiteral("Fusion");
    if (QApplication::style()->name().compare(fusion, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(fusion));
}

QFont programFont(const std::string& family, int pixelSize, bool bold) {
    QStringList families;
    if (!family.empty()) families << toQString(family);
    families << QStringLiteral("微软雅黑") << QStringLiteral("Noto Sans CJK SC");
    families.removeDuplicates();
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

MainWindow::MainWindow(Runtime& runtime, const std::vector<ControlSpec>& layout,
                       const WindowSpec& window)
    : runtime_(runtime), outerSize_(window.outerWidth, window.outerHeight) {
    setObjectName(toQString(ControlState::kWindowName));
    setWindowIcon(appIcon());
    setFont(programFont());
    runtime_.controls.addWindow(window.caption, this);
    build(layout);
    for (const ControlSpec& spec : layout) {
        if (!spec.container.empty() || spec.kind == ControlKind::Timer) continue;
        layoutExtent_ =
            layoutExtent_.expandedTo(QSize(spec.left + spec.width, spec.top + spec.height));
    }
    runtime_.controls.setContentChangedHandler(
        [this](ControlName name) { dispatch(name, ControlEvent::ContentChanged); });
    runtime_.desktop.setMainWindowCloser([this] { closeWithoutAsking(); });
    // A transfer made on the window thread runs beside it while the window serves its events.
    setWindowWaitHook([&gate = runtime_.gate](const std::function<void()>& work) {
        return gate.serveWhile(work);
    });
    // An application that stops serving events takes the window with it.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { closeWithoutAsking(); });
    // Until a frame is known the outer size is the client size; fitOuterSize follows the frame.
    setFixedSize(outerSize_.expandedTo(layoutExtent_));
    move(window.left, window.top);
}

MainWindow::~MainWindow() {
    windowGone();
    // The runtime may outlive the window; nothing in it may call back into a window that is gone.
    runtime_.controls.setContentChangedHandler({});
    runtime_.desktop.setMainWindowCloser({});
    setWindowWaitHook(nullptr);
}

void MainWindow::build(const std::vector<ControlSpec>& layout) {
    for (const ControlSpec& spec : layout) {
        if (spec.kind == ControlKind::Timer) {
            auto* timer = new QTimer(this);
            timer->setObjectName(toQString(spec.name));
            timer->setTimerType(Qt::PreciseTimer);
            const ControlName name = spec.name;
            // Qt holds a timer's next timeout back while a slot of that timeout is still on the
            // stack. A posted tick lets the timer go on ticking while its handler waits in a
            // delay or a fetch; a tick whose timer was stopped before it ran is dropped.
            connect(
                timer, &QTimer::timeout, this,
                [this, name, timer] {
                    if (timer->isActive()) dispatch(name, ControlEvent::Tick);
                },
                Qt::QueuedConnection);
            timers_[spec.name] = timer;
            runtime_.controls.addTimer(spec, timer);
            continue;
        }
        QWidget* w = makeWidget(spec, layout);
        w->setObjectName(toQString(spec.name));
        if (!spec.visible) w->hide();
        widgets_[spec.name] = w;
    }
    // Containers lie under every other control placed over them (the header strip of 选择夹1
    // runs under 编辑框6), and a button under a box could never be pressed.
    for (auto it = layout.rbegin(); it != layout.rend(); ++it)
        if (it->kind == ControlKind::TabControl || it->kind == ControlKind::ShapeBox)
            if (QWidget* w = control(it->name)) w->lower();
    for (auto& [name, w] : widgets_)
        if (qobject_cast<QPushButton*>(w)) w->raise();
}

QWidget* MainWindow::containerOf(const ControlSpec& spec, int& topOffset) const {
    topOffset = 0;
    auto it = widgets_.find(spec.container);
    if (spec.container.empty() || it == widgets_.end()) return const_cast<MainWindow*>(this);
    if (auto* tabs = qobject_cast<TabControl*>(it->second)) {
        topOffset = tabs->contentTop();
        return tabs->page(std::clamp(spec.page, 0, tabs->count() - 1));
    }
    return it->second;
}

QWidget* MainWindow::makeWidget(const ControlSpec& spec, const std::vector<ControlSpec>& layout) {
    int topOffset = 0;
    QWidget* parent = containerOf(spec, topOffset);
    const ControlName name = spec.name;
    QWidget* w = nullptr;
    switch (spec.kind) {
        case ControlKind::Button: {
            auto* button = new QPushButton(parent);
            button->setFocusPolicy(Qt::TabFocus);
            connect(button, &QPushButton::clicked, this,
                    [this, name] { dispatch(name, ControlEvent::Click); });
            applyLook(spec, button, QPalette::ButtonText, QPalette::Button);
            w = button;
            break;
        }
        case ControlKind::Label:
        case ControlKind::TransparentLabel: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            applyLook(spec, label, QPalette::WindowText, QPalette::Window);
            if (spec.centred) centreFigures(label);
            // Only a transparent label lets what lies behind it show through.
            label->setAutoFillBackground(spec.kind == ControlKind::Label);
            w = label;
            break;
        }
        case ControlKind::HyperlinkBox: {
            auto* link = new LinkLabel(
                [this, name] { runtime_.desktop.openAddress(runtime_.controls.text(name)); },
                parent);
            link->setTextFormat(Qt::PlainText);
            link->setCursor(Qt::PointingHandCursor);
            QFont f = link->font();
            f.setUnderline(true);
            link->setFont(f);
            applyLook(spec, link, QPalette::WindowText, QPalette::Window);
            w = link;
            break;
        }
        case ControlKind::EditBox: {
            if (spec.multiLine) {
                auto* box = new QPlainTextEdit(parent);
                box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                box->setVerticalScrollBarPolicy(spec.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
                box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                applyLook(spec, box, QPalette::Text, QPalette::Base);
                w = box;
            } else {
                auto* line = new QLineEdit(parent);
                applyLook(spec, line, QPalette::Text, QPalette::Base);
                w = line;
            }
            break;
        }
        case ControlKind::TabControl: {
            // The header goes where the children leave room: above them unless they start at
            // the very top, then below them.
            int top = INT_MAX, bottom = INT_MIN;
            for (const ControlSpec& child : layout) {
                if (child.container != spec.name || child.kind == ControlKind::Timer) continue;
                top = std::min(top, child.top);
                bottom = std::max(bottom, child.top + child.height);
            }
            bool atBottom = false;
            int header = 0;
            if (top == INT_MAX) {
                header = 24;
            } else if (top >= kMinHeader) {
                header = top;
            } else {
                atBottom = true;
                header = spec.height - bottom;
            }
            header = std::clamp(header, kMinHeader, kMaxHeader);
            auto* tabs = new TabControl(captionsOf(spec.pageCaptions), atBottom, header, parent);
            applyLook(spec, tabs, QPalette::WindowText, QPalette::Window);
            w = tabs;
            break;
        }
        case ControlKind::ListView: {
            auto* list = new QTreeWidget(parent);
            list->setRootIsDecorated(false);
            list->setUniformRowHeights(true);
            list->setColumnCount(int(spec.columnHeaders.size()));
            list->setHeaderLabels(captionsOf(spec.columnHeaders));
            for (size_t c = 0; c < spec.columnWidths.size(); ++c)
                list->setColumnWidth(int(c), spec.columnWidths[c]);
            w = list;
            break;
        }
        case ControlKind::Grid: {
            auto* table = new QTableWidget(parent);
            table->horizontalHeader()->hide();
            table->verticalHeader()->hide();
            table->horizontalHeader()->setDefaultSectionSize(28);
            table->verticalHeader()->setDefaultSectionSize(20);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setSelectionMode(QAbstractItemView::NoSelection);
            applyLook(spec, table, QPalette::Text, QPalette::Base);
            w = table;
            break;
        }
        case ControlKind::ShapeBox: {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            applyLook(spec, frame, QPalette::WindowText, QPalette::Window);
            w = frame;
            break;
        }
        case ControlKind::Timer:
            break;
    }
    w->setGeometry(spec.left, spec.top - topOffset, spec.width, spec.height);
    if (auto* tabs = qobject_cast<TabControl*>(w)) tabs->relayout();
    runtime_.controls.addControl(spec, w);
    return w;
}

QWidget* MainWindow::control(ControlName name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QTimer* MainWindow::timer(ControlName name) const {
    auto it = timers_.find(name);
    return it == timers_.end() ? nullptr : it->second;
}

void MainWindow::dispatch(ControlName name, ControlEvent event) {
    if (closed_) return;
    if (observer_) observer_(name, event);
    if (const Handler* handler = findHandler(name, event)) (*handler)(runtime_.app);
}

void MainWindow::runStartup(StartupSequence steps) {
    if (!steps.applyStyle) steps.applyStyle = applyThemedStyle;
    steps.run(runtime_.app);
}

void MainWindow::closeWithoutAsking() {
    windowGone();
    close();  // within the closing question, the question's own close finishes
}

void MainWindow::windowGone() {
    if (closed_) return;
    closed_ = true;
    runtime_.state.stopFlag.store(1);
    runtime_.controls.stopTimers();
    runtime_.gate.close();
    beginShutdown();
    runtime_.desktop.dismissMessageBoxes();
    emit closed();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    runtime_.state.stopFlag.store(1);
    const int answer = runtime_.desktop.messageBox("确定要关闭吗？", kStyleYesNo);
    // The program may have ended the window while the question was open.
    if (!closed_ && answer != kAnswerYes) {
        event->ignore();
        return;
    }
    event->accept();
    windowGone();
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            // A window manager reports its frame only some time after the window is shown,
            // usually with the move that places the window inside the frame.
            fitOuterSize();
            break;
        default:
            break;
    }
    return handled;
}

void MainWindow::fitOuterSize() {
    if (!isWindow()) return;
    const QMargins frame = frameSource_ ? frameSource_()
                                        : QMargins(geometry().left() - frameGeometry().left(),
                                                   geometry().top() - frameGeometry().top(),
                                                   frameGeometry().right() - geometry().right(),
                                                   frameGeometry().bottom() - geometry().bottom());
    // Fitted once per frame, so a window manager that insists on another size is not fought.
    if (fittedFrame_ == frame) return;
    fittedFrame_ = frame;
    const QSize client =
        (outerSize_ - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
            .expandedTo(layoutExtent_);
    if (client != size()) setFixedSize(client);
}

}  // namespace pv
