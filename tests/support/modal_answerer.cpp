#include "modal_answerer.h"

#include <QApplication>
#include <QDialog>

ModalAnswerer::ModalAnswerer(std::vector<Step> steps) : m_steps(std::move(steps)) {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
    m_timer.start(5);
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == m_last || Finished()) {
        return;
    }
    m_last = modal;
    m_seen << modal->windowTitle();
    // A step may open a nested modal loop; the next window is found by a later poll.
    const Step step = m_steps[m_next++];
    step(modal);
}

void ModalAnswerer::Reject(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    }
}

void ModalAnswerer::Accept(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->accept();
    }
}
