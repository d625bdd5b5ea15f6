// The Configuration, Silk, AutoSampler Service and Usage pages on the real proxy against the
// simulated instrument.
#include "control_id.h"
#include "diagnostic_sheets.h"
#include "modal_answerer.h"
#include "process_state.h"
#include "record_memory.h"
#include "resource.h"
#include "simulator_session.h"
#include "state_text.h"
#include "ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kConfigurationTab = 1;
constexpr int kSilkTab = 3;
constexpr int kServiceTab = 5;
constexpr int kUsageTab = 7;
constexpr qulonglong kOneHourMs = 3'600'000;

class DiagnosticsOnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(m_session.IsConnected());
    }
    void TearDown() override { ResetProcessState(); }

    // A fresh service sheet showing the tab, as each opening of the sheet is.
    CDiagnosticSheet& Open(int tab) {
        m_sheet = std::make_unique<CDiagnosticSheet>(QStringLiteral("Service Diagnostics"));
        // Not modal, so that only the Plate Type question answers to a ModalAnswerer.
        m_sheet->setModal(false);
        m_sheet->show();
        m_sheet->SetActivePage(tab);
        return *m_sheet;
    }
    template <class W = QWidget> W* Get(int id) const {
        W* control = FindControl<W>(m_sheet->GetActivePage(), id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    QString Text(int id) const { return Get<QLabel>(id)->text(); }
    // Where a user clicks a check box, on its box: a check box as wide as its page column takes
    // no click at its centre, past its text.
    static void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(kBoxOffset, button->height() / 2));
    }
    static constexpr int kBoxOffset = 6;
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QStringList SilkFiles() const {
        return QDir(m_session.SilkFolder())
            .entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name);
    }
    static std::string State() {
        InstrumentStatus* pStatus = nullptr;
        if (FAILED(g_pServer->ReadStatus(&pStatus)) || pStatus == nullptr) {
            return {};
        }
        const std::string state = StateText(pStatus->nState);
        ReleaseInstrumentStatus(pStatus);
        return state;
    }
    QByteArray SilkFile(const QString& name) const {
        QFile file(QDir(m_session.SilkFolder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    SimulatorSession m_session;
    std::unique_ptr<CDiagnosticSheet> m_sheet;
};

TEST_F(DiagnosticsOnSimulator, AnAppliedConfigurationIsReadBackInTheNextSheet) {
    Open(kConfigurationTab);
    auto* size = Get<QComboBox>(IDC_CONFIG_SYRINGE_SIZE);
    EXPECT_EQ(size->currentText(), QStringLiteral("25"));
    size->setFocus();
    QTest::keyClick(size, Qt::Key_Down);
    Type(Get<QLineEdit>(IDC_CONFIG_NEEDLE_VOLUME), QStringLiteral("2.5"));
    Type(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP), QStringLiteral("12"));
    Click(Get<QCheckBox>(IDC_CONFIG_PLATE_FEEDER));
    m_sheet->PressButton(QStringLiteral("OK"));
    ASSERT_FALSE(m_sheet->isVisible());

    Open(kConfigurationTab);
    EXPECT_EQ(Get<QComboBox>(IDC_CONFIG_SYRINGE_SIZE)->currentText(), QStringLiteral("100"));
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_NEEDLE_VOLUME)->text(), QStringLiteral("2.5"));
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP)->text(), QStringLiteral(" 12.0"));
    EXPECT_TRUE(Get<QCheckBox>(IDC_CONFIG_PLATE_FEEDER)->isChecked());
    // The instrument keeps its own serial number.
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_SERIAL_NUMBER)->text(), QStringLiteral("OX2-0421-17"));
}

TEST_F(DiagnosticsOnSimulator, ASilkFileUploadedIsTakenBackByDownload) {
    g_state.pumpCInstalled = 1;
    Open(kSilkTab);
    Click(Get<QPushButton>(IDC_SILK_START));
    EXPECT_EQ(State(), "Silking");
    ASSERT_TRUE(m_session.StepClock(25'000));
    EXPECT_EQ(State(), "Idle");
    Click(Get<QPushButton>(IDC_SILK_UPLOAD));
    Click(Get<QPushButton>(IDC_SILK_RESET));
    Click(Get<QPushButton>(IDC_SILK_UPLOAD));
    const QStringList files = SilkFiles();
    ASSERT_EQ(files.size(), 2) << files.join(u' ').toStdString();
    const QByteArray calibrated = SilkFile(files[0]);
    ASSERT_NE(calibrated, SilkFile(files[1])) << "the Silk run calibrated nothing";

    const OpenFileHandler previous = SetOpenFileHandler(
        [&](const OpenFileRequest&) { return QDir(m_session.SilkFolder()).filePath(files[0]); });
    Click(Get<QPushButton>(IDC_SILK_DOWNLOAD));
    SetOpenFileHandler(previous);
    Click(Get<QPushButton>(IDC_SILK_UPLOAD));
    ASSERT_EQ(SilkFiles().size(), 3);
    EXPECT_EQ(SilkFile(SilkFiles()[2]), calibrated);
}

TEST_F(DiagnosticsOnSimulator, CountersGrowWithUseAndResetByTheirMarks) {
    ModalAnswerer plateType({&ModalAnswerer::Accept});
    ASSERT_TRUE(m_session.StepClock(kOneHourMs));
    Open(kServiceTab);
    Click(Get<QPushButton>(IDC_SERVICE_SYRINGE_WASH));
    ASSERT_TRUE(m_session.StepClock(1'000));
    m_sheet->SetActivePage(kUsageTab);
    EXPECT_EQ(Text(IDC_USAGE_SYRINGE_VALVE), QStringLiteral("1 "));
    EXPECT_EQ(Text(IDC_USAGE_POWER_ON), QStringLiteral("1 Hours"));
    Click(Get<QCheckBox>(IDC_USAGE_RESET_SYRINGE_VALVE));
    Click(Get<QPushButton>(IDC_USAGE_RESET_SELECTED));
    EXPECT_EQ(Text(IDC_USAGE_SYRINGE_VALVE), QStringLiteral("1 "));

    Open(kUsageTab);
    EXPECT_EQ(Text(IDC_USAGE_SYRINGE_VALVE), QStringLiteral("0 "));
    EXPECT_EQ(Text(IDC_USAGE_POWER_ON), QStringLiteral("1 Hours"));
}

} // namespace
