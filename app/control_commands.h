#pragma once

#include "command_target.h"

// The application's handlers of the Control and Help commands. Each dialog or sheet is a local
// object of its handler, so every opening starts from the dialog's own defaults.
class CControlCommands final : public ICommandTarget {
public:
    bool HasCommand(int commandId) const override;
    void OnCommand(int commandId) override;

    void OnAppAbout();
    void OnResetCommunications();
    void OnChangeFlow();
    void OnDryPrime();
    void OnWetPrime();
    void OnUserDiagnostics();
    void OnServiceDiagnostics();
};
