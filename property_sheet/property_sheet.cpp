#include "property_sheet.h"

#include "announcement.h"
#include "form_scroll_area.h"
#include "property_page.h"
#include "ui.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("Cancel");
const QString kApply = QStringLiteral("Apply");
const QString kBack = QStringLiteral("< Back");
const QString kNext = QStringLiteral("Next >");
const QString kFinish = QStringLiteral("Finish");

// A dialog unit is a quarter of the font's average character width across and an eighth of its
// height down, so templates grow with the font.
constexpr int kDialogUnitsPerCharWidth = 4;
constexpr int kDialogUnitsPerCharHeight = 8;
const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

} // namespace

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : QDialog(parent), m_selectPage(selectPage) {
    setWindowTitle(caption);
    setModal(true);
}

CPropertySheet::~CPropertySheet() {
    DestroyPageWindows();
    // Pages that outlive the sheet are not its to delete.
    for (CPropertyPage* page : std::as_const(m_pages)) {
        if (page != nullptr) {
            page->setParent(nullptr);
        }
    }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    page->Attach(this);
    connect(page, &CPropertyPage::modifiedChanged, this, &CPropertySheet::PageChanged);
    m_pages.append(page);
}

QSize CPropertySheet::PageAreaMinimumSize() const {
    if (m_pageTemplateSize.isEmpty()) {
        return {};
    }
    const QFontMetrics metrics = fontMetrics();
    const double charWidth =
        static_cast<double>(metrics.horizontalAdvance(kAlphabet)) / kAlphabet.size();
    return {qRound(m_pageTemplateSize.width() * charWidth / kDialogUnitsPerCharWidth),
            qRound(m_pageTemplateSize.height() * static_cast<double>(metrics.height()) /
                   kDialogUnitsPerCharHeight)};
}

void CPropertySheet::SetWizardMode() {
    m_wizard = true;
}

void CPropertySheet::Build() {
    if (m_built) {
        return;
    }
    m_built = true;
    auto* layout = new QVBoxLayout(this);
    m_stack = new QStackedWidget(this);
    if (!m_wizard) {
        m_tabs = new QTabBar(this);
        m_tabs->setObjectName(QStringLiteral("sheetTabs"));
        // At the sheet's own size every tab is in view; a narrower window scrolls the tabs.
        m_tabs->setUsesScrollButtons(true);
        m_tabs->setExpanding(false);
        for (CPropertyPage* page : std::as_const(m_pages)) {
            m_tabs->addTab(page->Caption());
        }
        layout->addWidget(m_tabs);
        // A click or a key changes the bar first; put it back when the page refuses.
        connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
            if (index >= 0 && index != m_active && !SetActivePage(index)) {
                const QSignalBlocker block(m_tabs);
                m_tabs->setCurrentIndex(m_active);
            }
        });
    }
    for (CPropertyPage* page : std::as_const(m_pages)) {
        m_stack->addWidget(page);
    }
    if (const QSize area = PageAreaMinimumSize(); area.isValid()) {
        m_stack->setMinimumSize(area);
    }
    // The pages scroll when the window system gives the sheet less room than they need; the
    // tabs and the buttons stay in view. The holder keeps the page area at the larger of the
    // template's size and the pages' own.
    auto* pageArea = new CFormScrollArea(this);
    auto* pageHolder = new QWidget(pageArea);
    pageHolder->setObjectName(QStringLiteral("pageHolder"));
    auto* holderLayout = new QVBoxLayout(pageHolder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    holderLayout->addWidget(m_stack);
    pageArea->SetContent(pageHolder);
    layout->addWidget(pageArea);
    m_buttons = new QDialogButtonBox(this);
    const auto add = [this](const QString& text, QDialogButtonBox::ButtonRole role,
                            void (CPropertySheet::*slot)()) {
        QPushButton* button = m_buttons->addButton(text, role);
        button->setObjectName(text);
        connect(button, &QPushButton::clicked, this, slot);
    };
    if (m_wizard) {
        add(kBack, QDialogButtonBox::ActionRole, &CPropertySheet::OnBack);
        add(kNext, QDialogButtonBox::ActionRole, &CPropertySheet::OnNext);
        add(kFinish, QDialogButtonBox::AcceptRole, &CPropertySheet::OnFinish);
        add(kCancel, QDialogButtonBox::RejectRole, &CPropertySheet::reject);
    } else {
        add(kOk, QDialogButtonBox::AcceptRole, &CPropertySheet::OnOk);
        add(kCancel, QDialogButtonBox::RejectRole, &CPropertySheet::reject);
        add(kApply, QDialogButtonBox::ApplyRole, &CPropertySheet::OnApply);
    }
    layout->addWidget(m_buttons);
    ApplyWizardButtons();
    PageChanged();
}

void CPropertySheet::PageChanged() {
    QPushButton* apply = Button(kApply);
    if (apply == nullptr) {
        return;
    }
    apply->setEnabled(std::any_of(m_pages.cbegin(), m_pages.cend(), [](CPropertyPage* page) {
        return page != nullptr && page->IsModified();
    }));
}

QPushButton* CPropertySheet::Button(const QString& name) const {
    if (m_buttons == nullptr) {
        return nullptr;
    }
    for (QAbstractButton* button : m_buttons->buttons()) {
        if (button->text() == name ||
            button->text().remove(u' ').remove(u'<').remove(u'>') == name) {
            return qobject_cast<QPushButton*>(button);
        }
    }
    return nullptr;
}

void CPropertySheet::PressButton(const QString& name) {
    if (QPushButton* button = Button(name); button != nullptr && button->isEnabled()) {
        button->click();
    }
}

void CPropertySheet::setVisible(bool visible) {
    // Controls added to a window already on show stay hidden until the event loop shows them:
    // built and activated in its show event, the sheet took the size of an empty window. Its
    // first page is activated here instead, still before it shows.
    if (visible) {
        Build();
        if (m_active < 0 && !m_pages.isEmpty()) {
            Activate(qBound(0, m_selectPage, static_cast<int>(m_pages.size()) - 1));
        }
    }
    QDialog::setVisible(visible);
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= m_pages.size()) {
        return false;
    }
    CPropertyPage* current = GetActivePage();
    if (current != nullptr && m_active != index &&
        (!current->OnValidate() || !current->OnKillActive())) {
        return false;
    }
    return Activate(index);
}

bool CPropertySheet::Activate(int index) {
    Build();
    CPropertyPage* page = m_pages[index];
    // A page destroyed by its owner can no longer be shown.
    if (page == nullptr) {
        return false;
    }
    const bool firstDisplay = !page->HasWindow();
    page->Create();
    m_active = index;
    // The page's activation step runs before it shows.
    page->OnSetActive();
    m_stack->setCurrentWidget(page);
    if (firstDisplay) {
        IntroduceAfresh(page);
    }
    if (m_tabs != nullptr) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    emit activePageChanged(index);
    return true;
}

void CPropertySheet::SetWizardButtons(unsigned flags) {
    QTimer::singleShot(0, this, [this, flags] {
        m_wizardButtons = flags;
        ApplyWizardButtons();
    });
}

void CPropertySheet::ApplyWizardButtons() {
    if (!m_wizard || m_buttons == nullptr) {
        return;
    }
    const bool finish = (m_wizardButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    Button(kBack)->setEnabled((m_wizardButtons & PSWIZB_BACK) != 0);
    Button(kBack)->setVisible(!finish || (m_wizardButtons & PSWIZB_BACK) != 0);
    Button(kNext)->setEnabled((m_wizardButtons & PSWIZB_NEXT) != 0);
    Button(kNext)->setVisible(!finish);
    Button(kFinish)->setVisible(finish);
    Button(kFinish)->setEnabled((m_wizardButtons & PSWIZB_FINISH) != 0);
}

bool CPropertySheet::ApplyPages() {
    // The page in front stays in front: its entries are checked, it is not left.
    if (CPropertyPage* current = GetActivePage(); current != nullptr && !current->OnValidate()) {
        return false;
    }
    for (CPropertyPage* page : std::as_const(m_pages)) {
        if (page != nullptr && page->HasWindow() && !page->OnApply()) {
            return false;
        }
    }
    // Everything is applied: nothing is left for Apply to do.
    for (CPropertyPage* page : std::as_const(m_pages)) {
        if (page != nullptr && page->IsModified()) {
            page->SetModified(false);
        }
    }
    return true;
}

void CPropertySheet::OnOk() {
    if (ApplyPages()) {
        accept();
    }
}

void CPropertySheet::OnApply() {
    ApplyPages();
}

void CPropertySheet::OnBack() {
    CPropertyPage* current = GetActivePage();
    if (m_active <= 0 || current == nullptr || current->OnWizardBack() != 0) {
        return;
    }
    SetActivePage(m_active - 1);
}

void CPropertySheet::OnNext() {
    CPropertyPage* current = GetActivePage();
    if (current == nullptr || m_active + 1 >= m_pages.size() || current->OnWizardNext() != 0) {
        return;
    }
    SetActivePage(m_active + 1);
}

void CPropertySheet::OnFinish() {
    if (CPropertyPage* current = GetActivePage(); current != nullptr && current->OnWizardFinish()) {
        accept();
    }
}

void CPropertySheet::reject() {
    QDialog::reject();
}

void CPropertySheet::done(int result) {
    QDialog::done(result);
    DestroyPageWindows();
}

void CPropertySheet::DestroyPageWindows() {
    for (CPropertyPage* page : std::as_const(m_pages)) {
        if (page != nullptr) {
            page->Destroy();
        }
    }
}

int CPropertySheet::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
