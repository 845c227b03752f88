#include "tests/labels/BundleComparison.h"

#include "tests/support/QtPrinting.h"

#include <QMap>
#include <QSet>

#include <gtest/gtest.h>

namespace korvel {

namespace {

bool isIdentifierColumn(const QString& column)
{
    return isColumnNamed(column, kLabelIdColumn) || isColumnNamed(column, kItemIdColumn);
}

class Replacements
{
public:
    explicit Replacements(const QList<BundleBlock>& before)
    {
        for (const BundleBlock& block : before) {
            const TextRow header = block.rows.value(0);
            for (qsizetype i = 1; i < block.rows.size(); ++i) {
                for (qsizetype j = 0; j < block.rows[i].size(); ++j) {
                    if (isIdentifierColumn(header.value(j)))
                        m_oldValues.insert(block.rows[i][j]);
                }
            }
        }
    }

    void expect(const QString& column, const QString& oldValue, const QString& newValue)
    {
        QMap<QString, QString>& map = m_maps[column.toCaseFolded()];
        EXPECT_FALSE(m_oldValues.contains(newValue)) << column.toStdString() << " kept an identifier of the bundle";
        const auto known = map.constFind(oldValue);
        if (known != map.constEnd()) {
            EXPECT_EQ(*known, newValue) << column.toStdString() << " " << oldValue.toStdString()
                                        << " was replaced twice differently";
            return;
        }
        EXPECT_FALSE(m_newValues.contains(newValue)) << "two identifiers got the same replacement";
        map.insert(oldValue, newValue);
        m_newValues.insert(newValue);
    }

    QString of(const QString& column, const QString& oldValue) const
    {
        return m_maps[column.toCaseFolded()].value(oldValue);
    }

private:
    QMap<QString, QMap<QString, QString>> m_maps;
    QSet<QString> m_oldValues;
    QSet<QString> m_newValues;
};

// The rows of `fresh` in the order of their counterparts in `old`; rows whose ItemID has no
// known replacement keep their place among the rest.
TextTable pairedByItem(const TextTable& old, const TextTable& fresh, const Replacements& replacements)
{
    const qsizetype column = columnPosition(old.value(0), kItemIdColumn, ColumnOccurrence::First);
    if (column < 0)
        return fresh;
    TextTable rest = fresh.mid(1);
    TextTable paired = {fresh.value(0)};
    for (qsizetype i = 1; i < old.size(); ++i) {
        const QString replacement = replacements.of(kItemIdColumn, old[i].value(column));
        qsizetype match = -1;
        for (qsizetype r = 0; r < rest.size() && match < 0 && !replacement.isEmpty(); ++r) {
            if (rest[r].value(column) == replacement)
                match = r;
        }
        paired.append(rest.takeAt(match < 0 ? 0 : match));
    }
    return paired;
}

} // namespace

void expectSameLabelWithNewIdentifiers(const QList<BundleBlock>& before, const QList<BundleBlock>& after)
{
    ASSERT_EQ(before.size(), after.size());
    Replacements replacements(before);
    for (qsizetype b = 0; b < before.size(); ++b) {
        const BundleBlock& old = before[b];
        ASSERT_EQ(old.rows.size(), after[b].rows.size()) << old.tableName.toStdString();
        ASSERT_FALSE(old.rows.isEmpty());
        EXPECT_EQ(old.tableName, after[b].tableName);
        const TextTable fresh = old.tableName == QLatin1String("tblLabelControlItem")
                                    ? pairedByItem(old.rows, after[b].rows, replacements)
                                    : after[b].rows;
        const TextRow& header = old.rows[0];
        EXPECT_EQ(header, fresh[0]);
        for (qsizetype i = 1; i < old.rows.size(); ++i) {
            ASSERT_EQ(old.rows[i].size(), fresh[i].size());
            for (qsizetype j = 0; j < header.size(); ++j) {
                const QString& column = header[j];
                if (isIdentifierColumn(column)) {
                    replacements.expect(column, old.rows[i][j], fresh[i][j]);
                } else if (!isColumnNamed(column, kLineIdColumn)) {
                    EXPECT_EQ(old.rows[i][j], fresh[i][j])
                        << old.tableName.toStdString() << " row " << i << " column " << column.toStdString();
                }
            }
        }
    }
}

} // namespace korvel
