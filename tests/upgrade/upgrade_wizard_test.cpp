#include "accessibility_check.h"
#include "call_origin.h"
#include "control_id.h"
#include "fake_instrument_server.h"
#include "history_recorder.h"
#include "history_store.h"
#include "history_writer.h"
#include "ids_history.h"
#include "modal_answerer.h"
#include "process_state.h"
#include "resource.h"
#include "scroll_check.h"
#include "string_table.h"
#include "ui.h"
#include "upgrade_software_wizard.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class UpgradeWizard : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        m_fake = CFakeInstrumentServer::Create();
        g_pServer = m_fake;
        m_previousFiles = SetOpenFileHandler([this](const OpenFileRequest&) { return chosen; });
        m_previousBoxes = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
        wizard.SetWizardMode();
        wizard.show();
        Settle();
    }
    void TearDown() override {
        SetOpenFileHandler(m_previousFiles);
        SetMessageBoxHandler(m_previousBoxes);
        g_pServer = nullptr;
        m_fake->Release();
        ResetProcessState();
    }

    // Button requests are posted: they show once the event loop has run.
    static void Settle() { QCoreApplication::processEvents(); }
    void Press(const QString& button) {
        wizard.PressButton(button);
        Settle();
    }
    bool Enabled(const QString& button) const {
        return wizard.Button(button)->isVisible() && wizard.Button(button)->isEnabled();
    }
    bool Shown(const QWidget* page, int id) const { return FindControl(page, id)->isVisible(); }

    void Step2Answers(HRESULT ready) {
        m_fake->SetResult("IsInstrumentReady", ready);
        wizard.Step2().OnTimer();
        Settle();
    }
    void GoToStep3() {
        Press(QStringLiteral("Next"));
        Step2Answers(S_FALSE);
        Step2Answers(S_OK);
        Press(QStringLiteral("Next"));
        ASSERT_EQ(wizard.GetActivePage(), &wizard.Step3());
    }
    QString WriteFile(const QString& name, int lines) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < lines; ++i) {
            file.write("S1130000000102030405060708090A0B0C0D0E0F74\n");
        }
        return path;
    }
    void Browse(const QString& path) {
        chosen = path;
        QTest::mouseClick(FindControl<QPushButton>(&wizard.Step3(), IDC_BROWSE), Qt::LeftButton);
        Settle();
    }
    // One tick of step 3 with the server reporting lines sent and the instrument's answer.
    void Step3Tick(int linesSent, HRESULT ready) {
        m_fake->outInts["GetDownloadProgress"] = {linesSent};
        m_fake->SetResult("IsInstrumentReady", ready);
        wizard.Step3().OnTimer();
        Settle();
    }
    std::size_t ReadyChecks() const { return m_fake->CallsTo("IsInstrumentReady").size(); }

    CFakeInstrumentServer* m_fake = nullptr;
    CUpgradeSoftwareWizard wizard{LoadString(IDS_UPGRADE_CAPTION)};
    QString chosen;
    QStringList boxes;
    QTemporaryDir m_dir;

private:
    OpenFileHandler m_previousFiles;
    MessageBoxHandler m_previousBoxes;
};

TEST_F(UpgradeWizard, EveryStepKeepsTheAccessibilityContract) {
    EXPECT_EQ(AccessibilityProblems(&wizard), QStringList());
    Press(QStringLiteral("Next"));
    Step2Answers(S_FALSE);
    EXPECT_EQ(AccessibilityProblems(&wizard), QStringList());
    Step2Answers(S_OK);
    Press(QStringLiteral("Next"));
    Browse(WriteFile(QStringLiteral("fw.s19"), 3));
    EXPECT_EQ(AccessibilityProblems(&wizard), QStringList());
}

TEST_F(UpgradeWizard, TakesASmallSizeWithItsStepScrolling) {
    const QSize small = (wizard.sizeHint() / 2).expandedTo(wizard.minimumSizeHint());
    wizard.resize(small);
    QCoreApplication::processEvents();
    EXPECT_EQ(wizard.size(), small);
    EXPECT_TRUE(ScrollsBothWays(&wizard));
    EXPECT_EQ(ControlsTabLeavesOutOfView(&wizard), QStringList());
}

TEST_F(UpgradeWizard, PowerCycleOnStepTwoOffersNextOnceTheInstrumentIsBack) {
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("Upgrade - Step 1 of 3"));
    EXPECT_TRUE(Enabled(QStringLiteral("Next")));
    EXPECT_FALSE(wizard.Button(QStringLiteral("Back"))->isEnabled());
    EXPECT_TRUE(m_fake->calls.empty());

    Press(QStringLiteral("Next"));
    EXPECT_EQ(m_fake->calls, std::vector<std::string>{"PrepareSoftwareUpgrade()"});
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("Upgrade - Step 2 of 3"));
    CUpgradeSoftwareStep2& step2 = wizard.Step2();
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(&step2);
    ASSERT_EQ(timers.size(), 1);
    EXPECT_EQ(timers[0].interval, CUpgradeSoftwareStep2::kPollPeriodMs);
    EXPECT_EQ(wizard.GetActivePage(), &step2);
    EXPECT_TRUE(wizard.Button(QStringLiteral("Finish"))->isVisible());
    EXPECT_FALSE(wizard.Button(QStringLiteral("Finish"))->isEnabled());
    EXPECT_FALSE(wizard.Button(QStringLiteral("Next"))->isVisible());
    EXPECT_TRUE(Shown(&step2, IDC_TURN_OFF));
    EXPECT_FALSE(Shown(&step2, IDC_TURN_ON));

    // Answering before it was ever off: the operator has not switched it off yet.
    Step2Answers(S_OK);
    Step2Answers(E_FAIL);
    EXPECT_FALSE(Shown(&step2, IDC_TURN_ON));
    EXPECT_FALSE(wizard.Button(QStringLiteral("Next"))->isVisible());

    Step2Answers(S_FALSE);
    Step2Answers(S_FALSE);
    EXPECT_TRUE(Shown(&step2, IDC_TURN_ON));
    EXPECT_FALSE(Shown(&step2, IDC_CLICK_NEXT));
    Step2Answers(S_OK);
    EXPECT_TRUE(Enabled(QStringLiteral("Next")));
    EXPECT_TRUE(Shown(&step2, IDC_CLICK_NEXT));

    // Next is asked for once: a further answer changes nothing, a further power cycle re-arms.
    wizard.SetWizardButtons(PSWIZB_DISABLEDFINISH);
    Step2Answers(S_OK);
    EXPECT_FALSE(wizard.Button(QStringLiteral("Next"))->isVisible());
    Step2Answers(S_FALSE);
    Step2Answers(S_OK);
    EXPECT_TRUE(Enabled(QStringLiteral("Next")));

    Press(QStringLiteral("Next"));
    EXPECT_EQ(wizard.GetActivePage(), &wizard.Step3());
    EXPECT_FALSE(step2.IsPolling()) << "step 2 stops watching once left";
    EXPECT_TRUE(wizard.Step3().IsPolling());
    EXPECT_FALSE(wizard.Button(QStringLiteral("Finish"))->isEnabled());
    EXPECT_FALSE(wizard.Button(QStringLiteral("Back"))->isVisible());
}

struct RestartCase {
    int lines;
    int justBelow; // -1: none below the threshold
    int threshold;
};

TEST_F(UpgradeWizard, RestartIsWatchedFromNinetyFivePercentOfTheLines) {
    GoToStep3();
    CUpgradeSoftwareStep3& step3 = wizard.Step3();
    auto* bar = FindControl<QProgressBar>(&step3, IDC_DOWNLOAD_PROGRESS);
    // Before a file is chosen the ticks show progress but never look for a restart.
    const std::size_t step2Checks = ReadyChecks();
    Step3Tick(1'000, S_FALSE);
    EXPECT_EQ(ReadyChecks(), step2Checks);

    for (const RestartCase c :
         {RestartCase{200, 189, 190}, RestartCase{1, 0, 1}, RestartCase{0, -1, 0}}) {
        SCOPED_TRACE(c.lines);
        const QString path = WriteFile(QStringLiteral("fw%1.s19").arg(c.lines), c.lines);
        Browse(path);
        EXPECT_EQ(step3.LineCount(), c.lines);
        // An empty file shows an empty bar, never the busy animation of a 0 .. 0 range.
        EXPECT_EQ(bar->maximum(), std::max(c.lines, 1));
        EXPECT_LT(bar->value(), bar->minimum());
        EXPECT_EQ(FindControl<QLabel>(&step3, IDC_FIRMWARE_PATH)->text(), path);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(FindControl(&step3, IDC_FIRMWARE_PATH))
                      ->text(QAccessible::Name),
                  path);
        EXPECT_EQ(m_fake->calls.back(), "DownloadSoftware(\"" + path.toStdString() + "\")");

        const std::size_t before = ReadyChecks();
        const std::size_t initialisations = m_fake->CallsTo("InitializeInstrument").size();
        if (c.justBelow >= 0) {
            Step3Tick(c.justBelow, S_FALSE);
            EXPECT_EQ(bar->value(), c.justBelow);
            EXPECT_EQ(ReadyChecks(), before);
        }
        m_fake->SetResult("GetDownloadProgress", E_FAIL);
        wizard.Step3().OnTimer();
        m_fake->SetResult("GetDownloadProgress", S_OK);
        EXPECT_EQ(ReadyChecks(), before) << "no progress, no restart check";

        Step3Tick(c.threshold, S_OK);
        EXPECT_EQ(bar->value() == bar->maximum(), c.threshold >= c.lines);
        EXPECT_EQ(ReadyChecks(), before + 1);
        EXPECT_EQ(m_fake->CallsTo("InitializeInstrument").size(), initialisations)
            << "no restart seen yet";
        EXPECT_FALSE(Shown(&step3, IDC_DOWNLOAD_COMPLETE));
        Step3Tick(c.threshold, S_FALSE);
        EXPECT_TRUE(Shown(&step3, IDC_DOWNLOAD_COMPLETE));
        EXPECT_FALSE(wizard.Button(QStringLiteral("Finish"))->isEnabled());
        Step3Tick(c.threshold, S_OK);
        EXPECT_EQ(m_fake->CallsTo("InitializeInstrument").back(), "InitializeInstrument(4, 1)");
        EXPECT_TRUE(Enabled(QStringLiteral("Finish")));
        Step3Tick(c.threshold, S_OK);
        EXPECT_EQ(m_fake->CallsTo("InitializeInstrument").size(), initialisations + 1);
        wizard.SetWizardButtons(PSWIZB_DISABLEDFINISH);
    }
}

TEST_F(UpgradeWizard, UnreadableFileIsReportedAndNothingIsSent) {
    GoToStep3();
    const std::size_t callsBefore = m_fake->calls.size();
    const QString missing = m_dir.filePath(QStringLiteral("missing.s19"));
    Browse(missing);
    Browse(m_dir.path());
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0], QStringLiteral("The firmware file %1 cannot be loaded:\n"
                                       "No such file or directory")
                            .arg(missing));
    EXPECT_TRUE(boxes[1].contains(m_dir.path()) && boxes[1].contains("not a regular file"));
    EXPECT_EQ(m_fake->calls.size(), callsBefore);
    EXPECT_EQ(wizard.Step3().LineCount(), -1);
    EXPECT_EQ(FindControl<QLabel>(&wizard.Step3(), IDC_FIRMWARE_PATH)->text(), QString());
    // Nearly everything of nothing is sent: no restart check without a file.
    Step3Tick(0, S_FALSE);
    EXPECT_FALSE(wizard.Button(QStringLiteral("Finish"))->isEnabled());

    // Cancelling the chooser changes nothing; a good file after the bad one goes out.
    Browse(QString());
    EXPECT_EQ(boxes.size(), 2);
    Browse(WriteFile(QStringLiteral("good.s19"), 3));
    EXPECT_EQ(m_fake->CallsTo("DownloadSoftware").size(), 1U);

    // The real chooser hands back a typed name that does not exist, for the wizard to answer.
    SetOpenFileHandler({});
    const QString typed = m_dir.filePath(QStringLiteral("typed.s19"));
    // Accepted from the event loop, so that a box of the chooser's own is answered too; the
    // wizard, modal itself, is left alone.
    bool chooserRefused = false;
    ModalAnswerer chooser(
        {[&](QWidget* modal) {
             auto* dialog = qobject_cast<QFileDialog*>(modal);
             ASSERT_NE(dialog, nullptr);
             dialog->selectFile(typed);
             QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
         },
         [&](QWidget* modal) {
             if (qobject_cast<QMessageBox*>(modal) != nullptr) {
                 chooserRefused = true;
                 ModalAnswerer::Reject(modal);
             }
         },
         [](QWidget* modal) {
             if (qobject_cast<QFileDialog*>(modal) != nullptr) {
                 ModalAnswerer::Reject(modal);
             }
         }});
    QTest::mouseClick(FindControl<QPushButton>(&wizard.Step3(), IDC_BROWSE), Qt::LeftButton);
    EXPECT_FALSE(chooserRefused);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_TRUE(boxes[2].contains(typed));
}

TEST_F(UpgradeWizard, LongPathReachesTheServerWhole) {
    GoToStep3();
    QString folder = m_dir.path();
    while (folder.size() < 320) {
        folder += QStringLiteral("/firmware-releases-of-the-instrument");
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/pump-firmware.s19");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("S0030000FC\n");
    file.close();
    Browse(path);
    ASSERT_GT(QFile::encodeName(path).size(), 300);
    EXPECT_EQ(m_fake->CallsTo("DownloadSoftware"),
              std::vector<std::string>{"DownloadSoftware(\"" + path.toStdString() + "\")"});
}

TEST_F(UpgradeWizard, CancelMidDownloadClosesAndSendsNothingMore) {
    GoToStep3();
    Browse(WriteFile(QStringLiteral("fw.s19"), 200));
    Step3Tick(100, S_OK);
    const std::size_t callsBefore = m_fake->calls.size();
    Press(QStringLiteral("Cancel"));
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(wizard.result(), QDialog::Rejected);
    EXPECT_FALSE(wizard.Step2().IsPolling());
    EXPECT_FALSE(wizard.Step3().IsPolling());
    Settle();
    EXPECT_EQ(m_fake->calls.size(), callsBefore);
}

} // namespace

namespace {

TEST_F(UpgradeWizard, TheServiceHistoryHearsTheFileChosenAndTheRestartOnce) {
    const QString historyPath = m_dir.filePath(QStringLiteral("history.sqlite"));
    CHistoryRecorder history(std::make_unique<CHistoryWriter>(historyPath, HistoryWriterOptions{}));
    SetServiceHistory(&history);
    GoToStep3();
    const QString path = WriteFile(QStringLiteral("fw.s19"), 10);
    Browse(path);
    Step3Tick(10, S_FALSE);
    Step3Tick(10, S_FALSE);
    Step3Tick(10, S_OK);
    SetServiceHistory(nullptr);
    history.Writer()->Flush();

    CHistoryStore store;
    ASSERT_TRUE(store.Open(historyPath, CHistoryStore::Mode::Read));
    QStringList texts;
    for (const HistoryEntry& entry : store.Entries({})) {
        texts.prepend(entry.text);
    }
    EXPECT_EQ(texts, QStringList({QStringLiteral("Firmware file chosen: %1 (10 lines)").arg(path),
                                  QStringLiteral("Instrument restart seen during the firmware "
                                                 "download")}));
}

TEST_F(UpgradeWizard, ItsInitializeInstrumentAfterTheRestartIsNamedAsTheWizards) {
    int origin = 0;
    m_fake->onCall = [&](const std::string& operation) {
        if (operation == "InitializeInstrument") {
            origin = CCallOrigin::Current();
        }
    };
    GoToStep3();
    Browse(WriteFile(QStringLiteral("fw.s19"), 10));
    Step3Tick(10, S_FALSE);
    Step3Tick(10, S_OK);
    EXPECT_EQ(origin, IDS_HISTORY_UPGRADE_INITIALIZE);
}

} // namespace
