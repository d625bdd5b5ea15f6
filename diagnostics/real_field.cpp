#include "real_field.h"

#include "number_text.h"
#include "resource.h"
#include "string_table.h"
#include "ui.h"

#include <QLineEdit>

#include <cfloat>

namespace {

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
    const std::optional<float> value = ParseDecimalNumber(edit->text());
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
