// Desktop services without a desktop, for handler tests: message boxes answer from a queue,
// the clipboard is a string, pauses return at once (after an optional hook) and nothing opens,
// though whether an address would open follows the window's rule.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/desktop.h"

namespace pv::test {

class FakeDesktop final : public Desktop {
  public:
    struct Message {
        std::string text;
        int style = 0;
        std::string caption;
    };

    // Unanswered boxes count as dismissed (Cancel, No, Abort or OK by their style).
    void answerNextMessageBox(int answer);
    std::vector<Message> messages();
    std::string clipboard();
    void setClipboardAvailable(bool available);
    // Runs inside every delay, so a test can play the events that would arrive meanwhile.
    void setDelayHook(std::function<void(int)> hook);
    std::vector<int> delays();
    // Every address asked to open, as asked, whether it would open or not.
    std::vector<std::string> openedAddresses();
    int closeRequests();

    int messageBox(const std::string& text, int style = 0,
                   const std::string& caption = "信息：") override;
    bool setClipboardText(const std::string& text) override;
    void delay(int ms) override;
    bool openAddress(const std::string& address) override;
    void closeMainWindow() override;

  private:
    std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<Message> messages_;
    std::string clipboard_;
    bool clipboardAvailable_ = true;
    std::function<void(int)> delayHook_;
    std::vector<int> delays_;
    std::vector<std::string> opened_;
    int closeRequests_ = 0;
};

}  // namespace pv::test
