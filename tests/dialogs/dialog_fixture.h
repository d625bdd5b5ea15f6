#pragma once

#include "control_id.h"
#include "fake_instrument_server.h"
#include "modal_dialog.h"
#include "ui.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Drives the real dialogs against a recording server, answering every message box with OK and
// keeping what it showed.
class DialogTest : public ::testing::Test {
protected:
    // What RunModal answers when the script ended with the dialog still open.
    static constexpr int kLeftOpen = -1;

    void SetUp() override;
    void TearDown() override;

    // Runs the dialog modally while the script acts on it from inside its event loop; a
    // dialog the script leaves open is closed so that the test goes on.
    int RunModal(CModalDialog& dialog, const std::function<void()>& script);

    template <class W> static W* Control(const QWidget& dialog, int id) {
        if (W* control = FindControl<W>(&dialog, id)) {
            return control;
        }
        throw std::runtime_error("no control " + std::to_string(id));
    }

    // Selects what the edit holds and types over it, as an operator does.
    static void Type(QLineEdit* edit, const QString& text);
    static void Click(QWidget* widget);
    static void Press(QWidget* widget, Qt::Key key);

    // The texts of the message boxes shown so far, each checked for the box every dialog uses.
    std::vector<QString> Messages() const;
    void Forget();

    CFakeInstrumentServer* m_pFake = nullptr;
    std::vector<MessageBoxRequest> m_messages;

private:
    MessageBoxHandler m_previousHandler;
};
