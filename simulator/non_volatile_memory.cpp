#include "non_volatile_memory.h"

#include "crc32.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* kFirstLine = "orvix-instrument-state 1";
// Large enough for any state this memory writes; a bigger file is not one of ours.
constexpr std::size_t kMaxFileSize = 64 * 1024;

std::string FloatText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

template <class T> bool ParseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseBool(const std::string& text, bool& value) {
    if (text != "0" && text != "1") {
        return false;
    }
    value = text == "1";
    return true;
}

// Every stored value with its key, for writing and reading alike.
template <class Visitor> void VisitFields(NvState& s, Visitor&& visit) {
    StoredConfiguration& c = s.configuration;
    visit("configuration.sampleLoopVolume", c.fSampleLoopVolume);
    visit("configuration.syringeSize", c.nSyringeSize);
    visit("configuration.reserved8", c.fReserved8);
    visit("configuration.serialNumber", c.serialNumber);
    visit("configuration.needleVolume", c.fNeedleVolume);
    visit("configuration.pumpCInstalled", c.bPumpCInstalled);
    visit("configuration.sampleTemp", c.bSampleTemp);
    visit("configuration.ternaryGradient", c.bTernaryGradient);
    visit("configuration.manualInjectValve", c.bManualInjectValve);
    visit("configuration.plateFeeder", c.bPlateFeeder);
    visit("configuration.reserved40", c.nReserved40);
    visit("configuration.reserved44", c.nReserved44);
    UsageCounters& u = s.usage;
    visit("usage.injectorValve", u.injectorValve);
    visit("usage.ventValve", u.ventValve);
    visit("usage.streamSelect", u.streamSelect);
    visit("usage.sampleSyringeValve", u.sampleSyringeValve);
    visit("usage.sampleSyringe", u.sampleSyringe);
    visit("usage.powerOnMs", u.powerOnMs);
    visit("usage.coolingOnMs", u.coolingOnMs);
    for (std::size_t i = 0; i < u.syringeValve.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        visit("usage.syringe" + n + ".valve", u.syringeValve[i]);
        visit("usage.syringe" + n + ".strokes", u.pistonStrokes[i]);
    }
    for (std::size_t i = 0; i < s.silk.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        visit("silk.syringe" + n + ".compressionSteps", s.silk[i].nCompressionSteps);
        visit("silk.syringe" + n + ".leakRate", s.silk[i].fLeakRate);
        visit("silk.syringe" + n + ".compliance", s.silk[i].fCompliance);
    }
    visit("silk.writeToDisk", s.bSilkWriteToDisk);
}

std::string ValueText(const std::string& value) {
    return value;
}
std::string ValueText(bool value) {
    return value ? "1" : "0";
}
std::string ValueText(float value) {
    return FloatText(value);
}
template <class T> std::string ValueText(T value) {
    return std::to_string(value);
}

bool ParseValue(const std::string& text, std::string& value) {
    value = text;
    return true;
}
bool ParseValue(const std::string& text, bool& value) {
    return ParseBool(text, value);
}
template <class T> bool ParseValue(const std::string& text, T& value) {
    return ParseNumber(text, value);
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

CNonVolatileMemory::CNonVolatileMemory(std::string path) : m_path(std::move(path)) {}

std::string CNonVolatileMemory::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return (base + QStringLiteral("/orvix/instrument-server.state")).toStdString();
}

std::string CNonVolatileMemory::Serialize(const NvState& state) {
    NvState copy = state;
    std::string body = std::string(kFirstLine) + "\n";
    VisitFields(copy, [&](const std::string& key, auto& value) {
        body += key + "=" + ValueText(value) + "\n";
    });
    char crc[32];
    std::snprintf(crc, sizeof crc, "crc32=%08X\n", Crc32(body));
    return body + crc;
}

std::optional<NvState> CNonVolatileMemory::Parse(const std::string& text, std::string* pFault) {
    auto fail = [&](const std::string& fault) {
        if (pFault != nullptr) {
            *pFault = fault;
        }
        return std::nullopt;
    };
    const std::size_t crcAt = text.rfind("crc32=");
    if (crcAt == std::string::npos || (crcAt > 0 && text[crcAt - 1] != '\n')) {
        return fail("no checksum line");
    }
    unsigned stored = 0;
    std::string crcText = text.substr(crcAt + 6);
    if (!crcText.empty() && crcText.back() == '\n') {
        crcText.pop_back();
    }
    if (crcText.size() != 8 || std::sscanf(crcText.c_str(), "%8X", &stored) != 1) {
        return fail("unreadable checksum line");
    }
    const std::string body = text.substr(0, crcAt);
    if (Crc32(body) != stored) {
        return fail("checksum mismatch");
    }
    std::istringstream lines(body);
    std::string line;
    if (!std::getline(lines, line) || line != kFirstLine) {
        return fail("not a state file of this server");
    }
    std::map<std::string, std::string> values;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            return fail("line without a value: " + line);
        }
        values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    NvState state;
    std::string fault;
    VisitFields(state, [&](const std::string& key, auto& value) {
        const auto found = values.find(key);
        if (fault.empty() && (found == values.end() || !ParseValue(found->second, value))) {
            fault = "missing or bad value for " + key;
        }
    });
    if (!fault.empty()) {
        return fail(fault);
    }
    return state;
}

std::optional<std::string> CNonVolatileMemory::Load() {
    m_state = NvState();
    m_committed = m_state;
    if (m_path.empty()) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(m_path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT ? std::nullopt
                               : std::optional<std::string>(m_path + ": " + std::strerror(errno));
    }
    std::string text;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() <= kMaxFileSize) {
        text.append(buffer, n);
    }
    std::fclose(file);
    std::string fault;
    std::optional<NvState> state = text.size() > kMaxFileSize ? std::nullopt : Parse(text, &fault);
    if (!state) {
        return "state file " + m_path + " is damaged (" +
               (fault.empty() ? std::string("too large") : fault) +
               "); the instrument starts from defaults";
    }
    m_state = *state;
    m_committed = m_state;
    return std::nullopt;
}

std::optional<std::string> CNonVolatileMemory::Commit(bool force) {
    if (!Dirty() && !force) {
        return std::nullopt;
    }
    if (m_path.empty()) {
        m_committed = m_state;
        return std::nullopt;
    }
    const QString folder = QFileInfo(QString::fromStdString(m_path)).absolutePath();
    if (!QDir().mkpath(folder)) {
        return "cannot create " + folder.toStdString();
    }
    const std::string temporary = m_path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return temporary + ": " + std::strerror(errno);
    }
    const bool written = WriteAll(fd, Serialize(m_state)) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    ::close(fd);
    if (!written) {
        ::unlink(temporary.c_str());
        return temporary + ": " + std::strerror(writeErrno);
    }
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        const int renameErrno = errno;
        ::unlink(temporary.c_str());
        return m_path + ": " + std::strerror(renameErrno);
    }
    // The rename itself is only durable once the folder is on the disk.
    const int dir = ::open(folder.toStdString().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    m_committed = m_state;
    return std::nullopt;
}
