#pragma once
// TDragOverlay: the floating piece image of a mouse drag and of a move's slide. It is a child
// of the board's top-level window, drawn above everything else there and transparent for
// the mouse, so it can follow the pointer outside the board and never hides what lies under
// it: moving it away lets the window show its own picture again.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <vector>

class TDragOverlay : public QWidget {
    Q_OBJECT

public:
    explicit TDragOverlay(QWidget* window);

    // Shows image with its top-left corner at pos (window coordinates) and starts a new trail.
    // The overlay takes the image's size in logical pixels (its device pixel ratio counts).
    void Begin(const QImage& image, QPoint pos);
    // Moves the image's top-left corner to pos. With paintNow the window is repainted at once
    // (for the slide, which keeps the event loop waiting).
    void MoveTo(QPoint pos, bool paintNow = false);
    // Hides the image; the overlay is no longer in use.
    void End();
    bool InUse() const { return inUse_; }
    // Every position taken since the last Begin, in order (Begin's own position excluded).
    const std::vector<QPoint>& Trail() const { return trail_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
    bool inUse_ = false;
    std::vector<QPoint> trail_;
};
