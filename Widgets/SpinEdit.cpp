#include "Widgets/SpinEdit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kButtonWidth = 15;

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TSpinEdit::TSpinEdit(int minValue, int maxValue, int value, QWidget* parent)
    : QWidget(parent)
    , minValue_(minValue)
    , maxValue_(maxValue)
    , editor_(new QLineEdit(this))
    , up_(ArrowButton(Qt::UpArrow, this))
    , down_(ArrowButton(Qt::DownArrow, this)) {
    setFocusProxy(editor_);
    editor_->installEventFilter(this);
    editor_->setText(QString::number(CheckValue(value)));
    connect(editor_, &QLineEdit::textChanged, this, &TSpinEdit::Changed);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

int TSpinEdit::Value() const {
    bool ok = false;
    const int value = editor_->text().trimmed().toInt(&ok, 10);
    return ok ? value : minValue_;
}

void TSpinEdit::SetValue(int value) {
    editor_->setText(QString::number(CheckValue(value)));
}

QString TSpinEdit::Text() const {
    return editor_->text();
}

void TSpinEdit::SetText(const QString& text) {
    editor_->setText(text);
}

int TSpinEdit::CheckValue(int value) const {
    if (maxValue_ <= minValue_) return value;
    return std::clamp(value, minValue_, maxValue_);
}

void TSpinEdit::Step(int delta) {
    // Stepping from a typed out-of-range value lands within range as well.
    SetValue(Value() + delta);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::FocusOut && CheckValue(Value()) != Value()) {
            SetValue(Value());
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                Step(key == Qt::Key_Up ? +1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    editor_->setGeometry(0, 0, width() - kButtonWidth, height());
    up_->setGeometry(width() - kButtonWidth, 0, kButtonWidth, half);
    down_->setGeometry(width() - kButtonWidth, half, kButtonWidth, height() - half);
}
