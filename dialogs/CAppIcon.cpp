#include "dialogs/CAppIcon.h"

QIcon CAppIcon::icon() {
    return QIcon(QStringLiteral(":/icons/maroket.svg"));
}
