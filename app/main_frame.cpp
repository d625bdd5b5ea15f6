#include "main_frame.h"

#include "command_target.h"
#include "connection_status.h"
#include "form_scroll_area.h"
#include "frame_resources.h"
#include "icon_table.h"
#include "resource.h"
#include "string_table.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int kFrameEnlargement = 50;
constexpr QSize kToolbarButtonSize(16, 15);

// A command's string-table entry: the status-bar prompt, then after a newline its tooltip.
QString Prompt(int commandId) {
    return LoadString(commandId).section(u'\n', 0, 0);
}
QString Tooltip(int commandId) {
    return LoadString(commandId).section(u'\n', 1, 1);
}

void ScrollDockContent(QDockWidget* dock) {
    QWidget* content = dock->widget();
    if (content == nullptr || qobject_cast<CFormScrollArea*>(content) != nullptr) {
        return;
    }
    auto* area = new CFormScrollArea(dock);
    // The view comes first: where the window has room for the whole view, the docks share
    // what it leaves.
    area->AskForLeast();
    area->SetContent(content);
    dock->setWidget(area);
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    CreateMenus();
    CreateAccelerators();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::MakeAction(int commandId, const QString& text) {
    auto* action = new QAction(text.section(u'\t', 0, 0), this);
    action->setProperty("commandId", commandId);
    if (HasString(commandId)) {
        action->setStatusTip(Prompt(commandId));
    }
    connect(action, &QAction::triggered, this, [this, commandId] { OnCommand(commandId); });
    m_actions.insert(commandId, action);
    return action;
}

void CMainFrame::CreateMenus() {
    for (const MenuResource& resource : MainMenuResource()) {
        QMenu* menu = menuBar()->addMenu(resource.title);
        menu->setEnabled(resource.enabled);
        for (const MenuItemResource& item : resource.items) {
            if (item.commandId == ID_SEPARATOR) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(item.commandId, item.text);
            // The shortcut a menu shows is the accelerator table's; the menu only names it.
            const QString shown = item.text.section(u'\t', 1, 1);
            if (!shown.isEmpty()) {
                action->setShortcut(QKeySequence(shown));
                action->setShortcutContext(Qt::WidgetShortcut);
            }
            menu->addAction(action);
        }
    }
    for (QAction* toggle : Actions(ID_VIEW_TOOLBAR) + Actions(ID_VIEW_STATUS_BAR)) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }
}

void CMainFrame::CreateAccelerators() {
    for (const AcceleratorResource& accelerator : AcceleratorResourceTable()) {
        QAction* action = MakeAction(accelerator.commandId, QString());
        action->setShortcut(accelerator.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

bool CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setProperty("resourceId", IDR_TOOLBAR);
    m_toolBar->setIconSize(kToolbarButtonSize);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (const ToolbarButtonResource& button : ToolbarResource()) {
        if (button.commandId == ID_SEPARATOR) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = MakeAction(button.commandId, Tooltip(button.commandId));
        action->setIcon(QIcon(button.image));
        action->setToolTip(Tooltip(button.commandId));
        m_toolBar->addAction(action);
    }
    return !m_toolBar->actions().isEmpty();
}

bool CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    for (int id : StatusBarIndicators()) {
        auto* pane = new QLabel(bar);
        if (id == ID_SEPARATOR) {
            pane->setText(LoadString(AFX_IDS_IDLEMESSAGE));
            pane->setObjectName(QStringLiteral("messagePane"));
            bar->addWidget(pane, 1);
            // The first permanent pane, so it stays on show while a prompt replaces "Ready";
            // empty until the view's connection status is known.
            m_connectionPane = new QLabel(bar);
            m_connectionPane->setObjectName(QStringLiteral("connectionPane"));
            // It may say what ssh said, which a remote sshd's banner controls.
            m_connectionPane->setTextFormat(Qt::PlainText);
            m_connectionPane->setFrameShape(QFrame::Panel);
            m_connectionPane->setFrameShadow(QFrame::Sunken);
            m_connectionPane->hide();
            bar->addPermanentWidget(m_connectionPane);
            BindConnectionPane();
            continue;
        }
        pane->setText(LoadString(id));
        pane->setObjectName(LoadString(id).toLower() + QStringLiteral("Indicator"));
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setMinimumWidth(pane->sizeHint().width());
        // The lock states are not known until their keys are pressed.
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
        m_indicators.insert(id, pane);
    }
    return true;
}

bool CMainFrame::LoadFrame(int resourceId) {
    // The first field of the document string is the frame's title.
    setWindowTitle(LoadString(resourceId).section(u'\n', 0, 0));
    setWindowIcon(LoadIconResource(resourceId));
    return Create();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_onClose && !m_onClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool CMainFrame::Create() {
    if (!CreateToolBar() || !CreateStatusBar()) {
        return false;
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    for (QAction* toggle : Actions(ID_VIEW_TOOLBAR)) {
        connect(m_toolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
    }
    // The platform's default frame size, then taller: the view's first update shrinks it to fit.
    resize(screen()->availableGeometry().size() * 3 / 4);
    resize(width(), height() + 2 * kFrameEnlargement);
    move(0, 0);
    qApp->installEventFilter(this);
    UpdateCommandStates();
    return true;
}

void CMainFrame::SetConnectionStatus(CConnectionStatus* status) {
    m_connectionStatus = status;
    BindConnectionPane();
}

void CMainFrame::SetServerHost(const QString& host) {
    if (m_hostPane == nullptr) {
        m_hostPane = new QLabel(statusBar());
        m_hostPane->setObjectName(QStringLiteral("hostPane"));
        m_hostPane->setTextFormat(Qt::PlainText);
        m_hostPane->setFrameShape(QFrame::Panel);
        m_hostPane->setFrameShadow(QFrame::Sunken);
        // Right after the prompt pane, the one item that is not permanent: first of the panes.
        statusBar()->insertPermanentWidget(1, m_hostPane);
    }
    m_hostPane->setText(LoadString(IDS_SERVER_HOST).arg(host));
}

void CMainFrame::BindConnectionPane() {
    // The view, and so its connection status, may come before or after the bars.
    if (m_connectionPane == nullptr || m_connectionStatus == nullptr) {
        return;
    }
    m_connectionPane->setText(m_connectionStatus->Text());
    m_connectionPane->show();
    connect(
        m_connectionStatus, &CConnectionStatus::stateChanged, m_connectionPane,
        [pane = m_connectionPane, status = m_connectionStatus] { pane->setText(status->Text()); });
}

void CMainFrame::SetCommandTargets(QList<ICommandTarget*> targets) {
    m_targets = std::move(targets);
    UpdateCommandStates();
}

bool CMainFrame::FrameHandles(int commandId) const {
    return commandId == ID_APP_EXIT || commandId == ID_VIEW_TOOLBAR ||
           commandId == ID_VIEW_STATUS_BAR;
}

ICommandTarget* CMainFrame::TargetFor(int commandId) const {
    for (ICommandTarget* target : m_targets) {
        if (target != nullptr && target->HasCommand(commandId)) {
            return target;
        }
    }
    return nullptr;
}

void CMainFrame::UpdateCommandStates() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        it.value()->setEnabled(FrameHandles(it.key()) || TargetFor(it.key()) != nullptr);
    }
}

void CMainFrame::OnCommand(int commandId) {
    if (ICommandTarget* target = TargetFor(commandId)) {
        target->OnCommand(commandId);
        return;
    }
    switch (commandId) {
    case ID_APP_EXIT:
        close();
        break;
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisible());
        for (QAction* toggle : Actions(ID_VIEW_STATUS_BAR)) {
            toggle->setChecked(statusBar()->isVisible());
        }
        break;
    default:
        break;
    }
}

void CMainFrame::FitToView() {
    if (centralWidget() == nullptr) {
        return;
    }
    // Controls get their style's fonts and margins when polished, which before the first show
    // they are not yet: measured unpolished, the form asks for less than it will need.
    ensurePolished();
    for (CFormScrollArea* area : centralWidget()->findChildren<CFormScrollArea*>()) {
        area->SettleLayout();
    }
    centralWidget()->updateGeometry();
    resize(size().boundedTo(FormSizeOnScreen()).expandedTo(minimumSizeHint()));
    m_fittedSize = size();
}

QSize CMainFrame::FormSizeOnScreen() const {
    // The title bar and borders, whether a window manager or the toolkit draws them, lie around
    // the size set here.
    const QSize decorations = frameGeometry().size() - size();
    return sizeHint().boundedTo(screen()->availableGeometry().size() - decorations);
}

void CMainFrame::GrowToForm() {
    resize(size().expandedTo(FormSizeOnScreen()));
    m_fittedSize = size();
}

QList<QAction*> CMainFrame::Actions(int commandId) const {
    QList<QAction*> actions = m_actions.values(commandId);
    // Creation order: menu or accelerator first, toolbar last.
    std::reverse(actions.begin(), actions.end());
    return actions;
}

QAction* CMainFrame::Action(int commandId) const {
    const QList<QAction*> actions = Actions(commandId);
    return actions.isEmpty() ? nullptr : actions.constFirst();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest && size() == m_fittedSize) {
        const bool handled = QMainWindow::event(event);
        GrowToForm();
        return handled;
    }
    // A dock is polished before it first shows, with its content in place.
    if (event->type() == QEvent::ChildPolished) {
        if (auto* dock = qobject_cast<QDockWidget*>(static_cast<QChildEvent*>(event)->child())) {
            ScrollDockContent(dock);
        }
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int indicator = key->key() == Qt::Key_CapsLock     ? ID_INDICATOR_CAPS
                              : key->key() == Qt::Key_NumLock    ? ID_INDICATOR_NUM
                              : key->key() == Qt::Key_ScrollLock ? ID_INDICATOR_SCRL
                                                                 : 0;
        if (QLabel* pane = m_indicators.value(indicator); pane != nullptr && !key->isAutoRepeat()) {
            pane->setEnabled(!pane->isEnabled());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
