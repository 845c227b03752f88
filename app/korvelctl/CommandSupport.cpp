#include "app/korvelctl/CommandSupport.h"

#include "config/ConnectionSettings.h"
#include "config/ValueLists.h"
#include "labels/LabelBundle.h"
#include "util/TextConversions.h"

#include <algorithm>

namespace korvel {

namespace {

// Empty when the line is a valid entry; then `ansi` holds its GBK bytes.
QString lineProblem(const QString& line, QByteArray& ansi)
{
    if (line.contains(QLatin1Char(';')) || line.contains(QChar(0)))
        return QStringLiteral("不能含有“;”或NUL字符");
    const QStringList fields = splitText(line, QLatin1Char('&'));
    if (fields.size() != 3)
        return QStringLiteral("格式错误，应为：列表名&条目&值");
    const auto& names = valueListNames();
    if (std::find(names.begin(), names.end(), fields[0]) == names.end())
        return QStringLiteral("的列表名无效：%1").arg(fields[0]);
    if (!wideToAnsi(line, ansi))
        return QStringLiteral("含有GBK无法表示的字符");
    return QString();
}

} // namespace

int exitCodeOf(const Outcome& outcome, CommandContext& context)
{
    if (outcome)
        return kExitOk;
    context.messages.showWarning(outcome.message());
    return kExitFailure;
}

void StreamMessageSink::showWarning(const QString& text)
{
    // A message is one line, whatever it quotes; some of the program's texts end with a line
    // feed of their own, which ends that line.
    m_stream << escapeForDisplay(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text) << '\n';
}

void StreamMessageSink::showInformation(const QString& text)
{
    showWarning(text);
}

namespace {

// What a terminal acts on instead of showing: the C0 and C1 controls and DEL (escape
// sequences, bells, line ends); the bidirectional marks, embeddings, overrides and
// isolates, which reorder the text around them; the line and paragraph separators.
bool isActedOnByTerminals(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool needsEscape(QChar c)
{
    const char16_t u = c.unicode();
    // Printable ASCII, the bulk of every text, is settled by one range test.
    if (u >= 0x20 && u < 0x7F)
        return u == u'\\';
    return isActedOnByTerminals(u);
}

// \xHH for the controls of Latin-1, \uHHHH for those beyond.
QString hexEscape(char16_t c)
{
    const bool latin1 = c <= 0xFF;
    return (latin1 ? QLatin1String("\\x") : QLatin1String("\\u")) +
           QString::number(c, 16).toUpper().rightJustified(latin1 ? 2 : 4, QLatin1Char('0'));
}

// The values tab-separated and ended by a line feed, laid out in one string and written at
// once: a large result is mostly short values, and an append or a stream call for each
// cost more than the values themselves.
void writeTabSeparatedLine(const TextRow& values, QTextStream& out)
{
    qsizetype length = std::max<qsizetype>(values.size(), 1); // the tabs and the line feed
    for (const QString& value : values)
        length += value.size();
    QString line(length, Qt::Uninitialized);
    QChar* at = line.data();
    for (qsizetype field = 0; field < values.size(); ++field) {
        if (field > 0)
            *at++ = QLatin1Char('\t');
        at = std::copy(values[field].cbegin(), values[field].cend(), at);
    }
    *at = QLatin1Char('\n');
    out << line;
}

} // namespace

QString escapeForDisplay(const QString& value)
{
    // Most values hold nothing to escape; they go out as they are, without a copy.
    if (std::none_of(value.begin(), value.end(), needsEscape))
        return value;
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': escaped += QLatin1String("\\\\"); break;
        case u'\t': escaped += QLatin1String("\\t"); break;
        case u'\r': escaped += QLatin1String("\\r"); break;
        case u'\n': escaped += QLatin1String("\\n"); break;
        default:
            if (needsEscape(c))
                escaped += hexEscape(c.unicode());
            else
                escaped += c;
        }
    }
    return escaped;
}

void printTextRow(const TextRow& row, QTextStream& out)
{
    const auto shownAsItIs = [](const QString& value) { return std::none_of(value.begin(), value.end(), needsEscape); };
    if (std::all_of(row.begin(), row.end(), shownAsItIs)) {
        writeTabSeparatedLine(row, out);
        return;
    }
    TextRow shown;
    for (const QString& value : row)
        shown.append(escapeForDisplay(value));
    writeTabSeparatedLine(shown, out);
}

void printTextRows(const TextTable& rows, QTextStream& out)
{
    for (const TextRow& row : rows)
        printTextRow(row, out);
}

int onSettingsDatabase(const QString& settingsPath, CommandContext& context,
                       const std::function<bool(const QString& connectionString, MessageSink& messages)>& work)
{
    const Result<QString> connection = readConnectionString(settingsPath);
    if (!connection)
        return exitCodeOf(connection.outcome, context);
    return work(connection.value, context.messages) ? kExitOk : kExitFailure;
}

int onOpenSettingsDatabase(const QString& settingsPath, CommandContext& context,
                           const std::function<bool(Database& database, MessageSink& messages)>& work)
{
    return onSettingsDatabase(settingsPath, context, [&work](const QString& connection, MessageSink& messages) {
        Database database;
        if (!database.open(connection)) {
            messages.showWarning(database.lastError());
            return false;
        }
        return work(database, messages);
    });
}

bool LabelNoOptionResolver::resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue)
{
    if (!m_newLabelNo) {
        m_messages.showWarning(oldValue + QStringLiteral("已经存在"));
        return false;
    }
    if (rowExists(database, kLabelInfoTable, *m_newLabelNo, kLabelNoColumn)) {
        m_messages.showWarning(*m_newLabelNo + QStringLiteral("已经存在"));
        return false;
    }
    newValue = *m_newLabelNo;
    return true;
}

bool valueListPlaintextFromLines(const QString& text, QByteArray& plaintext, QString& error)
{
    QByteArray built;
    const QStringList lines = splitText(text, QLatin1Char('\n'));
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = lines[number];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.endsWith(QLatin1Char(';')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QByteArray ansi;
        const QString problem = lineProblem(line, ansi);
        if (!problem.isEmpty()) {
            error = QStringLiteral("第%1行").arg(number + 1) + problem;
            return false;
        }
        built += ansi + ';';
    }
    plaintext = built;
    return true;
}

} // namespace korvel
