#pragma once

#include "control_id.h"
#include "fake_instrument_server.h"
#include "property_page.h"
#include "property_sheet.h"
#include "ui.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

// Drives one real page inside a sheet of its own against the recording server, keeping the
// texts of the message boxes it showed (each answered with OK).
class SinglePageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the page in a fresh sheet, as its first tab.
    CPropertySheet& Show(CPropertyPage& page);

    template <class W = QWidget> static W* Control(const QWidget* page, int id) {
        if (W* control = FindControl<W>(page, id)) {
            return control;
        }
        throw std::runtime_error("no control " + std::to_string(id));
    }
    static QString Text(const QWidget* page, int id) { return Control<QLabel>(page, id)->text(); }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    CFakeInstrumentServer* m_fake = nullptr;
    std::unique_ptr<CPropertySheet> m_sheet;
    std::vector<QString> m_messages;

private:
    MessageBoxHandler m_previousHandler;
};
