#include "Unit1/PelliumApplication.h"

#include "Widgets/Fonts.h"
#include "Widgets/MessageBox.h"

#include <QMetaObject>
#include <algorithm>

// The pictures live in the static board library; register them by name.
static void InitProgramResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

QString ErrorText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        if (*e.what()) return QString::fromLocal8Bit(e.what());
    } catch (...) { }
    return QStringLiteral("Error");
}

} // namespace

TPelliumApplication::TPelliumApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , MessageBoxRunner(ExecMessageBox) {
    InitProgramResources();
    InstallFontSubstitutes();
}

TPelliumApplication::~TPelliumApplication() = default;

QString TPelliumApplication::Title() const {
    return applicationName();
}

void TPelliumApplication::SetTitle(const QString& value) {
    setApplicationName(value);
}

void TPelliumApplication::HandleException(std::exception_ptr error) {
    if (OnException) {
        // The handler itself may fail; that must not take the event loop down either.
        try {
            OnException(error);
            return;
        } catch (...) {
            error = std::current_exception();
        }
    }
    ShowMessage(ErrorText(error));
}

bool TPelliumApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

void TPelliumApplication::ShowMessage(const QString& text) {
    if (recordMessages_) {
        recordedMessages_.append(text);
        return;
    }
    // A text that is still waiting for its box is not queued again: a flood of the same event
    // (a peer sending one mate after another) gives one more box, not one box for each.
    if (std::find(pendingMessages_.begin(), pendingMessages_.end(), text) != pendingMessages_.end())
        return;
    pendingMessages_.push_back(text);
    // While a box is open the loop in ShowPendingMessages takes the new text when it closes.
    if (showingMessage_ || messagesScheduled_) return;
    messagesScheduled_ = true;
    QMetaObject::invokeMethod(
        this, &TPelliumApplication::ShowPendingMessages, Qt::QueuedConnection);
}

void TPelliumApplication::ShowPendingMessages() {
    messagesScheduled_ = false;
    if (showingMessage_) return;
    showingMessage_ = true;
    while (!pendingMessages_.empty()) {
        const QString text = pendingMessages_.front();
        pendingMessages_.pop_front();
        try {
            MessageBoxRunner(text);
        } catch (...) {
            showingMessage_ = false;
            throw;
        }
    }
    showingMessage_ = false;
}

TPelliumApplication* PelliumApp() {
    return dynamic_cast<TPelliumApplication*>(QCoreApplication::instance());
}

void ShowMessage(const QString& text) {
    if (TPelliumApplication* app = PelliumApp())
        app->ShowMessage(text);
    else
        ExecMessageBox(text);
}
