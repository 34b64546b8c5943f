// main() of the widget test programs: the program's application object exists before any
// test runs, with message recording on, so that a message box never opens (and never blocks)
// in a test: tests read PelliumApp()->RecordedMessages() instead.
#include "Unit1/PelliumApplication.h"

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TPelliumApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Pellium"));
    app.SetRecordsMessages(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
