#include "single_page_fixture.h"

#include "instrument_server.h"
#include "process_state.h"
#include "resource.h"

void SinglePageTest::SetUp() {
    ResetProcessState();
    m_fake = CFakeInstrumentServer::Create();
    g_pServer = m_fake;
    m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        m_messages.push_back(request.text);
        return IDOK;
    });
}

void SinglePageTest::TearDown() {
    m_sheet.reset();
    SetMessageBoxHandler(m_previousHandler);
    g_pServer = nullptr;
    m_fake->Release();
    ResetProcessState();
}

CPropertySheet& SinglePageTest::Show(CPropertyPage& page) {
    m_sheet = std::make_unique<CPropertySheet>(QStringLiteral("Page"));
    // Not modal, so that only the windows a page opens answer to a ModalAnswerer.
    m_sheet->setModal(false);
    m_sheet->SetPageTemplateSize(kDiagnosticPageTemplateSize);
    m_sheet->AddPage(&page);
    m_sheet->show();
    return *m_sheet;
}
