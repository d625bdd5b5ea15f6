#include "app_lock.h"

#include <utility>

namespace {

int g_locks = 0;
bool g_userControl = true;

AllObjectsReleasedHandler& ReleasedHandler() {
    static AllObjectsReleasedHandler handler;
    return handler;
}

} // namespace

void LockApp() {
    ++g_locks;
}

void UnlockApp() {
    if (g_locks == 0) {
        return;
    }
    --g_locks;
    if (g_locks == 0 && !g_userControl && ReleasedHandler()) {
        // The handler may replace itself; run a copy.
        const AllObjectsReleasedHandler handler = ReleasedHandler();
        handler();
    }
}

int AppLockCount() {
    return g_locks;
}

bool CanExitApp() {
    return g_locks == 0;
}

void SetUserControl(bool userControl) {
    g_userControl = userControl;
}

bool HasUserControl() {
    return g_userControl;
}

AllObjectsReleasedHandler SetAllObjectsReleasedHandler(AllObjectsReleasedHandler handler) {
    return std::exchange(ReleasedHandler(), std::move(handler));
}
