#include "gui/qt_controls.h"

#include <QAbstractButton>
#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <algorithm>

#include "gui/qt_text.h"

namespace pv {
namespace {

// Runs `before` ahead of every input the user gives a widget.
class BeforeInput final : public QObject {
  public:
    BeforeInput(QObject* parent, std::function<void()> before)
        : QObject(parent), before_(std::move(before)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
            case QEvent::InputMethod:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::DragEnter:
            case QEvent::Drop:
            case QEvent::ContextMenu:
                before_();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    std::function<void()> before_;
};

}  // namespace

QtControls::QtControls(WindowGate& gate, const Settings& settings)
    : gate_(gate), state_(settings.planPageSite) {
    state_.setUnknownNameHandler([](const std::string& name) {
        qWarning().noquote() << QStringLiteral("no control is named") << toQString(name);
    });
}

void QtControls::addControl(const ControlSpec& spec, QWidget* widget) {
    const ControlRecord& c = state_.add(spec);
    views_[spec.name].widget = widget;
    showText(spec.name, c);
    if (spec.kind == ControlKind::ListView) showRows(spec.name, c);
    if (spec.kind == ControlKind::Grid) showGrid(spec.name, c);
    const ControlName name = spec.name;
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        auto* filter = new BeforeInput(box, [this, name] { showAppended(name); });
        box->installEventFilter(filter);
        box->viewport()->installEventFilter(filter);
        QObject::connect(box, &QPlainTextEdit::textChanged, box, [this, name] {
            if (writing_ > 0) return;
            if (View* v = view(name)) v->userEdited = true;
            raiseContentChanged(name);
        });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line, [this, name] {
            if (View* v = view(name)) v->userEdited = true;
            raiseContentChanged(name);
        });
    }
}

void QtControls::addTimer(const ControlSpec& spec, QTimer* timer) {
    const ControlRecord& c = state_.add(spec);
    views_[spec.name].timer = timer;
    if (c.period > 0) timer->start(c.period);
}

void QtControls::addWindow(const std::string& caption, QWidget* window) {
    const ControlRecord& c = state_.addWindow(caption);
    views_[ControlState::kWindowName].widget = window;
    showText(ControlState::kWindowName, c);
}

void QtControls::stopTimers() {
    state_.stopTimers();
    for (auto& [name, v] : views_)
        if (v.timer) v.timer->stop();
}

int QtControls::timerStarts(ControlName name) {
    return gate_.call(
        [this, name] {
            const ControlRecord* c = state_.find(name);
            return c ? c->starts : 0;
        },
        0);
}

QtControls::View* QtControls::view(const std::string& name) {
    auto it = views_.find(name);
    return it == views_.end() ? nullptr : &it->second;
}

ControlRecord* QtControls::syncedRecord(const std::string& name) {
    ControlRecord* c = state_.find(name);
    if (!c) return nullptr;
    View* v = view(name);
    if (v && v->userEdited) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(v->widget.data()))
            c->text = fromUserText(box->toPlainText());
        else if (auto* line = qobject_cast<QLineEdit*>(v->widget.data()))
            c->text = fromUserText(line->text());
        c->run = ControlState::newRun();
        v->userEdited = false;
    }
    return c;
}

void QtControls::showText(const std::string& name, const ControlRecord& c) {
    View* v = view(name);
    QWidget* w = v ? v->widget.data() : nullptr;
    if (!w) return;
    v->userEdited = false;
    v->unshown.clear();  // the whole content is shown now
    ++writing_;
    if (c.isWindow) {
        w->setWindowTitle(toQString(c.text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        // An empty box emptied again would only be laid out afresh: the status lines clear
        // theirs twice on every append of a listing without an in-progress section.
        QTextDocument* d = box->document();
        if (!c.text.empty() || !d->isEmpty() || d->isUndoAvailable() || d->isRedoAvailable())
            box->setPlainText(toDisplayText(c.text));
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(toDisplayText(c.text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(toDisplayText(c.text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(toDisplayText(withoutMnemonics(c.text)));
    }
    --writing_;
}

namespace {

// Columns whose width the program set keep it; the others share what the viewport leaves, so that
// every column stays in view beside the vertical scroll bar, whether it shows or not.
void fitGridColumns(QTableWidget* table, const ControlRecord& c) {
    QHeaderView* header = table->horizontalHeader();
    header->setMinimumSectionSize(1);
    for (int column = 0; column < table->columnCount(); ++column) {
        const auto width = c.widths.find(column);
        if (width == c.widths.end()) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, width->second);
    }
}

}  // namespace

void QtControls::showAppended(const std::string& name) {
    View* v = view(name);
    if (!v) return;
    v->showQueued = false;
    auto* box = qobject_cast<QPlainTextEdit*>(v->widget.data());
    if (!box || v->unshown.empty()) return;
    // The caret goes to the end and stays in view, so the newest lines show.
    ++writing_;
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(toDisplayText(v->unshown));
    box->ensureCursorVisible();
    --writing_;
    v->unshown.clear();
}

void QtControls::showRows(const std::string& name, const ControlRecord& c) {
    View* v = view(name);
    auto* list = qobject_cast<QTreeWidget*>(v ? v->widget.data() : nullptr);
    if (!list) return;
    list->clear();
    list->setColumnCount(std::max(list->columnCount(), c.columns));
    for (const auto& row : c.cells) {
        auto* item = new QTreeWidgetItem(list);
        for (size_t col = 0; col < row.size(); ++col)
            item->setText(int(col), toDisplayText(shownCellText(row[col])));
    }
}

void QtControls::showGrid(const std::string& name, const ControlRecord& c) {
    View* v = view(name);
    auto* table = qobject_cast<QTableWidget*>(v ? v->widget.data() : nullptr);
    if (!table) return;
    int columns = 0;
    for (const auto& row : c.cells)
        columns = std::max(columns, int(row.size()));
    if (!c.widths.empty()) columns = std::max(columns, c.widths.rbegin()->first + 1);
    table->clearContents();
    table->setRowCount(int(c.cells.size()));
    table->setColumnCount(columns);
    QFont headerFont = table->font();
    headerFont.setBold(true);
    for (int r = 0; r < int(c.cells.size()); ++r) {
        for (int col = 0; col < int(c.cells[size_t(r)].size()); ++col) {
            auto* item = new QTableWidgetItem(toDisplayText(c.cells[size_t(r)][size_t(col)]));
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            if (r == 0) {  // the header row
                item->setFont(headerFont);
                item->setBackground(table->palette().button());
            }
            table->setItem(r, col, item);
        }
    }
    fitGridColumns(table, c);
}

void QtControls::raiseContentChanged(ControlName name) {
    if (contentChanged_) contentChanged_(name);
}

std::string QtControls::text(ControlName name) {
    return gate_.call(
        [this, name] {
            const ControlRecord* c = syncedRecord(name);
            return c ? c->text : std::string();
        },
        std::string());
}

void QtControls::setText(ControlName name, const std::string& text) {
    gate_.run([this, name, text] {
        const ControlRecord* c = state_.setText(name, text);
        if (!c) return;
        showText(name, *c);
        if (ControlState::raisesContentChanged(*c)) raiseContentChanged(name);
    });
}

void QtControls::appendText(ControlName name, const std::string& text) {
    gate_.run([this, name, text] {
        if (state_.has(name)) syncedRecord(name);  // what the user typed comes first
        const ControlRecord* c = state_.appendText(name, text);
        if (!c) return;
        View* v = view(name);
        if (auto* box = qobject_cast<QPlainTextEdit*>(v ? v->widget.data() : nullptr)) {
            v->unshown += text;
            if (!v->showQueued) {
                v->showQueued = true;
                QMetaObject::invokeMethod(
                    box, [this, name] { showAppended(name); }, Qt::QueuedConnection);
            }
        } else {
            showText(name, *c);
        }
        if (ControlState::raisesContentChanged(*c)) raiseContentChanged(name);
    });
}

ContentSince QtControls::contentSince(ControlName name, std::uint64_t run, std::size_t offset) {
    return gate_.call(
        [this, name, run, offset] {
            if (state_.has(name)) syncedRecord(name);
            return state_.contentSince(name, run, offset);
        },
        ContentSince());
}

bool QtControls::visible(ControlName name) {
    return gate_.call([this, name] { return state_.visible(name); }, false);
}

void QtControls::setVisible(ControlName name, bool visible) {
    gate_.run([this, name, visible] {
        if (!state_.setVisible(name, visible)) return;
        if (View* v = view(name); v && v->widget) v->widget->setVisible(visible);
    });
}

int QtControls::period(ControlName name) {
    return gate_.call([this, name] { return state_.period(name); }, 0);
}

void QtControls::setPeriod(ControlName name, int ms) {
    gate_.run([this, name, ms] {
        const std::optional<int> period = state_.setPeriod(name, ms);
        View* v = view(name);
        if (!period || !v || !v->timer) return;
        if (*period == 0)
            v->timer->stop();
        else
            v->timer->start(*period);
    });
}

int QtControls::itemCount(ControlName name) {
    return gate_.call([this, name] { return state_.itemCount(name); }, 0);
}

std::string QtControls::itemText(ControlName name, int row, int column) {
    return gate_.call([this, name, row, column] { return state_.itemText(name, row, column); },
                      std::string());
}

void QtControls::setItemText(ControlName name, int row, int column, const std::string& text) {
    gate_.run([this, name, row, column, text] {
        const std::string* cell = state_.setItemText(name, row, column, text);
        View* v = view(name);
        auto* list = qobject_cast<QTreeWidget*>(v ? v->widget.data() : nullptr);
        if (!cell || !list) return;
        if (QTreeWidgetItem* item = list->topLevelItem(row))
            item->setText(column, toDisplayText(shownCellText(*cell)));
    });
}

void QtControls::setGridRows(ControlName name, const GridRows& rows) {
    gate_.run([this, name, rows] {
        if (const ControlRecord* c = state_.setGridRows(name, rows)) showGrid(name, *c);
    });
}

GridRows QtControls::gridRows(ControlName name) {
    return gate_.call([this, name] { return state_.gridRows(name); }, GridRows());
}

void QtControls::inOneRequest(const std::function<void(Controls&)>& calls) {
    // On the window thread the calls inside go straight to the state.
    gate_.run([this, calls] { calls(*this); });
}

void QtControls::setGridColumnWidth(ControlName name, int column, int width) {
    gate_.run([this, name, column, width] {
        if (!state_.setGridColumnWidth(name, column, width)) return;
        View* v = view(name);
        if (auto* table = qobject_cast<QTableWidget*>(v ? v->widget.data() : nullptr)) {
            if (column >= table->columnCount()) table->setColumnCount(column + 1);
            if (const ControlRecord* c = state_.find(name)) fitGridColumns(table, *c);
        }
    });
}

}  // namespace pv
