#include "about_dlg.h"
#include "accessibility_check.h"
#include "fake_instrument_server.h"
#include "icon_table.h"
#include "ids_app.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        m_fake = CFakeInstrumentServer::Create();
        g_pServer = m_fake;
    }
    void TearDown() override {
        g_pServer = nullptr;
        m_fake->Release();
    }
    static QString Text(const CAboutDlg& dlg, const char* name) {
        return dlg.findChild<QLabel*>(QLatin1String(name))->text();
    }
    CFakeInstrumentServer* m_fake = nullptr;
};

TEST_F(AboutBox, ShowsTheVersionsTheServerReportsAndFreesItsStrings) {
    m_fake->autoSamplerVersion = 1.5F;
    m_fake->pumpVersion = u"2.10";
    m_fake->clientVersion = u"3.0.1";
    const CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Orvix Client"));
    EXPECT_EQ(Text(dlg, "clientVersionText"), QStringLiteral("Orvix Client Version 3.0.1"));
    EXPECT_EQ(Text(dlg, "pumpVersionText"), QStringLiteral("Pump Version 2.10"));
    EXPECT_EQ(Text(dlg, "autoSamplerVersionText"), QStringLiteral("AutoSampler Version 1.50"));
    EXPECT_EQ(m_fake->calls, (std::vector<std::string>{"GetVersions()"}));
}

// The box may open before any window of the application has an icon.
TEST_F(AboutBox, ShowsTheMainFrameIcon) {
    const CAboutDlg dlg;
    const QPixmap shown = dlg.findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage(), LoadIconResource(IDI_MAINFRAME).pixmap(shown.size()).toImage());
}

TEST_F(AboutBox, KeepsTheAccessibilityContract) {
    CAboutDlg dlg;
    EXPECT_EQ(AccessibilityProblems(&dlg), QStringList());
}

TEST_F(AboutBox, KeepsTheTemplateTextsWhenTheServerFails) {
    m_fake->SetResult("GetVersions", E_FAIL);
    m_fake->pumpVersion = u"never read";
    const CAboutDlg dlg;
    EXPECT_EQ(Text(dlg, "clientVersionText"), QStringLiteral("Orvix Client Version"));
    EXPECT_EQ(Text(dlg, "pumpVersionText"), QStringLiteral("Pump Version"));
    EXPECT_EQ(Text(dlg, "autoSamplerVersionText"), QStringLiteral("AutoSampler Version"));
}

TEST_F(AboutBox, VersionTextsShowAsTheyAre) {
    m_fake->pumpVersion = u"<unknown>";
    m_fake->clientVersion = u"<b>3</b>";
    const CAboutDlg dlg;
    for (const char* name : {"clientVersionText", "pumpVersionText", "autoSamplerVersionText"}) {
        EXPECT_EQ(dlg.findChild<QLabel*>(QLatin1String(name))->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_EQ(Text(dlg, "pumpVersionText"), QStringLiteral("Pump Version <unknown>"));
}

TEST_F(AboutBox, NullVersionTextsShowAsEmpty) {
    m_fake->autoSamplerVersion = -1.0F;
    const CAboutDlg dlg;
    EXPECT_EQ(Text(dlg, "clientVersionText"), QStringLiteral("Orvix Client Version "));
    EXPECT_EQ(Text(dlg, "autoSamplerVersionText"), QStringLiteral("AutoSampler Version -1.00"));
}

} // namespace
