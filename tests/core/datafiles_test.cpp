// The number form, the settings file and the page files: the plain functions, then the files
// as the window writes and reads them in C:\WINDOWS.
#include "core/datafiles.h"
#include "corefixture.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include <gtest/gtest.h>

using namespace core;
using coretest::CoreTest;
using coretest::Entry;
using coretest::sjis;

namespace {

TEST(NumberForm, BlankStandsWhereTheMinusWould) {
    const struct {
        long long n;
        const char* text;
    } cases[] = {{3, " 3"}, {0, " 0"}, {-1, "-1"}, {8388608, " 8388608"}, {-32768, "-32768"}, {999, " 999"}};
    for (const auto& c : cases)
        EXPECT_EQ(Str(c.n), QString::fromLatin1(c.text)) << c.n;
}

TEST(NumberForm, ReadingIsLenientAndRoundsHalvesToEven) {
    const struct {
        const char* text;
        long long value;
    } cases[] = {
        {" 3", 3},     {"3", 3},
        {"-1", -1},    {"  12abc", 12},
        {"abc", 0},    {"", 0},
        {"   ", 0},    {"3.5", 4},
        {"2.5", 2},    {"-2.5", -2},
        {"1.5", 2},    {"0.5", 0},
        {"3.49", 3},   {"&H800000", 8388608},
        {"&h10", 16},  {"1e3", 1000},
        {"1E2x", 100}, {"1e", 1},
        {"+7", 7},     {"-", 0},
        {".", 0},      {"1.2.3", 1},
        {" 999", 999}, {"--1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundVal(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

TEST(NumberForm, HugeValuesStayWithinThirtyTwoBits) {
    EXPECT_EQ(intVal("99999999999"), 2147483647);
    EXPECT_EQ(intVal("-99999999999"), -2147483647 - 1);
}

TEST(SettingsFile, NineLinesInTableOrder) {
    const Settings s = parseSettings({" 3", " 1", " 1200", " 300", " 1193046", " 2", " 3", " 1", " 1"});
    EXPECT_EQ(s.pageCount, 3);
    EXPECT_EQ(s.optExtractDir, 1);
    EXPECT_EQ(s.width, 1200);
    EXPECT_EQ(s.left, 300);
    EXPECT_EQ(s.backColor, 0x123456);
    EXPECT_EQ(s.optMouseIcon, 2);
    EXPECT_EQ(s.optRunStyle, 3);
    EXPECT_EQ(s.optAutoHide, 1);
    EXPECT_EQ(s.optNoTips, 1);
}

TEST(SettingsFile, MissingAndNonNumericLinesReadZero) {
    const Settings s = parseSettings({" 2", "yes", ""});
    EXPECT_EQ(s.pageCount, 2);
    for (int v : {s.optExtractDir, s.width, s.left, int(s.backColor), s.optMouseIcon, s.optRunStyle,
                  s.optAutoHide, s.optNoTips})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(parseSettings({}).pageCount, 0);
}

TEST(SettingsFile, WrittenInTheBlankSignedFormAndReadBack) {
    Settings s;
    s.pageCount = 4;
    s.optExtractDir = 1;
    s.width = 1500;
    s.left = -150;
    s.backColor = 0x800000;
    s.optMouseIcon = 3;
    s.optRunStyle = 2;
    s.optAutoHide = 1;
    s.optNoTips = 0;
    const QStringList lines = formatSettings(s);
    EXPECT_EQ(lines, (QStringList{" 4", " 1", " 1500", "-150", " 8388608", " 3", " 2", " 1", " 0"}));
    const Settings back = parseSettings(lines);
    EXPECT_EQ(formatSettings(back), lines);
}

TEST(SettingsFile, FirstStartFilesHoldTheMarkers) {
    EXPECT_EQ(defaultSettingsLines(), QStringList{"0"});
    EXPECT_EQ(defaultPageLines(), (QStringList{"999", QStringLiteral("ページ１")}));
    EXPECT_EQ(pageFileName(1), "znP1.ini");
    EXPECT_EQ(pageFileName(9), "znP9.ini");
}

TEST(PageFile, EmptyPageIsTheMarkerAndTheName) {
    EXPECT_EQ(formatPage(QStringLiteral("名前"), {}), (QStringList{"999", QStringLiteral("名前")}));
    const auto page = parsePage({"999", QStringLiteral("名前"), "left over"});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->name, QStringLiteral("名前"));
    EXPECT_TRUE(page->buttons.empty());
}

TEST(PageFile, OneButtonPageStartsWithZeroAndFourLinesPerButton) {
    const std::vector<ButtonEntry> one{{"C:\\A.TXT", "C:\\WINDOWS\\NOTEPAD.EXE", "A", 3}};
    EXPECT_EQ(formatPage("P", one),
              (QStringList{" 0", "P", "C:\\A.TXT", "C:\\WINDOWS\\NOTEPAD.EXE", "A", " 3"}));
    const std::vector<ButtonEntry> two{{"C:\\A", "", "a", 0}, {"C:\\B", "i", "b", -1}};
    EXPECT_EQ(formatPage("P", two),
              (QStringList{" 1", "P", "C:\\A", "", "a", " 0", "C:\\B", "i", "b", "-1"}));
}

TEST(PageFile, TextIsWrittenUnchangedAndReadBack) {
    const std::vector<ButtonEntry> buttons{
        {R"(C:\My Files\a,b "c".txt)", R"(C:\WINDOWS\x,y.exe)", R"(  "quoted", with commas  )", 7},
        {QStringLiteral("C:\\書類\\メモ.txt"), "", QStringLiteral("メモ帳　全角"), 0},
        {"C:\\", "C:\\", "", 12},
    };
    const QString name = QStringLiteral(" ページ,\"二\" ");
    const auto page = parsePage(formatPage(name, buttons));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->name, name);
    ASSERT_EQ(page->buttons.size(), buttons.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(page->buttons[i].path, buttons[i].path);
        EXPECT_EQ(page->buttons[i].iconFile, buttons[i].iconFile);
        EXPECT_EQ(page->buttons[i].caption, buttons[i].caption);
        EXPECT_EQ(page->buttons[i].iconIndex, buttons[i].iconIndex);
    }
}

TEST(PageFile, IconIndexReadsLeniently) {
    const struct {
        const char* line;
        int index;
    } cases[] = {{" 3", 3}, {"3", 3}, {"-2", -2}, {"abc", 0}, {"", 0}, {" 4.5", 4}};
    for (const auto& c : cases) {
        const auto page = parsePage({" 0", "P", "C:\\A", "C:\\I", "cap", QString::fromLatin1(c.line)});
        ASSERT_TRUE(page) << c.line;
        ASSERT_EQ(page->buttons.size(), 1u);
        EXPECT_EQ(page->buttons[0].iconIndex, c.index) << '"' << c.line << '"';
    }
}

TEST(PageFile, FilesThatEndEarlyGiveNoPage) {
    const struct {
        const char* what;
        QStringList lines;
    } cases[] = {
        {"no lines", {}},
        {"marker of a page not yet saved", {"999"}},
        {"count and name only", {" 0", "P"}},
        {"last button cut short", {" 0", "P", "C:\\A", "C:\\I", "cap"}},
        {"second button missing", {" 1", "P", "C:\\A", "C:\\I", "cap", " 0"}},
        {"count not a number", {"abc", "P"}},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(parsePage(c.lines)) << c.what;
}

TEST(PageFile, LargestPageHoldsNineHundredNinetyNineButtons) {
    std::vector<ButtonEntry> buttons;
    for (int i = 0; i < MaxButtons; ++i)
        buttons.push_back({QStringLiteral("C:\\F%1").arg(i), "", "", i % 5});
    const QStringList lines = formatPage("big", buttons);
    EXPECT_EQ(lines[0], " 998");
    const auto page = parsePage(lines);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->buttons.size(), size_t(MaxButtons));
    EXPECT_EQ(page->buttons.back().path, "C:\\F998");
}

// ---- the files on disk ----

class DataFilesOnDisk : public CoreTest {};

TEST_F(DataFilesOnDisk, PageSurvivesLoadAndSaveByteForByte) {
    const QString a = makeTarget(QStringLiteral("C:\\DATA\\メモ,一.txt"));
    const QString b = makeTarget(QStringLiteral("C:\\DATA\\Say \"hi\", Bob.txt"));
    const QString c = makeTarget(QStringLiteral("C:\\DATA\\plain.txt"));
    writeSettings(settings(1, 1200));
    const QByteArray page =
        sjis({" 2", QStringLiteral("仕事, \"その１\""), a, "C:\\WINDOWS\\NOTEPAD.EXE",
              QStringLiteral("メモ、一番"), " 3", b, "", QStringLiteral("\"quoted\", commas "), "-1", c, c,
              QStringLiteral("  ｶﾀｶﾅ半角  "), " 0"});
    writeWindowsFile("znP1.ini", page);
    ASSERT_TRUE(start());
    ASSERT_EQ(w->btnCount, 3);
    EXPECT_EQ(w->btnCaption[1], QStringLiteral("\"quoted\", commas "));
    EXPECT_EQ(w->btnIconIndex[0], 3);
    EXPECT_EQ(w->btnIconIndex[1], -1);
    EXPECT_EQ(w->Caption(), QStringLiteral("仕事, \"その１\""));
    writeWindowsFile("znP1.ini", "overwritten");
    w->WritePage(1);
    EXPECT_EQ(windowsFileBytes("znP1.ini"), page);
    EXPECT_EQ(w->pageFile, "znP1.ini");
}

TEST_F(DataFilesOnDisk, EmptyPageIsSavedAsTheMarkerAndItsName) {
    ASSERT_TRUE(start()); // first start: an empty page named ページ１
    w->setCaption(QStringLiteral("空き, \"ページ\""));
    w->WritePage(3);
    EXPECT_EQ(windowsFileBytes("znP3.ini"), sjis({"999", QStringLiteral("空き, \"ページ\"")}));
}

TEST_F(DataFilesOnDisk, PagesThatCannotBeReadShowEmptyWithoutAName) {
    const struct {
        const char* what;
        std::optional<QByteArray> bytes; // nullopt: no file
        const char* menuText;            // the page menu reads the second line as it stands
    } cases[] = {
        {"marker only", QByteArray("999\r\n"), ""},
        {"button cut short", sjis({" 1", "Short", "C:\\A", "", "a", " 0", "C:\\B"}), "Short"},
        {"empty file", QByteArray(), ""},
        {"missing file", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshHome();
        writeSettings(settings(2));
        writePage(1, "One", targets(1));
        if (c.bytes) writeWindowsFile("znP2.ini", *c.bytes);
        ASSERT_TRUE(start());
        EXPECT_EQ(w->Pchange[2]->text(), QString::fromLatin1(c.menuText));
        w->Pchange_Click(2); // the page switch
        EXPECT_EQ(w->curPage, 2);
        EXPECT_EQ(w->Caption(), QString());
        EXPECT_EQ(w->btnCount, 0);
        EXPECT_TRUE(w->btn[0]->isHidden());
        w.reset();
    }
}

TEST_F(DataFilesOnDisk, EarlyEndingFirstPageStartsEmptyWithoutAName) {
    writeSettings(settings(1));
    writeWindowsFile("znP1.ini", "999\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(w->Caption(), QString());
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_TRUE(w->btn[0]->isHidden());
}

TEST_F(DataFilesOnDisk, InvalidShiftJisBytesSurviveALoadAndASave) {
    const QString target = makeTarget("C:\\DATA\\A.TXT");
    // 0x81 0x20: a lead byte with a blank after it; 0xFD, 0xA0 and 0xFF are no characters.
    QByteArray page;
    page += " 0\r\nPage\x81\x20name\r\n";
    page += target.toLatin1() + "\r\n";
    page += "C:\\ICONS\\\xFD\xA0.ico\r\n";
    page += "cap\x82\xA0\x85\xFF\x82\r\n";
    page += " 0\r\n";
    writeSettings(settings(1));
    writeWindowsFile("znP1.ini", page);
    ASSERT_TRUE(start());
    ASSERT_EQ(w->btnCount, 1);
    EXPECT_TRUE(w->Caption().startsWith("Page"));
    EXPECT_TRUE(w->Caption().endsWith("name"));
    w->WritePage(1);
    EXPECT_EQ(windowsFileBytes("znP1.ini"), page);
}

TEST_F(DataFilesOnDisk, CaptionShiftJisCannotHoldMakesThatFileUtf8AndReadsBack) {
    writeSettings(settings(1));
    writePage(1, QStringLiteral("ページ"), targets(2));
    ASSERT_TRUE(start());
    ASSERT_EQ(w->btnCount, 2);
    w->btnCaption[1] = QStringLiteral("café 😀 メモ");
    w->WritePage(1);
    w->WriteSettings();
    const QByteArray bytes = windowsFileBytes("znP1.ini");
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("café 😀 メモ\r\n").toUtf8()));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_FALSE(windowsFileBytes("zns14.ini").startsWith("\xEF\xBB\xBF")); // only that one file

    w.reset(); // the next start reads it back
    ASSERT_TRUE(start());
    ASSERT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("ページ"));
    EXPECT_EQ(w->btnCaption[0], "F0");
    EXPECT_EQ(w->btnCaption[1], QStringLiteral("café 😀 メモ"));
}

TEST_F(DataFilesOnDisk, SaveInterruptedHalfWayKeepsTheOldFilesAndIsReported) {
    writeSettings(settings(1, 1200));
    writePage(1, "P", targets(3));
    const QByteArray oldSettings = windowsFileBytes("zns14.ini");
    const QByteArray oldPage = windowsFileBytes("znP1.ini");
    ASSERT_TRUE(start());
    w->btnCaption[0] = "changed";
    plat::setWriteFailureAfter(5);
    env->dialogs.msgAnswers = {plat::vbOK, plat::vbYes};
    w->end_Click();
    EXPECT_EQ(windowsFileBytes("zns14.ini"), oldSettings);
    EXPECT_EQ(windowsFileBytes("znP1.ini"), oldPage);
    ASSERT_GE(env->dialogs.messages.size(), 1u);
    const auto& report = env->dialogs.messages[0];
    EXPECT_TRUE(report.text.contains("zns14.ini")) << report.text.toStdString();
    EXPECT_EQ(report.style & plat::vbCritical, plat::vbCritical);
    EXPECT_EQ(ended, 1); // answered Yes: ends without the save
}

} // namespace
