#pragma once

// When ORVIX_AUTOANSWER_MESSAGES is set (to anything but 0), every message box is answered at
// once without showing, and printed to standard error as "caption|text" on one line; an OK box
// answers OK, a question answers its first button. For scripted runs and end-to-end tests.
// Returns whether it took over.
bool InstallMessageAutoAnswerFromEnvironment();
