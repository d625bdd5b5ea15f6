#pragma once

#include <QString>

// The program's string table: the text of a string id, or an empty text for an id it lacks.
QString LoadString(int id);
bool HasString(int id);
