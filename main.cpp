// The program's entry: the application, the main window, the about box (hidden), the event
// loop. Closing the main window ends the program.
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Unit2/Unit2.h"
#include "Widgets/ProgramIcon.h"

int main(int argc, char* argv[]) {
    TPelliumApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Pellium"));
    // The desktop matches the running window to its menu entry by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    app.setWindowIcon(LoadProgramIcon());
    TForm1 form1;
    TForm2 form2;
    form1.SetAboutBox(&form2);
    form1.show();
    return app.exec();
}
