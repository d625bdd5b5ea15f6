#pragma once

#include "main_frame.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class COrvixClientDoc;

// How a document, its frame and its view are made: one place says which classes they are.
struct DocTemplateParts {
    std::function<COrvixClientDoc*()> createDocument;
    std::function<CMainFrame*()> createFrame;
    // The view, made for the document inside its frame; the frame takes it as its central
    // widget.
    std::function<QWidget*(COrvixClientDoc* document, CMainFrame* frame)> createView;
    // Optional: the view's first update, once the frame is made and before it shows.
    std::function<void(QWidget* view)> initialUpdate;
};

// A single-document template: at most one document at a time, with one frame and one view.
class CSingleDocTemplate {
public:
    CSingleDocTemplate(int resourceId, DocTemplateParts parts);
    // Closes the document and deletes every frame still around.
    ~CSingleDocTemplate();

    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

    // A new, empty document with its frame and view, shown when makeVisible. The caller gets
    // the document's first reference. While a document is open it is initialised anew and
    // handed out with one more reference. On failure the user is told, nothing is left behind
    // and the answer is null.
    COrvixClientDoc* OpenDocumentFile(bool makeVisible);

    void CloseAllDocuments();

    int ResourceId() const { return m_resourceId; }
    // A field of the document string: 0 window title, 1 document name, 2 new-file name,
    // 3 filter name, 4 filter extension, 5 registry type id, 6 registry type name.
    QString DocString(int index) const;

    COrvixClientDoc* Document() const { return m_pDocument; }
    CMainFrame* Frame() const { return m_frame; }
    QWidget* View() const { return m_view; }

    // Called by a closing document: its frame goes with it.
    void RemoveDocument(COrvixClientDoc* document);

private:
    void DisposeFrame(CMainFrame* frame);

    int m_resourceId;
    DocTemplateParts m_parts;
    COrvixClientDoc* m_pDocument = nullptr;
    QPointer<CMainFrame> m_frame;
    QPointer<QWidget> m_view;
    // Frames whose deletion waits for the event loop (a frame may close from its own handler).
    std::vector<QPointer<CMainFrame>> m_closedFrames;
};

// The framework's text when a new document cannot be made.
extern const char* const kFailedToCreateDocumentText;
