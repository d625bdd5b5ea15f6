#include "integer_field.h"

#include "number_text.h"
#include "resource.h"
#include "string_table.h"
#include "ui.h"

#include <QLineEdit>

std::optional<std::int32_t> ReadIntegerField(QLineEdit* edit) {
    const std::optional<std::int32_t> value = ParseWholeNumber(edit->text());
    if (!value) {
        AppMessageBox(LoadString(IDP_PARSE_INT), MB_OK);
        edit->setFocus();
        edit->selectAll();
    }
    return value;
}
