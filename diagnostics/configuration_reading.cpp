#include "configuration_reading.h"

#include "instrument_server.h"
#include "record_memory.h"
#include "resource.h"
#include "string_table.h"

std::optional<ConfigurationReading> ReadConfiguration() {
    InstrumentConfiguration* pConfiguration = nullptr;
    if (FAILED(g_pServer->GetInstrumentConfiguration(&pConfiguration)) ||
        pConfiguration == nullptr) {
        return std::nullopt;
    }
    ConfigurationReading reading;
    reading.record = *pConfiguration;
    reading.record.pszSerialNumber = nullptr;
    if (pConfiguration->pszSerialNumber != nullptr) {
        reading.serialNumber = QString::fromUtf8(pConfiguration->pszSerialNumber);
    }
    ReleaseInstrumentConfiguration(pConfiguration);
    return reading;
}

QString SampleLoopVolumeText(float volume) {
    return QString::asprintf(LoadString(IDS_CONFIG_SAMPLE_LOOP_FORMAT).toUtf8().constData(),
                             static_cast<double>(volume));
}

QString NeedleVolumeText(float volume) {
    return QString::asprintf(LoadString(IDS_CONFIG_NEEDLE_VOLUME_FORMAT).toUtf8().constData(),
                             static_cast<double>(volume));
}
