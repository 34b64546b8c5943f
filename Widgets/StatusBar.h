#pragma once
// TStatusBar: a status bar of text panels of fixed widths, laid side by side from the left
// edge (a panel that does not fit is clipped), with a size grip in the bottom-right corner.

#include <QWidget>
#include <initializer_list>
#include <vector>

class QLabel;
class QSizeGrip;

class TStatusBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int DefaultHeight = 19;

    TStatusBar(std::initializer_list<int> panelWidths, QWidget* parent = nullptr);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    int PanelWidth(int index) const;
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    QLabel* Panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<QLabel*> panels_; // owned (Qt parent)
    QSizeGrip* sizeGrip_ = nullptr; // owned (Qt parent)
};
