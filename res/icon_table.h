#pragma once

#include <QIcon>

// The program's icons by resource id (16, 32 and 48 pixel images); a null icon for an id it
// lacks.
QIcon LoadIconResource(int id);
bool HasIconResource(int id);
