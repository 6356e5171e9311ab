#include "support/fake_desktop.h"

#include "core/convert.h"
#include "core/desktop_rules.h"

namespace pv::test {

void FakeDesktop::answerNextMessageBox(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<FakeDesktop::Message> FakeDesktop::messages() {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::string FakeDesktop::clipboard() {
    std::lock_guard lock(mutex_);
    return clipboard_;
}

void FakeDesktop::setClipboardAvailable(bool available) {
    std::lock_guard lock(mutex_);
    clipboardAvailable_ = available;
}

void FakeDesktop::setDelayHook(std::function<void(int)> hook) {
    std::lock_guard lock(mutex_);
    delayHook_ = std::move(hook);
}

std::vector<int> FakeDesktop::delays() {
    std::lock_guard lock(mutex_);
    return delays_;
}

std::vector<std::string> FakeDesktop::openedAddresses() {
    std::lock_guard lock(mutex_);
    return opened_;
}

int FakeDesktop::closeRequests() {
    std::lock_guard lock(mutex_);
    return closeRequests_;
}

int FakeDesktop::messageBox(const std::string& text, int style, const std::string& caption) {
    std::lock_guard lock(mutex_);
    messages_.push_back({text, style, caption});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return dismissedAnswer(style);
}

bool FakeDesktop::setClipboardText(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (!clipboardAvailable_) return false;
    clipboard_ = toText(text);
    return true;
}

void FakeDesktop::delay(int ms) {
    std::function<void(int)> hook;
    {
        std::lock_guard lock(mutex_);
        delays_.push_back(ms);
        hook = delayHook_;
    }
    if (hook && ms > 0) hook(ms);
}

bool FakeDesktop::openAddress(const std::string& address) {
    std::lock_guard lock(mutex_);
    opened_.push_back(address);
    return webAddressToOpen(address).has_value();
}

void FakeDesktop::closeMainWindow() {
    std::lock_guard lock(mutex_);
    ++closeRequests_;
}

}  // namespace pv::test
