// The panel: layout, growing and shrinking by whole buttons, scrolling, the panel timer, the
// mouse on the panel's own surfaces, and the end of the program.
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/instance.h"
#include "platform/screen.h"
#include <QCoreApplication>
#include <QMenu>

namespace core {

void FileZelnori::initialLayout() {
    Ltime->move(0, 0);
    main->move(0, Ltime->height());
    const int top = main->height() + Ltime->height();
    const int h = ScaleHeight() - main->height() - Ltime->height();
    back->setGeometry(0, top, btn[0]->width() + 13, h);
    VScroll1->setGeometry(back->width(), top, VScroll1->width(), h);
    table->setGeometry(2, 0, back->width() - 9, h);
    panelMinHeight = back->height();
}

void FileZelnori::LoadButton(int k) {
    if (k <= 0) return;
    if (size_t(k) >= btn.size()) btn.resize(size_t(k) + 1, nullptr);
    delete btn[size_t(k)];
    auto* b = new PanelButton(k, table);
    b->setGeometry(btn[0]->x(), btn[0]->y() + H() * k, btn[0]->width(), btn[0]->height());
    applyButtonPointer(b);
    b->onMouseDown = [this](int i, int bt, int s, int x, int y) { btn_MouseDown(i, bt, s, x, y); };
    b->onMouseMove = [this](int i, int bt, int s, int x, int y) { btn_MouseMove(i, bt, s, x, y); };
    connect(b, &QPushButton::clicked, this, [this, k] { btn_Click(k); });
    btn[size_t(k)] = b;
    b->show();
}

void FileZelnori::UnloadButton(int k) {
    if (k <= 0 || size_t(k) >= btn.size()) return;
    delete btn[size_t(k)];
    btn[size_t(k)] = nullptr;
    while (btn.size() > 1 && btn.back() == nullptr)
        btn.pop_back();
}

void FileZelnori::GrowPanel() {
    back->resize(back->width(), back->height() + H());
    table->resize(table->width(), table->height() + H());
    VScroll1->setMaximum(VScroll1->maximum() + H());
    VScroll1->show();
}

void FileZelnori::ShrinkPanel(int e) {
    if (table->height() > H() * e) {
        back->resize(back->width(), back->height() - H());
        table->resize(table->width(), table->height() - H());
        VScroll1->setMaximum(VScroll1->maximum() - H());
        VScroll1->show();
    }
    if (panelMinHeight > back->height()) {
        back->resize(back->width(), panelMinHeight);
        table->resize(table->width(), panelMinHeight);
    }
    if (VScroll1->maximum() <= 0) {
        VScroll1->hide();
        // A maximum taken below 0 drags the scroll bar's minimum and value down with it.
        VScroll1->setRange(0, 0);
    }
    clampScroll();
}

void FileZelnori::clampScroll() {
    if (VScroll1->value() > VScroll1->maximum()) VScroll1->setValue(VScroll1->maximum());
    table->move(2, -VScroll1->value());
}

void FileZelnori::VScroll1_Change() {
    table->move(2, -VScroll1->value());
}
void FileZelnori::VScroll1_Scroll() {
    table->move(2, -VScroll1->value());
}

void FileZelnori::Timer2_Timer() {
    Ltime->setText(plat::clock().timeOfDay().toString(QStringLiteral("H:mm:ss")));
    setLeft(0);
    setTop(0);
    const QPoint pt = plat::GetCursorPos();
    const int leftPx = plat::twipsToPx(Left());
    if (optNoTips == 0 && pt.x() > leftPx + back->width() + VScroll1->width()) ShowTip(QString());
    if (optAutoHide == 1) {
        if (pt.x() > leftPx + ScaleWidth() + back->width() + VScroll1->width()) hide();
        if (pt.x() < 1) show();
    }
}

void FileZelnori::Form_MouseDown(int button, int, int, int) {
    if (button != vbRightButton) return;
    ShowTip(QString());
    Timer2->stop();
    PopupMenu(Rightbot);
    Timer2->start();
}

void FileZelnori::Form_MouseMove(int, int, int, int) {
    ShowTip(QString());
}

void FileZelnori::back_MouseDown(int button, int, int, int) {
    if (button == vbRightButton) PopupMenu(kmenu);
}

void FileZelnori::back_MouseMove(int, int, int, int) {
    ShowTip(QString());
}

void FileZelnori::table_MouseDown(int button, int, int, int) {
    if (button == vbRightButton) PopupMenu(Rightbot);
}

void FileZelnori::table_MouseMove(int, int, int, int) {
    ShowTip(QString());
}

void FileZelnori::Ltime_MouseDown(int button, int, int, int) {
    if (button == vbLeftButton)
        Pchange_Click(curPage + 1 > pageCount ? 1 : curPage + 1);
    else if (button == vbRightButton)
        Pchange_Click(curPage - 1 < 1 ? pageCount : curPage - 1);
}

void FileZelnori::Ltime_MouseMove(int, int, int, int) {
    if (optNoTips == 0) ShowTip(QString());
}

void FileZelnori::end_Click() {
    close();
}
void FileZelnori::end3_Click() {
    close();
}

void FileZelnori::reportSaveError(const QString& file, const QString& why) {
    plat::MsgBox(QStringLiteral("%1 に保存できませんでした。\n%2").arg(file, why),
                 plat::vbCritical | plat::vbOKOnly, QStringLiteral("保存エラー"));
}

bool FileZelnori::Form_Unload(bool interactive) {
    if (ended_) return true;
    QString failed;
    try {
        MakeWindowsDirCurrent();
        failed = SettingsFile;
        WriteSettings();
        failed = pageFileName(curPage);
        WritePage(curPage);
        failed.clear();
    } catch (const plat::RuntimeError& e) {
        reportSaveError(wdir + "\\" + failed, e.text());
        if (interactive &&
            plat::MsgBox(QStringLiteral("変更は保存されていません。このまま終了しますか"),
                         plat::vbYesNo | plat::vbQuestion, QStringLiteral("終了の確認")) != plat::vbYes)
            return false;
    }
    ended_ = true;
    Timer2->stop();
    ShowTip(QString());
    plat::releaseSingleInstance();
    if (onEnd) onEnd();
    return true;
}

} // namespace core
