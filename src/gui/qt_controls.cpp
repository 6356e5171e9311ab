#include "gui/qt_controls.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>

#include "core/convert.h"
#include "gui/qt_text.h"

namespace pv {
namespace {

constexpr int kMaxGridColumns = 256;

QString buttonCaption(const std::string& text) {
    // A single "&" would turn into a keyboard mnemonic.
    return toDisplayText(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool inRange(const GridRows& cells, int row, int column, int columns) {
    return row >= 0 && column >= 0 && size_t(row) < cells.size() && column < columns;
}

}  // namespace

void QtControls::addControl(const ControlSpec& spec, QWidget* widget) {
    Entry& e = entries_[spec.name];
    e.kind = spec.kind;
    e.widget = widget;
    e.text = toText(spec.text);
    const std::string name = spec.name;
    if (spec.kind == ControlKind::ListView) {
        e.columns = int(spec.columnHeaders.size());
        for (const auto& row : spec.rows)
            e.columns = std::max(e.columns, int(row.size()));
        e.cells = spec.rows;
        for (auto& row : e.cells)
            row.resize(size_t(e.columns));
    }
    if (spec.kind == ControlKind::Grid) {
        e.cells = spec.rows;
        showGrid(e);
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(box, &QPlainTextEdit::textChanged, box, [this, name] {
            if (writing_ > 0) return;
            if (Entry* edited = find(name)) edited->userEdited = true;
            raiseContentChanged(name);
        });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line, [this, name] {
            if (Entry* edited = find(name)) edited->userEdited = true;
            raiseContentChanged(name);
        });
    }
}

void QtControls::addTimer(const std::string& name, QTimer* timer) {
    Entry& e = entries_[name];
    e.kind = ControlKind::Timer;
    e.timer = timer;
    e.period = timer->isActive() ? timer->interval() : 0;
}

void QtControls::addWindow(const std::string& caption, QWidget* window) {
    Entry& e = entries_["MainWindow"];
    e.isWindow = true;
    e.widget = window;
    e.text = toText(caption);
}

void QtControls::stopTimers() {
    for (auto& [name, e] : entries_) {
        if (e.timer) e.timer->stop();
        e.period = 0;
    }
}

int QtControls::timerStarts(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            return e ? e->starts : 0;
        },
        0);
}

QtControls::Entry* QtControls::find(const std::string& name) {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
}

std::string QtControls::readText(const Entry& e) const {
    if (e.userEdited) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(e.widget.data()))
            return fromUserText(box->toPlainText());
        if (auto* line = qobject_cast<QLineEdit*>(e.widget.data()))
            return fromUserText(line->text());
    }
    return e.text;
}

void QtControls::writeText(const std::string& name, Entry& e, std::string text) {
    e.text = toText(text);
    e.userEdited = false;
    QWidget* w = e.widget.data();
    if (!w) return;
    ++writing_;
    if (e.isWindow) {
        w->setWindowTitle(toQString(e.text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        box->setPlainText(toDisplayText(e.text));
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(toDisplayText(e.text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(toDisplayText(e.text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(buttonCaption(e.text));
    }
    --writing_;
    if (e.kind == ControlKind::EditBox) raiseContentChanged(name);
}

void QtControls::appendToBox(const std::string& name, Entry& e, const std::string& text) {
    const std::string added = toText(text);
    e.text = readText(e) + added;
    e.userEdited = false;
    ++writing_;
    if (auto* box = qobject_cast<QPlainTextEdit*>(e.widget.data())) {
        // The caret goes to the end and stays in view, so the newest lines show.
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(toDisplayText(added));
        box->ensureCursorVisible();
    } else if (auto* line = qobject_cast<QLineEdit*>(e.widget.data())) {
        line->setText(toDisplayText(e.text));
    }
    --writing_;
    raiseContentChanged(name);
}

void QtControls::showGrid(Entry& e) {
    auto* table = qobject_cast<QTableWidget*>(e.widget.data());
    if (!table) return;
    int columns = 0;
    for (const auto& row : e.cells)
        columns = std::max(columns, int(row.size()));
    if (!e.widths.empty()) columns = std::max(columns, e.widths.rbegin()->first + 1);
    table->clearContents();
    table->setRowCount(int(e.cells.size()));
    table->setColumnCount(columns);
    QFont headerFont = table->font();
    headerFont.setBold(true);
    for (int r = 0; r < int(e.cells.size()); ++r) {
        for (int c = 0; c < int(e.cells[size_t(r)].size()); ++c) {
            auto* item = new QTableWidgetItem(toDisplayText(e.cells[size_t(r)][size_t(c)]));
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            if (r == 0) {  // the header row
                item->setFont(headerFont);
                item->setBackground(table->palette().button());
            }
            table->setItem(r, c, item);
        }
    }
    for (auto [column, width] : e.widths)
        table->setColumnWidth(column, width);
}

void QtControls::raiseContentChanged(const std::string& name) {
    if (contentChanged_) contentChanged_(name);
}

std::string QtControls::text(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            return e ? readText(*e) : std::string();
        },
        std::string());
}

void QtControls::setText(const std::string& name, const std::string& text) {
    gate_.run([this, name, text] {
        if (Entry* e = find(name)) writeText(name, *e, text);
    });
}

void QtControls::appendText(const std::string& name, const std::string& text) {
    gate_.run([this, name, text] {
        Entry* e = find(name);
        if (!e) return;
        if (e->kind == ControlKind::EditBox)
            appendToBox(name, *e, text);
        else
            writeText(name, *e, readText(*e) + text);
    });
}

bool QtControls::visible(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            if (!e || !e->widget) return false;
            return e->isWindow ? e->widget->isVisible() : !e->widget->isHidden();
        },
        false);
}

void QtControls::setVisible(const std::string& name, bool visible) {
    gate_.run([this, name, visible] {
        Entry* e = find(name);
        if (e && e->widget) e->widget->setVisible(visible);
    });
}

int QtControls::period(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            return e ? e->period : 0;
        },
        0);
}

void QtControls::setPeriod(const std::string& name, int ms) {
    gate_.run([this, name, ms] {
        Entry* e = find(name);
        if (!e || !e->timer) return;
        const int period = std::max(ms, 0);
        if (period == e->period) return;
        e->period = period;
        if (period == 0) {
            e->timer->stop();
        } else {
            e->timer->start(period);
            ++e->starts;
        }
    });
}

int QtControls::itemCount(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            return e && e->kind == ControlKind::ListView ? int(e->cells.size()) : 0;
        },
        0);
}

std::string QtControls::itemText(const std::string& name, int row, int column) {
    return gate_.call(
        [this, name, row, column] {
            Entry* e = find(name);
            if (!e || e->kind != ControlKind::ListView ||
                !inRange(e->cells, row, column, e->columns))
                return std::string();
            return e->cells[size_t(row)][size_t(column)];
        },
        std::string());
}

void QtControls::setItemText(const std::string& name, int row, int column,
                             const std::string& text) {
    gate_.run([this, name, row, column, text] {
        Entry* e = find(name);
        if (!e || e->kind != ControlKind::ListView || !inRange(e->cells, row, column, e->columns))
            return;
        std::string& cell = e->cells[size_t(row)][size_t(column)];
        cell = toText(text);
        if (auto* list = qobject_cast<QTreeWidget*>(e->widget.data())) {
            if (QTreeWidgetItem* item = list->topLevelItem(row))
                item->setText(column, toDisplayText(cell));
        }
    });
}

void QtControls::setGridRows(const std::string& name, const GridRows& rows) {
    gate_.run([this, name, rows] {
        Entry* e = find(name);
        if (!e || e->kind != ControlKind::Grid) return;
        e->cells = rows;
        for (auto& row : e->cells)
            for (auto& cell : row)
                cell = toText(cell);
        showGrid(*e);
    });
}

GridRows QtControls::gridRows(const std::string& name) {
    return gate_.call(
        [this, name] {
            Entry* e = find(name);
            return e && e->kind == ControlKind::Grid ? e->cells : GridRows();
        },
        GridRows());
}

void QtControls::setGridColumnWidth(const std::string& name, int column, int width) {
    gate_.run([this, name, column, width] {
        Entry* e = find(name);
        if (!e || e->kind != ControlKind::Grid || column < 0 || column >= kMaxGridColumns ||
            width < 0)
            return;
        e->widths[column] = width;
        if (auto* table = qobject_cast<QTableWidget*>(e->widget.data())) {
            if (column >= table->columnCount()) table->setColumnCount(column + 1);
            table->setColumnWidth(column, width);
        }
    });
}

}  // namespace pv
