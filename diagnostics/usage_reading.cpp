#include "usage_reading.h"

#include "instrument_server.h"
#include "resource.h"
#include "string_table.h"

UsageReading ReadUsage() {
    UsageReading reading;
    reading.syringeUsageRead = SUCCEEDED(
        g_pServer->GetSyringeUsage(UsageReading::kSyringes, reading.valveActuations.data(),
                                   UsageReading::kSyringes, reading.pistonStrokes.data()));
    auto& values = reading.autoSampler;
    values.fill(UsageReading::kUnreported);
    reading.autoSamplerUsageRead = SUCCEEDED(g_pServer->GetAutoSamplerUsage(
        &values[0], &values[1], &values[2], &values[3], &values[4], &values[5], &values[6]));
    // A failed read shows every value as not reported, whatever the call left in them.
    if (!reading.autoSamplerUsageRead) {
        values.fill(UsageReading::kUnreported);
    }
    return reading;
}

QString AutoSamplerUsageText(std::size_t index, std::int32_t value) {
    const int format =
        index < UsageReading::kPowerOnHours ? IDS_USAGE_COUNT_FORMAT : IDS_USAGE_HOURS_FORMAT;
    return QString::asprintf(LoadString(format).toUtf8().constData(), value);
}
