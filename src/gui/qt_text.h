// GBK texts at the widget boundary.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace pv {

// The GBK text up to its first zero byte as a QString; bytes that are not GBK show as "?".
QString toQString(std::string_view gbk);
// The same with "\r\n" turned into the "\n" that Qt widgets break lines at; a lone "\r"
// breaks no line and is left out.
QString toDisplayText(std::string_view gbk);
// What a user typed, as GBK with "\r\n" line ends.
std::string fromUserText(const QString& text);

}  // namespace pv
