#include "Widgets/ChatEdit.h"

#include <QColor>
#include <QPainter>
#include <qdrawutil.h>

namespace {

const QColor kCaretColour(0, 255, 0); // lime, like the text

// QLineEdit::cursorRect() is a rectangle around the caret that starts this far left of it.
constexpr int kCursorRectLead = 5;
constexpr int kCaretWidth = 1;

} // namespace

TChatEdit::TChatEdit(QWidget* parent)
    : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(1, 1, 1, 1); // the text keeps clear of the frame
}

QRect TChatEdit::CaretRect() const {
    if (!hasFocus() || isReadOnly()) return {};
    const QRect around = cursorRect();
    return QRect(around.x() + kCursorRectLead, around.y(), kCaretWidth, around.height())
        .intersected(rect().adjusted(1, 1, -1, -1));
}

void TChatEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    // The caret stays lit instead of blinking: the toolkit's blinking caret is drawn over.
    if (const QRect caret = CaretRect(); !caret.isEmpty()) painter.fillRect(caret, kCaretColour);
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
}
