// The folders are the layers: a file may include the files of its own folder and those of
// the layers below its own, never one above it or beside it.

#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Low to high; the folders of one layer stand beside each other and know nothing of each
// other.
const QList<QStringList> kLayers = {
    {"util", "res"},
    {"db/client", "db/schema"},
    {"db/sqlite", "db/odbc"},
    {"db"},
    {"config"},
    {"labels", "attributes", "demodata"},
    {"gui"},
    {"app/korvel", "app/korvelctl"},
};

int layerOf(const QString& folder)
{
    for (int layer = 0; layer < kLayers.size(); ++layer) {
        if (kLayers[layer].contains(folder))
            return layer;
    }
    return -1;
}

QString layerOrder()
{
    QStringList layers;
    for (const QStringList& layer : kLayers)
        layers.append(layer.join(QStringLiteral(", ")));
    return layers.join(QStringLiteral(" → "));
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// What is wrong with one include of a file, or nothing.
QString includeProblem(const QString& file, int line, const QString& included)
{
    const QString from = folderOf(file);
    const QString to = folderOf(included);
    if (to.isEmpty() || to == from)
        return QString();
    const int fromLayer = layerOf(from);
    const int toLayer = layerOf(to);
    if (toLayer >= 0 && toLayer < fromLayer)
        return QString();
    const QString where = QStringLiteral("%1:%2 includes %3: ").arg(file).arg(line).arg(included);
    if (toLayer < 0)
        return where + QStringLiteral("%1 is no layer of the program").arg(to);
    return where + QStringLiteral("%1 may not include %2 (the layers, low to high: %3)")
                       .arg(from, to, layerOrder());
}

} // namespace

TEST(Layering, EveryIncludeRunsDownTheLayers)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""));
    const QDir root(QStringLiteral(KORVEL_SOURCE_DIR));
    QStringList problems;
    int files = 0;
    for (const QStringList& layer : kLayers) {
        for (const QString& folder : layer) {
            const QStringList patterns = {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.in")};
            QDirIterator sources(root.filePath(folder), patterns, QDir::Files);
            while (sources.hasNext()) {
                const QString path = root.relativeFilePath(sources.next());
                QFile source(root.filePath(path));
                ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << path.toStdString();
                ++files;
                int line = 0;
                while (!source.atEnd()) {
                    ++line;
                    const QRegularExpressionMatch match = include.match(QString::fromUtf8(source.readLine()));
                    if (match.hasMatch())
                        problems += includeProblem(path, line, match.captured(1));
                }
            }
        }
    }
    problems.removeAll(QString());
    EXPECT_GT(files, 50) << "the sources are not where the test looks: " << root.path().toStdString();
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

TEST(Layering, EveryFolderOfTheProgramIsALayer)
{
    const QDir root(QStringLiteral(KORVEL_SOURCE_DIR));
    QStringList strays;
    // Every folder of the root but those beside the program; hidden ones (.git, .ci) are not listed.
    const QStringList beside = {"tests", "bench", "scripts", "docs", "cmake", "demo"};
    for (const QString& top : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (beside.contains(top) || top.startsWith(QLatin1String("build")))
            continue;
        QDirIterator folders(root.filePath(top), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QStringList found{top};
        while (folders.hasNext())
            found.append(root.relativeFilePath(folders.next()));
        for (const QString& folder : found) {
            const QStringList sources =
                QDir(root.filePath(folder)).entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
            if (!sources.isEmpty() && layerOf(folder) < 0)
                strays.append(folder);
        }
    }
    EXPECT_TRUE(strays.isEmpty()) << "folders with sources that no layer names: "
                                  << strays.join(QStringLiteral(", ")).toStdString();
}
