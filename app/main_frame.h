#pragma once

#include <QMainWindow>

#include <functional>

// The single-document frame window. The menus, toolbar and status bar come with their own
// change; for now the frame holds the view and places itself.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();

    // Finishes the frame from its resource (title and icon of resourceId) once it holds its
    // view, and places it at the screen's top-left corner, 50 pixels taller at the top and at the
    // bottom than its contents ask for. False when the frame cannot be made.
    virtual bool LoadFrame(int resourceId);

    // Decides what closing the window does; without one the window just closes. The handler
    // answers whether the close goes ahead.
    using CloseHandler = std::function<bool()>;
    void SetCloseHandler(CloseHandler handler) { m_onClose = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CloseHandler m_onClose;
};
