#pragma once
// The program's one message box: modal, the application title ("Pellium") as caption, the
// text, no icon, a single OK button, centred on the screen. Every message the program shows
// goes through ShowMessage.

#include <QString>

// Shows text in the message box through the application (TPelliumApplication::ShowMessage:
// queued, one box at a time, recorded instead in tests). Without a Pellium application
// object the box opens at once.
void ShowMessage(const QString& text);

// Opens the box at once and returns when the user has closed it; the event loop keeps
// running meanwhile.
void ExecMessageBox(const QString& text);
