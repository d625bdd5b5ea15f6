#include "property_page.h"
#include "property_sheet.h"
#include "ui.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A page that records what the sheet asks of it.
class ProbePage : public CPropertyPage {
public:
    ProbePage(const QString& caption, QStringList* log) : CPropertyPage(0), m_log(log) {
        setWindowTitle(caption);
    }
    bool OnInitDialog() override { return Note("init"); }
    bool OnSetActive() override {
        Note("active");
        if (wizardButtons != 0) {
            Sheet()->SetWizardButtons(wizardButtons);
            // A request takes effect only after this handler returns.
            EXPECT_NE(Sheet()->WizardButtons(), wizardButtons);
        }
        return true;
    }
    bool OnValidate() override { return Note("validate") && !refuseToLeave; }
    bool OnKillActive() override { return Note("leave"); }
    bool OnApply() override { return Note("apply"); }
    void OnDestroy() override { Note("destroy"); }
    int OnWizardNext() override {
        Note("next");
        return stayOnNext ? -1 : 0;
    }

    bool refuseToLeave = false;
    bool stayOnNext = false;
    unsigned wizardButtons = 0;

private:
    bool Note(const char* what) {
        *m_log << Caption() + u':' + QLatin1String(what);
        return true;
    }
    QStringList* m_log;
};

class PropertySheet : public ::testing::Test {
protected:
    QStringList log;
    ProbePage first{QStringLiteral("First"), &log};
    ProbePage second{QStringLiteral("Second"), &log};
    ProbePage third{QStringLiteral("Third"), &log};
};

TEST_F(PropertySheet, PagesAreCreatedOnFirstDisplayAndActivatedBeforeTheyShow) {
    CPropertySheet sheet(QStringLiteral("Sheet"), nullptr, 1);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.AddPage(&third);
    sheet.show();
    EXPECT_EQ(log, (QStringList{"Second:init", "Second:active"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    log.clear();
    sheet.SetActivePage(0);
    sheet.SetActivePage(1);
    EXPECT_EQ(log, (QStringList{"Second:validate", "Second:leave", "First:init", "First:active",
                                "First:validate", "First:leave", "Second:active"}));
}

TEST_F(PropertySheet, APageCanRefuseToBeLeft) {
    CPropertySheet sheet(QStringLiteral("Sheet"));
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.show();
    first.refuseToLeave = true;
    log.clear();
    QTest::mouseClick(sheet.TabBar(), Qt::LeftButton, {}, sheet.TabBar()->tabRect(1).center());
    EXPECT_EQ(log, QStringList{"First:validate"}) << "a page that refuses says so once per click";
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.TabBar()->currentIndex(), 0);
    EXPECT_FALSE(second.HasWindow());
    sheet.PressButton(QStringLiteral("OK"));
    EXPECT_TRUE(sheet.isVisible()) << "OK is refused by the page too";
}

TEST_F(PropertySheet, ApplyAndOkReachOnlyPagesWithAWindow) {
    CPropertySheet sheet(QStringLiteral("Sheet"));
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.AddPage(&third);
    sheet.show();
    sheet.SetActivePage(2);
    log.clear();
    // Apply waits for a page with changes, and goes grey again once they are applied.
    EXPECT_FALSE(sheet.Button(QStringLiteral("Apply"))->isEnabled());
    third.SetModified();
    EXPECT_TRUE(sheet.Button(QStringLiteral("Apply"))->isEnabled());
    // The page in front is checked, not left: it stays the active one.
    sheet.PressButton(QStringLiteral("Apply"));
    EXPECT_EQ(log, (QStringList{"Third:validate", "First:apply", "Third:apply"}));
    EXPECT_FALSE(sheet.Button(QStringLiteral("Apply"))->isEnabled());
    EXPECT_FALSE(third.IsModified());
    log.clear();
    sheet.PressButton(QStringLiteral("OK"));
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(log, (QStringList{"Third:validate", "First:apply", "Third:apply", "First:destroy",
                                "Third:destroy"}));
}

TEST_F(PropertySheet, WizardButtonsFollowThePagesRequests) {
    CPropertySheet sheet(QStringLiteral("Upgrade"));
    sheet.SetWizardMode();
    first.wizardButtons = PSWIZB_NEXT;
    second.wizardButtons = PSWIZB_DISABLEDFINISH;
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.show();
    EXPECT_EQ(sheet.TabBar(), nullptr) << "a wizard has no tabs";
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet.Button(QStringLiteral("< Back"))->isEnabled());
    EXPECT_TRUE(sheet.Button(QStringLiteral("Next >"))->isEnabled());
    EXPECT_FALSE(sheet.Button(QStringLiteral("Finish"))->isVisible());

    first.stayOnNext = true;
    sheet.PressButton(QStringLiteral("Next >"));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    first.stayOnNext = false;
    sheet.PressButton(QStringLiteral("Next >"));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet.Button(QStringLiteral("Finish"))->isVisible());
    EXPECT_FALSE(sheet.Button(QStringLiteral("Finish"))->isEnabled());
    EXPECT_FALSE(sheet.Button(QStringLiteral("Next >"))->isVisible());
    EXPECT_FALSE(sheet.Button(QStringLiteral("< Back"))->isEnabled());
    sheet.SetWizardButtons(PSWIZB_FINISH);
    QCoreApplication::processEvents();
    sheet.PressButton(QStringLiteral("Finish"));
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

TEST_F(PropertySheet, CancelClosesAtOnceAndDestroysPageWindows) {
    CPropertySheet sheet(QStringLiteral("Sheet"));
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.show();
    log.clear();
    sheet.PressButton(QStringLiteral("Cancel"));
    EXPECT_EQ(log, (QStringList{"First:destroy"}));
    EXPECT_FALSE(first.HasWindow());
}

} // namespace
