#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageValves;
}

class CPageValves : public CPropertyPage {
    Q_OBJECT
public:
    CPageValves();
    ~CPageValves() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageValves> m_ui;
};
