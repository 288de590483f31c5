#pragma once

#include <QString>

#include <ostream>

// Lets a test name a control by its QString id in a failure message.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}
