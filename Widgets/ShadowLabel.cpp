#include "Widgets/ShadowLabel.h"

#include <QApplication>
#include <QPainter>

TShadowLabel::TShadowLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
    , shadowColor_(QApplication::palette().color(QPalette::Light)) {
    setTextFormat(Qt::PlainText);
}

QColor TShadowLabel::ShadowColor() const {
    return shadowColor_;
}

void TShadowLabel::SetShadowColor(const QColor& color) {
    shadowColor_ = color;
    update();
}

void TShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    const int flags = static_cast<int>(alignment());
    painter.setPen(shadowColor_);
    painter.drawText(area.translated(-1, -1), flags, text());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, flags, text());
}
