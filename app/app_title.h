#pragma once

#include "voxcel_version.h"

#include <QLatin1String>

inline constexpr QLatin1String applicationTitle("Voxcel");
#define VOXCEL_TEXT(x) #x
#define VOXCEL_NUMBER_TEXT(x) VOXCEL_TEXT(x)
inline constexpr QLatin1String
    mainWindowTitle("Voxcel Graphic LCD ToolBox for the KS0108 Controller Beta Ver " VOXCEL_NUMBER_TEXT(
        VOXCEL_VERSION_MAJOR) "." VOXCEL_NUMBER_TEXT(VOXCEL_VERSION_MINOR));
inline constexpr int versionMajor = VOXCEL_VERSION_MAJOR;
inline constexpr int versionMinor = VOXCEL_VERSION_MINOR;
inline constexpr int versionRevision = VOXCEL_VERSION_PATCH;
