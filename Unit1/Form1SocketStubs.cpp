// Placeholders for the network link's socket operations, so that the window builds and the
// mode handlers run before the link exists. The network link replaces this file with its
// own implementation (Form1Network.cpp) and deletes it.
#include "Unit1/Unit1.h"

bool TForm1::OpenServer() {
    return true;
}

void TForm1::CloseServer() { }

void TForm1::CloseClient() { }

void TForm1::SendMove(Square, Square) { }
