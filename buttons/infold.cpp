#include "infold.h"
#include "core/filezelnori.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/filelists.h"
#include "platform/files.h"
#include "platform/icons.h"
#include "platform/screen.h"
#include <QGridLayout>

namespace core {

InFold::InFold(FileZelnori* owner) : QDialog(owner), owner_(owner) {
    setObjectName("InFold");
    setWindowTitle(QStringLiteral("ボタンの登録（フォルダ）"));
    Label2 = new QLabel(QStringLiteral("追加するフォルダ名："), this);
    Text1 = new QLineEdit(this);
    Label1 = new QLabel(QStringLiteral("フォルダ先パス："), this);
    Dir1 = new plat::DirListBox(this);
    Drive1 = new plat::DriveListBox(this);
    ok = new QPushButton(QStringLiteral("追加"), this);
    no = new QPushButton(QStringLiteral("取消"), this);
    auto* g = new QGridLayout(this);
    g->addWidget(Label2, 0, 0, 1, 2);
    g->addWidget(Text1, 1, 0, 1, 2);
    g->addWidget(Label1, 2, 0, 1, 2);
    g->addWidget(Dir1, 3, 0, 1, 2);
    g->addWidget(Drive1, 4, 0, 1, 2);
    g->addWidget(ok, 5, 0);
    g->addWidget(no, 5, 1);
    resize(plat::twipsToPx(4800), plat::twipsToPx(4800));
    connect(Drive1, &plat::DriveListBox::Change, this, [this] { Drive1_Change(); });
    connect(Dir1, &plat::DirListBox::Click, this, [this] { Dir1_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { ok_Click(); });
    connect(no, &QPushButton::clicked, this, [this] { no_Click(); });
    // Load: centred, the text shows the open folder.
    const QSize s = plat::screenSizePx();
    move((s.width() - width()) / 2, (s.height() - height()) / 2);
    Text1->setText(Dir1->path());
}

void InFold::Drive1_Change() {
    try {
        Dir1->setPath(Drive1->drive());
    } catch (const plat::RuntimeError& e) {
        plat::MsgBox(e.text(), plat::vbOKOnly | plat::vbExclamation, QStringLiteral("ファイルエラー"));
    }
}

void InFold::Dir1_Click() {
    if (Dir1->listIndex() < Dir1->listCount()) Text1->setText(Dir1->list(Dir1->listIndex()));
}

void InFold::no_Click() {
    reject();
}

void InFold::ok_Click() {
    try {
        const QString t = Text1->text();
        if (t.endsWith('\\')) return;
        if (t.isEmpty()) {
            reject();
            return;
        }
        if (!plat::FolderExists(t)) {
            plat::MsgBox(QStringLiteral("指定されたフォルダは存在しません"), plat::vbOKOnly,
                         QStringLiteral("ファイルエラー"));
            Text1->clear();
            return;
        }
        if (!owner_->registerFolder(t, false)) {
            Text1->clear();
            return;
        }
        owner_->growPanelStep3();
        accept();
    } catch (const plat::RuntimeError&) {
        // the dialog stays open
    }
}

} // namespace core
