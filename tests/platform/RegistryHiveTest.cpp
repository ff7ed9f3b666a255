// SPDX-License-Identifier: MIT
// Tests of the hive's text form: exact round trips, hand-written files, damaged text.
#include "platform/RegistryHive.h"

#include <gtest/gtest.h>

#include <random>

using namespace platform;

namespace {

std::vector<std::string> Path(std::initializer_list<const char*> parts) {
    return {parts.begin(), parts.end()};
}

CRegistryHive Reparse(const CRegistryHive& hive) {
    std::string error;
    auto back = CRegistryHive::Parse(hive.Serialize(), &error);
    EXPECT_TRUE(back) << error << "\n" << hive.Serialize();
    return back ? std::move(*back) : CRegistryHive();
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(length(rng), '\0');
    for (char& c : s)
        c = static_cast<char>(byte(rng));
    return s;
}

} // namespace

TEST(RegistryHive, AwkwardStringsAndNamesRoundTripExactly) {
    const std::string strings[] = {"",
                                   "plain",
                                   "quote \" and backslash \\ and \\\" both",
                                   "line 1\nline 2\r\nline 3\n",
                                   "tab\there",
                                   std::string("nul\0inside", 10),
                                   "\x01\x1f\x7f",
                                   "Grüße, 日本語, emoji \xF0\x9F\x93\xB7",
                                   "invalid utf-8 \xC3\x28 \xFF\xFE",
                                   "\\x41 is not an escape here",
                                   "[not a key]",
                                   "@",
                                   "\"",
                                   "trailing space "};
    CRegistryHive hive;
    CRegistryKey* key = hive.CreateKey(Path({"software", "we[ird] %20 key", "Grüße", "sp ace "}));
    ASSERT_NE(key, nullptr);
    for (std::size_t i = 0; i < std::size(strings); ++i) {
        key->SetValue(strings[i] + "#" + std::to_string(i), strings[i]); // also as value names
    }
    key->SetValue("", std::string("default value"));
    key->SetValue("max", std::uint32_t{0xFFFFFFFF});
    key->SetValue("zero", std::uint32_t{0});
    key->SetValue("empty blob", RegBinary{});
    RegBinary all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    key->SetValue("all bytes", all);
    hive.CreateKey(Path({"software", "empty key"}));

    const CRegistryHive back = Reparse(hive);
    EXPECT_TRUE(back == hive);
    const CRegistryKey* backKey =
        back.FindKey(Path({"software", "we[ird] %20 key", "Grüße", "sp ace "}));
    ASSERT_NE(backKey, nullptr);
    EXPECT_EQ(std::get<std::string>(*backKey->FindValue("line 1\nline 2\r\nline 3\n#3")),
              "line 1\nline 2\r\nline 3\n");
    EXPECT_NE(back.FindKey(Path({"software", "empty key"})), nullptr);
}

TEST(RegistryHive, RandomContentRoundTrips) {
    std::mt19937 rng(20240607);
    for (int round = 0; round < 200; ++round) {
        CRegistryHive hive;
        CRegistryKey* key = hive.CreateKey(Path({"software", "Quorvi"}));
        std::string keyName = RandomBytes(rng, 20);
        std::replace(keyName.begin(), keyName.end(), '\\', '/');
        if (CRegistryKey* sub = key->CreateSubKey(keyName))
            key = sub;
        for (int v = 0; v < 5; ++v) {
            key->SetValue(RandomBytes(rng, 12), RandomBytes(rng, 64));
            key->SetValue(RandomBytes(rng, 12), static_cast<std::uint32_t>(rng()));
        }
        const CRegistryHive back = Reparse(hive);
        ASSERT_TRUE(back == hive) << "round " << round << "\n" << hive.Serialize();
    }
}

TEST(RegistryHive, ReadsHandWrittenFiles) {
    const std::string text = "\xEF\xBB\xBFQuorvi Registry Hive 1\r\n"
                             "; a comment\r\n"
                             "  [software\\Quorvi\\Quorvi Studio\\PrintLayout]  \r\n"
                             "\"Title\" = \"Report \\\"Q3\\\"\"\r\n"
                             "\t\"PrintMode\"=dword:1\r\n"
                             "\"Logo\"=hex: 0a, FF ,00\r\n"
                             "@=\"default\"\r\n"
                             "; end of hive";
    std::string error;
    auto hive = CRegistryHive::Parse(text, &error);
    ASSERT_TRUE(hive) << error;
    const CRegistryKey* key =
        hive->FindKey(Path({"SOFTWARE", "quorvi", "QUORVI STUDIO", "printlayout"}));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(std::get<std::string>(*key->FindValue("title")), "Report \"Q3\"");
    EXPECT_EQ(std::get<std::uint32_t>(*key->FindValue("PrintMode")), 1u);
    EXPECT_EQ(std::get<RegBinary>(*key->FindValue("Logo")), (RegBinary{0x0a, 0xff, 0x00}));
    EXPECT_EQ(std::get<std::string>(*key->FindValue("")), "default");
}

TEST(RegistryHive, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
    CRegistryHive hive;
    CRegistryKey* key = hive.CreateKey(Path({"Software", "Quorvi"}));
    EXPECT_EQ(hive.CreateKey(Path({"software", "QUORVI"})), key);
    key->SetValue("JPEGQuality", std::uint32_t{95});
    key->SetValue("jpegquality", std::uint32_t{80});
    ASSERT_EQ(key->Values().size(), 1u);
    EXPECT_EQ(key->Values()[0].first, "JPEGQuality");
    EXPECT_EQ(std::get<std::uint32_t>(key->Values()[0].second), 80u);
}

TEST(RegistryHive, RejectsEveryTruncationAndBadSyntax) {
    CRegistryHive hive;
    CRegistryKey* key = hive.CreateKey(Path({"software", "Quorvi", "Quorvi Studio", "Hotkey"}));
    key->SetValue("ActiveWindow", std::string("0, 8236"));
    key->SetValue("Flag", std::uint32_t{3});
    key->SetValue("Blob", RegBinary{1, 2, 3});
    hive.CreateKey(Path({"software", "Quorvi", "Quorvi Studio", "PrintLayout"}));
    const std::string text = hive.Serialize();
    // A file cut anywhere is recognised (only the final newline may go missing).
    for (std::size_t cut = 0; cut + 1 < text.size(); ++cut)
        EXPECT_FALSE(CRegistryHive::Parse(text.substr(0, cut))) << "cut at " << cut;
    EXPECT_TRUE(CRegistryHive::Parse(text.substr(0, text.size() - 1)));

    const std::string head = "Quorvi Registry Hive 1\n[a]\n";
    const std::string tail = "\n; end of hive\n";
    for (const char* bad :
         {"\"x\"=dword:123456789", "\"x\"=dword:12g", "\"x\"=hex:1,2", "\"x\"=hex:01,",
          "\"x\"=\"unterminated", "\"x\"=\"bad \\q escape\"", "\"x\"=\"a\" trailing",
          "\"x\"=qword:1", "x=\"y\"", "[a\\\\b]", "[a", "[%zz]", "\"x\"", "\"x\"=\"\\x4\""}) {
        std::string error;
        EXPECT_FALSE(CRegistryHive::Parse(head + bad + tail, &error)) << bad;
        EXPECT_NE(error.find("line 3"), std::string::npos) << bad << ": " << error;
    }
    EXPECT_FALSE(CRegistryHive::Parse("Windows Registry Editor Version 5.00\n; end of hive\n"));
    EXPECT_FALSE(CRegistryHive::Parse(
        "Quorvi Registry Hive 1\n\"x\"=\"value before key\"\n; end of hive\n"));
}

TEST(RegistryHive, MutatedFilesNeverCrashAndWhatParsesIsStable) {
    CRegistryHive hive;
    CRegistryKey* key =
        hive.CreateKey(Path({"software", "Quorvi", "Quorvi Studio", "CaptureOptions"}));
    key->SetValue("AutoSavePath", std::string("/home/u/Pictures/Quorvi Studio"));
    key->SetValue("OptionsA", std::uint32_t{0x0008167B});
    key->SetValue("Font", RegBinary(60, 7));
    const std::string text = hive.Serialize();
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pos(0, text.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        std::string mutated = text;
        for (int n = 1 + round % 4; n > 0; --n)
            mutated[pos(rng)] = static_cast<char>(byte(rng));
        auto parsed = CRegistryHive::Parse(mutated);
        if (parsed) { // whatever is accepted must survive its own round trip
            EXPECT_TRUE(Reparse(*parsed) == *parsed);
        }
    }
}

// A key line of a million levels (2 MB) once overflowed the stack as the tree was torn down.
TEST(RegistryHive, KeysNestAtMostSixteenLevels) {
    auto keyLine = [](std::size_t nLevels) {
        std::string line = "[a";
        for (std::size_t i = 1; i < nLevels; ++i)
            line += "\\a";
        return "Quorvi Registry Hive 1\n" + line + "]\n\"v\"=dword:1\n; end of hive\n";
    };
    std::string error;
    ASSERT_TRUE(CRegistryHive::Parse(keyLine(kMaxKeyDepth), &error)) << error;
    for (std::size_t nLevels : {kMaxKeyDepth + 1, std::size_t{1'000'000}}) {
        EXPECT_FALSE(CRegistryHive::Parse(keyLine(nLevels), &error)) << nLevels;
        EXPECT_EQ(error, "line 2: keys nest deeper than 16 levels");
    }
    // The tree refuses such keys too, and makes nothing on the way.
    CRegistryHive hive;
    const std::vector<std::string> deep(kMaxKeyDepth + 1, "k");
    EXPECT_EQ(hive.CreateKey(deep), nullptr);
    EXPECT_TRUE(hive.Root().SubKeys().empty());
    CRegistryKey* deepest = hive.CreateKey(std::span(deep).first(kMaxKeyDepth));
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->CreateSubKey("deeper"), nullptr);
}

// Every name is found through an index: walking the key for each line took minutes here. The
// number of keys has a bound, so a file of short key lines cannot take gigabytes.
TEST(RegistryHive, ManyValuesAndSiblingKeysParse) {
    constexpr int kCount = 200'000, kSubKeys = kMaxHiveKeys - 1;
    std::string text = "Quorvi Registry Hive 1\n[s]\n";
    for (int i = 0; i < kCount; ++i)
        text += "\"Value" + std::to_string(i) + "\"=dword:" + std::to_string(i) + "\n";
    text += "\"VALUE7\"=dword:ff\n";
    for (int i = 0; i < kSubKeys; ++i)
        text += "[s\\k" + std::to_string(i) + "]\n";
    std::string error;
    EXPECT_FALSE(CRegistryHive::Parse(text + "[s\\one more]\n; end of hive\n", &error));
    EXPECT_EQ(error, "line 265539: more than 65536 keys");
    auto hive = CRegistryHive::Parse(text + "; end of hive\n", &error);
    ASSERT_TRUE(hive) << error;
    CRegistryKey* key = hive->Root().FindSubKey("S");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->Values().size(), std::size_t{kCount});
    EXPECT_EQ(key->Values()[7], (std::pair<std::string, RegValue>{"Value7", std::uint32_t{0xff}}));
    EXPECT_EQ(std::get<std::uint32_t>(*key->FindValue("value199999")), 0x199999u);
    ASSERT_EQ(key->SubKeys().size(), std::size_t{kSubKeys});
    EXPECT_EQ(key->FindSubKey("K12345")->Name(), "k12345");
    // Deleting moves the names behind: they are still found.
    EXPECT_TRUE(key->DeleteValue("VALUE0") && key->DeleteSubKey("k0"));
    EXPECT_EQ(key->FindValue("value7"), &key->Values()[6].second);
    EXPECT_EQ(key->FindSubKey("k1"), key->SubKeys()[0].get());
    EXPECT_TRUE(Reparse(*hive) == *hive);
}
