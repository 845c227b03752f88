#pragma once

// Internal to the demo data: what its parts are made with (a repeatable random source,
// moments, pictures, shared texts, a prepared INSERT) and the parts themselves.

#include "config/ValueLists.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>

#include <cstddef>

struct sqlite3;
struct sqlite3_stmt;

namespace korvel {

// Which part of the demo data a generator serves. Each harness, job and label draws from
// a generator of its own, seeded by its stream and index, so that its rows do not depend
// on how many others come before it: a larger scale only adds rows.
enum class DemoStream : quint64 { Users = 1, Harnesses, Jobs, Labels };

// SplitMix64: the demo data must come out the same on every run and every platform, which
// rand() does not promise.
class DemoRandom
{
public:
    explicit DemoRandom(quint64 seed) : m_state(seed) {}
    static DemoRandom forRecord(DemoStream stream, qint64 index);

    quint64 next();
    // A number from 0 to bound - 1; bound must be positive.
    int below(int bound);
    // A number from low to high, both included; low must not exceed high.
    int between(int low, int high);
    // True in about `percent` of the calls.
    bool chance(int percent);
    QByteArray bytes(int count);
    // A random (version 4) GUID, braced and upper-case: "{0F8FAD5B-D9CB-469F-A165-70867728950E}".
    QByteArray guid();

    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[below(static_cast<int>(N))];
    }

private:
    quint64 m_state;
};

// A point in time of the demo data, stored as the program's date-time text.
struct DemoMoment
{
    QDate date;
    int secondOfDay = 0; // 0 is midnight, whose text has no time

    // "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD" at midnight.
    QByteArray text() const;
    // The same time of day, some days later, or the day alone.
    DemoMoment daysLater(int days) const { return {date.addDays(days), secondOfDay}; }
    DemoMoment day() const { return {date, 0}; }
};

// A moment within working hours of a day from the start of firstYear to the end of lastYear.
DemoMoment randomMoment(DemoRandom& random, int firstYear, int lastYear);

// A monochrome Windows bitmap (.bmp) of a few black boxes on white: a logo or a picture
// control of a label, a real image file of a few KB that any viewer opens.
QByteArray demoBitmap(DemoRandom& random, int width, int height);

// Texts that several tables of the demo data share, as UTF-8.

// A customer of the harness maker; sometimes none (a null pointer, stored as NULL).
const char* pickCustomer(DemoRandom& random);
// The UserID of a demo user who creates harnesses, jobs and labels.
const char* pickCreator(DemoRandom& random);
// The value of a random entry of a demo value list: what a user could have written.
const char* pickListValue(DemoRandom& random, ValueListIndex list);

// One prepared INSERT, run row after row: bind every column in order, then Insert.
// Calls chain in column order (C++17 evaluates each call of a chain, arguments included,
// before the next), so values drawn from a generator in the chain come in column order.
class RowInserter
{
public:
    RowInserter() = default;
    ~RowInserter();
    RowInserter(const RowInserter&) = delete;
    RowInserter& operator=(const RowInserter&) = delete;

    // Prepares "INSERT INTO table (columns) VALUES (?, …)" with one parameter per column;
    // `columns` is the comma-separated column list.
    [[nodiscard]] bool prepare(sqlite3* db, const char* table, const char* columns, QString& error);

    RowInserter& null();
    RowInserter& integer(qint64 value);
    // UTF-8 text. A null pointer or a null QByteArray binds NULL; an empty text does not.
    RowInserter& text(const char* utf8);
    RowInserter& text(const QByteArray& utf8);
    // A null QByteArray binds NULL.
    RowInserter& blob(const QByteArray& bytes);

    // Inserts the bound row and starts the next one. Fails, naming the table, when the
    // database refuses the row or not every column was bound.
    [[nodiscard]] bool insert(QString& error);

private:
    RowInserter& bound(int result);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QByteArray m_table;
    int m_next = 1; // SQLite numbers parameters from 1
    int m_bindResult = 0;
};

// The parts of the demo data, each filling its tables of a database that has Korvel's
// tables and nothing in them. The caller holds the transaction.

// Admin with the password "korvel", and a few other users.
[[nodiscard]] bool seedDemoUsers(sqlite3* db, QString& error);
// Harnesses 1 to count with their wires; every hundredth harness has none.
[[nodiscard]] bool seedDemoHarnesses(sqlite3* db, int count, QString& error);
// Jobs 1 to count with their steps, for harnesses 1 to harnessCount; every hundredth
// job, from the fiftieth, has none.
[[nodiscard]] bool seedDemoJobs(sqlite3* db, int count, int harnessCount, QString& error);
// Labels 1 to count with their controls and the items that the controls share.
[[nodiscard]] bool seedDemoLabels(sqlite3* db, int count, QString& error);

struct DemoCounts;

// All of the above, in an order that satisfies the foreign keys.
[[nodiscard]] bool seedDemoDatabase(sqlite3* db, const DemoCounts& counts, QString& error);

} // namespace korvel
