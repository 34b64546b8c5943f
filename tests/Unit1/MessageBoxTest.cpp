// The program's message box and the handling of errors that no handler catches.
#include "Widgets/MessageBox.h"

#include "Unit1/PelliumApplication.h"
#include "tests/Unit1/Form1Fixture.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>
#include <vector>

namespace {

// Message recording switched off and the box replaced by a recorder of what would open,
// for the tests of the queue; restores the test program's settings afterwards.
class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->SetRecordsMessages(false);
        PelliumApp()->MessageBoxRunner = [this](const QString& text) {
            opened.push_back({ text, depth });
            ++depth;
            if (onOpen) onOpen(text);
            --depth;
        };
    }
    void TearDown() override {
        QCoreApplication::processEvents();
        PelliumApp()->MessageBoxRunner = ExecMessageBox;
        PelliumApp()->SetRecordsMessages(true);
        PelliumApp()->ClearRecordedMessages();
        PelliumApp()->OnException = nullptr;
    }

    struct Opened {
        QString text;
        int nesting; // boxes already open when this one opened
    };
    std::vector<Opened> opened;
    int depth = 0;
    std::function<void(const QString&)> onOpen;
};

TEST_F(MessageQueueTest, BoxOpensFromTheEventLoopAfterTheCallerHasReturned) {
    bool callerFinished = false;
    ShowMessage(QStringLiteral("Mate"));
    callerFinished = true;
    EXPECT_TRUE(opened.empty());
    onOpen = [&](const QString&) { EXPECT_TRUE(callerFinished); };
    QCoreApplication::processEvents();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, QStringLiteral("Mate"));
}

TEST_F(MessageQueueTest, BoxesOpenOneAfterAnotherInOrderNeverInsideEachOther) {
    // A box asks for two more while it is open (as a socket error under a box would).
    onOpen = [](const QString& text) {
        if (text == QStringLiteral("Mate")) {
            ShowMessage(QStringLiteral("Socket Error"));
            ShowMessage(QStringLiteral("Error"));
            QCoreApplication::processEvents();
        }
    };
    ShowMessage(QStringLiteral("Mate"));
    ShowMessage(QStringLiteral("No Mating Material"));
    QCoreApplication::processEvents();
    ASSERT_EQ(opened.size(), 4u);
    const char* order[] = { "Mate", "No Mating Material", "Socket Error", "Error" };
    for (std::size_t i = 0; i < opened.size(); ++i) {
        EXPECT_EQ(opened[i].text, QString::fromLatin1(order[i]));
        EXPECT_EQ(opened[i].nesting, 0);
    }
}

// An object whose event handling fails half-way.
class FailingReceiver : public QObject {
public:
    bool afterThrow = false;
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++handled;
        if (handled == 1) {
            throw std::runtime_error("boom");
            afterThrow = true;
        }
        return true;
    }
};

TEST_F(Form1Test, AnErrorNoHandlerCatchesShowsErrorAndTheProgramGoesOn) {
    FailingReceiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), QStringList { QStringLiteral("Error") }); // not the error's own text
    EXPECT_FALSE(receiver.afterThrow);
    EXPECT_EQ(receiver.handled, 2);
    // The window still works.
    form->BitBtn5->click();
    EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
}

TEST_F(Form1Test, AnErrorInAGuardedHandlerEndsThatHandlerOnly) {
    bool before = false;
    bool after = false;
    TForm1::RunGuarded([&] {
        before = true;
        throw std::logic_error("handler failed");
        after = true;
    });
    EXPECT_TRUE(before);
    EXPECT_FALSE(after);
    EXPECT_EQ(Messages(), QStringList { QStringLiteral("Error") });
}

TEST(AppExceptionTest, WithoutTheMainWindowTheErrorsOwnTextIsShown) {
    PelliumApp()->ClearRecordedMessages();
    PelliumApp()->HandleException(std::make_exception_ptr(std::runtime_error("disk full")));
    PelliumApp()->HandleException(std::make_exception_ptr(42));
    EXPECT_EQ(PelliumApp()->RecordedMessages(),
        (QStringList { QStringLiteral("disk full"), QStringLiteral("Error") }));
    PelliumApp()->ClearRecordedMessages();
}

TEST(AppExceptionTest, TheMainWindowInstallsItsHandlerAndRemovesItWhenItCloses) {
    {
        TForm1 form;
        EXPECT_TRUE(static_cast<bool>(PelliumApp()->OnException));
    }
    EXPECT_FALSE(static_cast<bool>(PelliumApp()->OnException));
}

TEST(ExecMessageBoxTest, ModalBoxWithTheTitleTheTextOneOkAndNoIcon) {
    QMessageBox* seen = nullptr;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    int buttons = 0;
    bool okIsTheButton = false;
    bool modal = false;
    // Inspects the box from inside its own event loop, then closes it.
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!seen) return;
        title = seen->windowTitle();
        text = seen->text();
        icon = seen->icon();
        buttons = static_cast<int>(seen->buttons().size());
        okIsTheButton = seen->button(QMessageBox::Ok) != nullptr;
        modal = seen->isModal();
        seen->button(QMessageBox::Ok)->click();
    });
    ExecMessageBox(QStringLiteral("Illegal Move"));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(title, QStringLiteral("Pellium"));
    EXPECT_EQ(text, QStringLiteral("Illegal Move"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(okIsTheButton);
    EXPECT_TRUE(modal);
}

} // namespace
