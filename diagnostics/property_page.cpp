#include "property_page.h"

#include "property_sheet.h"

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

void CPropertyPage::SetModified(bool modified) {
    m_modified = modified;
    if (m_sheet != nullptr) {
        m_sheet->PageChanged();
    }
}
