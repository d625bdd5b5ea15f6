#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// Answers the modal windows a command opens, one script step per window, in order: each step
// gets the window once it is the active modal one. Records the title of every window it saw.
class ModalAnswerer : public QObject {
public:
    using Step = std::function<void(QWidget* modal)>;

    explicit ModalAnswerer(std::vector<Step> steps);
    ~ModalAnswerer() override;

    const QStringList& Seen() const { return m_seen; }
    bool Finished() const { return m_next >= m_steps.size(); }

    // Steps that close the window as a user would.
    static void Reject(QWidget* modal);
    static void Accept(QWidget* modal);

private:
    void Poll();

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QPointer<QWidget> m_last;
    QStringList m_seen;
    QTimer m_timer;
};
