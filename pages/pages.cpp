// Pages: adding, switching, renaming and deleting the page on screen. Only the page on screen
// is in memory; the others live in their files.
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/screen.h"
#include <QMenu>

namespace core {

namespace {
void reportPageError(const QString& wdir, const QString& file, const plat::RuntimeError& e) {
    plat::MsgBox(QStringLiteral("ページファイル %1\\%2 を処理できませんでした。\n%3\nページは元のままです。")
                     .arg(wdir, file, e.text()),
                 plat::vbOKOnly | plat::vbCritical, QStringLiteral("ページエラー"));
}
} // namespace

void FileZelnori::resetPanel() {
    VScroll1->setRange(0, 0);
    VScroll1->hide();
    back->resize(back->width(), panelMinHeight);
    table->resize(table->width(), panelMinHeight);
    table->move(2, -VScroll1->value());
}

void FileZelnori::clearPanel() {
    for (int i = btnCount - 1; i >= 0; --i) {
        btnPath[size_t(i)].clear();
        btnIconFile[size_t(i)].clear();
        btnCaption[size_t(i)].clear();
        btnIconIndex[size_t(i)] = 0;
        if (i == 0) {
            btn[0]->setPicture(QPixmap());
            btn[0]->hide();
        } else {
            UnloadButton(i);
        }
    }
    btnCount = 0;
    resetPanel();
}

void FileZelnori::pagein_Click() {
    if (pageCount > 8) return;
    ShowTip(QString());
    const int newPage = pageCount + 1;
    try {
        MakeWindowsDirCurrent();
        // The new page's file first: if it cannot be made, nothing has changed yet.
        plat::writeTextFile(pageFileName(newPage), {QString::number(EmptyPageMarker)});
    } catch (const plat::RuntimeError& e) {
        reportPageError(wdir, pageFileName(newPage), e);
        return;
    }
    try {
        WritePage(curPage);
    } catch (const plat::RuntimeError& e) {
        try {
            plat::Kill(pageFileName(newPage));
        } catch (const plat::RuntimeError&) {
        }
        reportPageError(wdir, pageFileName(curPage), e);
        return;
    }
    if (btnCount > 0) clearPanel();
    pageCount = newPage;
    curPage = pageCount;
    setCaption(Pchange[size_t(curPage)]->text());
    btnCount = 0;
}

void FileZelnori::Pchange_Click(int index) {
    if (index == curPage || index < 1 || index > MaxPages) return;
    ShowTip(QString());
    try {
        WritePage(curPage);
    } catch (const plat::RuntimeError& e) {
        reportPageError(wdir, pageFileName(curPage), e);
        return;
    }
    if (btnCount > 0) clearPanel();
    curPage = index;
    ReadPage(index);
}

void FileZelnori::pnchange_Click() {
    const QString name = Caption();
    const QString answer = plat::InputBox(name + QStringLiteral("の変更名を入力して下さい"),
                                          QStringLiteral("ページ名の変更"), name);
    if (answer.isEmpty()) return;
    setCaption(answer);
    Pchange[size_t(curPage)]->setText(answer);
}

void FileZelnori::pagedel_Click() {
    if (curPage == 1) {
        plat::MsgBox(QStringLiteral("このページは削除できません"), plat::vbCritical | plat::vbSystemModal,
                     QStringLiteral("削除エラー"));
        return;
    }
    if (plat::MsgBox(QStringLiteral("ページ　[") + Caption() +
                         QStringLiteral("] を削除します。よろしいですか"),
                     plat::vbYesNo | plat::vbQuestion | plat::vbSystemModal,
                     QStringLiteral("ページの削除")) != plat::vbYes)
        return;
    ShowTip(QString());
    // The later pages move down one number by renaming, so that a move needs no room on the
    // disk and can be undone. Either all of them move or none does.
    const QString parked = QStringLiteral(".") + pageFileName(curPage) + QStringLiteral(".del");
    QString current;
    bool isParked = false;
    int moved = 0;
    try {
        MakeWindowsDirCurrent();
        // Everything that could stop a move is looked at before anything moves: the files
        // whose content changes must be plain, writable files, and the later ones must exist.
        for (int i = curPage; i <= pageCount; ++i) {
            current = pageFileName(i);
            if (i == curPage && !plat::DirExists(current, 46 | plat::vbDirectory)) continue;
            const int attr = plat::GetAttr(current);
            if (attr & (plat::vbDirectory | plat::vbReadOnly)) plat::raise(plat::ErrPathFileAccess, current);
        }
        current = pageFileName(curPage);
        if (plat::DirExists(current, 46)) {
            if (plat::DirExists(parked, 46)) plat::Kill(parked); // left over from an earlier run
            plat::Name(current, parked);
            isParked = true;
        }
        for (int i = curPage; i < pageCount; ++i) {
            current = pageFileName(i + 1);
            plat::Name(current, pageFileName(i));
            ++moved;
        }
    } catch (const plat::RuntimeError& e) {
        for (int j = moved - 1; j >= 0; --j) {
            try {
                plat::Name(pageFileName(curPage + j), pageFileName(curPage + j + 1));
            } catch (const plat::RuntimeError&) {
            }
        }
        if (isParked) {
            try {
                plat::Name(parked, pageFileName(curPage));
            } catch (const plat::RuntimeError&) {
            }
        }
        reportPageError(wdir, current, e);
        return;
    }
    // The page is gone; its parked file is only litter now.
    if (isParked) {
        try {
            plat::Kill(parked);
        } catch (const plat::RuntimeError&) {
        }
    }
    pageCount -= 1;
    curPage = pageCount;
    clearPanel();
    ReadPage(curPage);
}

} // namespace core
