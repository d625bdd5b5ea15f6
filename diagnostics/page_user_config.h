#pragma once

#include "property_page.h"
#include "records.h"

#include <QByteArray>

#include <memory>

struct ConfigurationReading;

namespace Ui {
class PageUserConfig;
}

// The instrument configuration: read when the page is first shown, edited here and sent back
// when the sheet applies. Without full access only the syringe size and the two volumes can be
// changed.
class CPageUserConfig : public CPropertyPage {
    Q_OBJECT
public:
    CPageUserConfig();
    ~CPageUserConfig() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnValidate() override;
    bool OnApply() override;

    // Service-only controls are disabled without full access; the user sheet takes it away.
    void SetFullAccess(bool fullAccess) { m_fullAccess = fullAccess; }
    bool FullAccess() const { return m_fullAccess; }

    // Runs a fresh firmware upgrade wizard; how it ended changes nothing here.
    void OnUpgrade();

    static constexpr float kMinNeedleVolume = 0.0F;
    static constexpr float kMaxNeedleVolume = 200.0F;
    static constexpr float kMinSampleLoopVolume = 0.01F;
    static constexpr float kMaxSampleLoopVolume = 1000.0F;

private:
    void ShowConfiguration(const ConfigurationReading& reading);
    // Reads both volumes into the members; false when one was refused.
    bool ReadVolumes();
    void OnPumpCClicked();
    void OnTernaryClicked();
    void OnPostColumnClicked();
    void FillConfiguration();

    std::unique_ptr<Ui::PageUserConfig> m_ui;
    float m_fNeedleVolume = 1.0F;
    float m_fSampleLoopVolume = 1.0F;
    InstrumentConfiguration m_configuration{};
    // The serial number is the instrument's own: the page never sends one.
    QByteArray m_serialNumberSent;
    bool m_fullAccess = true;
};
