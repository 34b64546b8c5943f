#include "Widgets/RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 2, 2);
    layout->setSpacing(0);
    for (const QString& item : items) {
        auto* button = new QRadioButton(item, this);
        layout->addWidget(button);
        buttons_.push_back(button);
    }
}

int TRadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < ItemCount()) Button(index)->setChecked(true);
}
