// The settings file: the addresses of the outside sites, read once at start with QSettings in
// INI form. The file is only read, never written.
#pragma once

#include <QStringList>

#include "core/settings.h"

namespace pv {

// The files in the order they are read: the system-wide one
// (/etc/xdg/planviewer/planviewer.conf), then the user's
// ($XDG_CONFIG_HOME/planviewer/planviewer.conf, by default under ~/.config), whose keys win.
QStringList settingsFiles();

// The compiled defaults with every usable value of `files` over them. Files that do not exist
// are passed over; a refused value, unknown keys and a file that cannot be read are logged.
Settings loadSettings(const QStringList& files = settingsFiles());

}  // namespace pv
