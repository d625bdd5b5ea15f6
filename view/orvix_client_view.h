#pragma once

#include "announcement.h"
#include "command_target.h"
#include "connection_status.h"
#include "hresult.h"
#include "status_texts.h"
#include "test_commands.h"

#include <QFont>
#include <QList>
#include <QWidget>

#include <memory>

namespace Ui {
class OrvixClientForm;
}

// The main window's form: the live instrument status, refreshed every two seconds, the first
// pending error, and the sample plate and plate feeder buttons. It is the one writer of the
// process-wide configuration flags and of the syringe data record.
class COrvixClientView : public QWidget, public ICommandTarget {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 2000;

    explicit COrvixClientView(QWidget* parent = nullptr);
    ~COrvixClientView() override;

    // One-time set-up, called by the frame once the view sits in it: reads the instrument
    // configuration, hides the options that are not fitted, asks the frame to fit and starts the
    // refresh timer. Later calls do nothing.
    void OnInitialUpdate();

    // One refresh of the whole form from the instrument; the refresh timer calls it. Then the
    // connection state is brought up to date from what the refresh's calls found.
    void OnTimer();

    // A new server object stands behind g_pServer: the configuration is read once more, the
    // options follow it, and the form refreshes at once.
    void OnServerReconnected();

    // The instrument connection, for the frame's status bar and anyone who logs its changes.
    CConnectionStatus* ConnectionStatus() { return &m_connection; }

    // The view's commands come before the application's.
    bool HasCommand(int commandId) const override;
    void OnCommand(int commandId) override;

    // The Test menu's commands, which the view handles after its own.
    CTestCommands* TestCommands() const { return m_testCommands; }

public slots:
    // The toolbar's "Reset Communications" (ID_RESET_COMMUNICATIONS).
    void OnResetCommunications();

signals:
    // The frame should shrink, never grow, to fit the form's size hint.
    void fitFrameRequested();
    // After each good status read, with the record as read and the error text read with it
    // (empty when none was pending). The record is the server's: observers copy what they keep.
    void statusRead(const InstrumentStatus& status, const QString& firstError);
    // After a status read that failed; the form kept every text.
    void statusReadFailed(HRESULT result);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void Refresh();
    void ReadConfiguration();
    void ShowFittedOptions();
    void ShowStatus(const StatusTexts& texts);
    QString ShowFirstError();
    void FetchSyringeData();
    void ClearErrors();
    // Values that no longer follow the instrument are shown greyed.
    void ShowStale(bool stale);

    std::unique_ptr<Ui::OrvixClientForm> m_ui;
    CStatusFormatter m_formatter;
    QFont m_statusFont;
    CTestCommands* m_testCommands = nullptr;
    CConnectionStatus m_connection;
    QList<QWidget*> m_values;
    // A new error is spoken once, wherever the focus is.
    CAnnouncement* m_errorAnnouncement = nullptr;
    bool m_lastReadFailed = false;
    bool m_stale = false;
    int m_nTimer = 0;
    bool m_initialUpdateDone = false;
};
