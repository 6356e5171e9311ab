#include "gui/qt_desktop.h"

#include <QClipboard>
#include <QDebug>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <algorithm>

#include "core/desktop_rules.h"
#include "gui/qt_text.h"

namespace pv {
namespace {

QMessageBox::StandardButtons buttonsOf(int style) {
    switch (style & 0x0F) {
        case kStyleOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case kStyleAbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case kStyleYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case kStyleYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case kStyleRetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0xF0) {
        case kStyleIconStop:
            return QMessageBox::Critical;
        case kStyleIconQuestion:
            return QMessageBox::Question;
        case kStyleIconWarning:
            return QMessageBox::Warning;
        case kStyleIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int answerOf(int button, int style) {
    switch (button) {
        case QMessageBox::Ok:
            return kAnswerOk;
        case QMessageBox::Cancel:
            return kAnswerCancel;
        case QMessageBox::Abort:
            return kAnswerAbort;
        case QMessageBox::Retry:
            return kAnswerRetry;
        case QMessageBox::Ignore:
            return kAnswerIgnore;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return dismissedAnswer(style);
    }
}

}  // namespace

int QtDesktop::showMessageBox(const std::string& text, int style, const std::string& caption) {
    QMessageBox box(iconOf(style), toQString(caption), toDisplayText(text), buttonsOf(style));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    boxes_.emplace_back(&box);
    const int button = box.exec();
    boxes_.erase(std::find(boxes_.begin(), boxes_.end(), &box));
    return answerOf(button, style);
}

void QtDesktop::dismissMessageBoxes() {
    for (const QPointer<QMessageBox>& box : boxes_)
        if (box) box->reject();
}

void QtDesktop::answerNextMessageBox(int answer) {
    std::lock_guard lock(hookMutex_);
    answers_.push_back(answer);
}

std::vector<std::string> QtDesktop::answeredMessages() {
    std::lock_guard lock(hookMutex_);
    return answered_;
}

int QtDesktop::messageBox(const std::string& text, int style, const std::string& caption) {
    {
        std::lock_guard lock(hookMutex_);
        if (!answers_.empty()) {
            const int answer = answers_.front();
            answers_.pop_front();
            answered_.push_back(text);
            return answer;
        }
    }
    return gate_.call([=, this] { return showMessageBox(text, style, caption); },
                      dismissedAnswer(style));
}

bool QtDesktop::setClipboardText(const std::string& text) {
    return gate_.call(
        [text] {
            QClipboard* clipboard = QGuiApplication::clipboard();
            if (!clipboard) return false;
            clipboard->setText(toQString(text));
            return true;
        },
        false);
}

void QtDesktop::delay(int ms) {
    gate_.pause(ms);
}

bool QtDesktop::openAddress(const std::string& address) {
    const std::optional<std::string> allowed = webAddressToOpen(address);
    if (!allowed) return false;
    const QUrl url(QString::fromLatin1(allowed->data(), qsizetype(allowed->size())));
    if (!url.isValid()) {
        qWarning().noquote() << QStringLiteral("cannot open the address") << url.errorString();
        return false;
    }
    return gate_.call(
        [this, url] { return opener_ ? opener_(url) : QDesktopServices::openUrl(url); }, false);
}

void QtDesktop::closeMainWindow() {
    gate_.run([this] {
        if (closer_) closer_();
    });
}

}  // namespace pv
