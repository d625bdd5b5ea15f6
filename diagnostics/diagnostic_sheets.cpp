#include "diagnostic_sheets.h"

#include "ids_diagnostics.h"

CDiagnosticSheet::CDiagnosticSheet(const QString& caption, QWidget* parent, int selectPage)
    : CPropertySheet(caption, parent, selectPage) {
    SetPageTemplateSize(kDiagnosticPageTemplateSize);
    AddPage(&m_pageAutoSampler);
    AddPage(&m_pageUserConfig);
    AddPage(&m_pageIO);
    AddPage(&m_pageSilk);
    AddPage(&m_pageValves);
    AddPage(&m_pageAutoSamplerService);
    AddPage(&m_pageAutoSamplerSensors);
    AddPage(&m_pageUsage);
}

CUserConfig::CUserConfig(const QString& caption, QWidget* parent, int selectPage)
    : CPropertySheet(caption, parent, selectPage) {
    SetPageTemplateSize(kDiagnosticPageTemplateSize);
    AddPage(&m_pageAutoSampler);
    AddPage(&m_pageUserConfig);
    AddPage(&m_pageIO);
    m_pageUserConfig.SetFullAccess(false);
}
