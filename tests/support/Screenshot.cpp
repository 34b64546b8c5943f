#include "support/Screenshot.h"

#include <QDir>
#include <gtest/gtest.h>

QString SaveScreenshot(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("PELLIUM_SCREENSHOTS");
    if (folder.isEmpty()) return {};
    EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return path;
}
