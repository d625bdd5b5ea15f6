#include "service_history.h"

#include "ids_report.h"
#include "string_table.h"

namespace {

// A state flapping between two or three states, each with its error, repeats in a cycle this
// long at most.
constexpr std::size_t kLongestCycle = 4;

bool SameButTime(const ServiceHistoryEntry& a, const ServiceHistoryEntry& b) {
    return a.text == b.text && a.kind == b.kind && a.serial == b.serial && a.user == b.user &&
           a.host == b.host;
}

// How often the cycle of length entries from first repeats in a row, itself included.
std::size_t Repeats(const std::vector<ServiceHistoryEntry>& entries, std::size_t first,
                    std::size_t length) {
    std::size_t repeats = 1;
    while (first + (repeats + 1) * length <= entries.size()) {
        const std::size_t next = first + repeats * length;
        for (std::size_t i = 0; i < length; ++i) {
            if (!SameButTime(entries[first + i], entries[next + i])) {
                return repeats;
            }
        }
        ++repeats;
    }
    return repeats;
}

} // namespace

std::vector<ServiceHistoryEntry> CondensedHistory(const std::vector<ServiceHistoryEntry>& entries) {
    std::vector<ServiceHistoryEntry> condensed;
    const QString repeated = LoadString(IDS_REPORT_REPEATED);
    std::size_t first = 0;
    while (first < entries.size()) {
        std::size_t length = 1;
        std::size_t repeats = 1;
        for (std::size_t cycle = 1; cycle <= kLongestCycle && repeats == 1; ++cycle) {
            length = cycle;
            repeats = Repeats(entries, first, cycle);
        }
        if (repeats == 1) {
            length = 1;
        }
        for (std::size_t i = first; i < first + length; ++i) {
            condensed.push_back(entries[i]);
            if (repeats > 1) {
                condensed.back().text = repeated.arg(entries[i].text).arg(repeats);
            }
        }
        first += length * repeats;
    }
    return condensed;
}
