// Tree-mode enumeration of large folders: the controller reads every child
// with its attributes and the probe for its expand button, as the folder
// tree does when a node is expanded (files and hidden items included).
// Prints items per second, heap kept per item (peak during the run), and
// the time against `find DIR -mindepth 1 -maxdepth 2 -type d` on the same
// tree, which reads the folder and each subfolder once.
//
//   dw_bench_namespace [--folders N] [--files N] [--runs N] [--dir PATH]

#include "HeapCounter.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StCollectingTreeTarget.h"
#include "shell/controller/StShellController.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct Figures {
    double sortSeconds = 0;
    double seconds = 0;
    int items = 0;
    int withChildren = 0;
    double peakBytesPerItem = 0;
};

// The tree then sorts its nodes by the desktop's order of their absolute lists.
double sortSeconds(const TStShellFolderList& list, dw::platform::IShellFolder& desktop)
{
    std::vector<const TStShellFolder*> folders;
    for (int i = 0; i < list.Count(); ++i)
        folders.push_back(list.Items(i));
    std::reverse(folders.begin(), folders.end());
    QElapsedTimer timer;
    timer.start();
    std::sort(folders.begin(), folders.end(), [&](const TStShellFolder* a, const TStShellFolder* b) {
        return static_cast<short>(desktop.CompareIDs(0, a->GetAbsoluteIdList(), b->GetAbsoluteIdList()) & 0xFFFF) < 0;
    });
    return timer.nsecsElapsed() / 1e9;
}

Figures enumerateOnce(const std::string& path)
{
    const dw::platform::IdListPtr list = dw::platform::parsingNameToIdList(path);
    if (!list) {
        std::fprintf(stderr, "cannot parse %s\n", path.c_str());
        std::exit(1);
    }
    const std::size_t before = heapcounter::liveBytes();
    heapcounter::resetPeak();
    QElapsedTimer timer;
    timer.start();
    Figures figures;
    {
        TStCustomShellController controller;
        TStCollectingTreeTarget tree;
        controller.SetTreeTarget(&tree);
        controller.Enumerate(list.get(), TStEnumerationMode::Tree);
        figures.seconds = timer.nsecsElapsed() / 1e9;
        figures.items = tree.folders.Count();
        figures.withChildren = tree.withChildren;
        figures.sortSeconds = sortSeconds(tree.folders, *controller.GetDesktopFolder());
    }
    figures.peakBytesPerItem = figures.items ? double(heapcounter::peakBytes() - before) / figures.items : 0;
    return figures;
}

double findSeconds(const std::string& path)
{
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    find.start(QStringLiteral("find"), {QString::fromStdString(path), QStringLiteral("-mindepth"), QStringLiteral("1"),
                                        QStringLiteral("-maxdepth"), QStringLiteral("2"), QStringLiteral("-type"),
                                        QStringLiteral("d")});
    find.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

void makeFolderCorpus(const QString& root, int folders)
{
    QDir dir(root);
    for (int i = 0; i < folders; ++i) {
        const QString name = QStringLiteral("folder%1").arg(i);
        dir.mkdir(name);
        if (i % 2 == 0) // half have a subfolder, half a file: both kinds of probe
            dir.mkdir(name + QStringLiteral("/sub"));
        else
            QFile(root + QLatin1Char('/') + name + QStringLiteral("/file.dw2")).open(QIODevice::WriteOnly);
    }
}

void makeFileCorpus(const QString& root, int files)
{
    for (int i = 0; i < files; ++i)
        QFile(root + QStringLiteral("/calendar%1.dw2").arg(i)).open(QIODevice::WriteOnly);
}

void measure(const char* title, const std::string& path, int runs)
{
    Figures best;
    best.seconds = 1e30;
    double bestFind = 1e30;
    for (int run = 0; run < runs; ++run) {
        const Figures figures = enumerateOnce(path);
        if (figures.seconds < best.seconds)
            best = figures;
        bestFind = std::min(bestFind, findSeconds(path));
    }
    std::printf("%s\n", title);
    std::printf("  items                 %d (%d with an expand button)\n", best.items, best.withChildren);
    std::printf("  tree enumeration      %.3f s, %.0f items/s\n", best.seconds, best.items / best.seconds);
    std::printf("  peak heap per item    %.0f bytes\n", best.peakBytesPerItem);
    std::printf("  find -maxdepth 2      %.3f s\n", bestFind);
    std::printf("  ratio to find         %.2f\n", best.seconds / bestFind);
    std::printf("  sorting them          %.3f s (desktop order of absolute lists)\n\n", best.sortSeconds);
}

const char* textArgument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == name)
            return argv[i + 1];
    }
    return nullptr;
}

int argument(int argc, char** argv, const char* name, int fallback)
{
    const char* text = textArgument(argc, argv, name);
    return text ? std::atoi(text) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int folders = argument(argc, argv, "--folders", 10000);
    const int files = argument(argc, argv, "--files", 100000);
    const int runs = std::max(1, argument(argc, argv, "--runs", 3));
    // With --dir the corpus is kept there and made only once.
    QTemporaryDir temporary;
    const char* kept = textArgument(argc, argv, "--dir");
    const QString root = kept ? QString::fromLocal8Bit(kept) : temporary.path();
    QDir().mkpath(root);
    if (QDir(root).mkdir(QStringLiteral("folders"))) {
        std::printf("making %d subfolders in %s ...\n", folders, qPrintable(root));
        makeFolderCorpus(root + QStringLiteral("/folders"), folders);
    }
    if (QDir(root).mkdir(QStringLiteral("files"))) {
        std::printf("making %d files in %s ...\n", files, qPrintable(root));
        makeFileCorpus(root + QStringLiteral("/files"), files);
    }
    std::printf("\n");

    measure("folder with subfolders", (root + QStringLiteral("/folders")).toStdString(), runs);
    measure("folder with files", (root + QStringLiteral("/files")).toStdString(), runs);
    return 0;
}
