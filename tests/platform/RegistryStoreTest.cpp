// SPDX-License-Identifier: MIT
// Tests of CRegistryStore on real hive files: value rules, fallback, damage, atomic replacement.
#include "platform/RegistryStore.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

namespace {

class RegistryStoreTest : public testsupport::CTempXdgTest {
protected:
    std::filesystem::path UserHive() const { return ConfigHome() / "Quorvi" / "QuorviStudio.reg"; }
    std::filesystem::path MachineHive() const {
        return SystemConfigDir() / "Quorvi" / "QuorviStudio.reg";
    }

    // A hive file with one section holding the given value lines, written by hand.
    static std::string HiveText(std::string_view section, std::string_view lines) {
        std::string text = "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi Studio";
        if (!section.empty())
            text += "\\" + std::string(section);
        return text + "]\n" + std::string(lines) + "\n; end of hive\n";
    }
};

std::string Padding() {
    return " " + std::string(240, '.');
}

// The generation number all values of a "Generations" section agree on; a failure otherwise.
std::uint32_t StoredGeneration(const std::string& text, int nValues) {
    std::string error;
    auto hive = CRegistryHive::Parse(text, &error);
    EXPECT_TRUE(hive) << error;
    if (!hive)
        return ~0u;
    const CRegistryKey* key = hive->FindKey(
        std::vector<std::string>{"software", "Quorvi", "Quorvi Studio", "Generations"});
    EXPECT_TRUE(key && key->Values().size() == static_cast<std::size_t>(nValues));
    if (!key || key->Values().size() != static_cast<std::size_t>(nValues))
        return ~0u;
    const std::string& first = std::get<std::string>(key->Values()[0].second);
    const std::uint32_t generation = static_cast<std::uint32_t>(std::stoul(first.substr(11)));
    for (int i = 0; i < nValues; ++i) {
        const std::string expected =
            "generation " + std::to_string(generation) + " value " + std::to_string(i) + Padding();
        EXPECT_EQ(std::get<std::string>(key->Values()[i].second), expected);
        if (std::get<std::string>(key->Values()[i].second) != expected)
            return ~0u;
    }
    return generation;
}

} // namespace

TEST_F(RegistryStoreTest, PairsAndQuadsParseAsTheRulesSay) {
    struct Case {
        const char* stored;
        std::int32_t a, b; // expected, starting from 111, 222
    } const pairs[] = {
        {"5, 7", 5, 7},
        {"5,7", 5, 7},
        {"  8\t\n9 ", 8, 9},
        {"3", 3, 222},
        {"", 111, 222},
        {",,4,,", 4, 222},
        {"1, 2, 3", 1, 2},
        {"-12, +7", -12, 7},
        {"x, 5", 111, 5},
        {"12abc, 5", 111, 5},
        {"99999999999, 1", 111, 1},
        {"2147483647, -2147483648", 2147483647, -2147483648},
        {"0x10, 010", 111, 10},
        {"5;6", 111, 222},
    };
    std::string lines;
    for (std::size_t i = 0; i < std::size(pairs); ++i)
        lines += "\"P" + std::to_string(i) + "\"=" + QuoteHiveString(pairs[i].stored) + "\n";
    lines += "\"Q1\"=\"1 2\"\n\"Q2\"=\"9, 8, 7, 6, 5\"\n\"NotText\"=dword:00000005\n";
    WriteFileText(UserHive(), HiveText("S", lines));

    CRegistryStore store(CRegistryStore::Direction::Load);
    ASSERT_TRUE(store.OpenCurrentUserRoot());
    ASSERT_TRUE(store.OpenSection("S"));
    for (std::size_t i = 0; i < std::size(pairs); ++i) {
        std::int32_t a = 111, b = 222;
        store.Pair("P" + std::to_string(i), a, b);
        EXPECT_EQ(a, pairs[i].a) << '"' << pairs[i].stored << '"';
        EXPECT_EQ(b, pairs[i].b) << '"' << pairs[i].stored << '"';
    }
    std::int32_t q[4] = {10, 20, 30, 40};
    store.Quad("Q1", q[0], q[1], q[2], q[3]);
    EXPECT_EQ(std::vector<std::int32_t>(q, q + 4), (std::vector<std::int32_t>{1, 2, 30, 40}));
    store.Quad("Q2", q[0], q[1], q[2], q[3]);
    EXPECT_EQ(std::vector<std::int32_t>(q, q + 4), (std::vector<std::int32_t>{9, 8, 7, 6}));
    std::int32_t a = 1, b = 2;
    store.Pair("NotText", a, b);
    store.Pair("Absent", a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST_F(RegistryStoreTest, ValuesOfAnotherTypeKeepTheTarget) {
    WriteFileText(
        UserHive(),
        HiveText("S", "\"Text\"=\"12\"\n\"Number\"=dword:12345678\n\"Blob\"=hex:01,02\n"));
    CRegistryStore store(CRegistryStore::Direction::Load);
    ASSERT_TRUE(store.OpenCurrentUserRoot());
    store.OpenSection("S");
    std::string text = "default";
    std::uint32_t dword = 7;
    std::uint16_t word = 9;
    RegBinary bytes{42};
    store.String("Number", text);
    store.String("Blob", text);
    store.Dword("Text", dword);
    store.Dword("Blob", dword);
    store.Word("Text", word);
    store.Binary("Text", bytes);
    EXPECT_EQ(text, "default");
    EXPECT_EQ(dword, 7u);
    EXPECT_EQ(word, 9u);
    EXPECT_EQ(bytes, RegBinary{42});
    store.Word("Number", word); // only the low 16 bits are taken
    EXPECT_EQ(word, 0x5678u);
    store.String("text", text); // names ignore case
    EXPECT_EQ(text, "12");
}

TEST_F(RegistryStoreTest, StringsAreCutByCharactersNotBytes) {
    const std::string umlauts(300, 'x');
    std::string stored;
    for (int i = 0; i < 300; ++i)
        stored += "ü"; // two bytes each
    WriteFileText(UserHive(), HiveText("S", "\"U\"=" + QuoteHiveString(stored) +
                                                "\n\"X\"=" + QuoteHiveString(umlauts)));
    CRegistryStore store(CRegistryStore::Direction::Load);
    ASSERT_TRUE(store.OpenCurrentUserRoot());
    store.OpenSection("S");
    std::string text;
    store.String("U", text, 255);
    EXPECT_EQ(text, stored.substr(0, 510));
    store.String("X", text, 127);
    EXPECT_EQ(text, std::string(127, 'x'));
}

TEST_F(RegistryStoreTest, SectionsFallBackToTheApplicationKey) {
    WriteFileText(MachineHive(), HiveText("", "\"InstallPath\"=\"/opt/quorvi/quorvi-studio\"\n"));
    {
        CRegistryStore store(CRegistryStore::Direction::Load);
        ASSERT_TRUE(store.OpenLocalMachineRoot());
        EXPECT_FALSE(store.OpenSection("Missing")); // read-only: not created, so the key itself
        std::string path;
        store.String("InstallPath", path);
        EXPECT_EQ(path, "/opt/quorvi/quorvi-studio");
        std::uint32_t ignored = 5;
        CRegistryStore writer(CRegistryStore::Direction::Save);
        ASSERT_TRUE(writer.OpenLocalMachineRoot());
        writer.Dword("Written", ignored);
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(ReadFileText(MachineHive()).find("Written"), std::string::npos);

    {
        CRegistryStore store(CRegistryStore::Direction::Save);
        ASSERT_TRUE(store.OpenCurrentUserRoot());
        EXPECT_FALSE(
            store.OpenSection("bad\\\\name")); // no such key name: the values land on the key
        std::uint32_t value = 0x2A;
        store.Dword("OnApplicationKey", value);
        EXPECT_TRUE(store.OpenSection(""));
        std::string text = "app";
        store.String("Empty", text);
        EXPECT_TRUE(store.OpenSection("Nested\\Deeper"));
        store.String("Deep", text);
        ASSERT_TRUE(store.Close());
    }
    auto hive = CRegistryHive::Parse(ReadFileText(UserHive()));
    ASSERT_TRUE(hive);
    const CRegistryKey* app = hive->FindKey(ApplicationKeyPath());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(std::get<std::uint32_t>(*app->FindValue("OnApplicationKey")), 0x2Au);
    EXPECT_EQ(std::get<std::string>(*app->FindValue("Empty")), "app");
    ASSERT_NE(app->FindSubKey("Nested"), nullptr);
    EXPECT_NE(app->FindSubKey("Nested")->FindSubKey("Deeper")->FindValue("Deep"), nullptr);

    CRegistryStore noMachine(CRegistryStore::Direction::Load);
    std::filesystem::remove(MachineHive());
    EXPECT_FALSE(noMachine.OpenLocalMachineRoot());
    std::string untouched = "keep";
    noMachine.String("InstallPath", untouched);
    EXPECT_EQ(untouched, "keep");
}

TEST_F(RegistryStoreTest, SeparatePassesDoNotLoseEachOthersValues) {
    CRegistryStore first(CRegistryStore::Direction::Save);
    CRegistryStore second(CRegistryStore::Direction::Save);
    ASSERT_TRUE(first.OpenCurrentUserRoot());
    ASSERT_TRUE(second.OpenCurrentUserRoot());
    first.OpenSection("Recent File List");
    second.OpenSection("Settings");
    std::string file = "/tmp/a.png";
    std::uint32_t state = 0;
    second.Dword("TVChildWinState", state);
    ASSERT_TRUE(second.Close());
    first.String("File1", file);
    ASSERT_TRUE(first.Close());

    CRegistryStore load(CRegistryStore::Direction::Load);
    ASSERT_TRUE(load.OpenCurrentUserRoot());
    load.OpenSection("Settings");
    state = 9;
    load.Dword("TVChildWinState", state);
    EXPECT_EQ(state, 0u);
    load.OpenSection("Recent File List");
    std::string back;
    load.String("File1", back);
    EXPECT_EQ(back, file);
}

TEST_F(RegistryStoreTest, UnchangedValuesDoNotRewriteTheFileAndStaleTemporariesGo) {
    auto save = [](std::uint32_t value) {
        CRegistryStore store(CRegistryStore::Direction::Save);
        store.OpenCurrentUserRoot();
        store.OpenSection("S");
        store.Dword("V", value);
        return store.Close();
    };
    ASSERT_TRUE(save(1));
    const std::filesystem::path stale = UserHive().string() + ".tmp-Ab12Cd";
    WriteFileText(stale, "half a file");
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(UserHive().c_str(), &before), 0);
    ASSERT_TRUE(save(1));
    ASSERT_EQ(::stat(UserHive().c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_FALSE(std::filesystem::exists(stale));
    ASSERT_TRUE(save(2));
    ASSERT_EQ(::stat(UserHive().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
}

TEST_F(RegistryStoreTest, DamagedFileGivesDefaultsAndIsKeptBeside) {
    const std::string garbage =
        "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi Studio\\S]\n\"V\"=dword:0000";
    WriteFileText(UserHive(), garbage);
    std::uint32_t value = 77;
    {
        CRegistryStore store(CRegistryStore::Direction::Load);
        store.OpenCurrentUserRoot();
        store.OpenSection("S");
        store.Dword("V", value);
        ASSERT_TRUE(store.DamagedFileKeptAs());
        EXPECT_EQ(*store.DamagedFileKeptAs(), UserHive().string() + ".damaged");
    }
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(ReadFileText(UserHive().string() + ".damaged"), garbage);
    EXPECT_FALSE(std::filesystem::exists(UserHive()));

    // A second damaged file does not replace the first one kept.
    const std::string junk("\x00\xff binary junk", 14);
    WriteFileText(UserHive(), junk);
    {
        CRegistryStore store(CRegistryStore::Direction::Save);
        store.OpenCurrentUserRoot();
        store.OpenSection("S");
        value = 5;
        store.Dword("V", value);
        ASSERT_TRUE(store.Close()) << store.LastError();
    }
    EXPECT_EQ(ReadFileText(UserHive().string() + ".damaged"), garbage);
    EXPECT_EQ(ReadFileText(UserHive().string() + ".damaged.2"), junk);
    CRegistryStore load(CRegistryStore::Direction::Load);
    load.OpenCurrentUserRoot();
    load.OpenSection("S");
    load.Dword("V", value = 0);
    EXPECT_EQ(value, 5u);
}

TEST_F(RegistryStoreTest, StoreThatCannotBeWrittenSaysWhyAndKeepsTheFile) {
    // The hive path is a folder: it can be neither read nor replaced.
    std::filesystem::create_directories(UserHive());
    CRegistryStore store(CRegistryStore::Direction::Save);
    EXPECT_FALSE(store.OpenCurrentUserRoot());
    std::uint32_t value = 1;
    store.Dword("V", value);
    EXPECT_FALSE(store.Close());
    EXPECT_NE(store.LastError().find(UserHive().string()), std::string::npos) << store.LastError();
    EXPECT_TRUE(std::filesystem::is_directory(UserHive()));

    // The configuration folder is a file: nothing can be created below it.
    std::filesystem::remove_all(ConfigHome());
    WriteFileText(ConfigHome(), "not a folder");
    CRegistryStore blocked(CRegistryStore::Direction::Save);
    EXPECT_TRUE(blocked.OpenCurrentUserRoot());
    blocked.Dword("V", value);
    EXPECT_FALSE(blocked.Close());
    EXPECT_NE(blocked.LastError().find("Not a directory"), std::string::npos)
        << blocked.LastError();
    EXPECT_EQ(ReadFileText(ConfigHome()), "not a folder");
}

// A writer killed at random moments leaves the old file or the new one, never a mix: every value
// of a generation carries the same number, so a mix shows up as two numbers.
TEST_F(RegistryStoreTest, KilledWriterLeavesOldOrNewFile) {
    constexpr int kValues = 400; // with a long tail each, about 100 KB
    auto writeGeneration = [](std::uint32_t generation) {
        CRegistryStore store(CRegistryStore::Direction::Save);
        store.OpenCurrentUserRoot();
        store.OpenSection("Generations");
        for (int i = 0; i < kValues; ++i) {
            std::string text = "generation " + std::to_string(generation) + " value " +
                               std::to_string(i) + Padding();
            store.String("V" + std::to_string(i), text);
        }
        return store.Close();
    };
    // Kill points spread over about three whole writes, measured on this machine.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(writeGeneration(0));
    const auto oneWrite = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::mt19937 rng(12345);
    std::uniform_int_distribution<long> delayUs(0, 3 * oneWrite.count());
    int sawOld = 0, sawNew = 0;
    std::uint32_t previous = 0;
    for (int round = 1; round <= 20; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        // In even rounds the child reports only after one whole write, so that a
        // slow machine (sanitizers, a loaded CI) still sees new files replace old ones.
        const bool reportAfterFirstWrite = round % 2 == 0;
        if (child == 0) {
            ::close(ready[0]);
            std::uint32_t g = 1000u * round;
            if (reportAfterFirstWrite)
                writeGeneration(g++);
            (void)!::write(ready[1], "x", 1);
            for (;; ++g)
                writeGeneration(g);
        }
        ::close(ready[1]);
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        // Not a wait for anything: the pause picks where in the writes the kill lands.
        ::usleep(static_cast<useconds_t>(delayUs(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::uint32_t generation = StoredGeneration(ReadFileText(UserHive()), kValues);
        if (generation == previous) {
            ++sawOld;
        } else {
            ++sawNew;
            EXPECT_GE(generation, 1000u * round) << "round " << round;
        }
        previous = generation;
        if (HasFatalFailure())
            return;
    }
    // Leftovers of killed writers are cleared by the next writer.
    ASSERT_TRUE(writeGeneration(1));
    for (const auto& entry : std::filesystem::directory_iterator(UserHive().parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
            << entry.path();
    RecordProperty("rounds_old", sawOld);
    RecordProperty("rounds_new", sawNew);
    EXPECT_GT(sawNew, 0);
}

// A FIFO where the file belongs once kept every program waiting in open() for a writer.
TEST_F(RegistryStoreTest, FifoInPlaceOfTheFileIsSetAsideWithoutWaiting) {
    std::filesystem::create_directories(UserHive().parent_path());
    ASSERT_EQ(::mkfifo(UserHive().c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [] {
        CRegistryStore store(CRegistryStore::Direction::Load);
        const bool bOpen = store.OpenCurrentUserRoot();
        return std::make_pair(bOpen, store.DamagedFileKeptAs());
    });
    if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // A writer lets the waiting open() go on, so that the test fails rather than hangs.
        ::close(::open(UserHive().c_str(), O_WRONLY | O_NONBLOCK));
        FAIL() << "reading the settings waited for a writer of the FIFO";
    }
    const auto [bOpen, keptAs] = opening.get();
    EXPECT_TRUE(bOpen);
    ASSERT_TRUE(keptAs);
    struct stat st {};
    ASSERT_EQ(::lstat(keptAs->c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    CRegistryStore store(CRegistryStore::Direction::Save);
    ASSERT_TRUE(store.OpenCurrentUserRoot());
    std::uint32_t value = 1;
    store.Dword("V", value);
    ASSERT_TRUE(store.Close()) << store.LastError();
    EXPECT_TRUE(std::filesystem::is_regular_file(UserHive()));
}

// A file over the size a read accepts would be set aside at the next start, with every setting.
TEST_F(RegistryStoreTest, SettingsTooLargeToBeReadBackAreNotWritten) {
    auto save = [](std::string_view name, std::string text) {
        CRegistryStore store(CRegistryStore::Direction::Save);
        store.OpenCurrentUserRoot();
        store.String(name, text);
        return std::make_pair(store.Close(), store.LastError());
    };
    ASSERT_TRUE(save("Small", "kept").first);
    const auto [bSaved, error] = save("Huge", std::string(16u << 20, 'x'));
    EXPECT_FALSE(bSaved);
    EXPECT_NE(error.find("would take more than 16777216 bytes"), std::string::npos) << error;
    const std::string text = ReadFileText(UserHive());
    EXPECT_NE(text.find("\"Small\"=\"kept\""), std::string::npos);
    EXPECT_EQ(text.find("Huge"), std::string::npos);
}
