#pragma once

#include <QString>
#include <QWidget>

class QTimerEvent;

class CPropertySheet;

// One page of a property sheet. The page object exists from its sheet's construction; its
// window content is made by OnInitDialog the first time the page is shown, and OnDestroy runs
// when the sheet closes, for pages that got a window.
class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit CPropertyPage(int templateId);

    int TemplateId() const { return m_templateId; }
    // The tab label: the caption of the page's template.
    QString Caption() const { return windowTitle(); }
    bool HasWindow() const { return m_created; }
    CPropertySheet* Sheet() const { return m_sheet; }

    // Called by the sheet.
    void Attach(CPropertySheet* sheet) { m_sheet = sheet; }
    void Create();
    void Destroy();

    // A page with changes to apply says so; the sheet's Apply button is enabled while any
    // page has some.
    void SetModified(bool modified = true);
    bool IsModified() const { return m_modified; }

    // Steps a page may take; the defaults are the platform's.
    virtual bool OnInitDialog() { return true; }
    virtual bool OnSetActive() { return true; }
    // Checks the page's entries: before the page is left and before an apply. False keeps the
    // page in front (and the apply undone).
    virtual bool OnValidate() { return true; }
    // The page stops being the one in front; runs only after its entries passed OnValidate.
    virtual bool OnKillActive() { return true; }
    virtual bool OnApply() { return true; }
    virtual void OnDestroy() {}
    // Wizard steps: 0 moves on as usual, -1 stays on the page.
    virtual int OnWizardBack() { return 0; }
    virtual int OnWizardNext() { return 0; }
    virtual bool OnWizardFinish() { return true; }

    // The page's window timer: runs OnTimer every period from StartTimer until StopTimer or
    // the page's window goes.
    virtual void OnTimer() {}
    bool IsPolling() const { return m_nTimer != 0; }

signals:
    // SetModified ran; the sheet looks at its pages' changes again.
    void modifiedChanged();

protected:
    void StartTimer(int periodMs);
    void StopTimer();
    void timerEvent(QTimerEvent* event) override;

private:
    int m_templateId;
    bool m_created = false;
    bool m_modified = false;
    CPropertySheet* m_sheet = nullptr;
    int m_nTimer = 0;
};
