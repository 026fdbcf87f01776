// Making buttons: the open-file dialog, the folder dialog and files dropped on the panel.
#include "buttons/infold.h"
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/icons.h"

namespace core {

namespace {
QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf('\\') + 1);
}
bool isArchiveName(const QString& path) {
    const QString tail = path.right(3);
    return tail == QLatin1String("lzh") || tail == QLatin1String("LZH");
}
} // namespace

void FileZelnori::addControl(int k) {
    if (btnCount > 0)
        LoadButton(k);
    else
        btn[0]->show();
}

void FileZelnori::growPanelSteps12() {
    if (btnCount * H() >= panelMinHeight) GrowPanel();
    back->resize(btn[0]->width() + 13, back->height());
    table->resize(back->width() - 9, table->height());
    VScroll1->move(back->width(), VScroll1->y());
}

void FileZelnori::growPanelStep3() {
    VScroll1->setValue(VScroll1->maximum());
}

bool FileZelnori::isDuplicate(const QString& path, bool systemModal) {
    for (int i = 0; i < btnCount; ++i) {
        if (btnPath[size_t(i)] == path) {
            plat::MsgBox(QStringLiteral("既にボタンは存在します"),
                         plat::vbOKOnly | (systemModal ? plat::vbSystemModal : 0));
            return true;
        }
    }
    return false;
}

bool FileZelnori::pageFull(bool systemModal) {
    if (btnCount < MaxButtons) return false;
    plat::MsgBox(QStringLiteral("このページにはこれ以上ボタンを登録できません（１ページ999個まで）。\n"
                                "ページを追加してから登録して下さい"),
                 plat::vbOKOnly | plat::vbExclamation | (systemModal ? plat::vbSystemModal : 0),
                 QStringLiteral("ボタンの登録"));
    return true;
}

bool FileZelnori::registerFolder(const QString& path, bool systemModal) {
    const QString library = wdir + QStringLiteral("\\system\\shell32.dll");
    clearPic1();
    const plat::HICON h = plat::ExtractIcon(library, 3);
    drawPic1(h);
    if (h > 1) plat::DestroyIcon(h);
    if (isDuplicate(path, systemModal) || pageFull(systemModal)) return false;
    const int k = btnCount;
    addControl(k);
    btnPath[size_t(k)] = path;
    btnCaption[size_t(k)] = path;
    btnIconIndex[size_t(k)] = 3;
    btnIconFile[size_t(k)] = library;
    transferPicture(k);
    btnCount += 1;
    growPanelSteps12();
    return true;
}

bool FileZelnori::registerPlainFile(const QString& path, bool systemModal) {
    const plat::HICON h = plat::ExtractIcon(path, 0);
    if (h > 1) {
        clearPic1();
        drawPic1(h);
        plat::DestroyIcon(h);
        if (isDuplicate(path, systemModal) || pageFull(systemModal)) return false;
        const int k = btnCount;
        addControl(k);
        btnIconFile[size_t(k)] = path;
        btnPath[size_t(k)] = path;
        btnCaption[size_t(k)] = fileNameOf(path);
        btnIconIndex[size_t(k)] = 0;
        transferPicture(k);
    } else {
        if (isDuplicate(path, systemModal) || pageFull(systemModal)) return false;
        const int k = btnCount;
        addControl(k);
        SetButtonIcon(path);
        btnPath[size_t(k)] = path;
        btnCaption[size_t(k)] = fileNameOf(path);
    }
    btnCount += 1;
    growPanelSteps12();
    return true;
}

void FileZelnori::RegisterFile(const QString& path) {
    ShowTip(QString());
    if (isArchiveName(path)) {
        ExtractArchive(path, ExtractVariant::Register);
        return;
    }
    if (registerPlainFile(path, true)) growPanelStep3();
}

void FileZelnori::filein_Click() {
    try {
        ShowTip(QString());
        plat::OpenFileRequest req;
        req.filter = QStringLiteral("exe file(*.exe)|*.exe|all file(*.*)|*.*");
        req.filterIndex = 2;
        const std::optional<QString> file = plat::dialogs().openFile(req);
        if (!file || file->isEmpty()) return;
        RegisterFile(*file);
    } catch (const plat::RuntimeError&) {
        // ends without a word, as a cancelled dialog does
    }
}

void FileZelnori::foldin_Click() {
    ShowTip(QString());
    InFold dlg(this);
    plat::dialogs().showModal(&dlg);
}

void FileZelnori::WinMsg1_Message(unsigned msg, plat::HDROP wParam) {
    if (msg != 0x233) return;
    const plat::HDROP drop = wParam;
    bool released = false;
    auto release = [&] {
        if (!released) plat::DragFinish(drop);
        released = true;
    };
    try {
        ShowTip(QString());
        const unsigned n = plat::DragQueryFile(drop, 0xFFFFFFFFu, nullptr);
        for (unsigned i = 0; i < n; ++i) {
            QString item;
            plat::DragQueryFile(drop, i, &item);
            Text1 = item;
        }
        const QString p = Text1;
        if (plat::GetAttrOr(p, 0) == plat::vbDirectory) {
            const bool added = registerFolder(p, true);
            release();
            if (added) growPanelStep3();
            return;
        }
        if (isArchiveName(p)) {
            released = true; // the extraction flow releases the handle on every way out
            ExtractArchive(p, ExtractVariant::Drop, drop);
            return;
        }
        const bool added = registerPlainFile(p, true);
        release();
        if (added) growPanelStep3();
    } catch (const plat::RuntimeError&) {
        release();
    }
}

} // namespace core
