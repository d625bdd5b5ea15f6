#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageSilk;
}

class CPageSilk : public CPropertyPage {
    Q_OBJECT
public:
    CPageSilk();
    ~CPageSilk() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageSilk> m_ui;
};
