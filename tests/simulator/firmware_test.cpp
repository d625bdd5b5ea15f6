#include "direct_simulator_fixture.h"

#include "sim_refusals.h"
#include "srecord.h"
#include "state_text.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>

namespace {

TEST(SRecord, AcceptsSoundRecordsAndNamesEachFault) {
    EXPECT_FALSE(CheckSRecord("S1130000285F245F2212226A000424290008237C2A"));
    EXPECT_FALSE(CheckSRecord("S1130000285F245F2212226A000424290008237C2A\r"));
    EXPECT_FALSE(CheckSRecord("S9030000FC"));
    EXPECT_FALSE(CheckSRecord("S5030003F9"));
    EXPECT_EQ(*CheckSRecord("S1130000285F245F2212226A000424290008237C2B"),
              "checksum mismatch (expected 0x2A, found 0x2B)");
    EXPECT_EQ(*CheckSRecord("S1130000285F245F2212226A00042429000823GC2A"),
              "bad hex digit 'G' at column 39");
    EXPECT_EQ(*CheckSRecord("S1140000285F245F2212226A000424290008237C2A"),
              "length field says 20 bytes, the record holds 19");
    EXPECT_EQ(*CheckSRecord("X1130000"), "the line does not start with 'S'");
    EXPECT_EQ(*CheckSRecord("S4030000FC"), "reserved record type S4");
    EXPECT_EQ(*CheckSRecord("SX030000FC"), "unknown record type");
    EXPECT_EQ(*CheckSRecord("S1030000F"), "odd or missing hex digits");
    EXPECT_EQ(*CheckSRecord("S30300FC00"), "record too short for its address");
}

TEST(SRecord, ValidatorChecksHowTheRecordsGoTogether) {
    CSRecordValidator counted;
    EXPECT_FALSE(counted.Feed("S00C000070756D7020342E30304F"));
    EXPECT_FALSE(counted.Feed("S1130000285F245F2212226A000424290008237C2A"));
    EXPECT_FALSE(counted.Feed(""));
    EXPECT_EQ(*counted.Feed("S5030002FA"), "record count says 2 data records, 1 came before it");
    EXPECT_EQ(counted.HeaderText(), "pump 4.00");

    CSRecordValidator terminated;
    EXPECT_FALSE(terminated.Feed("S1130000285F245F2212226A000424290008237C2A"));
    EXPECT_FALSE(terminated.Feed("S9030000FC"));
    EXPECT_EQ(*terminated.Feed("S1130000285F245F2212226A000424290008237C2A"),
              "record after the termination record");
    EXPECT_FALSE(terminated.Finish());

    EXPECT_EQ(*CSRecordValidator().Finish(), "the file holds no S-records");
    CSRecordValidator headerOnly;
    EXPECT_FALSE(headerOnly.Feed("S00C000070756D7020342E30304F"));
    EXPECT_EQ(*headerOnly.Finish(), "the file holds no data records");
}

// Firmware files as another tool makes them, and damaged copies of them.
class FirmwareDownload : public DirectSimulatorTest {
protected:
    void SetUp() override {
        DirectSimulatorTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
    }

    std::string Path(const char* name) const {
        return (m_folder.path() + u'/' + name).toStdString();
    }

    // An S-record image of `bytes` random bytes, as srec_cat writes it.
    std::string MakeImage(const char* name, int bytes) {
        const std::string binary = Path("image.bin");
        {
            std::ofstream out(binary, std::ios::binary);
            std::uint32_t x = 12345;
            for (int i = 0; i < bytes; ++i) {
                x = x * 1103515245U + 12345U;
                out.put(static_cast<char>(x >> 24U));
            }
        }
        const std::string path = Path(name);
        QProcess srecCat;
        srecCat.start(QStringLiteral("srec_cat"),
                      {QString::fromStdString(binary), QStringLiteral("-binary"),
                       QStringLiteral("-header"), QStringLiteral("pump 4.00"), QStringLiteral("-o"),
                       QString::fromStdString(path), QStringLiteral("-motorola"),
                       QStringLiteral("-execution-start-address=0")});
        EXPECT_TRUE(srecCat.waitForFinished(60'000));
        EXPECT_EQ(srecCat.exitCode(), 0) << srecCat.readAllStandardError().toStdString();
        return path;
    }

    static std::vector<std::string> Lines(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::string Write(const char* name, const std::vector<std::string>& lines,
                      bool lastLineEnd = true) {
        const std::string path = Path(name);
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out << lines[i];
            if (lastLineEnd || i + 1 < lines.size()) {
                out << '\n';
            }
        }
        return path;
    }

    void EnterLoader() {
        ASSERT_EQ(m_server->PrepareSoftwareUpgrade(), S_OK);
        EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE);
        Step(CFirmware::kRestartMs);
        EXPECT_EQ(m_server->IsInstrumentReady(), S_OK);
    }

    std::int32_t Progress() {
        std::int32_t lines = -1;
        EXPECT_EQ(m_server->GetDownloadProgress(&lines), S_OK);
        return lines;
    }

    // Downloads a file that must fail; the error it raised.
    std::string Refused(const std::string& path, std::int32_t expectedLines) {
        m_server->InitializeInstrument(4, 1);
        EnterLoader();
        m_server->DownloadSoftware(path.c_str());
        Step(60'000);
        EXPECT_EQ(Progress(), expectedLines);
        EXPECT_EQ(m_server->IsInstrumentReady(), S_OK) << "a refused file must not restart";
        EXPECT_TRUE(m_server->Instrument().Firmware().InLoader());
        return FirstError();
    }

    QTemporaryDir m_folder;
};

TEST_F(FirmwareDownload, ValidFileStreamsAtItsRateThenTheInstrumentRestarts) {
    const std::string path = MakeImage("pump.s19", 4'000);
    const auto lineCount = static_cast<std::int32_t>(Lines(path).size());
    ASSERT_GT(lineCount, 100);
    EXPECT_EQ(m_server->DownloadSoftware(path.c_str()), E_UNEXPECTED) << "not in the loader";
    ASSERT_EQ(m_server->InitializeInstrument(4, 1), S_OK);

    EnterLoader();
    EXPECT_STREQ(StateText(Status().nState), "Unknown");
    m_server->Instrument().Firmware().SetLinesPerSecond(50);
    ASSERT_EQ(m_server->DownloadSoftware(path.c_str()), S_OK);
    EXPECT_EQ(Progress(), 0);
    Step(1'000);
    EXPECT_EQ(Progress(), 50);
    Step(1'000);
    EXPECT_EQ(Progress(), 100);
    EXPECT_EQ(m_server->IsInstrumentReady(), S_OK);
    Step(static_cast<std::int64_t>(lineCount - 100) * 20);
    EXPECT_EQ(Progress(), lineCount);
    // The restart: not answering for a while, then the new firmware.
    EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE);
    Step(CFirmware::kRestartMs);
    EXPECT_EQ(m_server->IsInstrumentReady(), S_OK);
    ASSERT_EQ(m_server->InitializeInstrument(4, 1), S_OK);
    Step(CSimulatedInstrument::kInitializingMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
    float autoSampler = 0.0F;
    BSTR pump = nullptr;
    BSTR client = nullptr;
    ASSERT_EQ(m_server->GetVersions(&autoSampler, &pump, &client), S_OK);
    EXPECT_EQ(Utf8FromBstr(pump), "pump 4.00");
    SysFreeString(pump);
    SysFreeString(client);
}

TEST_F(FirmwareDownload, BadRecordsStopAtTheirLineWithTheFault) {
    const std::vector<std::string> lines = Lines(MakeImage("good.s19", 2'000));
    ASSERT_GT(lines.size(), 20U);

    std::vector<std::string> corrupt = lines;
    corrupt[9].back() = corrupt[9].back() == '0' ? '1' : '0';
    std::string error = Refused(Write("checksum.s19", corrupt), 9);
    EXPECT_NE(error.find("line 10: checksum mismatch"), std::string::npos) << error;

    std::vector<std::string> badHex = lines;
    badHex[4][12] = 'G';
    error = Refused(Write("hex.s19", badHex), 4);
    EXPECT_NE(error.find("line 5: bad hex digit 'G' at column 13"), std::string::npos) << error;

    // Cut in the middle of a record.
    std::vector<std::string> truncated(lines.begin(), lines.begin() + 15);
    truncated.back().resize(truncated.back().size() / 2);
    error = Refused(Write("truncated.s19", truncated, false), 14);
    EXPECT_NE(error.find("line 15: "), std::string::npos) << error;

    error = Refused(Write("empty.s19", {}), 0);
    EXPECT_NE(error.find("line 1: the file holds no S-records"), std::string::npos) << error;
    error = Refused(Write("header.s19", {lines[0]}), 1);
    EXPECT_NE(error.find("no data records"), std::string::npos) << error;

    error = Refused(Path("missing.s19"), 0);
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    error = Refused(m_folder.path().toStdString(), 0);
    EXPECT_NE(error.find("line 1: the file could not be read"), std::string::npos) << error;
}

TEST_F(FirmwareDownload, OneDataLineIsAWholeImage) {
    const std::string path =
        Write("one.s19", {"S1130000285F245F2212226A000424290008237C2A"}, false);
    EnterLoader();
    ASSERT_EQ(m_server->DownloadSoftware(path.c_str()), S_OK);
    Step(10);
    EXPECT_EQ(Progress(), 1);
    EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE);
    Step(CFirmware::kRestartMs);
    EXPECT_EQ(m_server->IsInstrumentReady(), S_OK);
    EXPECT_FALSE(m_server->Instrument().Firmware().InLoader());
}

TEST_F(FirmwareDownload, PowerLossDuringTheDownloadLeavesTheLoader) {
    const std::string path = MakeImage("pump.s19", 4'000);
    EnterLoader();
    ASSERT_EQ(m_server->DownloadSoftware(path.c_str()), S_OK);
    Step(50);
    m_server->Instrument().PowerOff();
    m_server->Instrument().PowerOn();
    Step(CSimulatedInstrument::kBootMs);
    EXPECT_TRUE(m_server->Instrument().Firmware().InLoader());
    EXPECT_NE(FirstError().find("interrupted at line"), std::string::npos);
}

std::int64_t PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoll(line.substr(6));
        }
    }
    return -1;
}

TEST_F(FirmwareDownload, TwentyMegabytesAreCheckedWhileStreaming) {
    const std::string path = MakeImage("big.s19", 9'000'000);
    const auto size = QFile(QString::fromStdString(path)).size();
    ASSERT_GT(size, 20'000'000);
    std::int32_t lineCount = 0;
    {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            ++lineCount;
        }
    }
    EnterLoader();
    // The peak resident size restarts here; the download must not raise it by the file's size.
    const bool peakReset = std::ofstream("/proc/self/clear_refs") << "5" && true;
    const std::int64_t before = PeakResidentKb();

    m_server->Instrument().Firmware().SetLinesPerSecond(100'000);
    ASSERT_EQ(m_server->DownloadSoftware(path.c_str()), S_OK);
    Step(1'000);
    EXPECT_EQ(Progress(), 100'000);
    std::int32_t last = 100'000;
    while (m_server->IsInstrumentReady() == S_OK && m_server->Instrument().Firmware().InLoader()) {
        Step(1'000);
        const std::int32_t now = Progress();
        ASSERT_GT(now, last) << FirstError();
        last = now;
    }
    EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE) << "restarting into the new firmware";
    Step(CFirmware::kRestartMs);
    EXPECT_EQ(FirstError(), "");
    EXPECT_EQ(last, lineCount);
    EXPECT_GT(last, 250'000);
    if (peakReset && before > 0) {
        EXPECT_LT(PeakResidentKb() - before, 8 * 1024) << "the file was held in memory";
    }
}

} // namespace
