#include "Widgets/StatusBar.h"

#include <QLabel>
#include <QSizeGrip>

namespace {

constexpr int kPanelGap = 2; // between two panels, as the sunken frames need a little air

} // namespace

TStatusBar::TStatusBar(std::initializer_list<int> panelWidths, QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(DefaultHeight);
    setMinimumWidth(0);
    int left = 0;
    for (int width : panelWidths) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        panel->setGeometry(left, 2, width, DefaultHeight - 2);
        panels_.push_back(panel);
        left += width + kPanelGap;
    }
    sizeGrip_ = new QSizeGrip(this);
}

int TStatusBar::PanelWidth(int index) const {
    return Panel(index)->width();
}

QString TStatusBar::PanelText(int index) const {
    return Panel(index)->text();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    Panel(index)->setText(text);
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize grip = sizeGrip_->sizeHint();
    sizeGrip_->setGeometry(
        width() - grip.width(), height() - grip.height(), grip.width(), grip.height());
}
