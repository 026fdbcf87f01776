#include "core/filezelnori.h"
#include "platform/dialogs.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/icons.h"
#include "platform/session.h"
#include "platform/tools.h"
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>
#include <clocale>
#include <langinfo.h>

int main(int argc, char** argv) {
    // Archive names and file names pass through the C library's conversions: they need UTF-8.
    std::setlocale(LC_ALL, "");
    if (QByteArray(nl_langinfo(CODESET)) != "UTF-8") std::setlocale(LC_CTYPE, "C.UTF-8");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelnori"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QApplication::setQuitOnLastWindowClosed(false);

    // The Japanese font names the windows ask for, drawn with the IPA fonts.
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtText;
    if (qtText.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtText);

    try {
        plat::ensureDataHome();
        plat::installShellIconLibrary();
        plat::installToolStandIns();
    } catch (const plat::RuntimeError& e) {
        plat::MsgBox(QStringLiteral("データフォルダを用意できませんでした。\n") + e.text(),
                     plat::vbCritical | plat::vbOKOnly, QStringLiteral("ぬもZelnori"));
        return 1;
    }
    plat::setupIconTheme();

    core::FileZelnori window;
    // An end asked for from outside while the splash is up waits until the start is complete,
    // so that what is written is the state that was read.
    bool started = false;
    bool endRequested = false;
    plat::onExternalEnd([&] {
        if (started)
            window.Form_Unload(false);
        else
            endRequested = true;
    });
    if (!window.Form_Load()) return 0; // another copy is running
    started = true;
    if (endRequested) {
        window.Form_Unload(false);
        return 0;
    }
    return app.exec();
}
