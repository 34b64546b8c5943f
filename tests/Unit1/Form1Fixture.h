#pragma once
// The real main window, shown on the offscreen screen, for the window's tests. Message boxes
// are recorded by the test program's application object (tests/support/QtTestMain.cpp).

#include "GameBoard/GameBoard.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Widgets/StatusBar.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->ClearRecordedMessages();
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // The first paint (which also starts the board's engine) and the first fit.
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        form.reset();
        PelliumApp()->ClearRecordedMessages();
    }

    TGameBoard& Board() const { return *form->GameBoard1; }
    QString Panel(int index) const { return form->StatusBar1->PanelText(index); }
    QStringList Messages() const { return PelliumApp()->RecordedMessages(); }
    // Resizes the window's client area and lets the layout settle.
    void ResizeClient(int width, int height) {
        form->resize(width, height);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TForm1> form;
};
