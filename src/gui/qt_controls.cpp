#include "gui/qt_controls.h"

#include <QAbstractButton>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>

#include "gui/qt_text.h"

namespace pv {

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
    const std::string name = spec.name;
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
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

std::string QtControls::currentText(const std::string& name) {
    ControlRecord* c = state_.find(name);
    if (!c) return {};
    View* v = view(name);
    if (v && v->userEdited) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(v->widget.data()))
            c->text = fromUserText(box->toPlainText());
        else if (auto* line = qobject_cast<QLineEdit*>(v->widget.data()))
            c->text = fromUserText(line->text());
        v->userEdited = false;
    }
    return c->text;
}

void QtControls::showText(const std::string& name, const ControlRecord& c) {
    View* v = view(name);
    QWidget* w = v ? v->widget.data() : nullptr;
    if (!w) return;
    v->userEdited = false;
    ++writing_;
    if (c.isWindow) {
        w->setWindowTitle(toQString(c.text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
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

void QtControls::showRows(const std::string& name, const ControlRecord& c) {
    View* v = view(name);
    auto* list = qobject_cast<QTreeWidget*>(v ? v->widget.data() : nullptr);
    if (!list) return;
    list->clear();
    list->setColumnCount(std::max(list->columnCount(), c.columns));
    for (const auto& row : c.cells) {
        auto* item = new QTreeWidgetItem(list);
        for (size_t col = 0; col < row.size(); ++col)
            item->setText(int(col), toDisplayText(row[col]));
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
    for (auto [column, width] : c.widths)
        table->setColumnWidth(column, width);
}

void QtControls::raiseContentChanged(const std::string& name) {
    if (contentChanged_) contentChanged_(name);
}

std::string QtControls::text(ControlName name) {
    return gate_.call([this, name] { return currentText(name); }, std::string());
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
        if (state_.has(name)) currentText(name);  // what the user typed comes first
        const ControlRecord* c = state_.appendText(name, text);
        if (!c) return;
        View* v = view(name);
        if (auto* box = qobject_cast<QPlainTextEdit*>(v ? v->widget.data() : nullptr)) {
            // The caret goes to the end and stays in view, so the newest lines show.
            ++writing_;
            box->moveCursor(QTextCursor::End);
            box->insertPlainText(toDisplayText(text));
            box->ensureCursorVisible();
            --writing_;
        } else {
            showText(name, *c);
        }
        if (ControlState::raisesContentChanged(*c)) raiseContentChanged(name);
    });
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

void QtControls::setItemText(ControlName name, int row, int column,
                             const std::string& text) {
    gate_.run([this, name, row, column, text] {
        const std::string* cell = state_.setItemText(name, row, column, text);
        View* v = view(name);
        auto* list = qobject_cast<QTreeWidget*>(v ? v->widget.data() : nullptr);
        if (!cell || !list) return;
        if (QTreeWidgetItem* item = list->topLevelItem(row))
            item->setText(column, toDisplayText(*cell));
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

void QtControls::setGridColumnWidth(ControlName name, int column, int width) {
    gate_.run([this, name, column, width] {
        if (!state_.setGridColumnWidth(name, column, width)) return;
        View* v = view(name);
        if (auto* table = qobject_cast<QTableWidget*>(v ? v->widget.data() : nullptr)) {
            if (column >= table->columnCount()) table->setColumnCount(column + 1);
            table->setColumnWidth(column, width);
        }
    });
}

}  // namespace pv
