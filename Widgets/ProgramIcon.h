#pragma once
// The program's icon: the white knight in every size of the desktop icon set, so the window
// manager and the task bar each take the size they draw instead of scaling one picture.

#include <QIcon>
#include <QString>

// The application id: the name of the desktop entry, of the icons and of the metadata; the
// build defines it (PELLIUM_APPLICATION_ID in the top CMakeLists.txt).
inline constexpr char kApplicationId[] = PELLIUM_APPLICATION_ID;

// The icon set, 16 to 256 pixels; null only when the program's resources are missing.
QIcon LoadProgramIcon();
