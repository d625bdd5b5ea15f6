#pragma once

#include <functional>

// SIGTERM, SIGINT and SIGHUP end the program the way closing its window does, from the event
// loop rather than from inside the signal handler. Call once, after the application object
// exists.
void HandleTerminationSignals(std::function<void()> onSignal);
