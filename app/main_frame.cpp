#include "main_frame.h"

#include "icon_table.h"
#include "string_table.h"

#include <QCloseEvent>

CMainFrame::CMainFrame() {
    setObjectName(QStringLiteral("mainFrame"));
}

bool CMainFrame::LoadFrame(int resourceId) {
    // The first field of the document string is the frame's title.
    setWindowTitle(LoadString(resourceId).section(QLatin1Char('\n'), 0, 0));
    setWindowIcon(LoadIconResource(resourceId));
    resize(sizeHint() + QSize(0, 100));
    move(0, 0);
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_onClose && !m_onClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
