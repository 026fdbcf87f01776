// The help viewer: a small window with the help file's pages and their links.
#include "help.h"
#include "drives.h"
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace plat {

namespace {

QPointer<QWidget> g_viewer;

QTextBrowser* browserOf(QWidget* viewer) {
    return viewer->findChild<QTextBrowser*>(QStringLiteral("helpText"));
}

QWidget* makeViewer(QWidget* owner) {
    auto* w = new QWidget(owner, Qt::Window);
    w->setObjectName(QStringLiteral("helpViewer"));
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(QStringLiteral("ぬもZelnori ヘルプ"));
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QTextBrowser(w);
    text->setObjectName(QStringLiteral("helpText"));
    text->setOpenLinks(true);
    text->setOpenExternalLinks(false);
    layout->addWidget(text);
    w->resize(560, 620);
    return w;
}

QString escaped(const QString& s) {
    return s.toHtmlEscaped();
}

} // namespace

int WinHelp(QWidget* owner, const QString& file, unsigned command, unsigned long /*data*/) {
    if (command == HELP_QUIT) {
        if (g_viewer) g_viewer->close();
        return 1;
    }
    if (!g_viewer) g_viewer = makeViewer(owner);
    QTextBrowser* text = browserOf(g_viewer);

    const QString host = file.isEmpty() ? QString() : hostPath(file);
    if (!host.isEmpty() && QFileInfo(host).isFile()) {
        // The help file is HTML whatever its name ends in.
        text->setSource(QUrl::fromLocalFile(QFileInfo(host).absoluteFilePath()), QTextDocument::HtmlResource);
    } else {
        const QString name = file.isEmpty() ? file : fullPath(file);
        text->setHtml(
            QStringLiteral("<h3>ぬもZelnori ヘルプ</h3><p>ヘルプファイル「%1」が見つかりません。</p>"
                           "<p>ファイルがプログラムと同じフォルダにあるか確かめてください。</p>")
                .arg(escaped(name)));
    }
    g_viewer->show();
    g_viewer->raise();
    g_viewer->activateWindow();
    return 1;
}

QWidget* helpViewer() {
    return g_viewer;
}

} // namespace plat
