// Making buttons: the open-file dialog, the folder dialog and dropped files.
#include "buttons/infold.h"
#include "panelfixture.h"
#include "platform/dialogs.h"
#include "platform/dragdrop.h"
#include "platform/filelists.h"
#include "platform/files.h"
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

using namespace btntest;

namespace {

// What the table holds for one button.
struct Entry {
    QString path, caption, iconFile;
    int iconIndex;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "{" << e.path.toStdString() << ", " << e.caption.toStdString() << ", " << e.iconFile.toStdString()
        << ", " << e.iconIndex << "}";
}

class RegisterTest : public PanelTest {
  protected:
    Entry entry(int i) const {
        return {w->btnPath[size_t(i)], w->btnCaption[size_t(i)], w->btnIconFile[size_t(i)],
                w->btnIconIndex[size_t(i)]};
    }
    // Drops items and checks the handle is released.
    void drop(const QStringList& items) {
        const int before = plat::liveDropCount();
        w->WinMsg1_Message(0x233, plat::makeDrop(items));
        EXPECT_EQ(plat::liveDropCount(), before);
    }
    // Runs the folder dialog; act types into it and clicks its buttons.
    void folderDialog(const std::function<void(core::InFold*)>& act) {
        env->dialogs.onModal = [act](QDialog* d) {
            auto* f = qobject_cast<core::InFold*>(d);
            ASSERT_NE(f, nullptr);
            act(f);
        };
        w->foldin_Click();
    }
};

TEST_F(RegisterTest, IconAndCaptionFollowTheKindOfTarget) {
    const QString own = makeFile("C:\\TOOLS\\EDIT.ICO", icoBytes());
    const QString text = makeFile("C:\\DATA\\MEMO.TXT", "memo\n");
    const QString blob = makeFile("C:\\DATA\\RAW.ZQ9", QByteArray("\x00\x01\x02\xff", 4));
    const QString lnk = makeFile("C:\\DATA\\APP.LNK", QByteArray("\x00\x01\x02\xff", 4));
    const QString lnk2 = makeFile("C:\\DATA\\app2.lnk", QByteArray("\x00\x01\x02\xff", 4));
    const QString lnk3 = makeFile("C:\\DATA\\app3.Lnk", QByteArray("\x00\x01\x02\xff", 4));
    const QString program = makeFile("C:\\TOOLS\\RUNME", "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(env->host(program),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const Entry expected[] = {
        {own, "EDIT.ICO", own, 0},
        {text, "MEMO.TXT", fixtureEditor().scriptWin(), 0},
        {blob, "RAW.ZQ9", shellLibrary(), 0},
        {lnk, "APP.LNK", shellLibrary(), 29},
        {lnk2, "app2.lnk", shellLibrary(), 29},
        {lnk3, "app3.Lnk", shellLibrary(), 0},
        {program, "RUNME", program, 0}, // a program shows its own icon
    };
    for (const Entry& e : expected)
        w->RegisterFile(e.path);
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(w->btnCount, int(std::size(expected)));
    for (int i = 0; i < w->btnCount; ++i) {
        EXPECT_EQ(entry(i), expected[i]) << i;
        ASSERT_LT(size_t(i), w->btn.size());
        EXPECT_FALSE(w->btn[size_t(i)]->picture().isNull()) << i;
    }
}

TEST_F(RegisterTest, SamePathTwiceIsRefusedCaseSensitively) {
    const QString a = makeFile("C:\\TOOLS\\EDIT.EXE", "MZ");
    w->RegisterFile(a);
    w->RegisterFile(a);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("既にボタンは存在します"));
    EXPECT_EQ(messages()[0].style, plat::vbSystemModal);
    EXPECT_EQ(messages()[0].title, QString());
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btn.size(), 1u);

    // Another spelling of the same file is another button.
    w->RegisterFile("c:\\tools\\edit.exe");
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btnPath[1], QStringLiteral("c:\\tools\\edit.exe"));
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(RegisterTest, DuplicatesAreRefusedOnEveryWayIn) {
    const QString file = makeFile("C:\\DATA\\MEMO.TXT");
    const QString folder = makeFolder("C:\\DATA\\SUB");
    w->RegisterFile(file);
    drop({folder});
    ASSERT_EQ(w->btnCount, 2);
    struct Case {
        const char* what;
        std::function<void()> act;
        int style;
    };
    const Case cases[] = {
        {"register", [&] { w->RegisterFile(file); }, plat::vbSystemModal},
        {"drop file", [&] { drop({file}); }, plat::vbSystemModal},
        {"drop folder", [&] { drop({folder}); }, plat::vbSystemModal},
        {"folder dialog",
         [&] {
             folderDialog([&](core::InFold* f) {
                 f->Text1->setText(folder);
                 f->ok_Click();
                 EXPECT_TRUE(f->isVisible());
                 EXPECT_EQ(f->Text1->text(), QString());
             });
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env->dialogs.messages.clear();
        c.act();
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, QStringLiteral("既にボタンは存在します"));
        EXPECT_EQ(messages()[0].style, c.style);
        EXPECT_EQ(w->btnCount, 2);
        EXPECT_EQ(w->btn.size(), 2u);
    }
}

TEST_F(RegisterTest, FirstButtonShowsElementZeroAndLaterOnesStackBelow) {
    ASSERT_TRUE(w->btn[0]->isHidden());
    w->RegisterFile(makeFile("C:\\DATA\\A.TXT"));
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_FALSE(w->btn[0]->isHidden());
    w->RegisterFile(makeFile("C:\\DATA\\B.TXT"));
    w->RegisterFile(makeFile("C:\\DATA\\C.TXT"));
    ASSERT_EQ(w->btn.size(), 3u);
    for (int k = 1; k < 3; ++k) {
        EXPECT_FALSE(w->btn[size_t(k)]->isHidden());
        EXPECT_EQ(w->btn[size_t(k)]->x(), w->btn[0]->x());
        EXPECT_EQ(w->btn[size_t(k)]->y(), w->btn[0]->y() + k * w->H());
    }
}

TEST_F(RegisterTest, PanelGrowsFromTheButtonThatReachesTheMinimumHeight) {
    const int h = w->H();
    w->panelMinHeight = 5 * h;
    w->back->resize(50, 5 * h);
    w->table->resize(40, 5 * h);
    struct Step {
        int backHeight;
        int maximum;
        bool scrollShown;
    };
    const Step steps[] = {
        {5 * h, 0, false}, {5 * h, 0, false}, {5 * h, 0, false},
        {5 * h, 0, false}, {6 * h, h, true},  {7 * h, 2 * h, true},
    };
    for (int i = 0; i < int(std::size(steps)); ++i) {
        SCOPED_TRACE(i + 1);
        w->RegisterFile(makeFile(QStringLiteral("C:\\DATA\\F%1.TXT").arg(i)));
        ASSERT_EQ(w->btnCount, i + 1);
        EXPECT_EQ(w->back->height(), steps[i].backHeight);
        EXPECT_EQ(w->table->height(), steps[i].backHeight);
        EXPECT_EQ(w->VScroll1->maximum(), steps[i].maximum);
        EXPECT_EQ(!w->VScroll1->isHidden(), steps[i].scrollShown);
        EXPECT_EQ(w->VScroll1->value(), w->VScroll1->maximum());
        EXPECT_EQ(w->table->y(), -w->VScroll1->value());
        EXPECT_EQ(w->back->width(), w->btn[0]->width() + 13);
        EXPECT_EQ(w->table->width(), w->back->width() - 9);
        EXPECT_EQ(w->VScroll1->x(), w->back->width());
    }
}

TEST_F(RegisterTest, EveryWayInGrowsThePanelAndScrollsToTheEnd) {
    const int h = w->H();
    w->panelMinHeight = h;
    w->back->resize(50, h);
    w->table->resize(40, h);
    w->RegisterFile(makeFile("C:\\DATA\\A.TXT"));
    drop({makeFile("C:\\DATA\\B.TXT")});
    drop({makeFolder("C:\\DATA\\C")});
    folderDialog([&](core::InFold* f) {
        f->Text1->setText(makeFolder("C:\\DATA\\D"));
        f->ok_Click();
    });
    ASSERT_EQ(w->btnCount, 4);
    EXPECT_EQ(w->back->height(), 5 * h);
    EXPECT_EQ(w->VScroll1->maximum(), 4 * h);
    EXPECT_EQ(w->VScroll1->value(), 4 * h);
}

TEST_F(RegisterTest, OpenFileDialogOffersAllFilesAndACancelChangesNothing) {
    w->filein_Click();
    ASSERT_EQ(env->dialogs.openRequests.size(), 1u);
    EXPECT_EQ(env->dialogs.openRequests[0].filter, QStringLiteral("exe file(*.exe)|*.exe|all file(*.*)|*.*"));
    EXPECT_EQ(env->dialogs.openRequests[0].filterIndex, 2);
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_TRUE(messages().empty());

    const QString file = makeFile("C:\\DATA\\MEMO.TXT");
    env->dialogs.openAnswers = {file};
    w->filein_Click();
    ASSERT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btnPath[0], file);
    EXPECT_EQ(w->btnCaption[0], QStringLiteral("MEMO.TXT"));
}

TEST_F(RegisterTest, MenuItemsOfBothMenusOpenTheSameDialogs) {
    for (QAction* a : {w->filein, w->filein3})
        a->trigger();
    EXPECT_EQ(env->dialogs.openRequests.size(), 2u);
    for (QAction* a : {w->foldin, w->foldin3})
        a->trigger();
    EXPECT_EQ(env->dialogs.modalForms, std::vector<QString>({"InFold", "InFold"}));
}

TEST_F(RegisterTest, FolderDialogRegistersTheWholePathAsCaption) {
    const QString folder = makeFolder("C:\\DATA\\PROJECTS");
    bool closed = false;
    folderDialog([&](core::InFold* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("ボタンの登録（フォルダ）"));
        EXPECT_EQ(f->ok->text(), QStringLiteral("追加"));
        EXPECT_EQ(f->no->text(), QStringLiteral("取消"));
        EXPECT_EQ(f->Label2->text(), QStringLiteral("追加するフォルダ名："));
        EXPECT_EQ(f->Label1->text(), QStringLiteral("フォルダ先パス："));
        EXPECT_EQ(f->Text1->text(), f->Dir1->path());
        f->Text1->setText(folder);
        f->ok_Click();
        closed = !f->isVisible() && f->result() == QDialog::Accepted;
    });
    EXPECT_TRUE(closed);
    ASSERT_EQ(w->btnCount, 1);
    EXPECT_EQ(entry(0), (Entry{folder, folder, shellLibrary(), 3}));
    EXPECT_FALSE(w->btn[0]->isHidden());
    EXPECT_FALSE(w->btn[0]->picture().isNull());
    EXPECT_TRUE(messages().empty());
}

TEST_F(RegisterTest, FolderDialogKeepsItselfOpenForTextsItCannotUse) {
    makeFolder("C:\\DATA");
    struct Case {
        const char* what;
        QString text;
        bool staysOpen;
        QString textAfter;
        QString message;
    };
    const Case cases[] = {
        {"drive root", "C:\\", true, "C:\\", QString()},
        {"trailing separator", "C:\\DATA\\", true, "C:\\DATA\\", QString()},
        {"missing folder", "C:\\NOWHERE", true, QString(),
         QStringLiteral("指定されたフォルダは存在しません")},
        {"a file, not a folder", makeFile("C:\\DATA\\X.TXT"), true, QString(),
         QStringLiteral("指定されたフォルダは存在しません")},
        {"empty", QString(), false, QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env->dialogs.messages.clear();
        folderDialog([&](core::InFold* f) {
            f->Text1->setText(c.text);
            f->ok_Click();
            EXPECT_EQ(f->isVisible(), c.staysOpen);
            EXPECT_EQ(f->Text1->text(), c.textAfter);
        });
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages().empty());
        } else {
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].text, c.message);
            EXPECT_EQ(messages()[0].title, QStringLiteral("ファイルエラー"));
            EXPECT_EQ(messages()[0].style, 0);
        }
        EXPECT_EQ(w->btnCount, 0);
        EXPECT_TRUE(w->btn[0]->isHidden());
    }
}

TEST_F(RegisterTest, FolderDialogListPicksAndCancel) {
    makeFolder("C:\\PICK\\ONE");
    makeFolder("C:\\PICK\\TWO");
    folderDialog([&](core::InFold* f) {
        f->Dir1->setPath("C:\\PICK");
        ASSERT_EQ(f->Dir1->listCount(), 2);
        struct Pick {
            int index;
            QString text;
        };
        const Pick picks[] = {
            {1, "C:\\PICK\\TWO"},
            {0, "C:\\PICK\\ONE"},
            {-1, "C:\\PICK"},
            {-2, "C:\\"},
        };
        for (const Pick& p : picks) {
            SCOPED_TRACE(p.index);
            f->Dir1->setListIndex(p.index);
            f->Dir1_Click();
            EXPECT_EQ(f->Text1->text(), p.text);
        }
        f->no_Click();
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RegisterTest, FolderDialogDriveChangeOpensThatDrive) {
    folderDialog([&](core::InFold* f) {
        f->Drive1->setDrive("z:");
        EXPECT_TRUE(f->Dir1->path().startsWith("Z:\\", Qt::CaseInsensitive)) << f->Dir1->path().toStdString();
        f->Drive1->setDrive("c:");
        EXPECT_TRUE(f->Dir1->path().startsWith("C:\\", Qt::CaseInsensitive)) << f->Dir1->path().toStdString();
    });
    EXPECT_TRUE(messages().empty());
}

TEST_F(RegisterTest, DroppingSeveralItemsRegistersTheLastOnly) {
    const QString a = makeFile("C:\\DATA\\A.TXT");
    const QString b = makeFile("C:\\DATA\\B.TXT");
    const QString c = makeFile("C:\\DATA\\C.TXT");
    drop({a, b, c});
    ASSERT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btnPath[0], c);
    EXPECT_EQ(w->Text1, c);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RegisterTest, DroppedItemsTakeTheirButtonByKind) {
    const QString folder = makeFolder("C:\\DATA\\PLAIN");
    const QString locked = makeFolder("C:\\DATA\\LOCKED");
    QFile::setPermissions(env->host(locked), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther);
    ASSERT_EQ(plat::GetAttr(locked), plat::vbDirectory | plat::vbReadOnly);
    const QString own = makeFile("C:\\DATA\\APP.ICO", icoBytes());
    const QString text = makeFile("C:\\DATA\\NOTE.TXT");
    const QString lnk = makeFile("C:\\DATA\\GO.LNK", QByteArray("\x00\x01", 2));
    const Entry expected[] = {
        {folder, folder, shellLibrary(), 3},
        {locked, "LOCKED", shellLibrary(), 0},
        {own, "APP.ICO", own, 0},
        {text, "NOTE.TXT", fixtureEditor().scriptWin(), 0},
        {lnk, "GO.LNK", shellLibrary(), 29},
    };
    for (const Entry& e : expected)
        drop({e.path});
    QFile::setPermissions(env->host(locked),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(w->btnCount, int(std::size(expected)));
    for (int i = 0; i < w->btnCount; ++i)
        EXPECT_EQ(entry(i), expected[i]) << i;
}

TEST_F(RegisterTest, FullPageRefusesEveryWayIn) {
    const QString file = makeFile("C:\\DATA\\A.TXT");
    const QString own = makeFile("C:\\DATA\\B.ICO", icoBytes());
    const QString folder = makeFolder("C:\\DATA\\SUB");
    w->btnCount = core::MaxButtons;
    for (int i = 0; i < core::MaxButtons; ++i)
        w->btnPath[size_t(i)] = QStringLiteral("C:\\P%1").arg(i);
    struct Case {
        const char* what;
        std::function<void()> act;
        bool systemModal;
    };
    const Case cases[] = {
        {"register", [&] { w->RegisterFile(file); }, true},
        {"register own icon", [&] { w->RegisterFile(own); }, true},
        {"drop file", [&] { drop({file}); }, true},
        {"drop folder", [&] { drop({folder}); }, true},
        {"folder dialog",
         [&] {
             folderDialog([&](core::InFold* f) {
                 f->Text1->setText(folder);
                 f->ok_Click();
             });
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env->dialogs.messages.clear();
        c.act();
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_FALSE(messages()[0].text.isEmpty());
        EXPECT_EQ((messages()[0].style & plat::vbSystemModal) != 0, c.systemModal);
        EXPECT_EQ(w->btnCount, core::MaxButtons);
        EXPECT_EQ(w->btn.size(), 1u);
        EXPECT_EQ(w->btnPath[size_t(core::MaxButtons)], QString());
    }
}

} // namespace

namespace {

class DropMessageTest : public RegisterTest {};

TEST_F(DropMessageTest, OnlyTheDropMessageIsHandled) {
    const QString file = makeFile("C:\\DATA\\A.TXT");
    const plat::HDROP h = plat::makeDrop({file});
    const int live = plat::liveDropCount();
    for (unsigned msg : {0x0200u, 0x0232u, 0x0234u, 0x0111u})
        w->WinMsg1_Message(msg, h);
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_EQ(plat::liveDropCount(), live); // not handled, so not released either
    w->WinMsg1_Message(0x233, h);
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_EQ(plat::liveDropCount(), live - 1);
}

} // namespace

namespace {

class ShellDropTest : public RegisterTest {};

TEST_F(ShellDropTest, FilesDraggedFromTheDesktopArriveInWindowsForm) {
    const QString a = makeFile("C:\\DATA\\A.TXT");
    const QString b = makeFile("C:\\DATA\\B.TXT");
    auto* mime = new QMimeData;
    mime->setUrls({QUrl("https://example.org/x.txt"), QUrl::fromLocalFile(env->host(a)),
                   QUrl::fromLocalFile(env->host(b))});
    const int live = plat::liveDropCount();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent ev(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &ev);
    ASSERT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btnPath[0], b);
    EXPECT_EQ(w->btnCaption[0], QStringLiteral("B.TXT"));
    EXPECT_EQ(plat::liveDropCount(), live);
    delete mime;
}

} // namespace
