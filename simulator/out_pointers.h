#pragma once

// Whether every out-pointer a caller passed is there to be written.
template <class... P> bool AllSet(P*... pointers) {
    return ((pointers != nullptr) && ...);
}
