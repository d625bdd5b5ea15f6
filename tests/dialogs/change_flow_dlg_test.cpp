#include "change_flow_dlg.h"
#include "dialog_fixture.h"
#include "process_state.h"
#include "resource.h"
#include "string_table.h"

#include <QLabel>

namespace {

class ChangeFlowTest : public DialogTest {
protected:
    void SetPumpC(int installed, int ternary) {
        g_state.pumpCInstalled = installed;
        g_state.ternaryGradient = ternary;
    }

    struct Entry {
        const char* flow;
        const char* percentA;
        const char* percentB;
        const char* third; // null: the fourth edit keeps what the status gave it
        std::vector<int> messages;
        const char* sent; // the ChangeFlow call, or null when nothing may be sent
    };

    // Each entry typed into a fresh dialog and confirmed with OK.
    void Check(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            SCOPED_TRACE(::testing::Message()
                         << entry.flow << " / " << entry.percentA << " / " << entry.percentB
                         << " / " << (entry.third ? entry.third : "-"));
            Forget();
            CChangeFlowDlg dialog;
            const int result = RunModal(dialog, [&] {
                Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE), entry.flow);
                Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_A), entry.percentA);
                Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_B), entry.percentB);
                if (entry.third != nullptr) {
                    Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_THIRD), entry.third);
                }
                Click(Control<QPushButton>(dialog, IDC_DIALOG_OK));
            });
            std::vector<QString> expected;
            for (const int id : entry.messages) {
                expected.push_back(LoadString(id));
            }
            EXPECT_EQ(Messages(), expected);
            if (entry.sent != nullptr) {
                EXPECT_EQ(result, IDOK);
                EXPECT_EQ(m_pFake->CallsTo("ChangeFlow"), std::vector<std::string>{entry.sent});
            } else {
                EXPECT_EQ(result, kLeftOpen);
                EXPECT_TRUE(m_pFake->CallsTo("ChangeFlow").empty());
            }
        }
    }
};

constexpr int kRange = IDP_FLOW_RANGE;
constexpr int kSum = IDP_COMPOSITION_SUM;

TEST_F(ChangeFlowTest, LayoutAndStartValuesFollowTheFittedPumpC) {
    m_pFake->status.fFlowRate = 12.5F;
    m_pFake->status.fPercentA = 60.0F;
    m_pFake->status.fPercentB = 40.0F;
    m_pFake->status.fPercentC = 7.0F;
    m_pFake->status.fAuxFlowRate = 3.25F;
    m_pFake->statusMessage = "Idle";
    struct Layout {
        int installed, ternary;
        bool thirdShown, postColumnShown;
        const char *unit, *third, *thirdName;
    };
    for (const Layout& layout : {Layout{0, 1, false, false, "% C", "7.00", "Composition C"},
                                 Layout{0, 0, false, false, "% C", "3.25", "Composition C"},
                                 Layout{1, 1, true, false, "% C", "7.00", "Composition C"},
                                 Layout{1, 0, true, true, "µL/min", "3.25", "Post Column"}}) {
        SCOPED_TRACE(::testing::Message() << layout.installed << layout.ternary);
        SetPumpC(layout.installed, layout.ternary);
        Forget();
        CChangeFlowDlg dialog;
        RunModal(dialog, [&] {
            EXPECT_EQ(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE)->text(), "12.50");
            EXPECT_EQ(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_A)->text(), "60.00");
            EXPECT_EQ(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_B)->text(), "40.00");
            auto* third = Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_THIRD);
            auto* unit = Control<QLabel>(dialog, IDC_CHANGE_FLOW_THIRD_UNIT);
            EXPECT_EQ(third->text(), layout.third);
            EXPECT_EQ(third->isVisible(), layout.thirdShown);
            EXPECT_EQ(unit->isVisible(), layout.thirdShown);
            EXPECT_EQ(unit->text(), QString::fromUtf8(layout.unit));
            EXPECT_EQ(Control<QLabel>(dialog, IDC_CHANGE_FLOW_POST_COLUMN)->isVisible(),
                      layout.postColumnShown);
            // A screen reader names each edit by what it holds, the unit after it.
            auto* flow = Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE);
            EXPECT_EQ(flow->accessibleName(), QStringLiteral("Flow Rate"));
            EXPECT_EQ(flow->accessibleDescription(), QStringLiteral("µL/min"));
            EXPECT_EQ(third->accessibleName(), QString::fromUtf8(layout.thirdName));
            EXPECT_EQ(third->accessibleDescription(), QString::fromUtf8(layout.unit));
            Press(third, Qt::Key_Escape);
        });
        EXPECT_EQ(m_pFake->calls, std::vector<std::string>{"ReadStatus()"});
    }
}

TEST_F(ChangeFlowTest, HiddenFourthValueIsSentAsTheStatusGaveIt) {
    m_pFake->status.fAuxFlowRate = 3.25F;
    Check({{"10", "60", "40", nullptr, {}, "ChangeFlow(10, 60, 40, 3.25)"}});
}

TEST_F(ChangeFlowTest, FailedOrEmptyStatusLeavesTheEditsEmpty) {
    m_pFake->status.fFlowRate = 12.5F;
    for (const bool fail : {true, false}) {
        m_pFake->SetResult("ReadStatus", fail ? E_FAIL : S_OK);
        m_pFake->nullBlocks = !fail;
        CChangeFlowDlg dialog;
        EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE)->text().isEmpty());
    }
    // With nothing pre-filled, the hidden fourth value reads 0.
    Check({{"5", "50", "50", nullptr, {}, "ChangeFlow(5, 50, 50, 0)"}});
}

TEST_F(ChangeFlowTest, FlowRange) {
    Check({{"0", "60", "40", nullptr, {}, "ChangeFlow(0, 60, 40, 0)"},
           {"40", "60", "40", nullptr, {}, "ChangeFlow(40, 60, 40, 0)"},
           {"", "60", "40", nullptr, {}, "ChangeFlow(0, 60, 40, 0)"},
           {"fast", "60", "40", nullptr, {}, "ChangeFlow(0, 60, 40, 0)"},
           {"0x50", "60", "40", nullptr, {}, "ChangeFlow(0, 60, 40, 0)"},
           {"40.01", "60", "40", nullptr, {kRange}, nullptr},
           {"-0.5", "60", "40", nullptr, {kRange}, nullptr},
           {"50", "50", "40", nullptr, {kRange, kSum}, nullptr}});
}

TEST_F(ChangeFlowTest, SumOfAAndBWithoutPumpC) {
    Check({{"10", "60", "39", nullptr, {kSum}, nullptr},
           {"10", "33.3", "66.7", nullptr, {}, "ChangeFlow(10, 33.3, 66.7, 0)"},
           {"10", "70.1", "29.9", nullptr, {}, "ChangeFlow(10, 70.1, 29.9, 0)"},
           {"10", "99.999", "0", nullptr, {kSum}, nullptr}});
}

TEST_F(ChangeFlowTest, TernarySumIncludesC) {
    SetPumpC(1, 1);
    Check({{"10", "30", "30", "40", {}, "ChangeFlow(10, 30, 30, 40)"},
           {"10", "30", "30", "30", {kSum}, nullptr},
           {"10", "33.3", "33.3", "33.4", {}, "ChangeFlow(10, 33.3, 33.3, 33.4)"}});
}

TEST_F(ChangeFlowTest, PostColumnChecksTheSumThenTheThirdFlow) {
    SetPumpC(1, 0);
    Check({{"10", "50", "50", "40", {}, "ChangeFlow(10, 50, 50, 40)"},
           {"10", "50", "50", "41", {kRange}, nullptr},
           {"10", "50", "49", "41", {kSum, kRange}, nullptr},
           {"10", "50", "49", "20", {kSum}, nullptr},
           {"41", "50", "49", "41", {kRange, kSum, kRange}, nullptr}});
}

TEST_F(ChangeFlowTest, ValuesThatAreNotFiniteAreNeverSent) {
    Check({{"nan", "60", "40", nullptr, {kRange}, nullptr},
           {"inf", "60", "40", nullptr, {kRange}, nullptr},
           {"1e39", "60", "40", nullptr, {kRange}, nullptr},
           {"10", "nan", "40", nullptr, {kSum}, nullptr},
           {"10", "inf", "-inf", nullptr, {kSum}, nullptr}});
    SetPumpC(1, 1);
    Check({{"10", "60", "40", "nan", {kSum}, nullptr}});
    SetPumpC(1, 0);
    Check({{"10", "60", "40", "inf", {kRange}, nullptr}});
}

TEST_F(ChangeFlowTest, RefusedEntryStaysAsTypedAndCanBeCorrected) {
    CChangeFlowDlg dialog;
    const int result = RunModal(dialog, [&] {
        auto* percentB = Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_B);
        Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE), "20");
        Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_PERCENT_A), "60");
        Type(percentB, "39");
        Press(percentB, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(percentB->text(), "39");
        Type(percentB, "40");
        Press(percentB, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Messages(), std::vector<QString>{LoadString(kSum)});
    EXPECT_EQ(m_pFake->CallsTo("ChangeFlow"),
              std::vector<std::string>{"ChangeFlow(20, 60, 40, 0)"});
}

TEST_F(ChangeFlowTest, CancelEscAndCloseBoxSendNothing) {
    const std::vector<std::function<void(CChangeFlowDlg&)>> closers{
        [](CChangeFlowDlg& dialog) { Click(Control<QPushButton>(dialog, IDC_DIALOG_CANCEL)); },
        [](CChangeFlowDlg& dialog) {
            Press(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE), Qt::Key_Escape);
        },
        [](CChangeFlowDlg& dialog) { dialog.close(); }};
    for (const auto& close : closers) {
        CChangeFlowDlg dialog;
        const int result = RunModal(dialog, [&] {
            Type(Control<QLineEdit>(dialog, IDC_CHANGE_FLOW_RATE), "20");
            close(dialog);
        });
        EXPECT_EQ(result, IDCANCEL);
    }
    EXPECT_TRUE(m_pFake->CallsTo("ChangeFlow").empty());
    EXPECT_TRUE(m_messages.empty());
}

} // namespace
