#include "Unit1/MessageBox.h"

#include "Unit1/PelliumApplication.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessage(const QString& text) {
    if (TPelliumApplication* app = PelliumApp())
        app->ShowMessage(text);
    else
        ExecMessageBox(text);
}

void ExecMessageBox(const QString& text) {
    // Without a parent the box is centred on the screen.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}
