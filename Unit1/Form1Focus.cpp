// Where the keyboard focus goes. Qt moves the focus of a control that is disabled on to the
// next control in the tab order; in this window that is the player's name or another field
// where typing silently changes a setting. The chat entry is the one field where typing does
// no harm, so the focus goes there instead, and there when a link comes up.
#include "Unit1/Unit1.h"

#include <QLineEdit>

void TForm1::Disable(QWidget* control) {
    const QWidget* focus = focusWidget();
    if (focus && (focus == control || control->isAncestorOf(focus))) FocusChatEntry();
    control->setEnabled(false);
}

void TForm1::FocusChatEntry() {
    Edit1->setFocus(Qt::OtherFocusReason);
}
