#include "real_field.h"

#include "resource.h"
#include "string_table.h"
#include "ui.h"

#include <QLineEdit>
#include <QLocale>

#include <cfloat>
#include <cmath>

namespace {

// Blanks around the number are allowed; anything else, or a value a float cannot hold, is not
// a number. The decimal point is '.', whatever the user's locale.
std::optional<float> ParseReal(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

// As many digits as a float holds, without trailing zeros.
QString BoundText(float bound) {
    return QString::number(static_cast<double>(bound), 'g', FLT_DIG);
}

void Refuse(QLineEdit* edit, const QString& message) {
    AppMessageBox(message, MB_OK);
    edit->setFocus();
    edit->selectAll();
}

} // namespace

std::optional<float> ReadRealField(QLineEdit* edit, float minimum, float maximum) {
    const std::optional<float> value = ParseReal(edit->text());
    if (!value) {
        Refuse(edit, LoadString(IDP_PARSE_REAL));
        return std::nullopt;
    }
    if (*value < minimum || *value > maximum) {
        Refuse(edit, LoadString(IDP_PARSE_REAL_RANGE).arg(BoundText(minimum), BoundText(maximum)));
        return std::nullopt;
    }
    return value;
}
