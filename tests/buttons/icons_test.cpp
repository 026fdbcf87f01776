// Button faces: a 36 x 36 picture with the icon at its natural size in the top-left corner,
// restored from the recorded icon file and index; icon handles live only while drawing.
#include "panelfixture.h"
#include "platform/icons.h"
#include <QImage>

using namespace btntest;

namespace {

class IconTest : public PanelTest {
  protected:
    QImage face(int k) const { return w->btn[size_t(k)]->picture().toImage(); }
    static bool blank(const QImage& img) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) != 0) return false;
        return true;
    }
};

TEST_F(IconTest, OwnIconIsDrawnAtItsNaturalSizeInTheTopLeftCorner) {
    const QString own = makeFile("C:\\TOOLS\\BLUE.ICO", icoBytes());
    w->RegisterFile(own);
    ASSERT_EQ(w->btnCount, 1);
    const QImage img = face(0);
    ASSERT_EQ(img.size(), QSize(36, 36));
    const QColor inside = img.pixelColor(16, 16);
    EXPECT_EQ(inside.alpha(), 255);
    EXPECT_GT(inside.blue(), 150);
    EXPECT_LT(inside.red(), 80);
    EXPECT_EQ(img.pixelColor(31, 31).alpha(), 255);
    // The strip beyond 32 pixels is the scratch picture's background.
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(img.pixelColor(34, i).alpha(), 0) << i;
        EXPECT_EQ(img.pixelColor(i, 34).alpha(), 0) << i;
    }
}

TEST_F(IconTest, RestoringDrawsTheRecordedIconOrLeavesTheFaceEmpty) {
    struct Case {
        const char* what;
        QString file;
        int index;
        bool drawn;
    };
    const QString own = makeFile("C:\\TOOLS\\BLUE.ICO", icoBytes());
    const Case cases[] = {
        {"own icon", own, 0, true},
        {"shell folder", shellLibrary(), 3, true},
        {"shell shortcut", shellLibrary(), 29, true},
        {"icon file gone", "C:\\TOOLS\\GONE.ICO", 0, false},
        {"index beyond the file", own, 5, false},
        {"not an icon source", makeFile("C:\\DATA\\A.TXT"), 0, false},
    };
    for (const Case& c : cases)
        putButton("C:\\X\\" + QString::fromLatin1(c.what));
    const int handles = plat::liveIconCount();
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].what);
        // Another button drawn just before must not show through.
        w->btnIconFile[0] = own;
        w->btnIconIndex[0] = 0;
        w->restoreButtonIcon(0);
        w->btnIconFile[size_t(i)] = cases[i].file;
        w->btnIconIndex[size_t(i)] = cases[i].index;
        w->restoreButtonIcon(i);
        const QImage img = face(i);
        EXPECT_EQ(img.size(), QSize(36, 36));
        EXPECT_EQ(!blank(img), cases[i].drawn);
    }
    EXPECT_EQ(plat::liveIconCount(), handles);
    EXPECT_TRUE(messages().empty());
}

TEST_F(IconTest, RegistrationReleasesEveryIconHandle) {
    const int handles = plat::liveIconCount();
    w->RegisterFile(makeFile("C:\\TOOLS\\BLUE.ICO", icoBytes()));
    w->RegisterFile(makeFile("C:\\DATA\\MEMO.TXT"));
    w->RegisterFile(makeFile("C:\\DATA\\GO.LNK", QByteArray("\x00\x01", 2)));
    w->RegisterFile(makeFile("C:\\DATA\\RAW.ZQ9", QByteArray("\x00\x01", 2)));
    w->RegisterFile(makeFile("C:\\DATA\\RAW.ZQ9", QByteArray("\x00\x01", 2))); // refused
    w->WinMsg1_Message(0x233, plat::makeDrop({makeFolder("C:\\DATA\\SUB")}));
    EXPECT_EQ(w->btnCount, 5);
    EXPECT_EQ(plat::liveIconCount(), handles);
    for (int i = 0; i < w->btnCount; ++i)
        EXPECT_FALSE(blank(face(i))) << i;
}

TEST_F(IconTest, ButtonsShowDifferentFacesForDifferentSources) {
    w->RegisterFile(makeFile("C:\\TOOLS\\BLUE.ICO", icoBytes()));
    w->WinMsg1_Message(0x233, plat::makeDrop({makeFolder("C:\\DATA\\SUB")}));
    w->RegisterFile(makeFile("C:\\DATA\\RAW.ZQ9", QByteArray("\x00\x01", 2)));
    ASSERT_EQ(w->btnCount, 3);
    EXPECT_NE(face(0), face(1));
    EXPECT_NE(face(1), face(2));
    EXPECT_NE(face(0), face(2));
}

} // namespace
