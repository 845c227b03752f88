#include "bench/BenchLabel.h"

#include <QByteArray>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace korvel {

namespace {

QByteArray guid(int kind, int i)
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
    Statement& text(int column, const QByteArray& text)
    {
        sqlite3_bind_text(m_statement, column, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& integer(int column, qint64 value)
    {
        sqlite3_bind_int64(m_statement, column, value);
        return *this;
    }
    Statement& blob(int column, const QByteArray& bytes)
    {
        sqlite3_bind_blob(m_statement, column, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void insert()
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

void seedLargeLabel(sqlite3* db, const QString& labelNo, int controls, int linesPerItem)
{
    const QByteArray labelId = guid(1, 1);
    Statement label(db, "INSERT INTO tblLabelInfo (LabelID, LabelNo, LabelName, PaperWidth, PaperHeight, Dpi,"
                        " PrinterModel, Description, Checksum, CreatedBy, CreatedAt) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    label.text(1, labelId).text(2, labelNo.toUtf8()).text(3, "线束出货标签").text(4, "100.00").text(5, "60.00");
    label.integer(6, 300).text(7, "ZT410").text(8, "用于发动机舱线束出货。Printed on thermal transfer paper.");
    label.blob(9, QByteArray(16, '\x5A')).text(10, "张工").text(11, "2024-03-01 08:30:00");
    label.insert();

    Statement control(db, "INSERT INTO tblLabelControls (LabelID, ControlNo, ItemID, ControlType, X, Y, Width,"
                          " Height, Rotation, FontName, FontSize, Bold, ForeColor, PrintText, FillPattern, Picture)"
                          " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= controls; ++c) {
        control.text(1, labelId).integer(2, c).text(3, guid(2, c)).integer(4, c % 6).integer(5, c % 800).integer(6, c % 600);
        control.integer(7, 10 + c % 500).integer(8, 10 + c % 200).integer(9, (c % 4) * 90).text(10, "微软雅黑").text(11, "10.50");
        control.integer(12, c % 2)
            .integer(13, c % 3 == 0 ? 0xFF0000 : 0)
            .text(14, QStringLiteral("品名：第 %1 项").arg(c).toUtf8());
        if (c % 6 == 5)
            control.blob(15, QByteArray::fromHex("AA55AA55AA55AA55"));
        if (c % 20 == 3)
            control.blob(16, QByteArray(256, static_cast<char>(c)));
        control.insert();
    }

    Statement item(db, "INSERT INTO tblLabelControlItem (ItemID, ItemName, SourceType, FieldName, DefaultValue,"
                       " FormatString, MaxLength, CounterStart, ModifiedAt) VALUES (?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= controls; ++c) {
        for (int line = 0; line < linesPerItem; ++line) {
            item.text(1, guid(2, c)).text(2, QStringLiteral("批次号 %1-%2").arg(c).arg(line).toUtf8()).integer(3, line % 4);
            item.text(4, "JobNo").text(5, "深圳市科沃电子有限公司").text(6, "yyyy年MM月dd日").integer(7, 32);
            item.integer(8, 202400000001LL + c).text(9, "2024-02-29 12:00:00");
            item.insert();
        }
    }
}

} // namespace korvel
