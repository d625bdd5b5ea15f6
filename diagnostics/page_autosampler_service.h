#pragma once

#include "hresult.h"
#include "property_page.h"

#include <cstdint>
#include <memory>

namespace Ui {
class PageAutoSamplerService;
}
struct IInstrumentServer;

// Direct movement commands for the autosampler's mechanics, and the row and column of the
// sample plate. Every activation asks which plate is loaded and lays out rows and columns for
// it; nothing is read back from the instrument.
class CPageAutoSamplerService : public CPropertyPage {
    Q_OBJECT
public:
    CPageAutoSamplerService();
    ~CPageAutoSamplerService() override;

    bool OnSetActive() override;

    // Index in the Plate Type dialog's list: 0 "48 Vial", 1 "96 Low", 2 "96 High", 3 "384 Low".
    std::int32_t PlateIndex() const { return m_nPlateIndex; }

private:
    void ConnectMove(int id, HRESULT (IInstrumentServer::*command)(std::int32_t),
                     std::int32_t argument);
    void FillPlateLists(std::int32_t plateIndex);
    void OnRowPicked(int index);
    void OnColumnPicked(int index);

    std::unique_ptr<Ui::PageAutoSamplerService> m_ui;
    // The plate in force: the Plate Type dialog keeps it when left without OK.
    std::int32_t m_nPlateIndex = 0;
};
