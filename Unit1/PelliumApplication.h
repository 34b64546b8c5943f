#pragma once
// TPelliumApplication: the program's application object. Besides running the event loop it
//  - keeps the application title ("Pellium"), the caption of every message box;
//  - is the one place where errors that no handler catches end up: notify() catches every
//    exception that leaves an event's handling, and HandleException() passes it to
//    OnException (the main window installs its AppException there), so no exception ever
//    crosses the event loop and the program keeps running;
//  - shows the program's message boxes (Widgets/MessageBox.h) one after the other (see
//    ShowMessage);
//  - installs the font substitutes of Fonts.h and the program's resources.
//
// Tests run with message recording on: ShowMessage then appends the text to
// RecordedMessages() instead of opening a box, so no test can block on a dialog.

#include <QApplication>
#include <QStringList>
#include <deque>
#include <exception>
#include <functional>

class TPelliumApplication : public QApplication {
    Q_OBJECT

public:
    TPelliumApplication(int& argc, char** argv);
    ~TPelliumApplication() override;

    // The application's title: the program's name in the task bar and the caption of every
    // message box.
    QString Title() const;
    void SetTitle(const QString& value);

    // The handler of errors that no other handler catches. Unassigned: a message box with the
    // error's own text ("Error" when it has none).
    std::function<void(std::exception_ptr)> OnException;
    void HandleException(std::exception_ptr error);

    // Shows text in the program's message box (MessageBox.h). The box is modal and keeps the
    // event loop running, but it never opens inside the caller: the text is queued and the
    // box opens from the event loop once the caller has returned, and further texts wait
    // until the open box is closed (a text that is already waiting is not queued twice). So a
    // box asked for in the middle of a move (a board event) never lets another move, socket
    // read or timer tick run inside that move.
    void ShowMessage(const QString& text);
    // Opens one box and returns when it is closed. ExecMessageBox unless replaced.
    std::function<void(const QString&)> MessageBoxRunner;

    // Message recording for tests: while on, ShowMessage only appends the text here.
    bool RecordsMessages() const { return recordMessages_; }
    void SetRecordsMessages(bool value) { recordMessages_ = value; }
    const QStringList& RecordedMessages() const { return recordedMessages_; }
    void ClearRecordedMessages() { recordedMessages_.clear(); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void ShowPendingMessages();

    std::deque<QString> pendingMessages_;
    bool messagesScheduled_ = false;
    bool showingMessage_ = false;
    bool recordMessages_ = false;
    QStringList recordedMessages_;
};

// The running application object, or nullptr when the application is not a Pellium one.
TPelliumApplication* PelliumApp();

// Shows text in the program's message box through the application
// (TPelliumApplication::ShowMessage: queued, one box at a time, recorded instead in tests).
// Without a Pellium application object the box opens at once.
void ShowMessage(const QString& text);
