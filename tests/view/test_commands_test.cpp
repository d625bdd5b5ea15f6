// The Test menu's commands: what ReadAllData writes, and the arguments the server receives.
#include "status_view_fixture.h"

#include "call_origin.h"
#include "ids_history.h"
#include "instrument_proxy.h"
#include "record_codec.h"
#include "resource.h"
#include "stub_host.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <bit>
#include <csignal>
#include <numeric>
#include <optional>
#include <sys/resource.h>

namespace {

// Runs in <temp>/work, with data.bin's folder at <temp>/Orvix.
class TestCommandsTest : public StatusViewTest {
protected:
    void SetUp() override {
        StatusViewTest::SetUp();
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkdir(QStringLiteral("work")));
        ASSERT_TRUE(QDir(m_root.path()).mkdir(QStringLiteral("Orvix")));
        m_previousDir = QDir::currentPath();
        work = m_root.filePath(QStringLiteral("work"));
        ASSERT_TRUE(QDir::setCurrent(work));
        dataFile = m_root.filePath(QStringLiteral("Orvix/data.bin"));
    }
    void TearDown() override {
        QDir::setCurrent(m_previousDir);
        StatusViewTest::TearDown();
    }

    void Run(int commandId) {
        view->OnCommand(commandId);
        EXPECT_EQ(QDir::currentPath(), work) << "the current directory is the process's";
    }
    QByteArray DataBytes() const {
        QFile file(dataFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static std::vector<std::int32_t> Values(int count, std::int32_t first) {
        std::vector<std::int32_t> values(static_cast<std::size_t>(count));
        std::iota(values.begin(), values.end(), first);
        return values;
    }

    QString work;
    QString dataFile;

private:
    QTemporaryDir m_root;
    QString m_previousDir;
};

TEST_F(TestCommandsTest, ItsInitializeInstrumentIsNamedAsTheTestMenusForTheHistory) {
    OpenView();
    int origin = 0;
    fake->onCall = [&](const std::string& operation) {
        if (operation == "InitializeInstrument") {
            origin = CCallOrigin::Current();
        }
    };
    Run(ID_TEST_INITIALIZE_INSTRUMENT);
    EXPECT_EQ(origin, IDS_HISTORY_TEST_INITIALIZE);
    EXPECT_EQ(CCallOrigin::Current(), 0) << "only for the length of the command";
}

TEST_F(TestCommandsTest, ReadAllDataAppendsTheFirstBlockAsRawWordsAndNothingForNoBlocks) {
    OpenView();
    Run(ID_TEST_READ_ALL_DATA);
    EXPECT_FALSE(QFile::exists(dataFile)) << "no block, no file";
    fake->dataBlocks = {{1, {}}};
    Run(ID_TEST_READ_ALL_DATA);
    EXPECT_TRUE(QFile::exists(dataFile)) << "a first block of no values creates the file";
    EXPECT_EQ(DataBytes().size(), 0);

    {
        QFile existing(dataFile);
        ASSERT_TRUE(existing.open(QIODevice::Append));
        existing.write("kept");
    }
    fake->dataBlocks = {{1, Values(10, -3)}, {2, {77}}};
    Run(ID_TEST_READ_ALL_DATA);
    fake->dataBlocks = {{1, {0x01020304, -1, 2, 3, 2147483647}}};
    Run(ID_TEST_READ_ALL_DATA);

    const QByteArray bytes = DataBytes();
    ASSERT_EQ(bytes.size(), 4 + 60);
    EXPECT_TRUE(bytes.startsWith("kept"));
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(bytes.constData() + 4), -3);
    EXPECT_EQ(bytes.mid(44, 8).toHex(), QByteArray("04030201ffffffff"));
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(bytes.constData() + 60), 2147483647);
}

TEST_F(TestCommandsTest, AFileThatFillsUpMidValueKeepsItsWholeValuesOnly) {
    OpenView();
    fake->dataBlocks = {{1, Values(10, 1)}};
    Run(ID_TEST_READ_ALL_DATA);
    QSignalSpy messages(view->TestCommands(), &CTestCommands::statusMessage);

    // Room for one and a half more values: the write stops inside the second.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 40 + 6;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    Run(ID_TEST_READ_ALL_DATA);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(DataBytes().size(), 40);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.at(0).at(0).toString().startsWith(QStringLiteral("Could not write ")));
}

std::uint32_t F(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::vector<std::uint32_t> Words(const QByteArray& wire) {
    std::vector<std::uint32_t> words(static_cast<std::size_t>(wire.size()) / 4);
    qFromLittleEndian<std::uint32_t>(wire.constData(), static_cast<qsizetype>(words.size()),
                                     words.data());
    return words;
}

// The fake served on the bus and reached through the real proxy, as the client reaches a server.
class TestCommandsOnTheWire : public TestCommandsTest {
protected:
    void SetUp() override {
        TestCommandsTest::SetUp();
        host.emplace(fake);
        ASSERT_TRUE(host->Ok());
        ASSERT_EQ(CreateInstrumentServerProxy(QDBusConnection::sessionBus(), IID_IInstrumentServer,
                                              reinterpret_cast<void**>(&m_proxy)),
                  S_OK);
        g_pServer = m_proxy;
    }
    void TearDown() override {
        view.reset();
        if (m_proxy != nullptr) {
            m_proxy->Release();
        }
        host.reset();
        TestCommandsTest::TearDown();
    }

    std::optional<StubHost> host;

private:
    IInstrumentServer* m_proxy = nullptr;
};

TEST_F(TestCommandsOnTheWire, EachCommandSendsItsFixedArguments) {
    fake->dataBlocks = {{5, {1, 2}}};
    OpenView();
    fake->calls.clear();
    for (int id = ID_TEST_GET_SEPARATION_METHOD; id <= ID_TEST_MOVE_FEEDER; ++id) {
        Run(id);
    }
    const std::vector<std::string> expected{
        "GetSeparationMethod()",
        "ChangeFlow(20, 33, 33, 33)",
        "ConditionColumn(10, 1)",
        "Equilibrate(10)",
        "GetInstrumentConfiguration()",
        "GoToInitialConditions()",
        "HoldAndResumeFlow(1)",
        "InitializeInstrument(4, 1)",
        "LaunchDiagnostics()",
        "PerformInjection(0, @, @)",
        "PerformTrigger()",
        "ReadAllData()",
        "ReadAllErrors(1)",
        "ReadStatus()",
        "SetPlateConfiguration(2, @)",
        "SetSeparationMethod(@)",
        "WetPrimeSystem(5, 7)",
        "ExchangeSamplePlate()",
        "MoveLift(1)",
        "SetInstrumentConfiguration(@)",
    };
    EXPECT_EQ(fake->calls, expected) << "SetRunActiveLed and MoveFeeder call nothing";
    EXPECT_EQ(DataBytes().toHex(), QByteArray("0100000002000000"));

    const std::vector<std::uint32_t> method{
        0,       F(9.9F),  1, 1, F(5000.0F), 0, 0, 0, F(20.0F), F(100.0F), 0,       0,
        0,       0,        0, 0, F(3000.0F), 0, 0, 0, F(35.0F), F(10.0F),  F(5.0F), 1,
        3,       F(10.0F), 0, 0, 0,          1, 2, 1, F(35.0F), F(10.0F),  0,       F(10.0F),
        0,       0,        4, 2, 0,          0, 0, 3, 0,        F(2.0F),   1,       1,
        F(3.0F), 0,        0};
    ASSERT_TRUE(fake->sentMethod.has_value());
    const OwnedSeparationMethod& sent = *fake->sentMethod;
    EXPECT_EQ(Words(EncodeRecord(sent.record)), method);
    EXPECT_EQ(sent.name, "Client Test Method");
    EXPECT_EQ(sent.solventA, "A Solvent");
    EXPECT_EQ(sent.solventB, "B Solvent");
    EXPECT_EQ(sent.solventC, "C Solvent");
    EXPECT_EQ(sent.column, "Column");
    EXPECT_TRUE(sent.list1.empty() && sent.list2.empty());
    ASSERT_EQ(sent.steps.size(), 3U);
    EXPECT_EQ(Words(EncodeRecords(sent.steps.data(), sent.steps.size())),
              (std::vector<std::uint32_t>{F(0.25F), 6, 2, 0, F(0.5F), 6, 1, 0, F(0.75F), 6, 2, 0}));

    const std::vector<std::uint32_t> plate{12, 8, F(9.0F), F(9.0F), F(8.0F),  F(8.0F), 0,
                                           0,  0, 0,       1,       F(15.0F), F(1.0F), F(2.1F)};
    ASSERT_EQ(fake->sentPlates.size(), 2U);
    for (const PlateConfiguration& sentPlate : fake->sentPlates) {
        EXPECT_EQ(Words(EncodeRecord(sentPlate)), plate);
    }

    ASSERT_EQ(fake->sentInjections.size(), 2U);
    for (const OwnedInjectionSpec& spec : fake->sentInjections) {
        EXPECT_EQ(Words(EncodeRecord(spec.record)), (std::vector<std::uint32_t>{1, F(1.5F), 0, 0}));
        ASSERT_EQ(spec.entries.size(), 1U);
        EXPECT_EQ(spec.entries[0].f0, 0.2F);
        EXPECT_EQ(spec.texts[0], "2");
    }

    ASSERT_TRUE(fake->sentConfiguration.has_value());
    EXPECT_EQ(
        Words(EncodeRecord(*fake->sentConfiguration)),
        (std::vector<std::uint32_t>{F(99.0F), 25, F(999.0F), 0, F(999.0F), 1, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(fake->sentSerialNumber, "None");
}

} // namespace
