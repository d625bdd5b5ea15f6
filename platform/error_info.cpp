#include "error_info.h"

#include <utility>

namespace {

thread_local std::string t_errorText;

} // namespace

void SetErrorInfoText(std::string text) {
    t_errorText = std::move(text);
}

std::string TakeErrorInfoText() {
    return std::exchange(t_errorText, {});
}
