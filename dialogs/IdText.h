#pragma once

#include "resources/WindowIds.h"

#include <QString>

// A control's or command's id as the text of its object name: "1003".
template <class Id> QString idText(Id id) {
    return QString::number(idNumber(id));
}
