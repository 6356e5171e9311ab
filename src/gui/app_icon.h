#pragma once

#include <QIcon>

namespace pv {

// The program's 128 x 128 icon, drawn here rather than shipped as a picture.
QIcon appIcon();
QImage appIconImage();

}  // namespace pv
