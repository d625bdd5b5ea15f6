// The upgrade wizard loading an srec_cat-made file into the simulated instrument.
#include "about_dlg.h"
#include "control_id.h"
#include "orvix_client_view.h"
#include "resource.h"
#include "simulator_session.h"
#include "string_table.h"
#include "ui.h"
#include "upgrade_software_wizard.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

class UpgradeOnSimulator : public SimulatorSessionTest {
protected:
    void SetUp() override {
        SimulatorSessionTest::SetUp();
        m_previousFiles = SetOpenFileHandler([this](const OpenFileRequest&) { return m_file; });
    }
    void TearDown() override {
        SetOpenFileHandler(m_previousFiles);
        SimulatorSessionTest::TearDown();
    }

    // A firmware image as srec_cat writes it, its header naming the version.
    QString MakeFirmware(const QString& version) {
        const QString path = m_session.HomeFile(QStringLiteral("pump.s19"));
        QProcess srecCat;
        srecCat.start(QStringLiteral("srec_cat"),
                      {QStringLiteral("-generate"), QStringLiteral("0"), QStringLiteral("0x1000"),
                       QStringLiteral("-repeat-string"), QStringLiteral("orvix"),
                       QStringLiteral("-header"), version, QStringLiteral("-o"), path,
                       QStringLiteral("-motorola")});
        EXPECT_TRUE(srecCat.waitForFinished(60'000));
        EXPECT_EQ(srecCat.exitCode(), 0) << srecCat.readAllStandardError().toStdString();
        return path;
    }

    static void Settle() { QCoreApplication::processEvents(); }
    bool FinishEnabled() const { return wizard.Button(QStringLiteral("Finish"))->isEnabled(); }

    // Through the power cycle to the file, as the operator would.
    void LoadFile(const QString& path) {
        wizard.SetWizardMode();
        wizard.show();
        Settle();
        wizard.PressButton(QStringLiteral("Next"));
        Settle();
        // PrepareSoftwareUpgrade restarted the instrument into its loader.
        wizard.Step2().OnTimer();
        StepClock(5'000);
        wizard.Step2().OnTimer();
        Settle();
        wizard.PressButton(QStringLiteral("Next"));
        Settle();
        ASSERT_EQ(wizard.GetActivePage(), &wizard.Step3());
        m_file = path;
        QTest::mouseClick(FindControl<QPushButton>(&wizard.Step3(), IDC_BROWSE), Qt::LeftButton);
    }
    // Half-second ticks of step 3 on the instrument's clock, until Finish is offered.
    void FollowDownload(int ticks) {
        for (int i = 0; i < ticks && !FinishEnabled(); ++i) {
            StepClock(CUpgradeSoftwareStep3::kPollPeriodMs);
            wizard.Step3().OnTimer();
            Settle();
        }
    }

    CUpgradeSoftwareWizard wizard{LoadString(IDS_UPGRADE_CAPTION)};

private:
    QString m_file;
    OpenFileHandler m_previousFiles;
};

TEST_F(UpgradeOnSimulator, LoadsTheFileAndTheAboutBoxShowsTheNewVersion) {
    const QString file = MakeFirmware(QStringLiteral("4.20"));
    LoadFile(file);
    EXPECT_GT(wizard.Step3().LineCount(), 100);
    // 500 lines a second and a 3 s restart: well within 40 ticks.
    FollowDownload(40);
    EXPECT_TRUE(FindControl(&wizard.Step3(), IDC_DOWNLOAD_COMPLETE)->isVisible());
    ASSERT_TRUE(FinishEnabled());
    wizard.PressButton(QStringLiteral("Finish"));
    EXPECT_EQ(wizard.result(), QDialog::Accepted);

    const CAboutDlg about;
    EXPECT_EQ(FindControl<QLabel>(&about, IDC_PUMP_VERSION)->text(),
              QStringLiteral("Pump Version 4.20"));
}

TEST_F(UpgradeOnSimulator, CorruptRecordStopsTheDownloadAndShowsInTheStatusView) {
    const QString path = MakeFirmware(QStringLiteral("4.20"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // One data digit of the fifth record changes, so its checksum no longer fits.
    qsizetype at = 0;
    for (int line = 1; line < 5; ++line) {
        at = bytes.indexOf('\n', at) + 1;
    }
    bytes[at + 12] = bytes[at + 12] == '0' ? '1' : '0';
    file.seek(0);
    file.write(bytes);
    file.close();

    LoadFile(path);
    FollowDownload(40);
    EXPECT_FALSE(FinishEnabled());

    COrvixClientView view;
    view.OnInitialUpdate();
    view.OnTimer();
    const QString error = FindControl<QLabel>(&view, IDC_ERRORS)->text();
    EXPECT_TRUE(error.startsWith(QStringLiteral("Firmware download stopped at line 5")))
        << error.toStdString();
}

} // namespace
