#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDlg;
}

// The About box: the client, pump and autosampler versions that the instrument server reports.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    int DoModal();

private:
    void OnInitDialog();

    std::unique_ptr<Ui::AboutDlg> m_ui;
};
