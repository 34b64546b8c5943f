#pragma once
// TSpinEdit: an integer edit with up and down arrows. Unlike QSpinBox it lets the user type
// anything: Value() reads the text as a decimal integer, and a text that is not one reads as
// MinValue. The arrows (and the Up and Down keys) step the value and keep it within
// MinValue..MaxValue; a typed value outside that range stays as typed until the edit loses
// the focus, which brings it into range. Changed() is emitted whenever the text changes.

#include <QWidget>

class QLineEdit;
class QToolButton;

class TSpinEdit : public QWidget {
    Q_OBJECT

public:
    TSpinEdit(int minValue, int maxValue, int value, QWidget* parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Value() const;
    // Stores value brought into MinValue..MaxValue.
    void SetValue(int value);
    QString Text() const;
    void SetText(const QString& text);
    // value brought into MinValue..MaxValue.
    int CheckValue(int value) const;

    QLineEdit* Editor() const { return editor_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step(int delta);

    int minValue_;
    int maxValue_;
    QLineEdit* editor_ = nullptr; // owned (Qt parent)
    QToolButton* up_ = nullptr; // owned (Qt parent)
    QToolButton* down_ = nullptr; // owned (Qt parent)
};
