#pragma once
// TRadioGroup: a titled group of radio buttons, one per item, stacked top to bottom; exactly
// one item is selected once ItemIndex has been set.

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // The index of the selected item, -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int ItemCount() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

private:
    std::vector<QRadioButton*> buttons_; // owned (Qt parent)
};
