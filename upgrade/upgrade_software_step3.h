#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class UpgradeSoftwareStep3;
}

// The operator picks the S-record file; the instrument server sends it while this page follows
// its progress, then waits for the instrument to restart and initialises it.
class CUpgradeSoftwareStep3 : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kPollPeriodMs = 500;

    CUpgradeSoftwareStep3();
    ~CUpgradeSoftwareStep3() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

    void OnBrowse();
    // One poll of the download; the page's timer calls it.
    void OnTimer() override;
    int LineCount() const { return m_nLineCount; }

private:
    bool NearlySent(int linesSent) const;
    void ShowPath(const QString& path);

    std::unique_ptr<Ui::UpgradeSoftwareStep3> m_ui;
    int m_bDownloadStarted = 0;
    int m_bRestartSeen = 0;
    int m_nLineCount = -1;
};
