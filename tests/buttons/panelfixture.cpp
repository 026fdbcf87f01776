#include "panelfixture.h"
#include "core/tooltip.h"
#include "platform/drives.h"
#include "platform/icons.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace btntest {

namespace {

FixtureEditor g_editor;

// Installs the fixture editor before any test reads the desktop database.
class EditorEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        const QString root = testenv::xdgRoot();
        ASSERT_FALSE(root.isEmpty());
        g_editor.script = root + QStringLiteral("/bin/fixture-editor");
        testenv::writeFile(g_editor.script, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(g_editor.script, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                   QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                   QFileDevice::ExeOther);
        const QString iconFile = root + QStringLiteral("/bin/fixture-editor.png");
        QImage img(32, 32, QImage::Format_ARGB32);
        img.fill(QColor(200, 40, 40));
        img.save(iconFile, "PNG");
        g_editor.desktopFile = root + QStringLiteral("/data/applications/fixture-editor.desktop");
        testenv::writeFile(g_editor.desktopFile, QStringLiteral("[Desktop Entry]\n"
                                                                "Type=Application\n"
                                                                "Name=Fixture Editor\n"
                                                                "Exec=%1 %f\n"
                                                                "Icon=%2\n"
                                                                "MimeType=text/plain;\n")
                                                     .arg(g_editor.script, iconFile)
                                                     .toUtf8());
        testenv::writeFile(root + QStringLiteral("/config/mimeapps.list"),
                           "[Default Applications]\ntext/plain=fixture-editor.desktop\n");
    }
};

[[maybe_unused]] ::testing::Environment* const g_editorEnv =
    ::testing::AddGlobalTestEnvironment(new EditorEnvironment);

} // namespace

const FixtureEditor& fixtureEditor() {
    return g_editor;
}
QString FixtureEditor::scriptWin() const {
    return plat::windowsPath(script);
}

QByteArray icoBytes() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(QColor(20, 120, 220));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    QByteArray ico;
    auto u16 = [&ico](int v) {
        ico.append(char(v & 0xFF));
        ico.append(char((v >> 8) & 0xFF));
    };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16((v >> 16) & 0xFFFF);
    };
    u16(0); // reserved
    u16(1); // icon
    u16(1); // one image
    ico.append(char(32));
    ico.append(char(32));
    ico.append(char(0)); // colours
    ico.append(char(0)); // reserved
    u16(1);              // planes
    u16(32);             // bits
    u32(int(png.size()));
    u32(6 + 16);
    ico.append(png);
    return ico;
}

void PanelTest::SetUp() {
    plat::installShellIconLibrary();
    w = std::make_unique<core::FileZelnori>();
    w->wdir = plat::GetWindowsDirectory();
    w->sdir = plat::GetSystemDirectory();
    w->btn[0]->hide();
    w->btnCount = 0;
    w->popupHook = [this](QMenu* m) {
        popups.push_back(m->objectName());
        if (onPopup) onPopup(m);
    };
}

void PanelTest::TearDown() {
    w.reset();
    ::destroyToolTip();
}

QString PanelTest::makeFile(const QString& win, const QByteArray& bytes) {
    testenv::writeFile(env->host(win), bytes);
    return win;
}

QString PanelTest::makeFolder(const QString& win) {
    EXPECT_TRUE(QDir().mkpath(env->host(win))) << win.toStdString();
    return win;
}

QString PanelTest::copyArchive(const QString& fixtureRelative, const QString& win) {
    const QString to = env->host(win);
    QDir().mkpath(QFileInfo(to).absolutePath());
    EXPECT_TRUE(QFile::copy(testenv::fixture(fixtureRelative), to)) << fixtureRelative.toStdString();
    return win;
}

bool PanelTest::exists(const QString& win) const {
    const QString h = env->host(win);
    return !h.isEmpty() && QFileInfo::exists(h);
}

void PanelTest::putButton(const QString& path, const QString& caption) {
    const int k = w->btnCount;
    w->addControl(k);
    w->btnPath[size_t(k)] = path;
    w->btnCaption[size_t(k)] = caption.isEmpty() ? path.mid(path.lastIndexOf('\\') + 1) : caption;
    w->btnIconFile[size_t(k)] = shellLibrary();
    w->btnIconIndex[size_t(k)] = 0;
    w->btnCount += 1;
}

} // namespace btntest
