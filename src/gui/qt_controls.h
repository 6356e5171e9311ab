// The controls facade over the widgets of the main window. Every call may come from any thread;
// the window gate makes it one request on the window thread. The program's own writes are kept
// as GBK bytes, so what it writes reads back byte for byte even where a widget would change it
// ("\r\n" to "\n", bytes that are not GBK); once the user edits a box, its widget is the source.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "app/layout_table.h"
#include "core/controls.h"
#include "gui/window_gate.h"

namespace pv {

class QtControls final : public Controls {
  public:
    explicit QtControls(WindowGate& gate) : gate_(gate) {}

    // Building, on the window thread, once the widget has its initial look and content.
    void addControl(const ControlSpec& spec, QWidget* widget);
    void addTimer(const std::string& name, QTimer* timer);
    void addWindow(const std::string& caption, QWidget* window);
    // Called on the window thread after every content change of an edit box, whether the
    // program or the user made it.
    void setContentChangedHandler(std::function<void(const std::string&)> handler) {
        contentChanged_ = std::move(handler);
    }
    // Window thread: stops every timer for good.
    void stopTimers();
    // How often the timer was (re)started; a period write that changes nothing leaves it alone.
    int timerStarts(const std::string& name);

    std::string text(const std::string& name) override;
    void setText(const std::string& name, const std::string& text) override;
    void appendText(const std::string& name, const std::string& text) override;
    bool visible(const std::string& name) override;
    void setVisible(const std::string& name, bool visible) override;
    int period(const std::string& name) override;
    void setPeriod(const std::string& name, int ms) override;
    int itemCount(const std::string& name) override;
    std::string itemText(const std::string& name, int row, int column = 0) override;
    void setItemText(const std::string& name, int row, int column,
                     const std::string& text) override;
    void setGridRows(const std::string& name, const GridRows& rows) override;
    GridRows gridRows(const std::string& name) override;
    void setGridColumnWidth(const std::string& name, int column, int width) override;

  private:
    struct Entry {
        ControlKind kind = ControlKind::Label;
        bool isWindow = false;
        QPointer<QWidget> widget;
        QPointer<QTimer> timer;
        std::string text;         // what the program wrote last
        bool userEdited = false;  // the widget holds newer text than `text`
        int period = 0;
        int starts = 0;
        GridRows cells;             // list view and grid
        int columns = 0;            // list view
        std::map<int, int> widths;  // grid column widths asked for
    };

    Entry* find(const std::string& name);
    std::string readText(const Entry& e) const;
    void writeText(const std::string& name, Entry& e, std::string text);
    void appendToBox(const std::string& name, Entry& e, const std::string& text);
    void showGrid(Entry& e);
    void raiseContentChanged(const std::string& name);

    WindowGate& gate_;
    std::unordered_map<std::string, Entry> entries_;
    std::function<void(const std::string&)> contentChanged_;
    int writing_ = 0;  // program writes in progress: widget change signals are not user edits
};

}  // namespace pv
