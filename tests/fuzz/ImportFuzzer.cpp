// The whole import of a bundle into an embedded database held in memory: whatever the
// file holds, the import succeeds or leaves the label tables exactly as they were, and it
// succeeds only on a file whose text ends in its NUL, having added a label.

#include "db/Database.h"
#include "db/schema/EmbeddedSchema.h"
#include "labels/LabelImport.h"
#include "tests/fuzz/FuzzInput.h"
#include "util/FileCipher.h"

#include <QFile>
#include <QTemporaryDir>

using namespace korvel;

namespace {

const QString kDatabase = QStringLiteral("Provider=sqlite;Data Source=file:korvel-import-fuzz?mode=memory&cache=shared;");

// Gives a new number the first time it is asked, gives up the second time.
class AlternatingResolver : public DuplicateLabelResolver
{
public:
    bool resolveDuplicateLabelNo(Database&, const QString&, QString& newValue) override
    {
        newValue = QStringLiteral("FUZZ-%1").arg(++m_asked);
        return m_asked % 2 == 1;
    }

private:
    int m_asked = 0;
};

struct Target
{
    Target()
    {
        // This connection keeps the in-memory database alive for the whole run.
        FUZZ_CHECK(holder.open(kDatabase));
        FUZZ_CHECK(holder.execute(embeddedSchemaSql()));
        bundlePath = directory.filePath(QStringLiteral("fuzz.bq"));
    }

    QString contents()
    {
        TextTable rows;
        for (const char* table : {"tblLabelInfo", "tblLabelControls", "tblLabelControlItem"})
            FUZZ_CHECK(holder.query(QStringLiteral("select * from %1").arg(QLatin1String(table)), &rows));
        QString all;
        for (const TextRow& row : rows)
            all += row.join(QChar(0x1F)) + QLatin1Char('\n');
        return all;
    }

    Database holder;
    QTemporaryDir directory;
    QString bundlePath;
    AlternatingResolver resolver;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Target target;
    QFile file(target.bundlePath);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    const QString before = target.contents();
    if (importLabel(kDatabase, target.bundlePath, target.resolver))
        FUZZ_CHECK(cryptFileData(fuzzBytes(data, size)).endsWith('\0') && target.contents() != before);
    else
        FUZZ_CHECK(target.contents() == before);
    // Keep the database small: what an import added goes again.
    for (const char* table : {"tblLabelControlItem", "tblLabelControls", "tblLabelInfo"})
        FUZZ_CHECK(target.holder.execute(QStringLiteral("delete from %1").arg(QLatin1String(table))));
    return 0;
}
