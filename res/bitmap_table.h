#pragma once

#include <QIcon>
#include <QSize>

// The program's indicator images by resource id, drawn sharp at any screen scale; a null icon
// for an id it lacks.
QIcon LoadBitmapResource(int id);
// The size the image is drawn at, in device-independent pixels; empty for an id it lacks.
QSize BitmapResourceSize(int id);
