#pragma once

#include "control_id.h"
#include "fake_instrument_server.h"
#include "orvix_client_view.h"
#include "process_state.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

// A status view on a recording fake server, with the process-wide state reset around each test.
class StatusViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        m_previousServer = g_pServer;
        fake = CFakeInstrumentServer::Create();
        g_pServer = fake;
    }

    void TearDown() override {
        view.reset();
        g_pServer = m_previousServer;
        fake->Release();
        ResetProcessState();
    }

    // The view as the frame sets it up: built, then its one-time set-up run.
    COrvixClientView& OpenView() {
        view = std::make_unique<COrvixClientView>();
        view->OnInitialUpdate();
        return *view;
    }

    QLabel* Label(int id) const { return FindControl<QLabel>(view.get(), id); }
    QString Text(int id) const { return Label(id)->text(); }
    bool Hidden(int id) const { return FindControl(view.get(), id)->isHidden(); }

    CFakeInstrumentServer* fake = nullptr;
    std::unique_ptr<COrvixClientView> view;

private:
    IInstrumentServer* m_previousServer = nullptr;
};
