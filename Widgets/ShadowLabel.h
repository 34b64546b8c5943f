#pragma once

#include <QColor>
#include <QLabel>

// A label whose text carries a one-pixel shadow: the text is drawn once 1 pixel up and to the
// left in the shadow colour (by default the palette's button-highlight colour, QPalette::Light),
// then the text itself on top in the palette's WindowText colour. Plain text only.
class TShadowLabel : public QLabel {
    Q_OBJECT
public:
    explicit TShadowLabel(const QString& text, QWidget* parent = nullptr);

    QColor ShadowColor() const;
    void SetShadowColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor shadowColor_;
};
