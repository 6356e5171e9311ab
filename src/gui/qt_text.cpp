#include "gui/qt_text.h"

#include "core/code_page.h"

namespace pv {

QString toQString(std::string_view gbk) {
    const std::string utf8 = gbkToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QString toDisplayText(std::string_view gbk) {
    QString s = toQString(gbk);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.remove(QLatin1Char('\r'));
    return s;
}

std::string fromUserText(const QString& text) {
    QString s = text;
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    s.replace(QChar::LineSeparator, QLatin1Char('\n'));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray utf8 = s.toUtf8();
    return utf8ToGbk(std::string_view(utf8.constData(), size_t(utf8.size())));
}

}  // namespace pv
