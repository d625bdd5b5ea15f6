#pragma once

#include <QDialog>

// A dialog that its opener runs modally and that ends with the codes the openers know: IDOK,
// IDCANCEL, or a code of the dialog's own. Esc and the close box end it as Cancel does, and
// Enter reaches the default button even when the template keeps that button hidden. Its
// template scrolls when the window system gives the dialog less room than the template needs.
class CModalDialog : public QDialog {
    Q_OBJECT
public:
    explicit CModalDialog(QWidget* parent = nullptr);

    int DoModal();

    void accept() override;
    void reject() override;
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_scrolls = false;
};
