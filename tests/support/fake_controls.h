// Controls without a window, for handler tests. They keep their state in the window's own
// ControlState, so they follow the same rules. Seeded from a layout table they know exactly the
// controls of that table and record every other name asked for (unknownNames(), a programming
// error the window logs); unseeded they take any name and tell a control's kind by its name
// ("编辑框", "时钟", "超级列表框", "高级表格").
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/control_state.h"
#include "app/layout_table.h"
#include "core/controls.h"
#include "core/settings.h"

namespace pv::test {

class FakeControls final : public Controls {
  public:
    FakeControls() = default;
    // List view rows naming a path get the plan page site in front, as in the window.
    explicit FakeControls(const std::vector<ControlSpec>& layout, const Settings& settings = {});

    // Called after every write or append of an edit box, outside the fake's lock.
    void setContentChangedHandler(std::function<void(ControlName)> handler);
    void setListRows(ControlName name, const GridRows& rows);

    // Every content an edit box had after each write or append, in order.
    std::vector<std::string> history(ControlName name);
    int contentChanges(ControlName name);
    // Bytes of the control's content handed out by text() and contentSince() so far.
    std::size_t bytesRead(ControlName name);
    int timerStarts(ControlName name);
    int gridColumnWidth(ControlName name, int column);
    // Names asked for that no control has, each once, in order; always empty when unseeded.
    std::vector<std::string> unknownNames();

    std::string text(ControlName name) override;
    void setText(ControlName name, const std::string& text) override;
    void appendText(ControlName name, const std::string& text) override;
    ContentSince contentSince(ControlName name, std::uint64_t run, std::size_t offset) override;
    bool visible(ControlName name) override;
    void setVisible(ControlName name, bool visible) override;
    int period(ControlName name) override;
    void setPeriod(ControlName name, int ms) override;
    int itemCount(ControlName name) override;
    std::string itemText(ControlName name, int row, int column = 0) override;
    void setItemText(ControlName name, int row, int column, const std::string& text) override;
    void setGridRows(ControlName name, const GridRows& rows) override;
    GridRows gridRows(ControlName name) override;
    void setGridColumnWidth(ControlName name, int column, int width) override;

  private:
    // With mutex_ held: an unseeded fake makes the control on first use.
    void admit(ControlName name);
    void written(ControlName name, const ControlRecord* c, std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    bool strict_ = false;
    ControlState state_;
    std::map<std::string, std::vector<std::string>> history_;
    std::map<std::string, std::size_t> bytesRead_;
    std::function<void(ControlName)> contentChanged_;
};

}  // namespace pv::test
