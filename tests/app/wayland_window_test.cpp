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

#include <algorithm>

namespace {

constexpr int kExposeDeadlineMs = 10000;

// At least the form's size, with no scroll bar showing.
bool Whole(const QWidget* view) {
    if (view->width() < view->sizeHint().width() || view->height() < view->sizeHint().height()) {
        return false;
    }
    const QList<QScrollArea*> areas = view->findChildren<QScrollArea*>();
    return std::none_of(areas.begin(), areas.end(), [](const QScrollArea* area) {
        return area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible();
    });
}

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
        // The first reading brings a long status, wider than the empty form. Its size reaches
        // the window a layout level per posted event.
        const int emptyWidth = view->sizeHint().width();
        fake->statusMessage = "Initializing: homing valves and syringes";
        view->OnTimer();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->sizeHint().width() > emptyWidth; },
                                    kExposeDeadlineMs));
        EXPECT_TRUE(QTest::qWaitFor([view] { return Whole(view); }, kExposeDeadlineMs))
            << "the form's " << view->sizeHint().width() << " x " << view->sizeHint().height()
            << " in " << view->width() << " x " << view->height();

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
