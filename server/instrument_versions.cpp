#include "instrument_versions.h"

#include "bstr.h"
#include "instrument_server.h"

std::optional<InstrumentVersions> ReadInstrumentVersions() {
    InstrumentVersions versions;
    BSTR pumpVersion = nullptr;
    BSTR clientVersion = nullptr;
    if (FAILED(g_pServer->GetVersions(&versions.autoSampler, &pumpVersion, &clientVersion))) {
        return std::nullopt;
    }
    versions.pump = QStringFromBstr(pumpVersion);
    versions.client = QStringFromBstr(clientVersion);
    SysFreeString(clientVersion);
    SysFreeString(pumpVersion);
    return versions;
}

QString AutoSamplerVersionText(float version) {
    return QString::asprintf("%.2f", static_cast<double>(version));
}
