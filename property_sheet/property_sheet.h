#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>

class CPropertyPage;
class QDialogButtonBox;
class QPushButton;
class QStackedWidget;
class QTabBar;

// Wizard buttons a page may ask for.
constexpr unsigned PSWIZB_BACK = 0x1;
constexpr unsigned PSWIZB_NEXT = 0x2;
constexpr unsigned PSWIZB_FINISH = 0x4;
constexpr unsigned PSWIZB_DISABLEDFINISH = 0x8;

// A modal tabbed sheet of pages, or in wizard mode a sequence of them. A page gets its window
// (and runs its initialisation) the first time it is shown; its activation step runs before it
// shows; it may refuse to be left; Apply and OK reach the pages whose window exists.
class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    CPropertySheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const { return m_pages.value(index).data(); }
    int GetActiveIndex() const { return m_active; }
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }

    // Makes another page the active one, as a tab click or Next would; false when the
    // current page refused to be left.
    bool SetActivePage(int index);

    // The size of the pages' dialog template, in dialog units: the page area is never smaller,
    // as a page shows its template's full area even before it has controls.
    void SetPageTemplateSize(QSize dialogUnits) { m_pageTemplateSize = dialogUnits; }
    QSize PageAreaMinimumSize() const;

    void SetWizardMode();
    bool IsWizard() const { return m_wizard; }
    // A page's request for wizard buttons takes effect after the handler that made it returns.
    void SetWizardButtons(unsigned flags);
    unsigned WizardButtons() const { return m_wizardButtons; }

    // A page's modified state changed: Apply is enabled while any page has changes.
    void PageChanged();

    // Runs the sheet modally; IDOK or IDCANCEL.
    int DoModal();

    QTabBar* TabBar() const { return m_tabs; }
    QPushButton* Button(const QString& name) const;

    // Presses a button as the user would: "OK", "Cancel", "Apply", "Back", "Next", "Finish".
    void PressButton(const QString& name);

signals:
    // A page became the one in front, after its activation step.
    void activePageChanged(int index);

public:
    // Builds the tabs, the page area and the buttons and activates the first page before the
    // sheet first shows, so that it takes the size they ask for.
    void setVisible(bool visible) override;

protected:
    void reject() override;
    void done(int result) override;

private:
    void Build();
    bool Activate(int index);
    void ApplyWizardButtons();
    bool ApplyPages();
    void OnOk();
    void OnApply();
    void OnBack();
    void OnNext();
    void OnFinish();
    void DestroyPageWindows();

    // Pages usually are members of the derived sheet and so go before this base does.
    QList<QPointer<CPropertyPage>> m_pages;
    int m_selectPage;
    int m_active = -1;
    bool m_wizard = false;
    bool m_built = false;
    unsigned m_wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
    QSize m_pageTemplateSize;
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
