// The about box TForm2: its window, its controls and their looks, the links, and how it opens
// and closes. Nothing here blocks in exec(): the dialog is shown with open() and driven with
// QTest events.
#include "Unit2/Unit2.h"
#include "Widgets/BitBtnGlyph.h"
#include "Widgets/LinkLabel.h"
#include "Widgets/ShadowLabel.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

class AboutBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The substitutions the program installs at start-up, so the fonts exist here too.
        QFont::insertSubstitution(
            QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
        QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    }

    AboutBox() {
        form.UrlOpener = [this](const QUrl& url) {
            opened.push_back(url);
            return false; // as if no browser were installed
        };
    }

    TForm2 form;
    std::vector<QUrl> opened;
};

TEST_F(AboutBox, IsAFixedSizeDialogWithoutTitleBarButtons) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Oyun Hakkında"));
    EXPECT_EQ(form.size(), QSize(463, 178));
    EXPECT_EQ(form.minimumSize(), QSize(463, 178));
    EXPECT_EQ(form.maximumSize(), QSize(463, 178));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    for (Qt::WindowType button :
        { Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
            Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint }) {
        SCOPED_TRACE(button);
        EXPECT_FALSE(flags.testFlag(button));
    }
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(form.autoFillBackground());
    EXPECT_FALSE(form.isVisible()); // created hidden
}

QString TextOf(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
    return {};
}

TEST_F(AboutBox, ControlsHaveTheirPlaceTextAndLook) {
    struct Row {
        QWidget* control;
        QWidget* parent;
        QRect geometry;
        QString text;
        QColor color;
        QString family;
        int pixelSize; // 0: given in points
        bool bold;
        bool italic;
    };
    const Row rows[] = {
        { form.Panel2, &form, QRect(8, 6, 153, 107), "", Qt::black, "MS Sans Serif", 0, false,
            false },
        { form.Image2, form.Panel2, QRect(1, 2, 150, 87), "", Qt::black, "MS Sans Serif", 0, false,
            false },
        { form.Label3, form.Panel2, QRect(1, 92, 151, 14), "Hayatta En Hakiki Mürşit İlimdir.",
            Qt::white, "Arial", 11, false, false },
        { form.ShadowLabel1, &form, QRect(192, 4, 249, 37), "Ombrel Software", QColor(255, 0, 0),
            "MS Sans Serif", 32, false, false },
        { form.ShadowLabel2, &form, QRect(164, 36, 293, 49), "Pellium", QColor(192, 192, 192),
            "Comic Sans MS", 35, true, true },
        { form.BitBtn1, &form, QRect(300, 144, 149, 25), "Tamam", QColor(0, 0, 128), "Arial", 0,
            true, false },
    };
    for (const Row& row : rows) {
        ASSERT_NE(row.control, nullptr);
        SCOPED_TRACE(row.control->objectName().toStdString());
        EXPECT_EQ(row.control->parentWidget(), row.parent);
        EXPECT_EQ(row.control->geometry(), row.geometry);
        EXPECT_EQ(TextOf(row.control), row.text);
        const QPalette::ColorRole role
            = row.control == form.BitBtn1 ? QPalette::ButtonText : QPalette::WindowText;
        if (row.color != Qt::black) {
            EXPECT_EQ(row.control->palette().color(role), row.color);
        }
        EXPECT_EQ(row.control->font().family(), row.family);
        if (row.pixelSize > 0) {
            EXPECT_EQ(row.control->font().pixelSize(), row.pixelSize);
        } else {
            EXPECT_EQ(row.control->font().pointSize(), 8);
        }
        EXPECT_EQ(row.control->font().bold(), row.bold);
        EXPECT_EQ(row.control->font().italic(), row.italic);
    }
    EXPECT_EQ(form.Panel2->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_LE(QFontMetrics(form.Label3->font()).horizontalAdvance(form.Label3->text()),
        form.Label3->width()); // the whole motto shows
    EXPECT_EQ(form.Label3->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(form.ShadowLabel2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

// The credit names Pellium's makers. It stands at (244, 92), 20 pixels high and at least 139
// wide, and grows to the right as far as its text needs, within the dialog.
TEST_F(AboutBox, CreditNamesTheMakersAndShowsWhole) {
    QLabel* label = form.Label1;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &form);
    EXPECT_EQ(label->text(), QStringLiteral("by Pellium Geliştiricileri"));
    EXPECT_EQ(label->pos(), QPoint(244, 92));
    EXPECT_EQ(label->height(), 20);
    EXPECT_GE(label->width(), 139);
    EXPECT_LE(label->geometry().right(), form.width() - 1);
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(label->font().pixelSize(), 16);
    EXPECT_FALSE(label->font().bold());
    EXPECT_FALSE(label->font().italic());
    // No placeholder is left anywhere in the box.
    for (const QLabel* any : form.findChildren<QLabel*>()) {
        EXPECT_FALSE(any->text().contains(QStringLiteral("Yazar Adı")))
            << any->objectName().toStdString();
        EXPECT_FALSE(any->text().contains(QStringLiteral("Çevirmen Adı")))
            << any->objectName().toStdString();
    }
}

TEST_F(AboutBox, CaptionsAreRightAlignedOnX121AndLinksStartAtX123) {
    struct Row {
        QLabel* label;
        QString text;
        int top;
        bool isLink;
    };
    const Row rows[] = {
        { form.Label5, "Web Siteleri :", 124, false },
        { form.Label8, "https://yazar.example.org/", 124, true },
        { form.Label7, "https://ombrel.example.org/", 140, true },
        { form.Label4, "E-posta :", 156, false },
        { form.Label6, "yazar@example.org", 156, true },
    };
    for (const Row& row : rows) {
        ASSERT_NE(row.label, nullptr);
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(row.label->text(), row.text);
        EXPECT_EQ(row.label->y(), row.top);
        if (row.isLink) {
            EXPECT_EQ(row.label->x(), 123);
            EXPECT_EQ(row.label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
            EXPECT_TRUE(row.label->font().underline());
            EXPECT_FALSE(row.label->font().bold());
            EXPECT_EQ(row.label->cursor().shape(), Qt::PointingHandCursor);
        } else {
            EXPECT_EQ(row.label->geometry().right() + 1, 121);
            EXPECT_EQ(row.label->palette().color(QPalette::WindowText), QColor(0, 255, 255));
            EXPECT_TRUE(row.label->font().bold());
            EXPECT_FALSE(row.label->font().underline());
        }
        EXPECT_EQ(row.label->font().family(), QStringLiteral("Verdana"));
        EXPECT_EQ(row.label->font().pixelSize(), 11);
        EXPECT_FALSE(row.label->autoFillBackground()); // transparent
    }
    // The lower two links end before the button that shares their rows.
    EXPECT_LT(form.Label7->geometry().right(), form.BitBtn1->x());
    EXPECT_LT(form.Label6->geometry().right(), form.BitBtn1->x());
}

TEST_F(AboutBox, PictureAndMottoCarryTheirHints) {
    EXPECT_EQ(form.Image2->toolTip(),
        QStringLiteral("Türkiye Cumhuriyeti Bayrağı\nMustafa Kemal Atatürk"));
    EXPECT_EQ(form.Label3->toolTip(), QStringLiteral("Mustafa Kemal Atatürk"));
}

TEST_F(AboutBox, ShowsTheDecodedPicture) {
    const QPixmap picture = form.Image2->pixmap();
    ASSERT_EQ(picture.size(), QSize(150, 87));
    const QImage image = picture.toImage();
    const QColor flag = image.pixelColor(130, 20);
    EXPECT_GT(flag.red(), 120);
    EXPECT_LT(flag.green(), 40);
    EXPECT_LT(flag.blue(), 40);
}

TEST_F(AboutBox, EachLinkOpensTheAddressItShows) {
    struct Row {
        TLinkLabel* link;
        QString expected;
    };
    const Row rows[] = {
        { form.Label8, form.Label8->text() },
        { form.Label7, form.Label7->text() },
        { form.Label6, "mailto:" + form.Label6->text() },
    };
    form.show();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected.toStdString());
        opened.clear();
        QTest::mouseClick(row.link, Qt::LeftButton);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened.front().toString(), row.expected);
        EXPECT_TRUE(opened.front().isValid());
    }
    EXPECT_TRUE(form.isVisible()); // a failed open shows nothing and changes nothing
    opened.clear();
    QTest::mouseClick(form.Label8, Qt::RightButton);
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBox, TamamIsTheDefaultButtonWithAGlyph) {
    EXPECT_TRUE(form.BitBtn1->isDefault());
    EXPECT_FALSE(form.BitBtn1->icon().isNull());
    EXPECT_EQ(form.BitBtn1->iconSize(), QSize(18, 18));
    // The program's own OK glyph, when it is built in, rather than the style's icon.
    if (QFile::exists(QStringLiteral(":/OkGlyph.bmp"))) {
        const QIcon glyph = LoadBitBtnGlyph(QStringLiteral(":/OkGlyph.bmp"), 2);
        EXPECT_EQ(form.BitBtn1->icon().pixmap(18, 18).toImage(), glyph.pixmap(18, 18).toImage());
    }
}

TEST_F(AboutBox, EnterAndTamamCloseWithOkEscapeAndCloseDoNothing) {
    form.open();
    ASSERT_TRUE(form.isVisible());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());

    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);

    form.setResult(QDialog::Rejected);
    form.open();
    QTest::keyClick(&form, Qt::Key_Enter);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);

    form.setResult(QDialog::Rejected);
    form.open();
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(AboutBox, ExecReturnsAcceptedWhenTamamIsClicked) {
    QTimer::singleShot(0, form.BitBtn1, &QPushButton::click);
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(AboutBox, OpeningTwiceShowsTheSameContent) {
    form.open();
    const QImage first = form.grab().toImage();
    const qint64 pictureKey = form.Image2->pixmap().cacheKey();
    QTest::keyClick(&form, Qt::Key_Return);
    ASSERT_FALSE(form.isVisible());

    form.open();
    EXPECT_EQ(form.Image2->pixmap().cacheKey(), pictureKey); // not decoded again
    EXPECT_EQ(form.grab().toImage(), first);
    QTest::keyClick(&form, Qt::Key_Return);
}

// Equal but for anti-aliasing rounding.
bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 4 && std::abs(a.green() - b.green()) <= 4
        && std::abs(a.blue() - b.blue()) <= 4;
}

TEST_F(AboutBox, TitlesCarryAOnePixelShadowUpAndLeft) {
    const QColor background(Qt::black);
    const QColor shadowColor(0, 0, 255); // found nowhere else in the titles
    for (TShadowLabel* label : { form.ShadowLabel1, form.ShadowLabel2 }) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_EQ(label->ShadowColor(), QApplication::palette().color(QPalette::Light));
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, background);
        label->setPalette(palette);
        label->setAutoFillBackground(true);
        const QColor ink = palette.color(QPalette::WindowText);

        label->SetShadowColor(background);
        const QImage textOnly = label->grab().toImage();
        label->SetShadowColor(shadowColor);
        const QImage withShadow = label->grab().toImage();

        // Where a pixel has no ink of its own but its lower-right neighbour is solid ink, the
        // shadow shows in full; where neither has ink, nothing shows.
        int shadowPixels = 0;
        for (int y = 0; y + 1 < textOnly.height(); ++y) {
            for (int x = 0; x + 1 < textOnly.width(); ++x) {
                if (textOnly.pixelColor(x, y) != background) continue;
                const QColor below = textOnly.pixelColor(x + 1, y + 1);
                if (below == ink) {
                    ASSERT_TRUE(Near(withShadow.pixelColor(x, y), shadowColor)) << x << "," << y;
                    ++shadowPixels;
                } else if (below == background) {
                    ASSERT_TRUE(Near(withShadow.pixelColor(x, y), background)) << x << "," << y;
                }
            }
        }
        EXPECT_GT(shadowPixels, 10);
    }
}

// A picture of the dialog for a person to look at (saved only when asked).
TEST_F(AboutBox, SavesAPictureOfTheDialog) {
    form.show();
    const QImage image = form.grab().toImage();
    EXPECT_EQ(image.size(), QSize(463, 178) * image.devicePixelRatio());
    SaveScreenshot(image, QStringLiteral("AboutBox"));
}

} // namespace
