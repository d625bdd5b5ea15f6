#include "main_template.h"

#include "ids_app.h"
#include "main_frame.h"
#include "orvix_client_doc.h"
#include "placeholder_view.h"

std::unique_ptr<CSingleDocTemplate> CreateMainDocTemplate() {
    DocTemplateParts parts;
    parts.createDocument = [] { return new COrvixClientDoc; };
    parts.createFrame = [] { return new CMainFrame; };
    parts.createView = [](COrvixClientDoc*, CMainFrame* frame) -> QWidget* {
        return new CPlaceholderView(frame);
    };
    return std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, std::move(parts));
}
