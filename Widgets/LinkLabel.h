#pragma once

#include <QLabel>
#include <functional>

// A label that acts as a link: hand cursor, and OnClick when the left button is pressed and
// released over it (empty = not assigned).
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};
