#include "bench/BenchLabel.h"

#include <QByteArray>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace korvel {

namespace {

QByteArray Guid(int kind, int i)
{
    return QStringLiteral("{%1-0000-4000-8000-%2}")
        .arg(kind, 8, 16, QLatin1Char('0'))
        .arg(i, 12, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

class Statement
{
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement& Text(int column, const QByteArray& text)
    {
        sqlite3_bind_text(m_statement, column, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Int(int column, qint64 value)
    {
        sqlite3_bind_int64(m_statement, column, value);
        return *this;
    }
    Statement& Blob(int column, const QByteArray& bytes)
    {
        sqlite3_bind_blob(m_statement, column, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void Insert()
    {
        if (sqlite3_step(m_statement) != SQLITE_DONE) {
            std::fprintf(stderr, "benchmark set-up failed: %s\n", sqlite3_errmsg(sqlite3_db_handle(m_statement)));
            std::exit(1);
        }
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace

void SeedLargeLabel(sqlite3* db, const QString& labelNo, int controls, int linesPerItem)
{
    const QByteArray labelId = Guid(1, 1);
    Statement label(db, "INSERT INTO tblLabelInfo (LabelID, LabelNo, LabelName, PaperWidth, PaperHeight, Dpi,"
                        " PrinterModel, Description, Checksum, CreatedBy, CreatedAt) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    label.Text(1, labelId).Text(2, labelNo.toUtf8()).Text(3, "线束出货标签").Text(4, "100.00").Text(5, "60.00");
    label.Int(6, 300).Text(7, "ZT410").Text(8, "用于发动机舱线束出货。Printed on thermal transfer paper.");
    label.Blob(9, QByteArray(16, '\x5A')).Text(10, "张工").Text(11, "2024-03-01 08:30:00");
    label.Insert();

    Statement control(db, "INSERT INTO tblLabelControls (LabelID, ControlNo, ItemID, ControlType, X, Y, Width,"
                          " Height, Rotation, FontName, FontSize, Bold, ForeColor, PrintText, FillPattern, Picture)"
                          " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= controls; ++c) {
        control.Text(1, labelId).Int(2, c).Text(3, Guid(2, c)).Int(4, c % 6).Int(5, c % 800).Int(6, c % 600);
        control.Int(7, 10 + c % 500).Int(8, 10 + c % 200).Int(9, (c % 4) * 90).Text(10, "微软雅黑").Text(11, "10.50");
        control.Int(12, c % 2)
            .Int(13, c % 3 == 0 ? 0xFF0000 : 0)
            .Text(14, QStringLiteral("品名：第 %1 项").arg(c).toUtf8());
        if (c % 6 == 5)
            control.Blob(15, QByteArray::fromHex("AA55AA55AA55AA55"));
        if (c % 20 == 3)
            control.Blob(16, QByteArray(256, static_cast<char>(c)));
        control.Insert();
    }

    Statement item(db, "INSERT INTO tblLabelControlItem (ItemID, ItemName, SourceType, FieldName, DefaultValue,"
                       " FormatString, MaxLength, CounterStart, ModifiedAt) VALUES (?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= controls; ++c) {
        for (int line = 0; line < linesPerItem; ++line) {
            item.Text(1, Guid(2, c)).Text(2, QStringLiteral("批次号 %1-%2").arg(c).arg(line).toUtf8()).Int(3, line % 4);
            item.Text(4, "JobNo").Text(5, "深圳市科沃电子有限公司").Text(6, "yyyy年MM月dd日").Int(7, 32);
            item.Int(8, 202400000001LL + c).Text(9, "2024-02-29 12:00:00");
            item.Insert();
        }
    }
}

} // namespace korvel
