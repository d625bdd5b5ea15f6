#include "dialog_fixture.h"

#include "instrument_server.h"
#include "process_state.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

void DialogTest::SetUp() {
    ResetProcessState();
    m_pFake = CFakeInstrumentServer::Create();
    g_pServer = m_pFake;
    m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        m_messages.push_back(request);
        return IDOK;
    });
}

void DialogTest::TearDown() {
    SetMessageBoxHandler(m_previousHandler);
    g_pServer = nullptr;
    m_pFake->Release();
}

int DialogTest::RunModal(CModalDialog& dialog, const std::function<void()>& script) {
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        try {
            script();
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        if (dialog.isVisible()) {
            leftOpen = true;
            dialog.done(kLeftOpen);
        }
    });
    const int result = dialog.DoModal();
    return leftOpen ? kLeftOpen : result;
}

void DialogTest::Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void DialogTest::Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

void DialogTest::Press(QWidget* widget, Qt::Key key) {
    QTest::keyClick(widget, key);
}

std::vector<QString> DialogTest::Messages() const {
    std::vector<QString> texts;
    for (const MessageBoxRequest& request : m_messages) {
        EXPECT_EQ(request.caption, QApplication::applicationName());
        EXPECT_EQ(request.type, MB_OK);
        texts.push_back(request.text);
    }
    return texts;
}

void DialogTest::Forget() {
    m_messages.clear();
    m_pFake->calls.clear();
}
