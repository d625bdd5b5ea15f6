#pragma once

#include "fake_instrument_server.h"
#include "ui.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

class CMainFrame;

// A fresh start for the application object: no instrument server class registered, message
// boxes answered OK and recorded, the profile and the activation files in a temporary home.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the instrument server class creatable; creation hands out the recording fake.
    void RegisterFakeServer();

    QString DataHome() const { return m_home.path() + QStringLiteral("/data"); }
    QString ConfigHome() const { return m_home.path() + QStringLiteral("/config"); }
    QString DocumentActivationFile() const;

    std::vector<MessageBoxRequest> boxes;
    // Frames that existed when each box was shown.
    std::vector<int> framesAtBox;
    CFakeInstrumentServer* fake = nullptr;

private:
    QTemporaryDir m_home;
    QByteArray m_savedDataHome;
    MessageBoxHandler m_savedHandler;
};

// Every CMainFrame alive, and those of them a user can see.
std::vector<CMainFrame*> AllFrames();
std::vector<CMainFrame*> VisibleFrames();

// Calls a method on another connection and keeps this process's event loop running meanwhile,
// so that this process can answer calls on its own connection (as the client or the server).
QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call,
                         int timeoutMs = 10000);

QDBusMessage MethodCall(const QString& service, const QString& path, const QString& interface,
                        const QString& method);
