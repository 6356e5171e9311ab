// Desktop services over Qt: message boxes, the clipboard, the message-pumping pause, opening an
// address in the browser and closing the main window. Callable from any thread.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/desktop.h"
#include "gui/window_gate.h"

namespace pv {

class QtDesktop final : public Desktop {
  public:
    explicit QtDesktop(WindowGate& gate) : gate_(gate) {}

    void setMainWindowCloser(std::function<void()> closer) { closer_ = std::move(closer); }
    // Window thread: every message box still open returns as if dismissed (the window is going).
    void dismissMessageBoxes();

    // Test hooks. The next message boxes are answered with these values, in order, without
    // being shown; the texts they asked are kept.
    void answerNextMessageBox(int answer);
    std::vector<std::string> answeredMessages();
    // Replaces the desktop's handler of web addresses.
    void setAddressOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }

    int messageBox(const std::string& text, int style = 0,
                   const std::string& caption = "信息：") override;
    bool setClipboardText(const std::string& text) override;
    void delay(int ms) override;
    // Opens what webAddressToOpen allows, nothing else: the address comes from outside.
    bool openAddress(const std::string& address) override;
    void closeMainWindow() override;

  private:
    int showMessageBox(const std::string& text, int style, const std::string& caption);

    WindowGate& gate_;
    std::vector<QPointer<QMessageBox>> boxes_;  // open ones, window thread only
    std::function<void()> closer_;
    std::function<bool(const QUrl&)> opener_;
    std::mutex hookMutex_;
    std::deque<int> answers_;
    std::vector<std::string> answered_;
};

}  // namespace pv
