#include "gui/settings_file.h"

#include <QFileInfo>
#include <QSettings>

#include "core/code_page.h"
#include "core/log.h"

namespace pv {
namespace {

std::string toGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToGbk(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

// A value as written. An unquoted comma makes QSettings read a list; its parts are joined again.
QString valueText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

}  // namespace

QStringList settingsFiles() {
    // The native format of Unix is INI in files named .conf (IniFormat would name them .ini).
    const auto name = [](QSettings::Scope scope) {
        return QSettings(QSettings::NativeFormat, scope, QStringLiteral("planviewer"),
                         QStringLiteral("planviewer"))
            .fileName();
    };
    return {name(QSettings::SystemScope), name(QSettings::UserScope)};
}

Settings loadSettings(const QStringList& files) {
    Settings settings = Settings::defaults();
    for (const QString& path : files) {
        const QFileInfo info(path);
        if (!info.exists()) continue;
        const std::string source = toGbk(path);
        if (!info.isFile() || !info.isReadable()) {
            logFailure("settings: " + source + " cannot be read; its settings are not used");
            continue;
        }
        const QSettings file(path, QSettings::IniFormat);
        if (file.status() != QSettings::NoError) {
            logFailure("settings: " + source + " cannot be read; its settings are not used");
            continue;
        }
        std::vector<SettingsEntry> entries;
        for (const QString& key : file.allKeys())
            entries.push_back({toGbk(key), toGbk(valueText(file.value(key)))});
        AppliedSettings applied = applySettings(std::move(settings), entries, source);
        for (const std::string& message : applied.messages)
            logFailure(message);
        settings = std::move(applied.settings);
    }
    return settings;
}

}  // namespace pv
