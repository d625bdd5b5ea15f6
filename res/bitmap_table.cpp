#include "bitmap_table.h"

#include "ids_diagnostics.h"

#include <QString>

#include <array>

// The compiled-in resources of a static library are registered by name; outside any namespace
// as Qt requires.
static void InitBitmapResources() {
    Q_INIT_RESOURCE(bitmaps);
}

namespace {

struct BitmapEntry {
    int id;
    const char* path;
    QSize size;
};

const std::array<BitmapEntry, 4>& Bitmaps() {
    static const std::array kBitmaps{
        BitmapEntry{IDB_EVENT_ON, ":/bitmaps/event_on.svg", QSize(18, 24)},
        BitmapEntry{IDB_EVENT_OFF, ":/bitmaps/event_off.svg", QSize(18, 24)},
        BitmapEntry{IDB_SENSOR_CLEAR, ":/bitmaps/sensor_clear.svg", QSize(20, 20)},
        BitmapEntry{IDB_SENSOR_SET, ":/bitmaps/sensor_set.svg", QSize(20, 20)},
    };
    return kBitmaps;
}

const BitmapEntry* Find(int id) {
    for (const auto& entry : Bitmaps()) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QIcon LoadBitmapResource(int id) {
    static const bool initialised = (InitBitmapResources(), true);
    (void)initialised;
    const BitmapEntry* entry = Find(id);
    return entry == nullptr ? QIcon() : QIcon(QString::fromLatin1(entry->path));
}

QSize BitmapResourceSize(int id) {
    const BitmapEntry* entry = Find(id);
    return entry == nullptr ? QSize() : entry->size;
}
