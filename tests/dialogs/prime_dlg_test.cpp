#include "dialog_fixture.h"
#include "dry_prime_dlg.h"
#include "process_state.h"
#include "resource.h"
#include "string_table.h"
#include "wet_prime_dlg.h"

#include <QCheckBox>
#include <QRadioButton>

#include <array>

namespace {

using Calls = std::vector<std::string>;

class PrimeTest : public DialogTest {
protected:
    static std::array<QRadioButton*, 3> Reservoirs(const QWidget& dialog) {
        return {Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A1),
                Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A2),
                Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A3)};
    }
    static std::array<bool, 3> Checked(const std::array<QRadioButton*, 3>& reservoirs) {
        return {reservoirs[0]->isChecked(), reservoirs[1]->isChecked(), reservoirs[2]->isChecked()};
    }

    // A count the dialog refuses: one message, the edit focused with its text selected,
    // nothing sent.
    void ExpectCountRefused(const QWidget& dialog, QLineEdit* edit) {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Messages(), std::vector<QString>{LoadString(IDP_PARSE_INT)});
        EXPECT_EQ(dialog.focusWidget(), edit);
        EXPECT_EQ(edit->selectedText(), edit->text());
        EXPECT_TRUE(m_pFake->calls.empty());
        Forget();
    }
};

TEST_F(PrimeTest, WetPrimeOkAtOnceSendsFiveVolumesAndTheFittedPumps) {
    for (const int installed : {1, 0}) {
        g_state.pumpCInstalled = installed;
        Forget();
        CWetPrimeDlg dialog;
        const int result = RunModal(dialog, [&] {
            auto* pumpC = Control<QCheckBox>(dialog, IDC_WET_PRIME_PUMP_C);
            EXPECT_EQ(pumpC->isVisible(), installed == 1);
            EXPECT_TRUE(pumpC->isChecked());
            EXPECT_EQ(Control<QLineEdit>(dialog, IDC_WET_PRIME_VOLUMES)->text(), "5");
            EXPECT_EQ(Checked(Reservoirs(dialog)), (std::array<bool, 3>{}));
            Click(Control<QPushButton>(dialog, IDC_DIALOG_OK));
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dialog.GetSystemVolumes(), 5);
        EXPECT_EQ(m_pFake->calls,
                  Calls{installed ? "WetPrimeSystem(5, 7)" : "WetPrimeSystem(5, 3)"});
    }
}

TEST_F(PrimeTest, WetPrimeWithNoPumpAndACountOfZero) {
    g_state.pumpCInstalled = 1;
    CWetPrimeDlg dialog;
    RunModal(dialog, [&] {
        for (const int id : {IDC_WET_PRIME_PUMP_A, IDC_WET_PRIME_PUMP_B, IDC_WET_PRIME_PUMP_C}) {
            Click(Control<QCheckBox>(dialog, id));
        }
        auto* volumes = Control<QLineEdit>(dialog, IDC_WET_PRIME_VOLUMES);
        Type(volumes, "0");
        Press(volumes, Qt::Key_Return);
    });
    EXPECT_EQ(m_pFake->calls, Calls{"WetPrimeSystem(0, 0)"});
}

TEST_F(PrimeTest, ReservoirIsSentAtOnceAndCancelDoesNotUndoIt) {
    CWetPrimeDlg dialog;
    const int result = RunModal(dialog, [&] {
        const auto reservoirs = Reservoirs(dialog);
        Click(reservoirs[1]);
        EXPECT_EQ(m_pFake->calls, Calls{"SelectSolvent(2)"});
        Click(reservoirs[1]);
        EXPECT_EQ(Checked(reservoirs), (std::array<bool, 3>{false, true, false}));
        Click(reservoirs[2]);
        EXPECT_EQ(Checked(reservoirs), (std::array<bool, 3>{false, false, true}));
        // Without pump A the reservoirs rest, keeping their marks.
        auto* pumpA = Control<QCheckBox>(dialog, IDC_WET_PRIME_PUMP_A);
        Click(pumpA);
        for (QRadioButton* reservoir : reservoirs) {
            EXPECT_FALSE(reservoir->isEnabled());
        }
        EXPECT_EQ(Checked(reservoirs), (std::array<bool, 3>{false, false, true}));
        Click(pumpA);
        EXPECT_TRUE(reservoirs[0]->isEnabled());
        Click(reservoirs[0]);
        Click(Control<QPushButton>(dialog, IDC_DIALOG_CANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_pFake->calls, (Calls{"SelectSolvent(2)", "SelectSolvent(2)", "SelectSolvent(3)",
                                     "SelectSolvent(1)"}));
}

TEST_F(PrimeTest, WetPrimeRefusesACountThatIsNotA32BitInteger) {
    CWetPrimeDlg dialog;
    const int result = RunModal(dialog, [&] {
        auto* volumes = Control<QLineEdit>(dialog, IDC_WET_PRIME_VOLUMES);
        auto* ok = Control<QPushButton>(dialog, IDC_DIALOG_OK);
        // Only digits can be typed.
        Type(volumes, "-x");
        EXPECT_TRUE(volumes->text().isEmpty());
        Click(ok);
        ExpectCountRefused(dialog, volumes);
        Type(volumes, "4294967301");
        Click(ok);
        ExpectCountRefused(dialog, volumes);
        Type(volumes, "12");
        Press(volumes, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(m_pFake->calls.empty());
    EXPECT_EQ(dialog.GetSystemVolumes(), 5);
}

TEST_F(PrimeTest, DryPrimeStartsTwiceStaysOpenAndStopCloses) {
    for (const int installed : {1, 0}) {
        g_state.pumpCInstalled = installed;
        Forget();
        CDryPrimeDlg dialog;
        const int result = RunModal(dialog, [&] {
            EXPECT_TRUE(Control<QPushButton>(dialog, IDC_DIALOG_OK)->isHidden());
            EXPECT_TRUE(Control<QPushButton>(dialog, IDC_DIALOG_CANCEL)->isHidden());
            EXPECT_EQ(Control<QCheckBox>(dialog, IDC_DRY_PRIME_PUMP_C)->isVisible(),
                      installed == 1);
            auto* start = Control<QPushButton>(dialog, IDC_DRY_PRIME_START);
            Click(start);
            Click(start);
            EXPECT_TRUE(dialog.isVisible());
            Click(Control<QPushButton>(dialog, IDC_DRY_PRIME_STOP));
        });
        EXPECT_EQ(result, CDryPrimeDlg::kStopped);
        const std::string prime = installed ? "DryPrimeSystem(7, 10)" : "DryPrimeSystem(3, 10)";
        EXPECT_EQ(m_pFake->calls, (Calls{prime, prime, "StopDryPrime()"}));
    }
}

TEST_F(PrimeTest, DryPrimeStopClosesEvenWhenTheInstrumentRefuses) {
    m_pFake->SetResult("StopDryPrime", E_FAIL);
    CDryPrimeDlg dialog;
    const int result =
        RunModal(dialog, [&] { Click(Control<QPushButton>(dialog, IDC_DRY_PRIME_STOP)); });
    EXPECT_EQ(result, CDryPrimeDlg::kStopped);
    EXPECT_EQ(m_pFake->calls, Calls{"StopDryPrime()"});
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PrimeTest, DryPrimeEscLeavesThePrimeRunning) {
    g_state.pumpCInstalled = 1;
    CDryPrimeDlg dialog;
    const int result = RunModal(dialog, [&] {
        for (const int id : {IDC_DRY_PRIME_PUMP_A, IDC_DRY_PRIME_PUMP_B}) {
            Click(Control<QCheckBox>(dialog, id));
        }
        auto* start = Control<QPushButton>(dialog, IDC_DRY_PRIME_START);
        Click(start);
        Press(start, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_pFake->calls, Calls{"DryPrimeSystem(4, 10)"});
}

TEST_F(PrimeTest, DryPrimeCycleCounts) {
    CDryPrimeDlg dialog;
    RunModal(dialog, [&] {
        auto* cycles = Control<QLineEdit>(dialog, IDC_DRY_PRIME_CYCLES);
        auto* start = Control<QPushButton>(dialog, IDC_DRY_PRIME_START);
        for (const char* refused : {"abc", "", "2147483648", "1.5"}) {
            SCOPED_TRACE(refused);
            Type(cycles, refused);
            Click(start);
            ExpectCountRefused(dialog, cycles);
        }
        Type(cycles, "-3");
        Click(start);
        cycles->setText(QStringLiteral(" \t12\t "));
        Click(start);
    });
    EXPECT_EQ(m_pFake->calls, (Calls{"DryPrimeSystem(3, -3)", "DryPrimeSystem(3, 12)"}));
}

TEST_F(PrimeTest, DryPrimeEnterTakesTheCountAndClosesWithoutTheServer) {
    CDryPrimeDlg dialog;
    const int result = RunModal(dialog, [&] {
        auto* cycles = Control<QLineEdit>(dialog, IDC_DRY_PRIME_CYCLES);
        Type(cycles, "x");
        Press(cycles, Qt::Key_Return);
        ExpectCountRefused(dialog, cycles);
        Type(cycles, "25");
        Press(cycles, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetCycles(), 25);
    EXPECT_TRUE(m_pFake->calls.empty());
}

} // namespace
