// The status form as assistive technology and a user watching the connection see it.
#include "status_view_fixture.h"

#include "accessibility_check.h"
#include "announcement.h"
#include "instrument_proxy.h"
#include "resource.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

QAccessibleInterface* Accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

// Counts the times a widget starts showing: a screen reader hears a notification then.
class ShowCounter : public QObject {
public:
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        shown += event->type() == QEvent::Show ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(StatusViewTest, ValuesAreNamedByTheirTextAndANewErrorIsAnnouncedOnce) {
    fake->status.fPressure = 1234.4F;
    OpenView().show();
    view->OnTimer();
    EXPECT_EQ(AccessibilityProblems(view.get()), QStringList());
    QAccessibleInterface* pressure = Accessible(Label(IDC_PRESSURE));
    EXPECT_EQ(pressure->text(QAccessible::Name), QStringLiteral("1234 PSI"));

    auto* announcement = view->findChild<CAnnouncement*>();
    ASSERT_NE(announcement, nullptr);
    EXPECT_EQ(Accessible(announcement)->role(), QAccessible::Notification);
    ShowCounter announced;
    announcement->installEventFilter(&announced);
    fake->status.fPressure = 80.0F;
    fake->status.bErrorsPending = 1;
    fake->firstError = "Pump A over pressure";
    view->OnTimer();
    view->OnTimer();
    EXPECT_EQ(pressure->text(QAccessible::Name), QStringLiteral("80 PSI"));
    EXPECT_EQ(Accessible(Label(IDC_ERRORS))->text(QAccessible::Name),
              QStringLiteral("Pump A over pressure"));
    EXPECT_EQ(announced.shown, 1) << "a new error is announced once, not at every refresh";
    EXPECT_EQ(Accessible(announcement)->text(QAccessible::Name),
              QStringLiteral("Pump A over pressure"));
    // Pressed through assistive technology, the error goes as by a click.
    Accessible(Label(IDC_ERRORS))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(IDC_ERRORS), QString());
    EXPECT_EQ(Accessible(Label(IDC_ERRORS))->text(QAccessible::Name), QString());
    EXPECT_EQ(AccessibilityProblems(view.get()), QStringList());

    // From the keyboard too; an error still pending after it was cleared is new again.
    view->OnTimer();
    ASSERT_FALSE(Text(IDC_ERRORS).isEmpty());
    EXPECT_EQ(announced.shown, 2);
    QTest::keyClick(Label(IDC_ERRORS), Qt::Key_Space);
    EXPECT_EQ(Text(IDC_ERRORS), QString());
}

TEST_F(StatusViewTest, ValuesGreyWhileReadsFailAndReturnWithTheNextGoodRead) {
    OpenView();
    view->OnTimer();
    EXPECT_TRUE(Label(IDC_PRESSURE)->isEnabled());
    fake->SetResult("ReadStatus", RPC_E_TIMEOUT);
    view->OnTimer();
    EXPECT_FALSE(Label(IDC_PRESSURE)->isEnabled());
    EXPECT_FALSE(Label(IDC_STATE)->isEnabled());
    EXPECT_TRUE(Label(IDC_ERRORS)->isEnabled()) << "the error can still be clicked away";
    fake->SetResult("ReadStatus", S_OK);
    view->OnTimer();
    EXPECT_TRUE(Label(IDC_PRESSURE)->isEnabled());
}

TEST_F(StatusViewTest, TheConnectionStateFollowsTheProxyOncePerChange) {
    OpenView();
    QDBusError::ErrorType failure = QDBusError::NoReply;
    auto* proxy = new CInstrumentServerProxy(
        [&](const QDBusMessage& call) { return call.createErrorReply(failure, QString()); });
    g_pServer = proxy;
    CConnectionStatus* status = view->ConnectionStatus();
    QSignalSpy changes(status, &CConnectionStatus::stateChanged);
    EXPECT_EQ(status->Text(), QStringLiteral("Instrument connected"));

    view->OnTimer();
    view->OnTimer();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(status->State(), ConnectionState::NotAnswering);
    EXPECT_EQ(status->Text(), QStringLiteral("Instrument not answering since ") +
                                  status->Since().toString(QStringLiteral("hh:mm:ss")));
    EXPECT_LE(status->Since().secsTo(QDateTime::currentDateTime()), 1);
    EXPECT_FALSE(Label(IDC_PRESSURE)->isEnabled());

    failure = QDBusError::ServiceUnknown;
    view->OnTimer();
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(status->Text(), QStringLiteral("Instrument server gone"));
    g_pServer = fake;
    proxy->Release();
}

} // namespace
