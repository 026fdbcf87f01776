// Icons for a page of 999 buttons of mixed kinds: extract, draw on a button face, release.
#include "platform/drives.h"
#include "platform/icons.h"
#include "support/iconfixtures.h"
#include "support/testenv.h"
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace iconfix;

void BM_ExtractDrawDestroy999MixedTargets(benchmark::State& state) {
    plat::setupIconTheme();
    testenv::Env env;
    plat::installShellIconLibrary();
    QTemporaryDir bin;
    const QString library = plat::GetSystemDirectory() + "\\shell32.dll";

    const std::vector<Image> icons = {{1, 16, dibIcon(16, qRgb(200, 0, 0))},
                                      {2, 32, dibIcon(32, qRgb(0, 160, 0))},
                                      {3, 48, pngIcon(48, qRgb(0, 0, 255))}};
    const std::vector<std::vector<Image>> groups = {{icons[0], icons[1], icons[2]}, {icons[1]}};
    const QByteArray pe = buildPe(icons, groups).bytes;
    const QByteArray ne = buildNe(icons, groups);
    const QByteArray ico = icoFile(icons);

    // (file, index) pairs as a page file records them.
    std::vector<std::pair<QString, int>> targets;
    for (int i = 0; i < 999; ++i) {
        const QString n = QString::number(i);
        switch (i % 6) {
        case 0:
            testenv::writeFile(env.host("C:\\ICONS\\i" + n + ".ico"), ico);
            targets.push_back({"C:\\ICONS\\i" + n + ".ico", 0});
            break;
        case 1:
            testenv::writeFile(env.host("C:\\APPS\\p" + n + ".exe"), pe);
            targets.push_back({"C:\\APPS\\p" + n + ".exe", i % 2});
            break;
        case 2:
            targets.push_back({library, i % 41});
            break;
        case 3:
            testenv::writeFile(env.host("C:\\DOCS\\d" + n + ".txt"), "text\r\n");
            targets.push_back({"C:\\DOCS\\d" + n + ".txt", 0});
            break;
        case 4: {
            const QString prog = bin.path() + "/prog" + n;
            testenv::writeFile(prog, "#!/bin/sh\n");
            QFile::setPermissions(prog, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            targets.push_back({plat::windowsPath(prog), 0});
            break;
        }
        case 5:
            testenv::writeFile(env.host("C:\\OLD\\n" + n + ".exe"), ne);
            targets.push_back({"C:\\OLD\\n" + n + ".exe", 0});
            break;
        }
    }

    QImage face(36, 36, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        for (const auto& [file, index] : targets) {
            plat::HICON h = plat::ExtractIcon(file, index);
            if (h <= 1) h = plat::ExtractIcon(library, 0); // no icon of its own: a document
            face.fill(Qt::transparent);
            QPainter p(&face);
            plat::DrawIcon(p, 0, 0, h);
            p.end();
            plat::DestroyIcon(h);
        }
        benchmark::DoNotOptimize(face.constBits());
    }
    if (plat::liveIconCount() != 0) state.SkipWithError("icon handles leaked");
}
BENCHMARK(BM_ExtractDrawDestroy999MixedTargets)->Unit(benchmark::kMillisecond);

} // namespace
