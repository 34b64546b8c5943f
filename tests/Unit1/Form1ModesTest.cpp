// Switching among single play, host and join: which mode panel shows, what happens to the
// engine's colours, and what never changes (the game, Enabled, the move lock).
#include "Net/ClientSocket.h"
#include "Net/ServerSocket.h"
#include "tests/Unit1/Form1Fixture.h"
#include "tests/support/Screenshot.h"

#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTcpServer>
#include <algorithm>
#include <string>

namespace {

// Host mode listens: on a port the system picks, so that test programs running side by side
// never compete for the game's port.
class Form1ModesTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::AnyIPv4, 0));
        form->ServerSocket1->SetPort(probe.serverPort());
        form->ClientSocket1->SetPort(probe.serverPort());
    }
};

struct Visible {
    bool panel8, panel7, panel5;
};

void ExpectPanels(const TForm1& form, Visible v) {
    EXPECT_EQ(form.Panel8->isVisible(), v.panel8);
    EXPECT_EQ(form.Panel7->isVisible(), v.panel7);
    EXPECT_EQ(form.Panel5->isVisible(), v.panel5);
}

// The visible mode panel, whichever it is, stands right under the mode radio buttons.
void ExpectModePanelUnderRadioButtons(const TForm1& form) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (const QFrame* panel : { form.Panel8, form.Panel7, form.Panel5 })
        if (panel->isVisible()) {
            EXPECT_EQ(panel->y(), form.Panel6->geometry().bottom() + 1);
        }
}

TEST_F(Form1ModesTest, EachModeButtonShowsItsOwnPanelOnly) {
    struct Row {
        const char* name;
        QRadioButton* TForm1::*button;
        Visible visible;
    };
    const Row rows[] = {
        { "host", &TForm1::RadioButton1, { false, false, true } },
        { "join", &TForm1::RadioButton2, { false, true, false } },
        { "single", &TForm1::RadioButton3, { true, false, false } },
        { "join", &TForm1::RadioButton2, { false, true, false } },
        { "host", &TForm1::RadioButton1, { false, false, true } },
        { "single", &TForm1::RadioButton3, { true, false, false } },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        (form.get()->*r.button)->click();
        EXPECT_TRUE((form.get()->*r.button)->isChecked());
        ExpectPanels(*form, r.visible);
        ExpectModePanelUnderRadioButtons(*form);
    }
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1ModesTest, AHandlerActsOnlyWhenItsOwnButtonIsChecked) {
    form->RadioButton1Click();
    form->RadioButton2Click();
    ExpectPanels(*form, { true, false, false });
    form->RadioButton2->click();
    form->RadioButton3Click();
    ExpectPanels(*form, { false, true, false });
}

TEST_F(Form1ModesTest, NetworkModesTakeTheEngineOffBothColoursSinglePlayLeavesThem) {
    for (QRadioButton* TForm1::*network : { &TForm1::RadioButton1, &TForm1::RadioButton2 }) {
        form->RadioButton3->click();
        Board().SetComputerPlaysWhite(true);
        Board().SetComputerPlaysBlack(true);
        (form.get()->*network)->click();
        EXPECT_FALSE(Board().ComputerPlaysWhite());
        EXPECT_FALSE(Board().ComputerPlaysBlack());
    }
    Board().SetComputerPlaysBlack(true);
    form->RadioButton3->click();
    EXPECT_FALSE(Board().ComputerPlaysWhite());
    EXPECT_TRUE(Board().ComputerPlaysBlack());
    Board().SetComputerPlaysBlack(false);
}

TEST_F(Form1ModesTest, SwitchingModesLeavesTheGameEnabledStateAndLockAlone) {
    // After 1. e4 e5.
    const std::string position = std::string("rnbqkbnr") + "pppp ppp" + "        " + "    p   "
        + "    P   " + "        " + "PPPP PPP" + "RNBQKBNR";
    Board().SetPosition(position);
    Board().SetTag(1);
    for (QRadioButton* button : { form->RadioButton1, form->RadioButton2, form->RadioButton3 }) {
        button->click();
        EXPECT_EQ(Board().Position(), position);
        EXPECT_FALSE(Board().isEnabled());
        EXPECT_EQ(Board().Tag(), 1);
    }
    form->BitBtn5->click();
    for (QRadioButton* button : { form->RadioButton1, form->RadioButton2 }) {
        button->click();
        EXPECT_TRUE(Board().isEnabled());
    }
}

// A mode button that cannot be chosen (here while joining) is drawn dimmed: its text is grey
// on the black panel, where an enabled one is white.
TEST_F(Form1ModesTest, DisabledModeButtonsAreDrawnDimmed) {
    form->RadioButton2->click();
    form->BitBtn3->click(); // connecting: the other two modes wait
    ASSERT_FALSE(form->RadioButton3->isEnabled());
    ASSERT_TRUE(form->RadioButton2->isEnabled());
    // The brightest pixel of a button's text, on the black panel.
    const auto brightest = [](QRadioButton* button) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect text
            = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        const QImage image = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int most = 0;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x)
                most = std::max(most, qGray(image.pixel(x, y)));
        return most;
    };
    const int disabled = brightest(form->RadioButton3);
    const int enabled = brightest(form->RadioButton2);
    SaveScreenshot(form->Panel6->grab().toImage(), QStringLiteral("ModeButtonsWhileJoining"));
    EXPECT_GE(enabled, 250);
    EXPECT_LE(disabled, 200);
    EXPECT_GE(disabled, 96); // still readable
}

} // namespace
