#pragma once
// The program's one message box: modal, the application title ("Pellium") as caption, the
// text, no icon, a single OK button, centred on the screen. The windows show their messages
// through the application's queue (ShowMessage in Unit1/PelliumApplication.h), which opens
// this box.

#include <QString>

// Opens the box at once and returns when the user has closed it; the event loop keeps
// running meanwhile.
void ExecMessageBox(const QString& text);
