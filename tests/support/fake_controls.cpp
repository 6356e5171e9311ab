#include "support/fake_controls.h"

#include <algorithm>

namespace pv::test {

FakeControls::FakeControls(const std::vector<ControlSpec>& layout, const Settings& settings)
    : strict_(true), state_(layout, windowSpec().caption, settings) {}

void FakeControls::setContentChangedHandler(std::function<void(ControlName)> handler) {
    std::lock_guard lock(mutex_);
    contentChanged_ = std::move(handler);
}

void FakeControls::setListRows(ControlName name, const GridRows& rows) {
    std::lock_guard lock(mutex_);
    admit(name);
    ControlRecord* c = state_.find(name);
    if (!c) return;
    c->cells = rows;
    c->columns = 0;
    for (const auto& row : rows)
        c->columns = std::max(c->columns, int(row.size()));
    for (auto& row : c->cells)
        row.resize(size_t(c->columns));
}

std::vector<std::string> FakeControls::history(ControlName name) {
    std::lock_guard lock(mutex_);
    auto it = history_.find(name);
    return it == history_.end() ? std::vector<std::string>() : it->second;
}

int FakeControls::contentChanges(ControlName name) {
    return int(history(name).size());
}

std::size_t FakeControls::bytesRead(ControlName name) {
    std::lock_guard lock(mutex_);
    return bytesRead_[name];
}

int FakeControls::timerStarts(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    ControlRecord* c = state_.find(name);
    return c ? c->starts : 0;
}

int FakeControls::gridColumnWidth(ControlName name, int column) {
    std::lock_guard lock(mutex_);
    admit(name);
    ControlRecord* c = state_.find(name);
    if (!c) return 0;
    auto it = c->widths.find(column);
    return it == c->widths.end() ? 0 : it->second;
}

std::vector<std::string> FakeControls::unknownNames() {
    std::lock_guard lock(mutex_);
    return state_.unknownNames();
}

void FakeControls::admit(ControlName name) {
    if (strict_ || state_.has(name)) return;
    ControlSpec spec;
    spec.name = name;
    spec.kind = kindOfName(name).value_or(ControlKind::Label);
    state_.add(spec);
}

void FakeControls::written(ControlName name, const ControlRecord* c,
                           std::unique_lock<std::mutex>& lock) {
    if (!c || !ControlState::raisesContentChanged(*c)) return;
    history_[name].push_back(c->text);
    auto handler = contentChanged_;
    lock.unlock();
    if (handler) handler(name);
}

std::string FakeControls::text(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    std::string text = state_.text(name);
    bytesRead_[name] += text.size();
    return text;
}

void FakeControls::setText(ControlName name, const std::string& text) {
    std::unique_lock lock(mutex_);
    admit(name);
    written(name, state_.setText(name, text), lock);
}

void FakeControls::appendText(ControlName name, const std::string& text) {
    std::unique_lock lock(mutex_);
    admit(name);
    written(name, state_.appendText(name, text), lock);
}

ContentSince FakeControls::contentSince(ControlName name, std::uint64_t run, std::size_t offset) {
    std::lock_guard lock(mutex_);
    admit(name);
    ContentSince since = state_.contentSince(name, run, offset);
    bytesRead_[name] += since.bytes.size();
    return since;
}

bool FakeControls::visible(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    return state_.visible(name);
}

void FakeControls::setVisible(ControlName name, bool visible) {
    std::lock_guard lock(mutex_);
    admit(name);
    state_.setVisible(name, visible);
}

int FakeControls::period(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    return state_.period(name);
}

void FakeControls::setPeriod(ControlName name, int ms) {
    std::lock_guard lock(mutex_);
    admit(name);
    state_.setPeriod(name, ms);
}

int FakeControls::itemCount(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    return state_.itemCount(name);
}

std::string FakeControls::itemText(ControlName name, int row, int column) {
    std::lock_guard lock(mutex_);
    admit(name);
    return state_.itemText(name, row, column);
}

void FakeControls::setItemText(ControlName name, int row, int column, const std::string& text) {
    std::lock_guard lock(mutex_);
    admit(name);
    state_.setItemText(name, row, column, text);
}

void FakeControls::setGridRows(ControlName name, const GridRows& rows) {
    std::lock_guard lock(mutex_);
    admit(name);
    state_.setGridRows(name, rows);
}

GridRows FakeControls::gridRows(ControlName name) {
    std::lock_guard lock(mutex_);
    admit(name);
    return state_.gridRows(name);
}

void FakeControls::setGridColumnWidth(ControlName name, int column, int width) {
    std::lock_guard lock(mutex_);
    admit(name);
    state_.setGridColumnWidth(name, column, width);
}

}  // namespace pv::test
