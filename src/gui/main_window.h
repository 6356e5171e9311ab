// The main window, built from the layout table. Every widget's objectName is its control name;
// its events go to the handlers of the wiring table on the window thread.
#pragma once

#include <QMargins>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/layout_table.h"
#include "app/startup.h"
#include "app/wiring.h"
#include "core/program_state.h"
#include "gui/qt_controls.h"
#include "gui/qt_desktop.h"
#include "gui/window_gate.h"

namespace pv {

// What one window needs around it. It lives as long as any thread that may use it.
struct Runtime {
    explicit Runtime(Settings settings = Settings::defaults())
        : controls(gate, settings),
          desktop(gate),
          app{controls, desktop, std::move(settings), state} {}

    WindowGate gate;
    QtControls controls;
    QtDesktop desktop;
    ProgramState state;
    App app;
};

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(Runtime& runtime, const std::vector<ControlSpec>& layout = layoutTable(),
                        const WindowSpec& window = windowSpec());
    ~MainWindow() override;

    // The created event: the start-up sequence, with the themed look as its style step.
    void runStartup(StartupSequence steps = StartupSequence::defaults());
    // Ends the window without the closing question (the update check's end of the program).
    void closeWithoutAsking();
    // The window is gone: closed, ended by the program, destroyed or left by the application.
    bool hasClosed() const { return closed_; }

    QWidget* control(ControlName name) const;
    QTimer* timer(ControlName name) const;
    // Test hook: sees every event before its handler runs.
    void setEventObserver(std::function<void(ControlName, ControlEvent)> observer) {
        observer_ = std::move(observer);
    }
    // Test hook: the frame around the window, as a window manager would report it; the
    // platform's own by default.
    void setFrameSource(std::function<QMargins()> source) { frameSource_ = std::move(source); }

  signals:
    // The window is gone; the controls no longer answer and shutdown has begun.
    void closed();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build(const std::vector<ControlSpec>& layout);
    QWidget* makeWidget(const ControlSpec& spec, const std::vector<ControlSpec>& layout);
    QWidget* containerOf(const ControlSpec& spec, int& topOffset) const;
    void dispatch(ControlName name, ControlEvent event);
    // However the window goes, this runs once: the timers stop, the gate shuts, workers are
    // told to end and open message boxes are dismissed.
    void windowGone();
    void fitOuterSize();

    Runtime& runtime_;
    QSize outerSize_;
    QSize layoutExtent_;  // the client area the top-level controls need
    std::optional<QMargins> fittedFrame_;
    std::function<QMargins()> frameSource_;
    std::unordered_map<ControlName, QWidget*> widgets_;
    std::unordered_map<ControlName, QTimer*> timers_;
    std::function<void(ControlName, ControlEvent)> observer_;
    bool closed_ = false;
};

// The themed look every control shares.
void applyThemedStyle();
// The program's font: Chinese in simplified glyphs wherever the named face is missing.
QFont programFont(const std::string& family = {}, int pixelSize = 12, bool bold = false);

}  // namespace pv
