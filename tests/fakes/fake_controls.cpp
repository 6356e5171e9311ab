#include "fakes/fake_controls.h"

#include <algorithm>

#include "core/convert.h"

namespace pv {
namespace {

constexpr int kMaxGridColumns = 256;

ControlKind kindByName(const std::string& name) {
    auto starts = [&name](const char* word) { return name.rfind(word, 0) == 0; };
    if (starts("编辑框")) return ControlKind::EditBox;
    if (starts("时钟")) return ControlKind::Timer;
    if (starts("超级列表框")) return ControlKind::ListView;
    if (starts("高级表格")) return ControlKind::Grid;
    if (starts("按钮")) return ControlKind::Button;
    return ControlKind::Label;
}

bool inRange(const GridRows& cells, int row, int column, int columns) {
    return row >= 0 && column >= 0 && size_t(row) < cells.size() && column < columns;
}

}  // namespace

FakeControls::FakeControls(const std::vector<ControlSpec>& layout, const Settings& settings)
    : strict_(true) {
    controls_["MainWindow"].text = windowSpec().caption;
    for (const ControlSpec& spec : layout) {
        Control& c = controls_[spec.name];
        c.kind = spec.kind;
        c.text = toText(spec.text);
        c.visible = spec.visible;
        c.period = std::max(spec.period, 0);
        if (spec.kind == ControlKind::ListView || spec.kind == ControlKind::Grid) {
            c.cells = spec.rows;
            c.columns = int(spec.columnHeaders.size());
            for (auto& row : c.cells) {
                c.columns = std::max(c.columns, int(row.size()));
                if (!row.empty() && !row[0].empty() && row[0][0] == '/')
                    row[0] = settings.planPageSite + row[0];
            }
            if (spec.kind == ControlKind::ListView)
                for (auto& row : c.cells)
                    row.resize(size_t(c.columns));
        }
    }
}

void FakeControls::setContentChangedHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(mutex_);
    contentChanged_ = std::move(handler);
}

void FakeControls::setListRows(const std::string& name, const GridRows& rows) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c) return;
    c->cells = rows;
    c->columns = 0;
    for (const auto& row : rows)
        c->columns = std::max(c->columns, int(row.size()));
    for (auto& row : c->cells)
        row.resize(size_t(c->columns));
}

std::vector<std::string> FakeControls::history(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c ? c->history : std::vector<std::string>();
}

int FakeControls::contentChanges(const std::string& name) {
    return int(history(name).size());
}

int FakeControls::timerStarts(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c ? c->starts : 0;
}

int FakeControls::gridColumnWidth(const std::string& name, int column) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c) return 0;
    auto it = c->widths.find(column);
    return it == c->widths.end() ? 0 : it->second;
}

FakeControls::Control* FakeControls::find(const std::string& name) {
    auto it = controls_.find(name);
    if (it != controls_.end()) return &it->second;
    if (strict_) return nullptr;
    Control& c = controls_[name];
    c.kind = kindByName(name);
    return &c;
}

void FakeControls::written(const std::string& name, Control& c,
                           std::unique_lock<std::mutex>& lock) {
    if (c.kind != ControlKind::EditBox) return;
    c.history.push_back(c.text);
    auto handler = contentChanged_;
    lock.unlock();
    if (handler) handler(name);
}

std::string FakeControls::text(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c ? c->text : std::string();
}

void FakeControls::setText(const std::string& name, const std::string& text) {
    std::unique_lock lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind == ControlKind::Timer) return;
    c->text = toText(text);
    written(name, *c, lock);
}

void FakeControls::appendText(const std::string& name, const std::string& text) {
    std::unique_lock lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind == ControlKind::Timer) return;
    c->text += toText(text);
    written(name, *c, lock);
}

bool FakeControls::visible(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c && c->kind != ControlKind::Timer && c->visible;
}

void FakeControls::setVisible(const std::string& name, bool visible) {
    std::lock_guard lock(mutex_);
    if (Control* c = find(name)) c->visible = visible;
}

int FakeControls::period(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c ? c->period : 0;
}

void FakeControls::setPeriod(const std::string& name, int ms) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind != ControlKind::Timer) return;
    const int period = std::max(ms, 0);
    if (period == c->period) return;
    c->period = period;
    if (period != 0) ++c->starts;
}

int FakeControls::itemCount(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c && c->kind == ControlKind::ListView ? int(c->cells.size()) : 0;
}

std::string FakeControls::itemText(const std::string& name, int row, int column) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind != ControlKind::ListView || !inRange(c->cells, row, column, c->columns))
        return {};
    return c->cells[size_t(row)][size_t(column)];
}

void FakeControls::setItemText(const std::string& name, int row, int column,
                               const std::string& text) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind != ControlKind::ListView || !inRange(c->cells, row, column, c->columns))
        return;
    c->cells[size_t(row)][size_t(column)] = toText(text);
}

void FakeControls::setGridRows(const std::string& name, const GridRows& rows) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind != ControlKind::Grid) return;
    c->cells = rows;
    for (auto& row : c->cells)
        for (auto& cell : row)
            cell = toText(cell);
}

GridRows FakeControls::gridRows(const std::string& name) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    return c && c->kind == ControlKind::Grid ? c->cells : GridRows();
}

void FakeControls::setGridColumnWidth(const std::string& name, int column, int width) {
    std::lock_guard lock(mutex_);
    Control* c = find(name);
    if (!c || c->kind != ControlKind::Grid || column < 0 || column >= kMaxGridColumns || width < 0)
        return;
    c->widths[column] = width;
}

}  // namespace pv
