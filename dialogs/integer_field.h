#pragma once

#include <cstdint>
#include <optional>

class QLineEdit;

// The whole number in an edit. A text that is not one is refused with "Please enter an
// integer.", and the edit gets the focus with its whole text selected so the operator can type
// over it.
std::optional<std::int32_t> ReadIntegerField(QLineEdit* edit);
