// SPDX-License-Identifier: MIT
// The --progress bar: one line per step, redrawn only when the whole percentage changes.
#include "ProgressBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string Drawn(void (*draw)(cli::CProgressBar&)) {
    std::FILE* file = std::tmpfile();
    {
        cli::CProgressBar bar(file);
        draw(bar);
    }
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += char(c);
    std::fclose(file);
    return text;
}

TEST(ProgressBar, RedrawsOnWholePercentChangesAndEndsEachStepsLine) {
    const std::string text = Drawn([](cli::CProgressBar& bar) {
        bar.Begin("--invert");
        bar.SetProgress(0.05);
        bar.SetProgress(0.0501); // still 5 %
        bar.SetProgress(0.999);  // 99 %, as the status bar truncates
        bar.Begin("--flip-h");
        bar.SetProgress(1.0);
    });
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 5); // 0, 5, 99; 0, 100
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_NE(text.find("--invert"), std::string::npos);
    EXPECT_NE(text.find("  5%"), std::string::npos);
    EXPECT_NE(text.find(" 99%"), std::string::npos);
    EXPECT_NE(text.find("[##############################] 100%\n"), std::string::npos);
}

} // namespace
