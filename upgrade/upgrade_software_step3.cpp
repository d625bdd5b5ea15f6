#include "upgrade_software_step3.h"

#include "call_origin.h"
#include "history_recorder.h"
#include "ids_history.h"
#include "ids_upgrade.h"
#include "instrument_server.h"
#include "line_count.h"
#include "property_sheet.h"
#include "string_table.h"
#include "ui.h"
#include "ui_upgrade_software_step3.h"
#include "value_label.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

// Firmware files are looked for here first, beside the client's own folder.
const QString kFirmwareFolder = QStringLiteral("../Orvix/");

// The instrument restarts once nearly every line is in; the last few may not be reported
// before it goes away.
constexpr double kRestartShare = 0.05;

} // namespace

CUpgradeSoftwareStep3::CUpgradeSoftwareStep3()
    : CPropertyPage(IDD_UPGRADE_STEP3), m_ui(std::make_unique<Ui::UpgradeSoftwareStep3>()) {
    m_ui->setupUi(this);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &CUpgradeSoftwareStep3::OnBrowse);
}

CUpgradeSoftwareStep3::~CUpgradeSoftwareStep3() = default;

bool CUpgradeSoftwareStep3::OnInitDialog() {
    m_ui->downloadCompleteText->hide();
    StartTimer(kPollPeriodMs);
    return CPropertyPage::OnInitDialog();
}

bool CUpgradeSoftwareStep3::OnSetActive() {
    Sheet()->SetWizardButtons(PSWIZB_DISABLEDFINISH);
    return CPropertyPage::OnSetActive();
}

void CUpgradeSoftwareStep3::OnBrowse() {
    // Where there is no such folder the chooser opens where we are.
    QDir::setCurrent(kFirmwareFolder);
    // A typed name need not exist here: the check below names the file and the reason.
    const QString chosen = ChooseOpenFile(this, QString(), LoadString(IDS_FIRMWARE_FILE_FILTER),
                                          QString(), OpenFileName::AnyName);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = QFileInfo(chosen).absoluteFilePath();
    // An unreadable file is reported and nothing is sent, so the operator can choose again.
    QString fault;
    const std::optional<std::int64_t> lines = CountFileLines(path, fault);
    if (!lines) {
        AppMessageBox(
            LoadString(IDS_FIRMWARE_FILE_UNREADABLE).arg(QDir::toNativeSeparators(path), fault),
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_nLineCount =
        static_cast<int>(std::min<std::int64_t>(*lines, std::numeric_limits<int>::max()));
    // An empty file gets a bar of one step: empty, not Qt's busy animation, until it is sent.
    m_ui->downloadProgress->setRange(0, std::max(m_nLineCount, 1));
    m_ui->downloadProgress->reset();
    ShowPath(path);
    // A new file starts a new download: the last one's completion no longer holds.
    m_ui->downloadCompleteText->hide();
    m_bDownloadStarted = 1;
    NoteServiceAction(LoadString(IDS_HISTORY_FIRMWARE_CHOSEN)
                          .arg(QDir::toNativeSeparators(path), QString::number(*lines)));
    // The server gets the whole path, however long, in the file system's own encoding.
    const QByteArray narrowPath = QFile::encodeName(path);
    g_pServer->DownloadSoftware(narrowPath.constData());
}

void CUpgradeSoftwareStep3::ShowPath(const QString& path) {
    ShowValueText(m_ui->firmwarePathText, path);
}

bool CUpgradeSoftwareStep3::NearlySent(int linesSent) const {
    const double lineCount = m_nLineCount;
    return linesSent >= lineCount - lineCount * kRestartShare;
}

void CUpgradeSoftwareStep3::OnTimer() {
    std::int32_t nLines = 0;
    if (FAILED(g_pServer->GetDownloadProgress(&nLines))) {
        return;
    }
    const int position = m_nLineCount == 0 ? m_ui->downloadProgress->maximum() : nLines;
    m_ui->downloadProgress->setValue(std::clamp(position, 0, m_ui->downloadProgress->maximum()));
    if (m_bDownloadStarted != 1 || !NearlySent(nLines)) {
        return;
    }
    const HRESULT hr = g_pServer->IsInstrumentReady();
    if (hr == S_FALSE) {
        if (m_bRestartSeen != 1) {
            NoteServiceAction(LoadString(IDS_HISTORY_RESTART_SEEN));
        }
        m_bRestartSeen = 1;
        m_ui->downloadCompleteText->show();
    } else if (hr == S_OK && m_bRestartSeen == 1) {
        const CCallOrigin origin(IDS_HISTORY_UPGRADE_INITIALIZE);
        g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
        m_bRestartSeen = 0;
        Sheet()->SetWizardButtons(PSWIZB_FINISH);
    }
}
