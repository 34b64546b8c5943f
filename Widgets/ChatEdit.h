#pragma once
// TChatEdit: the one-line chat entry, black with lime text. On black, the toolkit's own caret
// (drawn by inverting the background) would be white and thin, and a frameless entry shows no
// edge, so the user could not see where to type: the entry draws a one-pixel sunken frame in
// the colours of the panel around it and, while it has the focus, a lime caret. Both are drawn
// inside the entry's own rectangle; its size and place are the layout's.

#include <QLineEdit>

class TChatEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TChatEdit(QWidget* parent = nullptr);

    // The caret's rectangle in the entry's coordinates (empty while it has no focus).
    QRect CaretRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
