#include "Widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

void ExecMessageBox(const QString& text) {
    // Without a parent the box is centred on the screen.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}
