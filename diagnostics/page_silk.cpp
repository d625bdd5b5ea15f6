#include "page_silk.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "process_state.h"
#include "pump_mask.h"
#include "resource.h"
#include "state_text.h"
#include "string_table.h"
#include "ui.h"
#include "ui_page_silk.h"
#include "value_label.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The wait cursor for as long as a call runs, restored however it ends.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

} // namespace

CPageSilk::CPageSilk() : CPropertyPage(IDD_PAGE_SILK), m_ui(std::make_unique<Ui::PageSilk>()) {
    m_ui->setupUi(this);
    for (std::size_t i = 0; i < kSyringes; ++i) {
        const int offset = static_cast<int>(i);
        m_stateTexts[i] = FindControl<QLabel>(this, IDC_SILK_STATE_1 + offset);
        m_pressureTexts[i] = FindControl<QLabel>(this, IDC_SILK_PRESSURE_1 + offset);
        m_positionTexts[i] = FindControl<QLabel>(this, IDC_SILK_POSITION_1 + offset);
    }
    connect(m_ui->startButton, &QPushButton::clicked, this, &CPageSilk::OnStart);
    connect(m_ui->writeToDiskCheck, &QCheckBox::clicked, this, &CPageSilk::OnWriteToDisk);
    connect(m_ui->uploadButton, &QPushButton::clicked, this, [] { g_pServer->UploadSilkData(); });
    connect(m_ui->downloadButton, &QPushButton::clicked, this, &CPageSilk::OnDownload);
    connect(m_ui->resetButton, &QPushButton::clicked, this, [] { g_pServer->ResetSilk(); });
}

CPageSilk::~CPageSilk() = default;

bool CPageSilk::OnInitDialog() {
    m_ui->pumpACheck->setChecked(true);
    m_ui->pumpBCheck->setChecked(true);
    m_ui->pumpCCheck->setChecked(true);
    if (g_state.pumpCInstalled == 0) {
        m_ui->pumpCCheck->setChecked(false);
        m_ui->pumpCCheck->hide();
        m_ui->row5Label->hide();
        m_ui->row6Label->hide();
        for (std::size_t i = 4; i < kSyringes; ++i) {
            m_stateTexts[i]->hide();
            m_pressureTexts[i]->hide();
            m_positionTexts[i]->hide();
        }
    }
    // From now on the status view fetches the syringe data at every refresh.
    g_state.syringeDataFlag = 1;
    StartTimer(kRefreshPeriodMs);
    g_pServer->EnableSyringeData(1);
    std::int32_t nSwitch = 0;
    if (SUCCEEDED(g_pServer->GetSilkWriteToDisk(&nSwitch))) {
        m_nWriteToDisk = nSwitch;
    }
    m_ui->writeToDiskCheck->setChecked(m_nWriteToDisk != 0);
    RefreshGrid();
    return true;
}

bool CPageSilk::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

void CPageSilk::OnTimer() {
    RefreshGrid();
}

// Rows 5 and 6 are written even while hidden.
void CPageSilk::RefreshGrid() {
    const SyringeDataRecord& record = g_state.syringeData;
    const QString pressureFormat = LoadString(IDS_SILK_PRESSURE_FORMAT);
    for (std::size_t i = 0; i < kSyringes; ++i) {
        ShowValueText(m_positionTexts[i], QString::number(record.anPosition[i]));
        ShowValueText(m_pressureTexts[i],
                      QString::asprintf(pressureFormat.toUtf8().constData(),
                                        static_cast<double>(record.anPressure[i])));
        ShowValueText(m_stateTexts[i], QString::fromLatin1(SyringeStateText(record.anState[i])));
    }
}

void CPageSilk::OnStart() {
    g_pServer->StartSilk(BuildPumpMask(m_ui->pumpACheck->isChecked(), m_ui->pumpBCheck->isChecked(),
                                       m_ui->pumpCCheck->isChecked()));
}

void CPageSilk::OnWriteToDisk() {
    m_nWriteToDisk = m_ui->writeToDiskCheck->isChecked() ? 1 : 0;
    g_pServer->SetSilkWriteToDisk(m_nWriteToDisk);
}

// The Orvix folder is where the chooser starts when there is one; the process's current
// directory stays as it is, since every later relative path depends on it.
void CPageSilk::OnDownload() {
    const QDir orvix(QDir::current().absoluteFilePath(LoadString(IDS_SILK_FOLDER)));
    const QString path = ChooseOpenFile(this, QString(), LoadString(IDS_SILK_FILE_FILTER),
                                        orvix.exists() ? orvix.absolutePath() : QString());
    if (path.isEmpty()) {
        return;
    }
    // The instrument server reads the file by its full path, in the file system's encoding.
    const QByteArray fullPath = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const CWaitCursor wait;
    g_pServer->DownloadSilkData(fullPath.constData());
}
