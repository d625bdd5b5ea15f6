#pragma once

#include "command_target.h"

#include <QPointer>
#include <QWidget>

// The application's handlers of the Control and Help commands. Each dialog or sheet is a local
// object of its handler, so every opening starts from the dialog's own defaults.
class CControlCommands final : public ICommandTarget {
public:
    // The window the dialogs belong to: the window system keeps them over it and with it.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    bool HasCommand(int commandId) const override;
    void OnCommand(int commandId) override;

    void OnAppAbout();
    void OnResetCommunications();
    void OnChangeFlow();
    void OnDryPrime();
    void OnWetPrime();
    void OnUserDiagnostics();
    void OnServiceDiagnostics();

private:
    QPointer<QWidget> m_owner;
};
