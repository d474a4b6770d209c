#pragma once

#include <QString>

namespace AppInfo {

inline const QString Title = QStringLiteral("Lorimet Adapter");
inline constexpr int VersionMajor = LORIMET_VERSION_MAJOR;
inline constexpr int VersionMinor = LORIMET_VERSION_MINOR;
inline constexpr int VersionRevision = LORIMET_VERSION_PATCH;

} // namespace AppInfo
