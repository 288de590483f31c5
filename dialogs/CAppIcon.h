#pragma once

#include <QIcon>

// The program's icon, a closed envelope, drawn here rather than shipped as image files.
class CAppIcon {
public:
    // The program's icon, scalable; needs the application object.
    static QIcon icon();
};
