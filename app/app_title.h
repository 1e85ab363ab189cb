#pragma once

#include <QLatin1String>

inline constexpr QLatin1String applicationTitle("Voxcel");
inline constexpr QLatin1String mainWindowTitle("Voxcel Graphic LCD ToolBox for the KS0108 Controller Beta Ver 0.8");
inline constexpr int versionMajor = 0;
inline constexpr int versionMinor = 8;
inline constexpr int versionRevision = 0;
