#pragma once

#include "page_autosampler.h"
#include "page_autosampler_sensors.h"
#include "page_autosampler_service.h"
#include "page_io.h"
#include "page_silk.h"
#include "page_usage.h"
#include "page_user_config.h"
#include "page_valves.h"
#include "property_sheet.h"

// Both sheets own all eight pages, constructed in this order; each adds the pages of its own.
class CDiagnosticPages {
protected:
    CPageAutoSamplerSensors m_pageAutoSamplerSensors;
    CPageAutoSampler m_pageAutoSampler;
    CPageAutoSamplerService m_pageAutoSamplerService;
    CPageSilk m_pageSilk;
    CPageUserConfig m_pageUserConfig;
    CPageValves m_pageValves;
    CPageUsage m_pageUsage;
    CPageIO m_pageIO;
};

// The service sheet: all eight pages, reached behind the access code.
class CDiagnosticSheet : public CPropertySheet, protected CDiagnosticPages {
    Q_OBJECT
public:
    CDiagnosticSheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    CPageUserConfig& ConfigurationPage() { return m_pageUserConfig; }
};

// The user sheet: the first three pages, with the configuration's service controls locked.
class CUserConfig : public CPropertySheet, protected CDiagnosticPages {
    Q_OBJECT
public:
    CUserConfig(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    CPageUserConfig& ConfigurationPage() { return m_pageUserConfig; }
};
