// The controls facade over the widgets of the main window. Every call may come from any thread;
// the window gate makes it one request on the window thread. The state and rules of the controls
// are the Qt-free ControlState's; this facade shows what it holds. The program's own writes are
// kept as GBK bytes, so what it writes reads back byte for byte even where a widget would change
// it ("\r\n" to "\n", bytes that are not GBK); once the user edits a box, its widget is the
// source.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <unordered_map>

#include "app/control_state.h"
#include "app/layout_table.h"
#include "core/controls.h"
#include "core/settings.h"
#include "gui/window_gate.h"

namespace pv {

class QtControls final : public Controls {
  public:
    // List view rows naming a path get the settings' plan page site in front.
    explicit QtControls(WindowGate& gate, const Settings& settings = {});

    // Building, on the window thread: the widget shows the control's initial content.
    void addControl(const ControlSpec& spec, QWidget* widget);
    void addTimer(const ControlSpec& spec, QTimer* timer);
    void addWindow(const std::string& caption, QWidget* window);
    // Called on the window thread after every content change of an edit box, whether the
    // program or the user made it.
    void setContentChangedHandler(std::function<void(ControlName)> handler) {
        contentChanged_ = std::move(handler);
    }
    // Window thread: stops every timer for good.
    void stopTimers();
    // How often the timer was (re)started; a period write that changes nothing leaves it alone.
    int timerStarts(ControlName name);

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
    void inOneRequest(const std::function<void(Controls&)>& calls) override;

  private:
    struct View {
        QPointer<QWidget> widget;
        QPointer<QTimer> timer;
        bool userEdited = false;  // the widget holds newer text than the state
        // Appended to the state but not yet to the widget: a box that grows line by line is
        // laid out once per turn of the event loop, not once per line. Shown before anything
        // else can see the widget: the next turn, the user's next input, a whole write.
        std::string unshown;
        bool showQueued = false;
    };

    View* view(const std::string& name);
    // The state's record, its text brought up to date with what the user typed.
    ControlRecord* syncedRecord(const std::string& name);
    void showText(const std::string& name, const ControlRecord& c);
    void showAppended(const std::string& name);
    void showRows(const std::string& name, const ControlRecord& c);
    void showGrid(const std::string& name, const ControlRecord& c);
    void raiseContentChanged(ControlName name);

    WindowGate& gate_;
    ControlState state_;
    std::unordered_map<std::string, View> views_;
    std::function<void(ControlName)> contentChanged_;
    int writing_ = 0;  // program writes in progress: widget change signals are not user edits
};

}  // namespace pv
