#pragma once

// A window or object that handles menu, toolbar and accelerator commands by their ids. The frame
// asks its targets in order (the view first, then the application) and the first that has the
// command handles it; a command nobody has is shown disabled.
class ICommandTarget {
public:
    virtual bool HasCommand(int commandId) const = 0;
    virtual void OnCommand(int commandId) = 0;

protected:
    ~ICommandTarget() = default;
};
