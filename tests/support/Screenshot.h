#pragma once
// Pictures for a person to look at. A test calls SaveScreenshot with what it drew; the picture is
// written only when the environment variable PELLIUM_SCREENSHOTS names a folder (the test
// command sets it to <build>/screenshots), so that a plain test run writes nothing.

#include <QImage>
#include <QString>

// Writes `image` as <PELLIUM_SCREENSHOTS>/<name>.png and returns the path, or returns an empty
// string without writing when the variable is unset. A set folder that cannot be written is
// reported as a test failure.
QString SaveScreenshot(const QImage& image, const QString& name);
