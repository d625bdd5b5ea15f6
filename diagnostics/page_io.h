#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageIO;
}

class CPageIO : public CPropertyPage {
    Q_OBJECT
public:
    CPageIO();
    ~CPageIO() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageIO> m_ui;
};
