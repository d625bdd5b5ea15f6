#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>

class CConnectionStatus;
class ICommandTarget;
class QLabel;
class QToolBar;

// The main window: menu bar, toolbar 133 and status bar around the status view. Menu, toolbar
// and accelerator commands go to the command targets in order, the view first.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Takes title and icon from the frame's resource, then creates the bars (Create). False
    // when the frame cannot be made.
    virtual bool LoadFrame(int resourceId);

    // Decides what closing the window does; without one the window just closes. The handler
    // answers whether the close goes ahead.
    using CloseHandler = std::function<bool()>;
    void SetCloseHandler(CloseHandler handler) { m_onClose = std::move(handler); }

    // Builds the toolbar and status bar, docks the toolbar and places the frame at the screen's
    // top-left corner, 50 pixels taller at top and bottom.
    bool Create();

    // The targets asked for each command, in order.
    void SetCommandTargets(QList<ICommandTarget*> targets);

    // Shows the instrument connection in a pane beside the idle prompt, kept up to date.
    void SetConnectionStatus(CConnectionStatus* status);
    QLabel* ConnectionPane() const { return m_connectionPane; }

    // Names the computer whose instrument this is, in a pane of its own before the connection,
    // so that nobody takes a remote instrument for the local one.
    void SetServerHost(const QString& host);
    QLabel* HostPane() const { return m_hostPane; }

    // Shrinks the frame, never grows it, to fit its central widget, with the whole window,
    // decorations included, on the screen. Until the window is resized otherwise it keeps that
    // natural size as the form grows (the instrument's first readings widen it).
    void FitToView();

    void OnCommand(int commandId);

    QToolBar* ToolBar() const { return m_toolBar; }
    // The menu's or accelerator's action for a command, else the toolbar's.
    QAction* Action(int commandId) const;
    QList<QAction*> Actions(int commandId) const;
    QLabel* Indicator(int indicatorId) const { return m_indicators.value(indicatorId); }

protected:
    // Every dock's content scrolls, as the view does, so that no dock holds the window larger
    // than the window system makes it.
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void CreateAccelerators();
    bool CreateToolBar();
    bool CreateStatusBar();
    QAction* MakeAction(int commandId, const QString& text);
    void UpdateCommandStates();
    void BindConnectionPane();
    ICommandTarget* TargetFor(int commandId) const;
    bool FrameHandles(int commandId) const;
    QSize FormSizeOnScreen() const;
    void GrowToForm();

    QList<ICommandTarget*> m_targets;
    QMultiHash<int, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    QHash<int, QLabel*> m_indicators;
    QLabel* m_connectionPane = nullptr;
    QLabel* m_hostPane = nullptr;
    CConnectionStatus* m_connectionStatus = nullptr;
    CloseHandler m_onClose;
    // The size the last fit gave; any other means the window was sized by someone else.
    QSize m_fittedSize;
};
