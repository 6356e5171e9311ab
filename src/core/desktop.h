// Desktop services the handlers use: message boxes, the clipboard, the message-pumping pause,
// opening an address in the browser and ending the main window. Texts are GBK.
#pragma once

#include <string>

namespace pv {

// Answers of messageBox, in the numbering the handlers compare against.
enum MessageBoxAnswer : int {
    kAnswerOk = 0,
    kAnswerCancel = 1,
    kAnswerAbort = 2,
    kAnswerRetry = 3,
    kAnswerIgnore = 4,
    kAnswerYes = 5,
    kAnswerNo = 6,
};

// The button sets of the style value's low four bits.
enum MessageBoxStyle : int {
    kStyleOk = 0,
    kStyleOkCancel = 1,
    kStyleAbortRetryIgnore = 2,
    kStyleYesNoCancel = 3,
    kStyleYesNo = 4,
    kStyleRetryCancel = 5,
    kStyleIconStop = 0x10,
    kStyleIconQuestion = 0x20,
    kStyleIconWarning = 0x30,
    kStyleIconInformation = 0x40,
};

// The answer of a box that is closed without pressing a button: its way out, as the Escape key
// would choose it.
inline int dismissedAnswer(int style) {
    switch (style & 0x0F) {
        case kStyleOkCancel:
        case kStyleYesNoCancel:
        case kStyleRetryCancel:
            return kAnswerCancel;
        case kStyleAbortRetryIgnore:
            return kAnswerAbort;
        case kStyleYesNo:
            return kAnswerNo;
        default:
            return kAnswerOk;
    }
}

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Modal box owned by no window; returns the pressed button as a MessageBoxAnswer.
    virtual int messageBox(const std::string& text, int style = 0,
                           const std::string& caption = "信息：") = 0;
    // False when the clipboard cannot be used.
    virtual bool setClipboardText(const std::string& text) = 0;
    // Returns after ms milliseconds; on the window thread, window events keep being handled
    // meanwhile, so handlers may run re-entrantly. ms <= 0 returns at once.
    virtual void delay(int ms) = 0;
    // Opens a web address with the desktop's default handler; false when that fails.
    virtual bool openAddress(const std::string& address) = 0;
    // Destroys the main window; the program then ends through its normal exit path.
    virtual void closeMainWindow() = 0;
};

}  // namespace pv
