#include "modal_answerer.h"
#include "page_autosampler_service.h"
#include "page_silk.h"
#include "page_usage.h"
#include "process_state.h"
#include "resource.h"
#include "single_page_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRect>
#include <QTemporaryDir>

namespace {

using Calls = std::vector<std::string>;

// Answers the Plate Type dialog with the plate at index, or leaves it with Esc for -1.
ModalAnswerer::Step PickPlate(int index) {
    return [index](QWidget* dialog) {
        if (index < 0) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        FindControl<QComboBox>(dialog, IDC_PLATE_TYPE_LIST)->setCurrentIndex(index);
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDC_DIALOG_OK), Qt::LeftButton);
    };
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

QStringList Sequence(QChar first, int count) {
    QStringList items;
    for (int i = 0; i < count; ++i) {
        items << (first.isDigit() ? QString::number(i + 1) : QString(QChar(first.unicode() + i)));
    }
    return items;
}

using AutoSamplerServicePage = SinglePageTest;

TEST_F(AutoSamplerServicePage, LaysOutThePlateAndSendsEachPick) {
    ModalAnswerer plates({PickPlate(0)});
    CPageAutoSamplerService page;
    Show(page);
    auto* rows = Control<QComboBox>(&page, IDC_SERVICE_ROW);
    auto* columns = Control<QComboBox>(&page, IDC_SERVICE_COLUMN);
    EXPECT_EQ(Items(rows), Sequence(u'A', 6));
    EXPECT_EQ(Items(columns), Sequence(u'1', 8));
    EXPECT_EQ(rows->currentIndex(), -1);
    EXPECT_EQ(m_fake->calls, (Calls{"SetPlateType(3)", "SetAutoSamplerMonitor(250896)"}));
    m_fake->calls.clear();
    rows->setFocus();
    QTest::keyClick(rows, Qt::Key_Down);
    columns->setFocus();
    QTest::keyClick(columns, Qt::Key_Down);
    EXPECT_EQ(m_fake->calls, (Calls{"SelectPlateRow(0)", "SelectPlateColumn(1)"}));
    EXPECT_TRUE(Control(&page, IDC_SERVICE_PLATE_TYPE)->isHidden());
}

TEST_F(AutoSamplerServicePage, EveryActivationAsksAgainAndClearsThePicks) {
    ModalAnswerer plates({PickPlate(3), PickPlate(-1)});
    CPageAutoSamplerService page;
    CPropertyPage other(IDD_PAGE_USAGE);
    m_sheet = std::make_unique<CPropertySheet>(QStringLiteral("Page"));
    m_sheet->setModal(false);
    m_sheet->AddPage(&page);
    m_sheet->AddPage(&other);
    m_sheet->show();
    auto* rows = Control<QComboBox>(&page, IDC_SERVICE_ROW);
    EXPECT_EQ(Items(rows), Sequence(u'A', 16));
    EXPECT_EQ(Items(Control<QComboBox>(&page, IDC_SERVICE_COLUMN)), Sequence(u'1', 24));
    rows->setCurrentIndex(4);
    m_sheet->SetActivePage(1);
    m_fake->calls.clear();
    m_sheet->SetActivePage(0);
    EXPECT_TRUE(plates.Finished());
    // Left with Esc: the 384 plate stays in force, and nothing stays picked.
    EXPECT_EQ(page.PlateIndex(), 3);
    EXPECT_EQ(m_fake->CallsTo("SetPlateType"), (Calls{"SetPlateType(2)"}));
    EXPECT_EQ(Items(rows), Sequence(u'A', 16));
    EXPECT_EQ(rows->currentIndex(), -1);
}

TEST_F(AutoSamplerServicePage, EveryButtonSendsItsCommandEachTime) {
    ModalAnswerer plates({PickPlate(1)});
    CPageAutoSamplerService page;
    Show(page);
    m_fake->calls.clear();
    const std::vector<std::pair<int, std::string>> buttons{
        {IDC_SERVICE_SYRINGE_WASH, "MoveSampleSyringeValve(1)"},
        {IDC_SERVICE_SYRINGE_NEEDLE, "MoveSampleSyringeValve(2)"},
        {IDC_SERVICE_SYRINGE_WASTE, "MoveSampleSyringeValve(3)"},
        {IDC_SERVICE_NEEDLE_UNIT_UP, "MoveNeedleUnit(0)"},
        {IDC_SERVICE_NEEDLE_UNIT_DOWN, "MoveNeedleUnit(1)"},
        {IDC_SERVICE_SAMPLE_NEEDLE_UP, "MoveSampleNeedle(0)"},
        {IDC_SERVICE_SAMPLE_NEEDLE_DOWN, "MoveSampleNeedle(1)"},
        {IDC_SERVICE_AIR_ON, "SetAirCompressor(1)"},
        {IDC_SERVICE_AIR_OFF, "SetAirCompressor(0)"},
        {IDC_SERVICE_LEFT_HOME, "MoveLeftUnit(0)"},
        {IDC_SERVICE_LEFT_NEXT, "MoveLeftUnit(1)"},
        {IDC_SERVICE_RIGHT_HOME, "MoveRightUnit(0)"},
        {IDC_SERVICE_RIGHT_NEXT, "MoveRightUnit(1)"},
        {IDC_SERVICE_CENTER_HOME, "MoveCenterUnit(0)"},
        {IDC_SERVICE_CENTER_PLACE, "MoveCenterUnit(1)"},
        {IDC_SERVICE_CENTER_DROP, "MoveCenterUnit(2)"},
        {IDC_SERVICE_CENTER_UP, "LiftCenterUnit(0)"},
        {IDC_SERVICE_CENTER_DOWN, "LiftCenterUnit(1)"},
    };
    Calls expected;
    for (const auto& [id, call] : buttons) {
        auto* button = Control<QPushButton>(&page, id);
        Click(button);
        // The keyboard and the accessibility action press it as a click does.
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        expected.insert(expected.end(), {call, call});
    }
    EXPECT_EQ(m_fake->calls, expected);
}

class SilkPage : public SinglePageTest {
protected:
    void SetUp() override {
        SinglePageTest::SetUp();
        g_state.pumpCInstalled = 1;
    }
    std::vector<std::string> StartAfter(std::initializer_list<int> clicked) {
        for (int id : clicked) {
            Click(Control<QCheckBox>(&m_page, id));
        }
        m_fake->calls.clear();
        Click(Control<QPushButton>(&m_page, IDC_SILK_START));
        return m_fake->calls;
    }
    CPageSilk m_page;
};

TEST_F(SilkPage, OpensTheSyringeDataAndSendsThePumpMask) {
    m_fake->outInts["GetSilkWriteToDisk"] = {1};
    Show(m_page);
    EXPECT_EQ(m_fake->calls, (Calls{"EnableSyringeData(1)", "GetSilkWriteToDisk()"}));
    EXPECT_EQ(g_state.syringeDataFlag, 1);
    EXPECT_TRUE(Control<QCheckBox>(&m_page, IDC_SILK_WRITE_TO_DISK)->isChecked());
    EXPECT_EQ(StartAfter({}), (Calls{"StartSilk(7)"}));
    EXPECT_EQ(StartAfter({IDC_SILK_PUMP_A, IDC_SILK_PUMP_C}), (Calls{"StartSilk(2)"}));
    EXPECT_EQ(StartAfter({IDC_SILK_PUMP_B}), (Calls{"StartSilk(0)"}));
    m_fake->calls.clear();
    Click(Control<QCheckBox>(&m_page, IDC_SILK_WRITE_TO_DISK));
    Click(Control<QPushButton>(&m_page, IDC_SILK_UPLOAD));
    Click(Control<QPushButton>(&m_page, IDC_SILK_RESET));
    EXPECT_EQ(m_fake->calls, (Calls{"SetSilkWriteToDisk(0)", "UploadSilkData()", "ResetSilk()"}));
}

TEST_F(SilkPage, WithoutPumpCTheMaskStartsAtThreeAndRowsFiveAndSixAreHidden) {
    g_state.pumpCInstalled = 0;
    m_fake->outInts["GetSilkWriteToDisk"] = {1};
    m_fake->SetResult("GetSilkWriteToDisk", E_FAIL);
    Show(m_page);
    EXPECT_FALSE(Control<QCheckBox>(&m_page, IDC_SILK_WRITE_TO_DISK)->isChecked());
    EXPECT_TRUE(Control(&m_page, IDC_SILK_PUMP_C)->isHidden());
    for (int id : {IDC_SILK_ROW_LABEL_5, IDC_SILK_ROW_LABEL_6, IDC_SILK_STATE_1 + 4,
                   IDC_SILK_PRESSURE_1 + 5, IDC_SILK_POSITION_1 + 4}) {
        EXPECT_TRUE(Control(&m_page, id)->isHidden()) << id;
    }
    EXPECT_EQ(StartAfter({}), (Calls{"StartSilk(3)"}));
}

TEST_F(SilkPage, TheGridFollowsTheSyringeDataEveryTick) {
    Show(m_page);
    EXPECT_EQ(Text(&m_page, IDC_SILK_PRESSURE_1), QStringLiteral(" 0.0"));
    EXPECT_EQ(Text(&m_page, IDC_SILK_STATE_1), QStringLiteral("Invalid"));
    g_state.syringeData.anPressure[0] = -5;
    g_state.syringeData.anPressure[5] = 1234;
    g_state.syringeData.anState[0] = 9;
    g_state.syringeData.anState[5] = 10;
    g_state.syringeData.anPosition[5] = -42;
    m_page.OnTimer();
    EXPECT_EQ(Text(&m_page, IDC_SILK_PRESSURE_1), QStringLiteral("-5.0"));
    EXPECT_EQ(Text(&m_page, IDC_SILK_PRESSURE_1 + 5), QStringLiteral("1234.0"));
    EXPECT_EQ(Text(&m_page, IDC_SILK_STATE_1), QStringLiteral("Empty"));
    EXPECT_EQ(Text(&m_page, IDC_SILK_STATE_1 + 5), QStringLiteral("Invalid"));
    EXPECT_EQ(Text(&m_page, IDC_SILK_POSITION_1 + 5), QStringLiteral("-42"));
    // A grid cell reads as its value, labelled by its row and its column.
    QAccessibleInterface* pressure =
        QAccessible::queryAccessibleInterface(Control<QLabel>(&m_page, IDC_SILK_PRESSURE_1));
    EXPECT_EQ(pressure->text(QAccessible::Name), QStringLiteral("-5.0"));
    QStringList captions;
    for (const auto& [caption, relation] : pressure->relations(QAccessible::Label)) {
        captions << caption->text(QAccessible::Name);
    }
    EXPECT_EQ(captions, (QStringList{"1", "Pressure"}));
}

TEST_F(SilkPage, DownloadHandsOverTheWholePathAndKeepsTheCurrentDirectory) {
    QTemporaryDir work;
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("run")));
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("Orvix")));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.filePath(QStringLiteral("run"))));
    const QString longPath = work.filePath(QString(300, u'x') + QStringLiteral(".bin"));
    std::vector<OpenFileRequest> requests;
    QString answer = longPath;
    const OpenFileHandler previous = SetOpenFileHandler([&](const OpenFileRequest& request) {
        requests.push_back(request);
        return answer;
    });
    Show(m_page);
    m_fake->calls.clear();
    auto* download = Control<QPushButton>(&m_page, IDC_SILK_DOWNLOAD);
    Click(download);
    answer.clear();
    Click(download);
    const QString after = QDir::currentPath();
    QDir::setCurrent(before);
    SetOpenFileHandler(previous);
    EXPECT_EQ(after, work.filePath(QStringLiteral("run")));
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests[0].filter, QStringLiteral("Silk Files (*.bin);;All Files (*.*)"));
    EXPECT_EQ(requests[0].directory, work.filePath(QStringLiteral("Orvix")));
    EXPECT_EQ(m_fake->calls, (Calls{"DownloadSilkData(\"" + longPath.toStdString() + "\")"}));
}

using UsagePage = SinglePageTest;

TEST_F(UsagePage, ShowsTheCountersOnceInTheirFormats) {
    m_fake->outInts["GetAutoSamplerUsage"] = {11, 12, 13, 14, 15, 16, 17};
    m_fake->syringeUsage1 = {1, 2, 3, 4, 5, 65535};
    m_fake->syringeUsage2 = {21, 22, 23, 24, 25, 26};
    CPageUsage page;
    Show(page);
    EXPECT_EQ(m_fake->calls, (Calls{"GetSyringeUsage(6, 6)", "GetAutoSamplerUsage()"}));
    EXPECT_EQ(Text(&page, IDC_USAGE_INJECTOR_VALVE), QStringLiteral("11 "));
    EXPECT_EQ(Text(&page, IDC_USAGE_SYRINGE), QStringLiteral("15 "));
    EXPECT_EQ(Text(&page, IDC_USAGE_POWER_ON), QStringLiteral("16 Hours"));
    EXPECT_EQ(Text(&page, IDC_USAGE_COOLING_ON), QStringLiteral("17 Hours"));
    EXPECT_EQ(Text(&page, IDC_USAGE_VALVE_ACTUATIONS_1), QStringLiteral("1"));
    EXPECT_EQ(Text(&page, IDC_USAGE_VALVE_ACTUATIONS_1 + 5), QStringLiteral("65535"));
    EXPECT_EQ(Text(&page, IDC_USAGE_PISTON_STROKES_1 + 5), QStringLiteral("26"));
    EXPECT_FALSE(Control(&page, IDC_USAGE_PISTON_STROKES_1 + 5)->isHidden());
}

TEST_F(UsagePage, FailedReadsShowNoCounts) {
    m_fake->SetResult("GetSyringeUsage", E_FAIL);
    m_fake->SetResult("GetAutoSamplerUsage", E_FAIL);
    CPageUsage page;
    Show(page);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Text(&page, IDC_USAGE_VALVE_ACTUATIONS_1 + i), QStringLiteral("-"));
        EXPECT_EQ(Text(&page, IDC_USAGE_PISTON_STROKES_1 + i), QStringLiteral("-"));
    }
    EXPECT_EQ(Text(&page, IDC_USAGE_VENT_VALVE), QStringLiteral("-1 "));
    EXPECT_EQ(Text(&page, IDC_USAGE_POWER_ON), QStringLiteral("-1 Hours"));
}

TEST_F(UsagePage, ResetSelectedSendsTheTenMarksInOrderAndKeepsTheValues) {
    m_fake->outInts["GetAutoSamplerUsage"] = {11, 12, 13, 14, 15, 16, 17};
    CPageUsage page;
    Show(page);
    m_fake->calls.clear();
    auto* reset = Control<QPushButton>(&page, IDC_USAGE_RESET_SELECTED);
    Click(reset);
    Click(Control<QCheckBox>(&page, IDC_USAGE_RESET_SYRINGES_3_4));
    Click(reset);
    Click(Control<QCheckBox>(&page, IDC_USAGE_RESET_SYRINGES_3_4));
    Click(Control<QCheckBox>(&page, IDC_USAGE_RESET_INJECTOR_VALVE));
    Click(Control<QCheckBox>(&page, IDC_USAGE_RESET_COOLING_ON));
    Click(reset);
    EXPECT_EQ(m_fake->calls, (Calls{"ResetUsage(0, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
                                    "ResetUsage(0, 0, 0, 0, 0, 0, 0, 0, 1, 0)",
                                    "ResetUsage(1, 0, 0, 0, 0, 0, 1, 0, 0, 0)"}));
    EXPECT_EQ(Text(&page, IDC_USAGE_INJECTOR_VALVE), QStringLiteral("11 "));

    // The button stands between the two blocks, on the right.
    const auto area = [&](int id) {
        QWidget* control = Control(&page, id);
        return QRect(control->mapTo(&page, QPoint(0, 0)), control->size());
    };
    const QRect button = area(IDC_USAGE_RESET_SELECTED);
    EXPECT_GE(button.top(), area(IDC_USAGE_RESET_COOLING_ON).bottom());
    EXPECT_LE(button.bottom(), area(IDC_USAGE_PISTON_STROKES_1).top());
    EXPECT_GT(button.left(), area(IDC_USAGE_RESET_COOLING_ON).right());
}

} // namespace
