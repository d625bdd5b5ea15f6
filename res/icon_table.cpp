#include "icon_table.h"

#include "ids_app.h"

#include <QString>

#include <array>

// The compiled-in resources of a static library are registered by name; outside any namespace
// as Qt requires.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

struct IconEntry {
    int id;
    const char* baseName;
};

constexpr std::array kIcons{
    IconEntry{IDI_MAINFRAME, "orvix-client"},
};

constexpr std::array kSizes{16, 32, 48};

const IconEntry* Find(int id) {
    for (const auto& entry : kIcons) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QIcon LoadIconResource(int id) {
    static const bool initialised = (InitIconResources(), true);
    (void)initialised;
    const IconEntry* entry = Find(id);
    if (entry == nullptr) {
        return {};
    }
    QIcon icon;
    for (const int size : kSizes) {
        icon.addFile(
            QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(entry->baseName)).arg(size),
            QSize(size, size));
    }
    return icon;
}

bool HasIconResource(int id) {
    return Find(id) != nullptr;
}
