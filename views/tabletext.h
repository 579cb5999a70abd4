// The fixed texts of the tables and charts (band labels, headers, series names) as Qt strings.
#pragma once

#include <QString>
#include <string_view>

inline QString TableText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
