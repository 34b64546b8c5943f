// Asking for the user's attention: in a network game each side waits for the other, so when
// the peer acts while the window is behind another one, the desktop is asked to show it (the
// task bar entry flashes or is marked until the user comes back).
#include "Unit1/Unit1.h"

#include <QApplication>

void TForm1::AskAttention() {
    if (isActiveWindow() && !isMinimized()) return;
    if (OnAttention) OnAttention();
}

void TForm1::ConnectAttention() {
    OnAttention = [this] { QApplication::alert(this); };
}
