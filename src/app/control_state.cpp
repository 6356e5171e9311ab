#include "app/control_state.h"

#include <algorithm>
#include <atomic>

#include "core/convert.h"
#include "core/text.h"

namespace pv {
namespace {

constexpr int kMaxGridColumns = 256;

bool takesText(const ControlRecord& c) {
    if (c.isWindow) return true;
    switch (c.kind) {
        case ControlKind::Button:
        case ControlKind::Label:
        case ControlKind::TransparentLabel:
        case ControlKind::EditBox:
        case ControlKind::HyperlinkBox:
            return true;
        default:
            return false;
    }
}

bool inRange(const ControlRecord& c, int row, int column) {
    return row >= 0 && column >= 0 && size_t(row) < c.cells.size() && column < c.columns;
}

}  // namespace

ControlState::ControlState(const std::vector<ControlSpec>& layout, const std::string& windowCaption,
                           const Settings& settings)
    : site_(settings.planPageSite) {
    addWindow(windowCaption);
    for (const ControlSpec& spec : layout)
        add(spec);
}

ControlRecord& ControlState::add(const ControlSpec& spec) {
    ControlRecord& c = controls_[spec.name];
    c = ControlRecord{};
    c.run = newRun();
    c.kind = spec.kind;
    if (takesText(c)) c.text = toText(spec.text);
    c.visible = spec.visible && spec.kind != ControlKind::Timer;
    if (spec.kind == ControlKind::Timer) {
        c.period = std::max(spec.period, 0);
        c.starts = c.period > 0 ? 1 : 0;
    }
    if (spec.kind == ControlKind::Grid) c.cells = spec.rows;
    if (spec.kind == ControlKind::ListView) {
        c.cells = spec.rows;
        c.columns = int(spec.columnHeaders.size());
        for (auto& row : c.cells) {
            c.columns = std::max(c.columns, int(row.size()));
            // Rows name their page by path; the site comes from the settings.
            if (!row.empty() && !row[0].empty() && row[0][0] == '/') row[0] = site_ + row[0];
        }
        for (auto& row : c.cells)
            row.resize(size_t(c.columns));
    }
    return c;
}

ControlRecord& ControlState::addWindow(const std::string& caption) {
    ControlRecord& c = controls_[kWindowName];
    c = ControlRecord{};
    c.run = newRun();
    c.isWindow = true;
    c.text = toText(caption);
    return c;
}

ControlRecord* ControlState::find(const std::string& name) {
    auto it = controls_.find(name);
    if (it != controls_.end()) return &it->second;
    if (unknownSeen_.insert(name).second) {
        unknown_.push_back(name);
        if (unknownHandler_) unknownHandler_(name);
    }
    return nullptr;
}

ControlRecord* ControlState::findKind(const std::string& name, ControlKind kind) {
    ControlRecord* c = find(name);
    return c && !c->isWindow && c->kind == kind ? c : nullptr;
}

std::string ControlState::text(ControlName name) {
    ControlRecord* c = find(name);
    return c ? c->text : std::string();
}

ControlRecord* ControlState::setText(ControlName name, const std::string& text) {
    ControlRecord* c = find(name);
    if (!c || !takesText(*c)) return nullptr;
    c->text = toText(text);
    c->run = newRun();
    return c;
}

ControlRecord* ControlState::appendText(ControlName name, const std::string& text) {
    ControlRecord* c = find(name);
    if (!c || !takesText(*c)) return nullptr;
    c->text.append(text.data(), std::min(text.size(), text.find('\0')));
    return c;
}

ContentSince ControlState::contentSince(ControlName name, std::uint64_t run, std::size_t offset) {
    ContentSince out;
    const ControlRecord* c = find(name);
    if (!c) return out;
    out.run = c->run;
    out.size = c->text.size();
    out.appendedOnly = run == c->run && offset <= c->text.size();
    out.bytes = out.appendedOnly ? c->text.substr(offset) : c->text;
    return out;
}

std::uint64_t ControlState::newRun() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

bool ControlState::visible(ControlName name) {
    ControlRecord* c = find(name);
    return c && c->visible;
}

ControlRecord* ControlState::setVisible(ControlName name, bool visible) {
    ControlRecord* c = find(name);
    if (!c || c->kind == ControlKind::Timer) return nullptr;
    c->visible = visible;
    return c;
}

int ControlState::period(ControlName name) {
    ControlRecord* c = find(name);
    return c ? c->period : 0;
}

std::optional<int> ControlState::setPeriod(ControlName name, int ms) {
    ControlRecord* c = findKind(name, ControlKind::Timer);
    if (!c) return std::nullopt;
    const int period = std::max(ms, 0);
    if (period == c->period) return std::nullopt;
    c->period = period;
    if (period != 0) ++c->starts;
    return period;
}

void ControlState::stopTimers() {
    for (auto& [name, c] : controls_)
        c.period = 0;
}

int ControlState::itemCount(ControlName name) {
    ControlRecord* c = findKind(name, ControlKind::ListView);
    return c ? int(c->cells.size()) : 0;
}

std::string ControlState::itemText(ControlName name, int row, int column) {
    ControlRecord* c = findKind(name, ControlKind::ListView);
    if (!c || !inRange(*c, row, column)) return {};
    return c->cells[size_t(row)][size_t(column)];
}

const std::string* ControlState::setItemText(ControlName name, int row, int column,
                                             const std::string& text) {
    ControlRecord* c = findKind(name, ControlKind::ListView);
    if (!c || !inRange(*c, row, column)) return nullptr;
    std::string& cell = c->cells[size_t(row)][size_t(column)];
    // Up to the first zero byte, into the cell's own storage: a page is not copied twice.
    cell.assign(text, 0, text.find('\0'));
    return &cell;
}

ControlRecord* ControlState::setGridRows(ControlName name, const GridRows& rows) {
    ControlRecord* c = findKind(name, ControlKind::Grid);
    if (!c) return nullptr;
    c->cells = rows;
    for (auto& row : c->cells)
        for (auto& cell : row)
            cell = toText(cell);
    return c;
}

GridRows ControlState::gridRows(ControlName name) {
    ControlRecord* c = findKind(name, ControlKind::Grid);
    return c ? c->cells : GridRows();
}

bool ControlState::setGridColumnWidth(ControlName name, int column, int width) {
    ControlRecord* c = findKind(name, ControlKind::Grid);
    if (!c || column < 0 || column >= kMaxGridColumns || width < 0) return false;
    c->widths[column] = width;
    return true;
}

std::string shownCellText(std::string_view text) {
    if (text.size() <= kShownCellBytes) return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + charWidth(text, end);
        if (next > kShownCellBytes) break;
        end = next;
    }
    return std::string(text.substr(0, end)) + "…";
}

std::string withoutMnemonics(const std::string& caption) {
    // "&" is never the second byte of a two-byte character, so bytes can be doubled as found.
    std::string out;
    out.reserve(caption.size());
    for (char ch : caption) {
        out += ch;
        if (ch == '&') out += '&';
    }
    return out;
}

}  // namespace pv
