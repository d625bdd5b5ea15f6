#pragma once

#include <functional>

// The application's lock count: every automation object that exists (each document) holds one
// lock, and an application that the user does not control ends when the last lock goes. A
// process started for automation runs without user control; a normal start gives the user
// control, and closing the main window ends the application whatever the count.
void LockApp();
void UnlockApp();
int AppLockCount();
bool CanExitApp();

void SetUserControl(bool userControl);
bool HasUserControl();

// Runs when the last lock goes while the user does not control the application. Returns the
// previous handler.
using AllObjectsReleasedHandler = std::function<void()>;
AllObjectsReleasedHandler SetAllObjectsReleasedHandler(AllObjectsReleasedHandler handler);
