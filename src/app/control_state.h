// What the program holds for each control of the main window, and the rules of every control
// operation: which kinds take a text, the timer period, index ranges, the seeding of the list view
// and what a write leaves behind. The window's Qt facade and the fake controls of the handler
// tests both keep their controls here, so both behave alike. Not synchronised: its owner makes
// each operation one request.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/layout_table.h"
#include "core/controls.h"
#include "core/settings.h"

namespace pv {

struct ControlRecord {
    ControlKind kind = ControlKind::Label;
    bool isWindow = false;
    std::string text;  // caption or content as the program set it last (GBK)
    // Names the content since its last whole write; appends keep it. Unique in the process, so a
    // reader that kept one from another control or another window never takes it for this one.
    std::uint64_t run = 0;
    bool visible = true;
    int period = 0;             // timers, in ms; 0 when stopped
    int starts = 0;             // timers: how often started afresh
    GridRows cells;             // list view or grid, by row
    int columns = 0;            // list view
    std::map<int, int> widths;  // grid column widths asked for
};

class ControlState {
  public:
    static constexpr ControlName kWindowName = ctl::kWindow;

    // List view rows that name a page by its path get `planPageSite` in front.
    explicit ControlState(std::string planPageSite = {}) : site_(std::move(planPageSite)) {}
    ControlState(const std::vector<ControlSpec>& layout, const std::string& windowCaption,
                 const Settings& settings);

    ControlRecord& add(const ControlSpec& spec);
    ControlRecord& addWindow(const std::string& caption);
    bool has(const std::string& name) const { return controls_.count(name) > 0; }

    // nullptr for a name that no control has. Such a name is a programming error: the handler
    // hears of each name once.
    ControlRecord* find(const std::string& name);
    void setUnknownNameHandler(std::function<void(const std::string&)> handler) {
        unknownHandler_ = std::move(handler);
    }
    const std::vector<std::string>& unknownNames() const { return unknown_; }

    std::string text(ControlName name);
    // The control written, or nullptr when the write is ignored. Texts end at their first zero
    // byte; timers, tab controls, list views, grids and the shape box take none.
    ControlRecord* setText(ControlName name, const std::string& text);
    ControlRecord* appendText(ControlName name, const std::string& text);
    // See Controls::contentSince.
    ContentSince contentSince(ControlName name, std::uint64_t run, std::size_t offset);
    // A new content run, for a record whose text was replaced behind the state's back.
    static std::uint64_t newRun();
    // Writing and appending raise the content-changed event of edit boxes only.
    static bool raisesContentChanged(const ControlRecord& c) {
        return c.kind == ControlKind::EditBox;
    }

    // Timers are never visible.
    bool visible(ControlName name);
    ControlRecord* setVisible(ControlName name, bool visible);

    int period(ControlName name);
    // The period a timer is to run with from now (0: stop it), or nullopt when nothing changes:
    // a negative value counts as 0, and the period it already has keeps its phase.
    std::optional<int> setPeriod(ControlName name, int ms);
    // Every timer stops for good (the window is going).
    void stopTimers();

    int itemCount(ControlName name);
    std::string itemText(ControlName name, int row, int column);
    // The cell written, or nullptr for an index out of range.
    const std::string* setItemText(ControlName name, int row, int column, const std::string& text);

    ControlRecord* setGridRows(ControlName name, const GridRows& rows);
    GridRows gridRows(ControlName name);
    // False when ignored: not a grid, a negative width or a column beyond the last possible one.
    bool setGridColumnWidth(ControlName name, int column, int width);

  private:
    ControlRecord* findKind(const std::string& name, ControlKind kind);

    std::string site_;
    std::unordered_map<std::string, ControlRecord> controls_;
    std::vector<std::string> unknown_;
    std::unordered_set<std::string> unknownSeen_;
    std::function<void(const std::string&)> unknownHandler_;
};

// What a list view cell shows of its text: a page held whole in the cell shows only its start,
// cut at a character and marked "…", so the widget never lays out megabytes it cannot show.
inline constexpr std::size_t kShownCellBytes = 1024;
std::string shownCellText(std::string_view text);

// A button caption as shown: a single "&" would otherwise become a keyboard mnemonic.
std::string withoutMnemonics(const std::string& caption);

}  // namespace pv
