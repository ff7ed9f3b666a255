// SPDX-License-Identifier: MIT
// Automatic capture file names: padding, wrap, exhaustion, extensions and the existence check,
// run over whole counter sequences against a naive model of the numbering.
#include "capture/AutoSaveName.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using capture::AutoNameStatus;
using capture::AutoSaveParams;

namespace {

AutoSaveParams Params(const std::string& dir, int digits, std::uint32_t start, bool bWrap,
                      bool bReplace = true, std::uint32_t type = 1) {
    AutoSaveParams p;
    p.strDirectory = dir;
    p.strLeadName = "Qorv";
    p.nDigitCount = digits;
    p.dwStartNo = start;
    p.dwImageType = type;
    p.dwOptions = (bWrap ? capture::kAutoSaveWrapCounter : 0) |
                  (bReplace ? capture::kAutoSaveReplaceExisting : 0);
    return p;
}

// Names handed out one after another, each plan's counter fed into the next.
std::vector<std::string> NameSequence(AutoSaveParams p, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        const capture::AutoNamePlan plan = capture::PlanAutoSaveName(p);
        if (plan.status != AutoNameStatus::Ready)
            break;
        names.push_back(plan.strPath.substr(plan.strPath.rfind('/') + 1));
        p.dwStartNo = plan.dwNextStartNo;
    }
    return names;
}

void Touch(const std::filesystem::path& path) {
    std::ofstream(path) << "x";
}

} // namespace

TEST(AutoSaveName, NamePartIsLeadPaddedNumberAndLowerCaseExtension) {
    testsupport::CTempDir dir;
    const auto plan = capture::PlanAutoSaveName(Params(dir.Path().string(), 5, 7, false));
    ASSERT_EQ(plan.status, AutoNameStatus::Ready);
    EXPECT_EQ(plan.strPath, (dir.Path() / "Qorv00007.jpg").string());
    EXPECT_EQ(plan.dwNextStartNo, 8u);
    const char* want[] = {".bmp", ".jpg", ".png", ".gif", ".tif", "", ""};
    for (std::uint32_t type = 0; type < 7; ++type)
        EXPECT_EQ(capture::AutoSaveFileName(Params("", 3, 42, false, true, type), 42),
                  std::string("Qorv042") + want[type]);
}

TEST(AutoSaveName, TwoDigitsWithWrapRunOneToNinetyNineThenOneAgain) {
    testsupport::CTempDir dir;
    const std::vector<std::string> names =
        NameSequence(Params(dir.Path().string(), 2, 1, true), 101);
    ASSERT_EQ(names.size(), 101u);
    for (int i = 0; i < 101; ++i) {
        char want[32];
        std::snprintf(want, sizeof want, "Qorv%02d.jpg", i % 99 + 1); // 01..99, 01, 02
        EXPECT_EQ(names[std::size_t(i)], want) << i;
    }
}

TEST(AutoSaveName, SixDigitsWithWrapReachNineHundredNinetyNineThousand) {
    testsupport::CTempDir dir;
    const std::vector<std::string> names =
        NameSequence(Params(dir.Path().string(), 6, 999998, true), 3);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Qorv999998.jpg", "Qorv999999.jpg", "Qorv000001.jpg"}));
}

TEST(AutoSaveName, CounterPastTheDigitsWithoutWrapIsExhausted) {
    testsupport::CTempDir dir;
    auto plan = capture::PlanAutoSaveName(Params(dir.Path().string(), 5, 100000, false));
    EXPECT_EQ(plan.status, AutoNameStatus::CounterExhausted);
    EXPECT_EQ(plan.dwNextStartNo, 100000u) << "an unused name must not use up a number";
    // The last number is still handed out, then the counter stops.
    EXPECT_EQ(NameSequence(Params(dir.Path().string(), 5, 99999, false), 3),
              std::vector<std::string>{"Qorv99999.jpg"});
    // With wrap the same start uses the largest number, and the counter starts again at 1.
    plan = capture::PlanAutoSaveName(Params(dir.Path().string(), 5, 100000, true));
    ASSERT_EQ(plan.status, AutoNameStatus::Ready);
    EXPECT_EQ(plan.strPath.substr(plan.strPath.rfind('/') + 1), "Qorv99999.jpg");
    EXPECT_EQ(plan.dwNextStartNo, 1u);
    // The largest stored value does not overflow into 0.
    EXPECT_EQ(capture::AdvanceAutoSaveCounter(UINT32_MAX, Params("", 5, 0, false)), UINT32_MAX);
    EXPECT_EQ(capture::AdvanceAutoSaveCounter(UINT32_MAX, Params("", 2, 0, true)),
              (UINT32_MAX + 1ull) % 100);
}

TEST(AutoSaveName, DigitCountOutsideTwoToSixIsKeptInside) {
    EXPECT_EQ(capture::AutoSaveFileName(Params("", 0, 3, false), 3), "Qorv03.jpg");
    EXPECT_EQ(capture::AutoSaveFileName(Params("", 60, 3, false), 3), "Qorv000003.jpg");
}

TEST(AutoSaveName, MissingDirectoryGivesNoName) {
    testsupport::CTempDir dir;
    const auto plan = capture::PlanAutoSaveName(Params((dir.Path() / "gone").string(), 5, 4, true));
    EXPECT_EQ(plan.status, AutoNameStatus::NoDirectory);
    EXPECT_TRUE(plan.strPath.empty());
    EXPECT_EQ(plan.dwNextStartNo, 4u);
    Touch(dir.Path() / "file");
    EXPECT_EQ(capture::PlanAutoSaveName(Params((dir.Path() / "file").string(), 5, 4, true)).status,
              AutoNameStatus::NoDirectory);
}

TEST(AutoSaveName, ExistingFileIsFoundWithoutRegardToCase) {
    testsupport::CTempDir dir;
    const std::string d = dir.Path().string();
    Touch(dir.Path() / "qorv00003.jpg");
    Touch(dir.Path() / "Qorv00004.JPG");
    auto plan = capture::PlanAutoSaveName(Params(d, 5, 3, true, false));
    EXPECT_EQ(plan.status, AutoNameStatus::AskReplace);
    EXPECT_EQ(plan.strPath, (dir.Path() / "qorv00003.jpg").string());
    EXPECT_EQ(plan.dwNextStartNo, 4u);
    plan = capture::PlanAutoSaveName(Params(d, 5, 4, true, false));
    EXPECT_EQ(plan.status, AutoNameStatus::AskReplace);
    EXPECT_EQ(plan.strPath, (dir.Path() / "Qorv00004.JPG").string());
    // Replacing allowed: no question; another extension is another file.
    EXPECT_EQ(capture::PlanAutoSaveName(Params(d, 5, 3, true, true)).status, AutoNameStatus::Ready);
    EXPECT_EQ(capture::PlanAutoSaveName(Params(d, 5, 3, true, false, 2)).status,
              AutoNameStatus::Ready);
}
