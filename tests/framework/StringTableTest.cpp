// SPDX-License-Identifier: MIT
// The string table's texts and the %1/%2 formatting.
#include "framework/StringTable.h"
#include "framework/CommandIds.h"
#include "framework/DataValidation.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

std::string Text(unsigned nID) {
    return LoadString(nID).toStdString();
}

} // namespace

TEST(StringTable, ShippedTableHasNoBadEntries) {
    QFile file(QStringLiteral(":/quorvi/strings.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList errors;
    const CStringTable table = CStringTable::FromJson(file.readAll(), &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_GT(table.Ids().size(), 100);
}

TEST(StringTable, ProgramTextsAreExact) {
    EXPECT_EQ(Text(57344), "Quorvi Studio");
    // Two blanks before "to", as the program has always shown it.
    EXPECT_EQ(Text(140),
              "There are %1 images that haven't been saved or have changed since they are saved. "
              "Would you like to be prompted  to save each image?");
    EXPECT_EQ(Text(151), "Your printer has some trouble. Please check your printer settings in the "
                         "Control Panel window.");
    EXPECT_EQ(Text(152), "The current image was modified. Do you discard these changes?");
    EXPECT_EQ(Text(1233),
              "This is not a 24 bit per-pixel image, %1 operation must use 24 bit per-pixel image,"
              "do you convert it to 24 bit per-pixel image?");
    EXPECT_EQ(Text(143), "The start number of file name reach maxium value!");
    EXPECT_EQ(Text(142), "File %1 has always existed. Would you like replace it?");
    EXPECT_EQ(Text(132), "To use menu capture mode:\n\t a) pull down the desired menu;\n\t b) use "
                         "the menu capture hotey <%1>.");
    EXPECT_EQ(Text(32778), "&Windows...");
    EXPECT_EQ(Text(59142), "  Mouse Position:");
    EXPECT_EQ(Text(59143), "  Color:");
    EXPECT_EQ(Text(59144), "  Image Size:");
    EXPECT_EQ(Text(61442), "All Files (*.*)");
    EXPECT_EQ(Text(129), "\nQuorv\nQuorv\n\n\nQuorvi Studio.Document\nQuorv Document");
}

TEST(StringTable, FrameworkTextsAreExact) {
    EXPECT_EQ(Text(IDP_ASK_TO_SAVE), "Save changes to %1?");
    EXPECT_EQ(Text(IDP_PARSE_INT_RANGE), "Please enter an integer between %1 and %2.");
    EXPECT_EQ(Text(IDP_PARSE_REAL_RANGE), "Please enter a number between %1 and %2.");
    EXPECT_EQ(Text(IDP_PARSE_INT), "Please enter an integer.");
}

TEST(StringTable, PromptAndToolTipSplitAtTheFirstNewline) {
    const CStringTable& table = CStringTable::Get();
    EXPECT_EQ(table.Prompt(32771).toStdString(), "Toggle open file tabs on and off");
    EXPECT_EQ(table.ToolTip(32771).toStdString(), "Open File Tabs");
    EXPECT_EQ(table.ToolTip(32772).toStdString(), "Toggle Full Screen Mode");
    EXPECT_EQ(table.Prompt(32839).toStdString(), "Zoom the image with expand");
    // An entry without a newline is all prompt and no tool tip.
    EXPECT_EQ(table.Prompt(152), table.Text(152));
    EXPECT_TRUE(table.ToolTip(152).isEmpty());
    // Unknown ids give empty texts, not a crash.
    EXPECT_TRUE(table.Text(4242).isEmpty());
    EXPECT_TRUE(table.Prompt(4242).isEmpty());
}

TEST(StringTable, EveryToolbarAndMenuCommandHasAPrompt) {
    const CStringTable& table = CStringTable::Get();
    for (unsigned nID :
         {57600u, 57601u, 57603u, 57607u, 32857u, 57635u, 57634u, 57637u, 57643u, 57644u, 32808u,
          32822u, 32824u, 1232u,  32792u, 1101u,  1100u,  32788u, 1168u,  32791u, 32790u, 1104u,
          1152u,  32839u, 32840u, 32803u, 32804u, 32800u, 32794u, 32796u, 32797u}) {
        EXPECT_FALSE(table.Prompt(nID).isEmpty()) << nID;
        EXPECT_FALSE(table.ToolTip(nID).isEmpty()) << nID;
    }
}

TEST(FormatString, FillsMarkersInOnePass) {
    EXPECT_EQ(
        FormatString(QStringLiteral("Size [%1,%2]"), {QStringLiteral("8888"), QStringLiteral("7")}),
        QStringLiteral("Size [8888,7]"));
    // Order in the text does not matter, and a marker may repeat.
    EXPECT_EQ(FormatString(QStringLiteral("%2-%1-%2"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("b-a-b"));
    // An argument that contains a marker is not expanded again.
    EXPECT_EQ(
        FormatString(QStringLiteral("%1 and %2"), {QStringLiteral("50%2"), QStringLiteral("x")}),
        QStringLiteral("50%2 and x"));
    // Markers without arguments and other percent signs stay.
    EXPECT_EQ(FormatString(QStringLiteral("100% of %1 %3 %"), {QStringLiteral("it")}),
              QStringLiteral("100% of it %3 %"));
    EXPECT_EQ(FormatString(QString(), {QStringLiteral("x")}), QString());
}

TEST(FormatString, TableEntriesWithArguments) {
    EXPECT_EQ(FormatString1(IDS_ASK_SAVE_IMAGES, QStringLiteral("2")).toStdString(),
              "There are 2 images that haven't been saved or have changed since they are saved. "
              "Would you like to be prompted  to save each image?");
    EXPECT_EQ(FormatString1(IDP_ASK_TO_SAVE, QStringLiteral("shot.png")).toStdString(),
              "Save changes to shot.png?");
    EXPECT_EQ(
        FormatString1(IDS_NOT_TRUE_COLOR, QStringLiteral("Resize")).toStdString(),
        "This is not a 24 bit per-pixel image, Resize operation must use 24 bit per-pixel image,"
        "do you convert it to 24 bit per-pixel image?");
    EXPECT_EQ(
        FormatString2(IDS_PICKER_SIZE, QStringLiteral("640"), QStringLiteral("480")).toStdString(),
        "Size [640,480] | [Right click to toggle between stretch and move]");
}

TEST(StringTable, FromJsonReportsUnknownIdsAndKeepsTheRest) {
    QStringList errors;
    const CStringTable table = CStringTable::FromJson(
        R"({"ID_FILE_OPEN": "Open\nOpen", "ID_NO_SUCH_THING": "x", "140": "by number", "ID_FILE_SAVE": 5})",
        &errors);
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(table.Text(ID_FILE_OPEN), QStringLiteral("Open\nOpen"));
    EXPECT_EQ(table.Text(140), QStringLiteral("by number"));
    EXPECT_FALSE(table.Contains(ID_FILE_SAVE));

    errors.clear();
    CStringTable::FromJson("[1, 2", &errors);
    EXPECT_EQ(errors.size(), 1);
}

TEST(ResourceIds, NamesAndNumbersResolve) {
    EXPECT_EQ(ResourceIdFromName("ID_FILE_NEW"), 57600u);
    EXPECT_EQ(ResourceIdFromName("ID_APP_ABOUT"), 57664u);
    EXPECT_EQ(ResourceIdFromName("ID_HELP_FINDER"), 57667u);
    EXPECT_EQ(ResourceIdFromName("ID_CAPTURE_TRIANGLE"), 32789u);
    EXPECT_EQ(ResourceIdFromName("ID_CAPTURE_ICON"), 1102u);
    EXPECT_EQ(ResourceIdFromName("123"), 123u);
    EXPECT_FALSE(ResourceIdFromName("12a"));
    EXPECT_FALSE(ResourceIdFromName(""));
    EXPECT_FALSE(ResourceIdFromName("ID_NOPE"));
    EXPECT_EQ(ResourceIdName(57601), "ID_FILE_OPEN");
    EXPECT_TRUE(ResourceIdName(4242).empty());
}

TEST(DataValidation, ParsesIntegersAsTypedInFields) {
    EXPECT_EQ(fw::ParseInteger(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(fw::ParseInteger(QStringLiteral("+5")), 5);
    EXPECT_EQ(fw::ParseInteger(QStringLiteral("-3")), -3);
    EXPECT_FALSE(fw::ParseInteger(QStringLiteral("1.5")));
    EXPECT_FALSE(fw::ParseInteger(QStringLiteral("12abc")));
    EXPECT_FALSE(fw::ParseInteger(QStringLiteral("")));
    EXPECT_FALSE(fw::ParseInteger(QStringLiteral("-")));
    EXPECT_FALSE(fw::ParseInteger(QStringLiteral("99999999999999999999")));
    EXPECT_DOUBLE_EQ(*fw::ParseReal(QStringLiteral(" 1.5 ")), 1.5);
    EXPECT_DOUBLE_EQ(*fw::ParseReal(QStringLiteral("-2e3")), -2000.0);
    EXPECT_FALSE(fw::ParseReal(QStringLiteral("1,5")));
    EXPECT_FALSE(fw::ParseReal(QStringLiteral("inf")));
}

TEST(DataValidation, RangeMessagesUseTheFrameworkTexts) {
    EXPECT_FALSE(fw::CheckIntRange(0, 0, 100));
    EXPECT_FALSE(fw::CheckIntRange(100, 0, 100));
    EXPECT_EQ(fw::CheckIntRange(101, 0, 100)->toStdString(),
              "Please enter an integer between 0 and 100.");
    EXPECT_EQ(fw::CheckIntRange(-1, 0, 10000)->toStdString(),
              "Please enter an integer between 0 and 10000.");
    EXPECT_EQ(fw::CheckRealRange(0.01, 0.1, 2.5)->toStdString(),
              "Please enter a number between 0.1 and 2.5.");
    EXPECT_FALSE(fw::CheckRealRange(2.5, 0.1, 2.5));
    EXPECT_EQ(fw::CheckMaxChars(QStringLiteral("abcdefghijklm"), 12)->toStdString(),
              "Please enter no more than 12 characters.");
    EXPECT_FALSE(fw::CheckMaxChars(QStringLiteral("abcdefghijkl"), 12));
}
