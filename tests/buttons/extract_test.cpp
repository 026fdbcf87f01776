// Offering an archive for extraction: the new folder named after the archive, or a folder the
// user types; the four callers differ in the box style, the error report and the drop handle.
#include "panelfixture.h"
#include "platform/dialogs.h"
#include "platform/dragdrop.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include <QDir>

using namespace btntest;
using core::ExtractVariant;

namespace {

const char* const kFlat = "lzh/archives/lhasa/lha213/lh5.lzh";           // GPL-2
const char* const kTree = "lzh/archives/lhasa/explzh_723/h0_subdir.lzh"; // subdir/subdir2/hello.txt

class ExtractTest : public PanelTest {
  protected:
    // Names in a Windows folder, sorted (empty when it does not exist).
    QStringList entriesOf(const QString& win) const {
        return QDir(env->host(win)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(ExtractTest, ProposedFolderIsThePathBeforeItsFirstDot) {
    struct Case {
        QString archive;
        QString folder;
    };
    const Case cases[] = {
        {"C:\\DL\\TOOL.LZH", "C:\\DL\\TOOL"},
        {"C:\\V1.2\\A.LZH", "C:\\V1"},
        {"C:\\DL\\PACK.TAR.lzh", "C:\\DL\\PACK"},
        {"C:\\DL\\NODOTlzh", "C:\\DL\\NODOTlzh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive.toStdString());
        env->dialogs.messages.clear();
        w->ExtractArchive(c.archive, ExtractVariant::Register); // answered No
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, QStringLiteral("新しいフォルダ ") + c.folder +
                                          QStringLiteral(" を作成し、そこに解凍します"));
        EXPECT_EQ(messages()[0].title, QStringLiteral("圧縮ファイルの解凍確認"));
        EXPECT_FALSE(exists(c.folder));
    }
    EXPECT_TRUE(env->dialogs.inputs.empty());
}

TEST_F(ExtractTest, YesMakesTheFolderAndUnpacksWithMemberFolders) {
    const QString arc = copyArchive(kTree, "C:\\DL\\TOOL.LZH");
    env->dialogs.msgAnswers = {plat::vbYes};
    w->ExtractArchive(arc, ExtractVariant::Register);
    EXPECT_EQ(testenv::readFile(env->host("C:\\DL\\TOOL\\subdir\\subdir2\\hello.txt")),
              QByteArray("hello world\n"));
    EXPECT_EQ(entriesOf("C:\\DL"), QStringList({"TOOL", "TOOL.LZH"})); // the archive stays
    EXPECT_EQ(messages().size(), 1u);                                  // no completion message
    EXPECT_EQ(w->btnCount, 0);
}

TEST_F(ExtractTest, DotInAFolderNameCutsTheProposedFolderThere) {
    const QString arc = copyArchive(kFlat, "C:\\V1.2\\A.LZH");
    env->dialogs.msgAnswers = {plat::vbYes};
    w->ExtractArchive(arc, ExtractVariant::Change);
    EXPECT_EQ(entriesOf("C:\\V1"), QStringList({"GPL-2"}));
    EXPECT_EQ(entriesOf("C:\\V1.2"), QStringList({"A.LZH"}));
}

TEST_F(ExtractTest, NoLeavesTheDiskUntouched) {
    const QString arc = copyArchive(kFlat, "C:\\DL\\TOOL.LZH");
    w->ExtractArchive(arc, ExtractVariant::Register);
    EXPECT_EQ(entriesOf("C:\\DL"), QStringList({"TOOL.LZH"}));
}

TEST_F(ExtractTest, VariantsDifferInModalityAndInTheErrorOfAnExistingFolder) {
    struct Case {
        ExtractVariant variant;
        int style;
        bool reports;
    };
    const Case cases[] = {
        {ExtractVariant::Click, plat::vbYesNo | plat::vbQuestion, true},
        {ExtractVariant::Register, plat::vbYesNo | plat::vbQuestion | plat::vbSystemModal, false},
        {ExtractVariant::Drop, plat::vbYesNo | plat::vbQuestion | plat::vbSystemModal, false},
        {ExtractVariant::Change, plat::vbYesNo | plat::vbQuestion, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.variant));
        const QString arc = copyArchive(kFlat, QStringLiteral("C:\\DL%1\\SRC.LZH").arg(++n));
        const QString folder = QStringLiteral("C:\\DL%1\\SRC").arg(n);
        env->dialogs.messages.clear();
        env->dialogs.msgAnswers = {plat::vbYes, plat::vbYes};
        w->ExtractArchive(arc, c.variant, c.variant == ExtractVariant::Drop ? plat::makeDrop({arc}) : 0);
        EXPECT_EQ(entriesOf(folder), QStringList({"GPL-2"}));
        // A second time the folder exists: nothing is unpacked; only the click reports it.
        testenv::writeFile(env->host(folder + "\\GPL-2"), "changed");
        const plat::HDROP again = c.variant == ExtractVariant::Drop ? plat::makeDrop({arc}) : 0;
        if (c.reports)
            EXPECT_THROW(w->ExtractArchive(arc, c.variant, again), plat::RuntimeError);
        else
            EXPECT_NO_THROW(w->ExtractArchive(arc, c.variant, again));
        EXPECT_EQ(testenv::readFile(env->host(folder + "\\GPL-2")), QByteArray("changed"));
        ASSERT_EQ(messages().size(), 2u);
        for (const auto& m : messages())
            EXPECT_EQ(m.style, c.style);
    }
    EXPECT_EQ(plat::liveDropCount(), 0);
}

TEST_F(ExtractTest, AskedDestinationTakesTheCurrentFolderAsDefault) {
    w->optExtractDir = 1;
    const QString arc = copyArchive(kFlat, "C:\\DL\\SRC.LZH");
    plat::ChDir("C:\\WINDOWS");
    w->ExtractArchive(arc, ExtractVariant::Register); // cancelled
    ASSERT_EQ(env->dialogs.inputs.size(), 1u);
    EXPECT_EQ(env->dialogs.inputs[0].prompt, QStringLiteral("解凍先のパスを入力して下さい"));
    EXPECT_EQ(env->dialogs.inputs[0].title, QStringLiteral("ファイルの解凍"));
    EXPECT_EQ(env->dialogs.inputs[0].defaultText, QStringLiteral("C:\\WINDOWS"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(entriesOf("C:\\DL"), QStringList({"SRC.LZH"}));
}

TEST_F(ExtractTest, AskedDestinationIsCompletedMadeOneLevelOrRefused) {
    w->optExtractDir = 1;
    const QString arc = copyArchive(kFlat, "C:\\DL\\SRC.LZH");
    makeFolder("C:\\TEMP");
    makeFolder("C:\\HAVE");
    struct Case {
        std::optional<QString> answer;
        QString unpackedIn; // empty: nothing unpacked anywhere
    };
    const Case cases[] = {
        {QStringLiteral("C:\\TEMP"), "C:\\TEMP"},       // existing, "\" appended
        {QStringLiteral("C:\\HAVE\\"), "C:\\HAVE"},     // existing, already complete
        {QStringLiteral("C:\\NEWDEST"), "C:\\NEWDEST"}, // made
        {QStringLiteral("C:\\NOPE\\DEEP"), QString()},  // parent missing: not made
        {QStringLiteral(""), QString()},                // empty answer
        {std::nullopt, QString()},                      // cancel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.value_or("<cancel>").toStdString());
        env->dialogs.inputAnswers = {c.answer};
        const QStringList rootBefore = entriesOf("C:\\");
        w->ExtractArchive(arc, ExtractVariant::Register);
        if (!c.unpackedIn.isEmpty()) {
            EXPECT_EQ(entriesOf(c.unpackedIn), QStringList({"GPL-2"}));
            EXPECT_TRUE(entriesOf(c.unpackedIn + "\\GPL-2").isEmpty()); // a file, not a folder
        } else {
            EXPECT_EQ(entriesOf("C:\\"), rootBefore);
        }
    }
    EXPECT_FALSE(exists("C:\\NOPE"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(entriesOf("C:\\DL"), QStringList({"SRC.LZH"}));
}

TEST_F(ExtractTest, ClickReportsADestinationThatCannotBeMade) {
    w->optExtractDir = 1;
    const QString arc = copyArchive(kFlat, "C:\\DL\\SRC.lzh");
    putButton(arc);
    env->dialogs.inputAnswers = {QStringLiteral("C:\\NOPE\\DEEP")};
    w->btn_Click(0);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("エラーが発生しました"));
    EXPECT_FALSE(exists("C:\\NOPE"));
}

TEST_F(ExtractTest, DropReleasesTheHandleOnEveryWayOut) {
    struct Case {
        const char* what;
        int extractDir;
        std::deque<int> answers;
        std::deque<std::optional<QString>> inputs;
        bool precreate;
        bool unpacks;
    };
    const Case cases[] = {
        {"answered No", 0, {plat::vbNo}, {}, false, false},
        {"folder exists", 0, {plat::vbYes}, {}, true, false},
        {"unpacked", 0, {plat::vbYes}, {}, false, true},
        {"empty destination", 1, {}, {QStringLiteral("")}, false, false},
        {"cancelled destination", 1, {}, {std::nullopt}, false, false},
        {"destination cannot be made", 1, {}, {QStringLiteral("C:\\NOPE\\DEEP")}, false, false},
        {"typed destination", 1, {}, {QStringLiteral("C:\\DL\\SRC")}, false, true},
    };
    const int before = plat::liveDropCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(env->host("C:\\DL")).removeRecursively();
        const QString arc = copyArchive(kFlat, "C:\\DL\\SRC.LZH");
        if (c.precreate) makeFolder("C:\\DL\\SRC");
        w->optExtractDir = c.extractDir;
        env->dialogs.messages.clear();
        env->dialogs.msgAnswers = c.answers;
        env->dialogs.inputAnswers = c.inputs;
        w->WinMsg1_Message(0x233, plat::makeDrop({arc}));
        EXPECT_EQ(plat::liveDropCount(), before);
        EXPECT_EQ(entriesOf("C:\\DL\\SRC").contains("GPL-2"), c.unpacks);
        if (c.extractDir == 0) {
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].style, plat::vbYesNo | plat::vbQuestion | plat::vbSystemModal);
        } else {
            EXPECT_TRUE(messages().empty());
        }
        EXPECT_EQ(w->btnCount, 0);
    }
}

TEST_F(ExtractTest, RegisteringAnArchiveUnpacksInsteadOfMakingAButton) {
    struct Case {
        QString name;
        bool archive;
    };
    const Case cases[] = {
        {"C:\\DL\\A.LZH", true},
        {"C:\\DL\\B.lzh", true},
        {"C:\\DL\\C.Lzh", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString arc = copyArchive(kFlat, c.name);
        const int count = w->btnCount;
        env->dialogs.messages.clear();
        env->dialogs.msgAnswers = {plat::vbYes};
        w->RegisterFile(arc);
        if (c.archive) {
            EXPECT_EQ(w->btnCount, count);
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].style, plat::vbYesNo | plat::vbQuestion | plat::vbSystemModal);
            EXPECT_TRUE(exists(c.name.left(c.name.indexOf('.')) + "\\GPL-2"));
        } else {
            EXPECT_EQ(w->btnCount, count + 1);
            EXPECT_EQ(w->btnPath[size_t(count)], arc);
            EXPECT_TRUE(messages().empty());
        }
    }
}

} // namespace

namespace {

class DamagedArchiveTest : public ExtractTest {};

TEST_F(DamagedArchiveTest, DropOfADamagedArchiveLeavesAnEmptyFolderAndReleasesTheHandle) {
    QByteArray bytes = testenv::readFile(testenv::fixture(kFlat));
    ASSERT_GT(bytes.size(), 200);
    bytes.truncate(bytes.size() / 2);
    const QString arc = makeFile("C:\\DL\\SRC.LZH", bytes);
    env->dialogs.msgAnswers = {plat::vbYes};
    const int live = plat::liveDropCount();
    w->WinMsg1_Message(0x233, plat::makeDrop({arc}));
    EXPECT_EQ(plat::liveDropCount(), live);
    EXPECT_TRUE(exists("C:\\DL\\SRC"));
    EXPECT_EQ(entriesOf("C:\\DL\\SRC"), QStringList());
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages()[0].title, QStringLiteral("圧縮ファイルの解凍確認"));
    EXPECT_EQ(w->btnCount, 0);
}

} // namespace
