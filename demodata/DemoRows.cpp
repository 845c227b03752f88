#include "demodata/DemoRows.h"

#include "db/client/ValueText.h"
#include "demodata/DemoDatabase.h"

#include <QtEndian>

#include <cstdio>

#include <sqlite3.h>

namespace korvel {

DemoRandom DemoRandom::forRecord(DemoStream stream, qint64 index)
{
    // Any fixed start will do; mixing stream and index through the generator once keeps
    // neighbouring seeds from giving related sequences.
    DemoRandom mixer(0x4B6F7276656C2024ULL ^ (static_cast<quint64>(stream) << 56) ^ static_cast<quint64>(index));
    return DemoRandom(mixer.next());
}

quint64 DemoRandom::next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int DemoRandom::below(int bound)
{
    return static_cast<int>((next() >> 11) % static_cast<quint64>(bound));
}

int DemoRandom::between(int low, int high)
{
    return low + below(high - low + 1);
}

bool DemoRandom::chance(int percent)
{
    return below(100) < percent;
}

QByteArray DemoRandom::bytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(next() >> 56);
    return bytes;
}

QByteArray DemoRandom::guid()
{
    const quint64 high = (next() & ~0xF000ULL) | 0x4000ULL;                       // version 4
    const quint64 low = (next() & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL; // RFC 4122 variant
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(high >> 32),
                  static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFFF),
                  static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return QByteArray(text);
}

QByteArray DemoMoment::text() const
{
    return dateTimeText(date.year(), date.month(), date.day(), secondOfDay / 3600, secondOfDay / 60 % 60,
                        secondOfDay % 60, 0)
        .toUtf8();
}

DemoMoment randomMoment(DemoRandom& random, int firstYear, int lastYear)
{
    const QDate first(firstYear, 1, 1);
    const int days = static_cast<int>(first.daysTo(QDate(lastYear, 12, 31))) + 1;
    constexpr int kSevenThirty = 7 * 3600 + 30 * 60;
    constexpr int kWorkingDay = 11 * 3600;
    return {first.addDays(random.below(days)), kSevenThirty + random.below(kWorkingDay)};
}

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteSize = 2 * 4;
constexpr int kPixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;

void putLittleEndian32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void putLittleEndian16(QByteArray& bytes, int offset, quint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

QByteArray demoBitmap(DemoRandom& random, int width, int height)
{
    // Rows are padded to whole 32-bit words and stored bottom-up; a set bit is palette
    // entry 1, white.
    const int stride = (width + 31) / 32 * 4;
    QByteArray bmp(kPixelOffset, '\0');
    bmp += QByteArray(stride * height, '\xFF');
    bmp[0] = 'B';
    bmp[1] = 'M';
    putLittleEndian32(bmp, 2, static_cast<quint32>(bmp.size()));
    putLittleEndian32(bmp, 10, kPixelOffset);
    putLittleEndian32(bmp, 14, kInfoHeaderSize);
    putLittleEndian32(bmp, 18, static_cast<quint32>(width));
    putLittleEndian32(bmp, 22, static_cast<quint32>(height));
    putLittleEndian16(bmp, 26, 1); // planes
    putLittleEndian16(bmp, 28, 1); // bits per pixel
    putLittleEndian32(bmp, 34, static_cast<quint32>(stride * height));
    putLittleEndian32(bmp, 38, 2835); // 72 dpi, in pixels per metre
    putLittleEndian32(bmp, 42, 2835);
    putLittleEndian32(bmp, 46, 2); // colours in the palette
    // Palette entry 0 stays black; entry 1 is white.
    bmp[kPixelOffset - 4] = bmp[kPixelOffset - 3] = bmp[kPixelOffset - 2] = '\xFF';

    const auto blacken = [&](int x, int y) {
        char& byte = bmp[kPixelOffset + (height - 1 - y) * stride + x / 8];
        byte = static_cast<char>(byte & ~(0x80 >> (x % 8)));
    };
    for (int x = 0; x < width; ++x) {
        blacken(x, 0);
        blacken(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        blacken(0, y);
        blacken(width - 1, y);
    }
    for (int box = random.between(2, 6); box > 0; --box) {
        const int left = random.below(width - 1);
        const int top = random.below(height - 1);
        const int right = random.between(left + 1, qMin(width - 1, left + width / 2));
        const int bottom = random.between(top + 1, qMin(height - 1, top + height / 2));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                blacken(x, y);
    }
    return bmp;
}

const char* pickCustomer(DemoRandom& random)
{
    static const char* const customers[] = {
        "比亚迪汽车", "吉利汽车",       "长城汽车",         "上汽大众",   "一汽丰田", "蔚来汽车",
        "Bosch",      "Continental AG", "株式会社デンソー", "현대모비스", nullptr,
    };
    return random.pick(customers);
}

const char* pickCreator(DemoRandom& random)
{
    static const char* const creators[] = {"Admin", "zhangwei", "zhangwei", "lina", "tanaka"};
    return random.pick(creators);
}

const char* pickListValue(DemoRandom& random, ValueListIndex list)
{
    const QList<DemoValueEntry>& entries = demoValueList(list);
    return entries[random.below(static_cast<int>(entries.size()))].value;
}

RowInserter::~RowInserter()
{
    sqlite3_finalize(m_statement);
}

bool RowInserter::prepare(sqlite3* db, const char* table, const char* columns, QString& error)
{
    m_db = db;
    m_table = table;
    const QByteArray columnList(columns);
    QByteArray sql = "INSERT INTO " + m_table + " (" + columnList + ") VALUES (?";
    for (qsizetype i = columnList.count(','); i > 0; --i)
        sql += ", ?";
    sql += ')';
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(m_table + ": " + sqlite3_errmsg(db));
        return false;
    }
    return true;
}

RowInserter& RowInserter::bound(int result)
{
    if (m_bindResult == SQLITE_OK)
        m_bindResult = result;
    ++m_next;
    return *this;
}

RowInserter& RowInserter::null()
{
    return bound(sqlite3_bind_null(m_statement, m_next));
}

RowInserter& RowInserter::integer(qint64 value)
{
    return bound(sqlite3_bind_int64(m_statement, m_next, value));
}

RowInserter& RowInserter::text(const char* utf8)
{
    if (!utf8)
        return null();
    return bound(sqlite3_bind_text(m_statement, m_next, utf8, -1, SQLITE_TRANSIENT));
}

RowInserter& RowInserter::text(const QByteArray& utf8)
{
    if (utf8.isNull())
        return null();
    return bound(sqlite3_bind_text64(m_statement, m_next, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8));
}

RowInserter& RowInserter::blob(const QByteArray& bytes)
{
    if (bytes.isNull())
        return null();
    return bound(sqlite3_bind_blob64(m_statement, m_next, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                     SQLITE_TRANSIENT));
}

bool RowInserter::insert(QString& error)
{
    const int bound = m_next - 1;
    const int parameters = sqlite3_bind_parameter_count(m_statement);
    int result = m_bindResult;
    if (result == SQLITE_OK && bound == parameters)
        result = sqlite3_step(m_statement);
    if (result != SQLITE_DONE) {
        error = QString::fromUtf8(m_table) + QStringLiteral(": ") +
                (bound == parameters ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                     : QStringLiteral("%1 of %2 columns bound").arg(bound).arg(parameters));
    }
    sqlite3_reset(m_statement);
    m_next = 1;
    m_bindResult = SQLITE_OK;
    return result == SQLITE_DONE;
}

} // namespace korvel
