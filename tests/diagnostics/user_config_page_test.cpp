#include "diagnostic_sheets.h"
#include "modal_answerer.h"
#include "page_user_config.h"
#include "resource.h"
#include "single_page_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class ConfigurationPage : public SinglePageTest {
protected:
    void SetUp() override {
        SinglePageTest::SetUp();
        m_fake->configuration = {5.0F, 25, 0.0F, nullptr, 1.5F, 1, 1, 0, 1, 0, 7, 8};
        m_fake->serialNumber = "OX2-0421-17";
    }
    template <class W = QWidget> W* Get(int id) { return Control<W>(&m_page, id); }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    const InstrumentConfiguration& Applied() {
        m_sheet->PressButton(QStringLiteral("OK"));
        EXPECT_TRUE(m_fake->sentConfiguration.has_value());
        return *m_fake->sentConfiguration;
    }

    CPageUserConfig m_page;
};

TEST_F(ConfigurationPage, ShowsTheConfigurationAndSendsItBackWithTheFixedFields) {
    Show(m_page);
    EXPECT_EQ(Get<QComboBox>(IDC_CONFIG_SYRINGE_SIZE)->currentText(), QStringLiteral("25"));
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP)->text(), QStringLiteral("  5.0"));
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_NEEDLE_VOLUME)->text(), QStringLiteral("1.5"));
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_SERIAL_NUMBER)->text(), QStringLiteral("OX2-0421-17"));
    EXPECT_TRUE(Get<QRadioButton>(IDC_CONFIG_POST_COLUMN)->isChecked());
    EXPECT_FALSE(Get<QRadioButton>(IDC_CONFIG_TERNARY)->isChecked());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(m_sheet->Button(QStringLiteral("Apply"))->isEnabled());
    // A click on the other gradient moves the mark, and the sheet has something to apply.
    Click(Get<QRadioButton>(IDC_CONFIG_TERNARY));
    Click(Get<QRadioButton>(IDC_CONFIG_TERNARY));
    EXPECT_TRUE(Get<QRadioButton>(IDC_CONFIG_TERNARY)->isChecked());
    EXPECT_FALSE(Get<QRadioButton>(IDC_CONFIG_POST_COLUMN)->isChecked());
    // The keyboard moves it as a click does, there and back.
    Get(IDC_CONFIG_POST_COLUMN)->setFocus();
    QTest::keyClick(Get(IDC_CONFIG_POST_COLUMN), Qt::Key_Space);
    EXPECT_FALSE(Get<QRadioButton>(IDC_CONFIG_TERNARY)->isChecked());
    Click(Get<QRadioButton>(IDC_CONFIG_TERNARY));
    Type(Get<QLineEdit>(IDC_CONFIG_SERIAL_NUMBER), QStringLiteral("changed"));
    const InstrumentConfiguration& sent = Applied();
    EXPECT_EQ(m_fake->sentSerialNumber, "None");
    EXPECT_EQ(sent.fReserved8, 999.0F);
    EXPECT_EQ(sent.nReserved40, 0);
    EXPECT_EQ(sent.nReserved44, 1);
    EXPECT_EQ(sent.nSyringeSize, 25);
    EXPECT_EQ(sent.fSampleLoopVolume, 5.0F);
    EXPECT_EQ(sent.fNeedleVolume, 1.5F);
    EXPECT_EQ(sent.bTernaryGradient, 1);
    EXPECT_EQ(sent.bManualInjectValve, 1);
    EXPECT_EQ(sent.bPlateFeeder, 0);
}

TEST_F(ConfigurationPage, SelectsTheFirstSizeThatBeginsWithTheReportedOne) {
    m_fake->configuration.nSyringeSize = 10;
    Show(m_page);
    EXPECT_EQ(Get<QComboBox>(IDC_CONFIG_SYRINGE_SIZE)->currentText(), QStringLiteral("100"));
    m_sheet.reset();
    CPageUserConfig other;
    m_fake->configuration.nSyringeSize = 0;
    Show(other);
    EXPECT_EQ(Control<QComboBox>(&other, IDC_CONFIG_SYRINGE_SIZE)->currentIndex(), -1);
    m_sheet->PressButton(QStringLiteral("OK"));
    ASSERT_TRUE(m_fake->sentConfiguration.has_value());
    EXPECT_EQ(m_fake->sentConfiguration->nSyringeSize, 0);
}

TEST_F(ConfigurationPage, WithoutPumpCTheGradientStartsOffAndIsSentAsPostColumn) {
    m_fake->configuration.bPumpCInstalled = 0;
    m_fake->configuration.bTernaryGradient = 1;
    Show(m_page);
    for (int id : {IDC_CONFIG_TERNARY, IDC_CONFIG_POST_COLUMN}) {
        EXPECT_FALSE(Get(id)->isEnabled()) << id;
        EXPECT_FALSE(Get<QRadioButton>(id)->isChecked()) << id;
    }
    Click(Get<QCheckBox>(IDC_CONFIG_PUMP_C));
    EXPECT_TRUE(Get(IDC_CONFIG_TERNARY)->isEnabled());
    EXPECT_TRUE(Get(IDC_CONFIG_POST_COLUMN)->isEnabled());
    EXPECT_EQ(Applied().bTernaryGradient, 0);
}

TEST_F(ConfigurationPage, RefusesVolumesThatAreNoNumberOrOutOfRange) {
    m_fake->configuration.fNeedleVolume = 250.0F;
    Show(m_page);
    EXPECT_EQ(m_messages, (std::vector<QString>{"Please enter a number between 0 and 200."}));
    m_messages.clear();
    Type(Get<QLineEdit>(IDC_CONFIG_NEEDLE_VOLUME), QStringLiteral("2.5"));
    Type(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP), QStringLiteral("5 uL"));
    m_sheet->PressButton(QStringLiteral("OK"));
    Type(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP), QStringLiteral("1,000"));
    m_sheet->PressButton(QStringLiteral("OK"));
    Type(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP), QStringLiteral("0"));
    m_sheet->PressButton(QStringLiteral("OK"));
    EXPECT_EQ(m_messages, (std::vector<QString>{"Please enter a number.", "Please enter a number.",
                                                "Please enter a number between 0.01 and 1000."}));
    EXPECT_TRUE(m_sheet->isVisible());
    EXPECT_EQ(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP)->selectedText(), QStringLiteral("0"));
    EXPECT_FALSE(m_fake->sentConfiguration.has_value());
    Type(Get<QLineEdit>(IDC_CONFIG_SAMPLE_LOOP), QStringLiteral(" 12.25 "));
    EXPECT_EQ(Applied().fSampleLoopVolume, 12.25F);
    EXPECT_EQ(m_fake->sentConfiguration->fNeedleVolume, 2.5F);
}

TEST_F(ConfigurationPage, UpgradeRunsAFreshWizardEachTime) {
    Show(m_page);
    for (int run = 0; run < 2; ++run) {
        m_fake->calls.clear();
        ModalAnswerer cancel({&ModalAnswerer::Reject});
        QTest::mouseClick(Get<QPushButton>(IDC_CONFIG_UPGRADE), Qt::LeftButton);
        EXPECT_EQ(cancel.Seen(), QStringList{QStringLiteral("Upgrade - Step 1 of 3")});
        EXPECT_TRUE(m_fake->calls.empty()) << "cancelled on its first step, it sends nothing";
    }
}

using ConfigurationInSheets = SinglePageTest;

TEST_F(ConfigurationInSheets, TheUserSheetGreysTheServiceControlsButSendsTheirStates) {
    m_fake->configuration = {5.0F, 100, 0.0F, nullptr, 1.5F, 1, 1, 1, 0, 1, 0, 1};
    const std::vector<int> serviceOnly{IDC_CONFIG_PUMP_C,       IDC_CONFIG_TERNARY,
                                       IDC_CONFIG_POST_COLUMN,  IDC_CONFIG_SAMPLE_TEMP,
                                       IDC_CONFIG_PLATE_FEEDER, IDC_CONFIG_MANUAL_INJECT,
                                       IDC_CONFIG_SERIAL_NUMBER};
    {
        CDiagnosticSheet service(QStringLiteral("Service Diagnostics"));
        service.show();
        service.SetActivePage(1);
        for (int id : serviceOnly) {
            EXPECT_TRUE(Control(&service.ConfigurationPage(), id)->isEnabled()) << id;
        }
    }
    CUserConfig user(QStringLiteral("User Diagnostics"));
    user.show();
    user.SetActivePage(1);
    const CPageUserConfig& page = user.ConfigurationPage();
    for (int id : serviceOnly) {
        EXPECT_FALSE(Control(&page, id)->isEnabled()) << id;
    }
    for (int id : {IDC_CONFIG_SYRINGE_SIZE, IDC_CONFIG_SAMPLE_LOOP, IDC_CONFIG_NEEDLE_VOLUME}) {
        EXPECT_TRUE(Control(&page, id)->isEnabled()) << id;
    }
    user.PressButton(QStringLiteral("OK"));
    ASSERT_TRUE(m_fake->sentConfiguration.has_value());
    EXPECT_EQ(m_fake->sentConfiguration->bPumpCInstalled, 1);
    EXPECT_EQ(m_fake->sentConfiguration->bTernaryGradient, 1);
    EXPECT_EQ(m_fake->sentConfiguration->bPlateFeeder, 1);
    EXPECT_EQ(m_fake->sentConfiguration->nSyringeSize, 100);
}

} // namespace
