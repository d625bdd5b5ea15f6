// Run by wayland_client_test.sh on a compositor that leaves windows their own size and draws no
// decorations of its own: the toolkit draws the title bar and borders around the content.
#include "control_commands.h"
#include "fake_instrument_server.h"
#include "instrument_proxy.h"
#include "main_frame.h"
#include "modal_answerer.h"
#include "orvix_client_view.h"
#include "process_state.h"
#include "resource.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

constexpr int kExposeDeadlineMs = 10000;

TEST(WaylandWindow, OpensWholeAndItsAboutBoxBelongsToIt) {
    ResetProcessState();
    CFakeInstrumentServer* fake = CFakeInstrumentServer::Create();
    g_pServer = fake;
    {
        CMainFrame frame;
        ASSERT_TRUE(frame.Create());
        auto* view = new COrvixClientView;
        frame.setCentralWidget(view);
        CControlCommands commands;
        commands.SetOwner(&frame);
        frame.SetCommandTargets({view, &commands});
        QObject::connect(view, &COrvixClientView::fitFrameRequested, &frame,
                         &CMainFrame::FitToView);
        view->OnInitialUpdate();
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame, kExposeDeadlineMs));
        // The first reading brings a long status, wider than the empty form.
        fake->statusMessage = "Initializing: homing valves and syringes";
        view->OnTimer();
        // The form's new size reaches the window a layout level per posted event.
        EXPECT_TRUE(QTest::qWaitFor(
            [view] { return view->width() >= view->sizeHint().width(); }, kExposeDeadlineMs));
        EXPECT_GE(view->height(), view->sizeHint().height());
        for (const QScrollArea* area : view->findChildren<QScrollArea*>()) {
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
            EXPECT_FALSE(area->verticalScrollBar()->isVisible());
        }

        const QWindow* parent = nullptr;
        ModalAnswerer answerer({[&parent](QWidget* about) {
            parent = about->windowHandle()->transientParent();
            ModalAnswerer::Reject(about);
        }});
        frame.OnCommand(ID_APP_ABOUT);
        EXPECT_TRUE(answerer.Finished());
        EXPECT_EQ(parent, frame.windowHandle());
    }
    g_pServer = nullptr;
    fake->Release();
    ResetProcessState();
}

} // namespace
