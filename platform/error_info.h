#pragma once

#include <string>

// A failing operation may leave a text for the user that says more than its result code (what
// ssh said when another computer's bus could not be reached). One per thread, as COM's error
// object; the next failure's text replaces it.
void SetErrorInfoText(std::string text);

// The text left on this thread, which is then cleared; empty when there is none.
std::string TakeErrorInfoText();
