#include "doc_template.h"

#include "main_frame.h"
#include "orvix_client_doc.h"
#include "string_table.h"
#include "ui.h"

#include <QWidget>

const char* const kFailedToCreateDocumentText = "Failed to create empty document.";

CSingleDocTemplate::CSingleDocTemplate(int resourceId, DocTemplateParts parts)
    : m_resourceId(resourceId), m_parts(std::move(parts)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    CloseAllDocuments();
    for (const QPointer<CMainFrame>& frame : m_closedFrames) {
        delete frame.data();
    }
}

QString CSingleDocTemplate::DocString(int index) const {
    return LoadString(m_resourceId).section(QLatin1Char('\n'), index, index);
}

COrvixClientDoc* CSingleDocTemplate::OpenDocumentFile(bool makeVisible) {
    if (m_pDocument != nullptr) {
        if (!m_pDocument->OnNewDocument()) {
            return nullptr;
        }
        m_pDocument->AddRef();
        return m_pDocument;
    }

    auto fail = [](COrvixClientDoc* document) -> COrvixClientDoc* {
        AppMessageBox(QString::fromLatin1(kFailedToCreateDocumentText));
        if (document != nullptr) {
            document->OnCloseDocument();
        }
        return nullptr;
    };

    COrvixClientDoc* document = m_parts.createDocument ? m_parts.createDocument() : nullptr;
    if (document == nullptr) {
        return fail(nullptr);
    }
    document->SetCloseHandler([this](COrvixClientDoc* closing) { RemoveDocument(closing); });
    m_pDocument = document;

    CMainFrame* frame = m_parts.createFrame ? m_parts.createFrame() : nullptr;
    if (frame == nullptr) {
        return fail(document);
    }
    m_frame = frame;
    QWidget* view = m_parts.createView ? m_parts.createView(document, frame) : nullptr;
    if (view == nullptr) {
        return fail(document);
    }
    m_view = view;
    frame->setCentralWidget(view);
    if (!frame->LoadFrame(m_resourceId)) {
        return fail(document);
    }

    if (!document->OnNewDocument()) {
        return fail(document);
    }
    if (m_parts.initialUpdate) {
        m_parts.initialUpdate(view);
    }
    if (makeVisible) {
        frame->show();
    }
    return document;
}

void CSingleDocTemplate::CloseAllDocuments() {
    if (m_pDocument != nullptr) {
        m_pDocument->OnCloseDocument();
    }
}

void CSingleDocTemplate::RemoveDocument(COrvixClientDoc* document) {
    if (document != m_pDocument) {
        return;
    }
    m_pDocument = nullptr;
    m_view = nullptr;
    if (CMainFrame* frame = m_frame.data()) {
        m_frame = nullptr;
        DisposeFrame(frame);
    }
}

void CSingleDocTemplate::DisposeFrame(CMainFrame* frame) {
    frame->hide();
    frame->deleteLater();
    m_closedFrames.emplace_back(frame);
}
