#include "non_volatile_memory.h"
#include "silk_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

NvState SomeState() {
    NvState state;
    state.configuration.fSampleLoopVolume = 0.1F;
    state.configuration.nSyringeSize = 250;
    state.configuration.serialNumber = "OX2 = 99";
    state.configuration.bTernaryGradient = true;
    state.usage.powerOnMs = 123'456'789'012;
    state.usage.pistonStrokes[5] = 70'000;
    state.silk[1] = {812, 0.37F, 161.25F};
    state.bSilkWriteToDisk = true;
    return state;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(NonVolatileMemory, StateSurvivesTheTextFormExactly) {
    const NvState state = SomeState();
    std::string fault;
    const auto parsed = CNonVolatileMemory::Parse(CNonVolatileMemory::Serialize(state), &fault);
    ASSERT_TRUE(parsed) << fault;
    EXPECT_EQ(*parsed, state);
}

TEST(NonVolatileMemory, AnyDamageIsFound) {
    const std::string text = CNonVolatileMemory::Serialize(SomeState());
    std::string fault;
    // Every single changed byte of the body, and a file cut anywhere.
    for (std::size_t at = 0; at < text.size(); at += 7) {
        std::string damaged = text;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
        EXPECT_FALSE(CNonVolatileMemory::Parse(damaged, &fault)) << "byte " << at;
        EXPECT_FALSE(CNonVolatileMemory::Parse(text.substr(0, at), &fault)) << "cut at " << at;
    }
    EXPECT_FALSE(CNonVolatileMemory::Parse("", &fault));
    EXPECT_FALSE(fault.empty());
}

TEST(NonVolatileMemory, CommitWritesAtomicallyAndLoadReadsItBack) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.path().toStdString() + "/orvix/instrument-server.state";
    CNonVolatileMemory memory(path);
    EXPECT_FALSE(memory.Load()) << "no file is a fresh instrument";
    EXPECT_EQ(memory.State(), NvState{});
    memory.State() = SomeState();
    EXPECT_TRUE(memory.Dirty());
    ASSERT_FALSE(memory.Commit());
    EXPECT_FALSE(memory.Dirty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".new")));

    CNonVolatileMemory reloaded(path);
    ASSERT_FALSE(reloaded.Load());
    EXPECT_EQ(reloaded.State(), SomeState());
}

TEST(NonVolatileMemory, DamagedFileGivesDefaultsAndSaysWhy) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.path().toStdString() + "/instrument-server.state";
    WriteAll(path, CNonVolatileMemory::Serialize(SomeState()));
    std::string text = ReadAll(path);
    text.replace(text.find("syringeSize=250"), 15, "syringeSize=100");
    WriteAll(path, text);

    CNonVolatileMemory memory(path);
    const auto damage = memory.Load();
    ASSERT_TRUE(damage);
    EXPECT_NE(damage->find("damaged (checksum mismatch)"), std::string::npos) << *damage;
    EXPECT_EQ(memory.State(), NvState{});
    ASSERT_FALSE(memory.Commit(true));
    CNonVolatileMemory replaced(path);
    EXPECT_FALSE(replaced.Load());

    WriteAll(path, std::string(100'000, 'x'));
    EXPECT_TRUE(CNonVolatileMemory(path).Load());
}

TEST(SilkFileFormat, RoundTripAndEveryCheck) {
    SilkFile file{"OX2-0421-17", {}};
    file.data[0] = {800, 0.4F, 158.5F};
    file.data[5] = {830, 0.2F, 170.0F};
    const std::string bytes = EncodeSilkFile(file);
    ASSERT_EQ(bytes.size(), kSilkFileSize);
    EXPECT_EQ(bytes.substr(0, 4), "OSLK");
    std::string fault;
    const auto decoded = DecodeSilkFile(bytes, &fault);
    ASSERT_TRUE(decoded) << fault;
    EXPECT_EQ(decoded->serialNumber, file.serialNumber);
    EXPECT_EQ(decoded->data, file.data);

    EXPECT_FALSE(DecodeSilkFile(bytes.substr(0, 99), &fault));
    EXPECT_NE(fault.find("100 bytes"), std::string::npos);
    EXPECT_FALSE(DecodeSilkFile(bytes + "x", &fault));
    std::string damaged = bytes;
    damaged[30] = static_cast<char>(damaged[30] ^ 1);
    EXPECT_FALSE(DecodeSilkFile(damaged, &fault));
    EXPECT_EQ(fault, "checksum mismatch");
    damaged = bytes;
    damaged[0] = 'X';
    EXPECT_FALSE(DecodeSilkFile(damaged, &fault));
    EXPECT_EQ(fault, "not a Silk file");

    SilkFile negative = file;
    negative.data[2].fLeakRate = -1.0F;
    EXPECT_FALSE(DecodeSilkFile(EncodeSilkFile(negative), &fault));
    EXPECT_EQ(fault, "bad values for syringe 3");
}

} // namespace
