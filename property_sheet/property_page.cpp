#include "property_page.h"

#include <QTimerEvent>

CPropertyPage::CPropertyPage(int templateId) : m_templateId(templateId) {}

void CPropertyPage::Create() {
    if (m_created) {
        return;
    }
    m_created = true;
    OnInitDialog();
}

void CPropertyPage::Destroy() {
    if (!m_created) {
        return;
    }
    OnDestroy();
    StopTimer();
    m_created = false;
}

void CPropertyPage::StartTimer(int periodMs) {
    if (m_nTimer == 0) {
        m_nTimer = startTimer(periodMs);
    }
}

void CPropertyPage::StopTimer() {
    if (m_nTimer != 0) {
        killTimer(m_nTimer);
        m_nTimer = 0;
    }
}

void CPropertyPage::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_nTimer) {
        OnTimer();
    }
    QWidget::timerEvent(event);
}

void CPropertyPage::SetModified(bool modified) {
    m_modified = modified;
    emit modifiedChanged();
}
