#include "silk_store.h"

#include "silk_file.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <random>
#include <utility>

CSilkStore::CSilkStore(NvState& nv, CErrorLog& errors, std::string folder,
                       std::function<void()> commit)
    : m_nv(nv), m_errors(errors), m_folder(std::move(folder)), m_commit(std::move(commit)) {}

void CSilkStore::OnMeasured(std::int32_t pumpMask) {
    SilkData& silk = m_nv.silk;
    std::mt19937 spread(static_cast<unsigned>(m_nv.usage.powerOnMs));
    std::normal_distribution<float> noise(0.0F, 1.0F);
    for (std::size_t syringe = 0; syringe < silk.size(); ++syringe) {
        if ((pumpMask & (1 << (syringe / 2))) == 0) {
            continue;
        }
        silk[syringe].nCompressionSteps = 800 + static_cast<std::int32_t>(syringe) * 6 +
                                          static_cast<std::int32_t>(noise(spread) * 4.0F);
        silk[syringe].fLeakRate = std::max(0.0F, 0.35F + 0.05F * noise(spread));
        silk[syringe].fCompliance = std::max(0.0F, 160.0F + 3.0F * noise(spread));
    }
    m_commit();
    if (m_nv.bSilkWriteToDisk) {
        if (auto failure = WriteFile()) {
            m_errors.Raise("Silk data not written: " + *failure);
        }
    }
}

std::optional<std::string> CSilkStore::WriteFile() {
    if (m_folder.empty() || !QDir().mkpath(QString::fromStdString(m_folder))) {
        return "no folder for Silk files at " + m_folder;
    }
    const std::string& serial = m_nv.configuration.serialNumber;
    std::string path;
    for (int n = 1;; ++n) {
        path = m_folder + "/silk-" + serial + "-" + std::to_string(n) + ".bin";
        if (!QFile::exists(QString::fromStdString(path))) {
            break;
        }
    }
    if (auto failure = WriteSilkFile(path, SilkFile{serial, m_nv.silk})) {
        return failure;
    }
    m_lastFile = path;
    return std::nullopt;
}

HRESULT CSilkStore::Upload() {
    if (auto failure = WriteFile()) {
        m_errors.Raise("Silk data not written: " + *failure);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CSilkStore::Download(const std::string& path) {
    std::string fault;
    const std::optional<SilkFile> file = ReadSilkFile(path, &fault);
    const std::string& serial = m_nv.configuration.serialNumber;
    if (file && file->serialNumber != serial) {
        fault = "it belongs to instrument " + file->serialNumber + ", this is " + serial;
    }
    if (!file || !fault.empty()) {
        m_errors.Raise("Silk file " + path + " refused: " + fault);
        return E_FAIL;
    }
    m_nv.silk = file->data;
    m_commit();
    return S_OK;
}

void CSilkStore::Reset() {
    m_nv.silk = SilkData{};
    m_commit();
}

void CSilkStore::SetWriteToDisk(bool on) {
    m_nv.bSilkWriteToDisk = on;
    m_commit();
}
