#include "property_page.h"

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
    m_created = false;
}
