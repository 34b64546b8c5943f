#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class TLinkLabel;
class TShadowLabel;

// The about box: the product's name, its maker, the author credit, a picture with a motto and
// three links. Fixed size, black, no title-bar buttons; created hidden and shown modally
// (exec()) as often as the user likes. "Tamam" (or Enter) hides it with the result Accepted;
// Escape and the window's close request do nothing. The picture is decoded with libjpeg once,
// at construction; an unreadable picture leaves Image2 empty.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Opens an address with the desktop's default program; QDesktopServices::openUrl unless
    // replaced (tests record the address instead). Its result is ignored.
    std::function<bool(const QUrl&)> UrlOpener;

    // The controls, owned by the dialog.
    QFrame* Panel2 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label3 = nullptr;
    TShadowLabel* ShadowLabel1 = nullptr;
    TShadowLabel* ShadowLabel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    TLinkLabel* Label8 = nullptr;
    TLinkLabel* Label7 = nullptr;
    QLabel* Label4 = nullptr;
    TLinkLabel* Label6 = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // Link handlers: each opens its fixed address.
    void Label8Click();
    void Label7Click();
    void Label6Click();

    // Escape and closing the window do not close the about box; only BitBtn1 does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreatePicturePanel();
    void CreateTitles();
    void CreateLinks();
    void CreateButton();
    void CentreOnDesktop();
    void Open(const QUrl& url) const;
};
