#include "app_test_support.h"

#include "app_lock.h"
#include "com.h"
#include "instrument_server.h"
#include "main_frame.h"

#include <QApplication>
#include <QDBusPendingCall>
#include <QSettings>
#include <QTest>

void AppFixture::SetUp() {
    ASSERT_TRUE(m_home.isValid());
    ASSERT_EQ(g_pServer, nullptr);
    ASSERT_EQ(CoInitializeCount(), 0);
    ASSERT_EQ(AppLockCount(), 0);
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", DataHome().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ConfigHome());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ConfigHome());
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    m_savedHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        boxes.push_back(request);
        framesAtBox.push_back(static_cast<int>(AllFrames().size()));
        return IDOK;
    });
}

void AppFixture::TearDown() {
    SetMessageBoxHandler(m_savedHandler);
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (fake != nullptr) {
        EXPECT_EQ(fake->RefCount(), 1U) << "the test's own reference is the only one left";
        fake->Release();
        fake = nullptr;
    }
    EXPECT_TRUE(AllFrames().empty());
    EXPECT_EQ(AppLockCount(), 0);
    EXPECT_EQ(CoInitializeCount(), 0);
    qputenv("XDG_DATA_HOME", m_savedDataHome);
}

void AppFixture::RegisterFakeServer() {
    fake = CFakeInstrumentServer::Create();
    CFakeInstrumentServer* server = fake;
    CoRegisterLocalServerClass(CLSID_InstrumentServer, [server](REFIID riid, void** ppv) {
        return server->QueryInterface(riid, ppv);
    });
}

QString AppFixture::DocumentActivationFile() const {
    return DataHome() + QStringLiteral("/dbus-1/services/org.orvix.OrvixClient.Document.service");
}

std::vector<CMainFrame*> AllFrames() {
    std::vector<CMainFrame*> frames;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* frame = qobject_cast<CMainFrame*>(widget)) {
            frames.push_back(frame);
        }
    }
    return frames;
}

std::vector<CMainFrame*> VisibleFrames() {
    std::vector<CMainFrame*> frames;
    for (CMainFrame* frame : AllFrames()) {
        if (frame->isVisible()) {
            frames.push_back(frame);
        }
    }
    return frames;
}

QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs) {
    QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, timeoutMs + 1000)) {
        return QDBusMessage::createError(QStringLiteral("org.orvix.Test.NoAnswer"),
                                         QStringLiteral("no answer in time"));
    }
    return pending.reply();
}

QDBusMessage MethodCall(const QString& service, const QString& path, const QString& interface,
                        const QString& method) {
    return QDBusMessage::createMethodCall(service, path, interface, method);
}
