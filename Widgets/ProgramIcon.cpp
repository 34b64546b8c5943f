#include "Widgets/ProgramIcon.h"

// The icon set lives in the board library's resources; register them before the first use.
static void InitBoardResources() {
    Q_INIT_RESOURCE(resources);
}

QIcon LoadProgramIcon() {
    InitBoardResources();
    QIcon icon;
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        const QString path = QStringLiteral(":/icons/pellium-%1.png").arg(size);
        icon.addFile(path, QSize(size, size));
    }
    return icon;
}
