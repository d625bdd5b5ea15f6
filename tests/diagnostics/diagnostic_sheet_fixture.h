#pragma once

#include "control_id.h"
#include "diagnostic_sheets.h"
#include "fake_instrument_server.h"
#include "indicator.h"
#include "process_state.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

// A diagnostics sheet on a recording fake server, with the process-wide state reset around
// each test. Pages are reached as the user reaches them, by their tab.
class DiagnosticSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        fake = CFakeInstrumentServer::Create();
        g_pServer = fake;
    }
    void TearDown() override {
        sheet.reset();
        g_pServer = nullptr;
        fake->Release();
        ResetProcessState();
    }

    template <class Sheet = CDiagnosticSheet> CPropertySheet& OpenSheet() {
        sheet = std::make_unique<Sheet>(QStringLiteral("Diagnostics"));
        sheet->show();
        return *sheet;
    }

    // Brings the tab to the front, as a click on it does; answers its index.
    int ClickTab(const QString& caption) {
        QTabBar* tabs = sheet->TabBar();
        int index = 0;
        while (index < tabs->count() && tabs->tabText(index) != caption) {
            ++index;
        }
        EXPECT_LT(index, tabs->count()) << caption.toStdString();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        return index;
    }

    // Brings the tab to the front and makes its page the one whose controls the test reads.
    template <class Page> Page& ShowTab(const QString& caption) {
        page = sheet->GetPage(ClickTab(caption));
        return *static_cast<Page*>(page);
    }

    // Controls of the page last brought to the front, whether it still is or not.
    QWidget* Control(int id) const { return FindControl(page, id); }
    QString Text(int id) const { return qobject_cast<QLabel*>(Control(id))->text(); }
    int Image(int id) const { return qobject_cast<CIndicator*>(Control(id))->ImageId(); }
    void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }
    std::size_t Count(const std::string& operation) const {
        return fake->CallsTo(operation).size();
    }

    CFakeInstrumentServer* fake = nullptr;
    std::unique_ptr<CPropertySheet> sheet;
    CPropertyPage* page = nullptr;
};
