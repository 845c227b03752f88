#include "app/korvelctl/WriteList.h"

#include "attributes/AttributeWrites.h"

#include <QCommandLineParser>

namespace korvel {

namespace {

const QString kHarnessOption = QStringLiteral("harness");
const QString kWireOption = QStringLiteral("wire");
const QString kJobOption = QStringLiteral("job");
const QString kStepOption = QStringLiteral("step");

// Each attribute by the name its option and a file's first column give it.
struct NamedAttribute
{
    const char* name;
    const AttributeWrite* write;
    const char* description;
};

const NamedAttribute kAttributes[] = {
    {"connection-type", &kConnectionTypeWrite, "write the wire's connection type, an entry of 联线类型"},
    {"test-group", &kTestGroupWrite, "write the wire's test group, an entry of 测试组"},
    {"test-mode", &kTestModeWrite, "write the step's test mode, an entry of 测试模式"},
    {"test-group-2", &kTestGroup2Write, "write the step's test group 2, an entry of 测试组2"},
};

const AttributeWrite* attributeNamed(const QString& name)
{
    for (const NamedAttribute& attribute : kAttributes) {
        if (name == QLatin1String(attribute.name))
            return attribute.write;
    }
    return nullptr;
}

bool isWireAttribute(const AttributeWrite& attribute)
{
    return attribute.cascade == &kWiresOfHarness;
}

} // namespace

QList<QCommandLineOption> writeOptions()
{
    QList<QCommandLineOption> options = {
        QCommandLineOption(kHarnessOption, QStringLiteral("the harness number"), QStringLiteral("H")),
        QCommandLineOption(kWireOption, QStringLiteral("the wire number, one of the harness's"), QStringLiteral("W")),
        QCommandLineOption(kJobOption, QStringLiteral("the job number"), QStringLiteral("J")),
        QCommandLineOption(kStepOption, QStringLiteral("the step (LineID), one of the job's"), QStringLiteral("S"))};
    for (const NamedAttribute& attribute : kAttributes)
        options.append(QCommandLineOption(QString::fromUtf8(attribute.name), QString::fromUtf8(attribute.description),
                                          QStringLiteral("NAME")));
    options.append(QCommandLineOption(
        kFromOption, QStringLiteral("write the values of a tab-separated file, a line each"), QStringLiteral("FILE")));
    options.append(QCommandLineOption(kValuesOption,
                                      QStringLiteral("the value-list file (default: SQL配置.ini beside SETTINGS)"),
                                      QStringLiteral("FILE")));
    return options;
}

std::optional<RequestedWrite> writeFromOptions(const QCommandLineParser& options)
{
    std::optional<RequestedWrite> write;
    for (const NamedAttribute& attribute : kAttributes) {
        if (!options.isSet(QString::fromUtf8(attribute.name)))
            continue;
        if (write)
            return std::nullopt;
        write = RequestedWrite{0, attribute.write, {}, {}, options.value(QString::fromUtf8(attribute.name))};
    }
    if (!write || options.isSet(kFromOption))
        return std::nullopt;
    const bool ofWire = isWireAttribute(*write->attribute);
    const QString& record = ofWire ? kHarnessOption : kJobOption;
    const QString& child = ofWire ? kWireOption : kStepOption;
    const QString& otherRecord = ofWire ? kJobOption : kHarnessOption;
    const QString& otherChild = ofWire ? kStepOption : kWireOption;
    if (!options.isSet(record) || !options.isSet(child) || options.isSet(otherRecord) || options.isSet(otherChild))
        return std::nullopt;
    write->number = options.value(record);
    write->child = options.value(child);
    return write;
}

bool namesOnlyAFile(const QCommandLineParser& options)
{
    for (const QString& single : {kHarnessOption, kWireOption, kJobOption, kStepOption}) {
        if (options.isSet(single))
            return false;
    }
    for (const NamedAttribute& attribute : kAttributes) {
        if (options.isSet(QString::fromUtf8(attribute.name)))
            return false;
    }
    return options.isSet(kFromOption);
}

Result<QList<RequestedWrite>> writesFromText(const QString& text)
{
    QList<RequestedWrite> writes;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QString where = QStringLiteral("第%1行：").arg(number);
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 4)
            return {Outcome::failure(where + QStringLiteral("应为以制表符分隔的四列：属性、编号、子项、条目")), {}};
        const AttributeWrite* attribute = attributeNamed(fields[0]);
        if (!attribute)
            return {Outcome::failure(where + QStringLiteral("属性无效：%1").arg(fields[0])), {}};
        writes.append({number, attribute, fields[1], fields[2], fields[3]});
    }
    if (writes.isEmpty())
        return {Outcome::failure(QStringLiteral("文件中没有要写入的值")), {}};
    return {Outcome::success(), std::move(writes)};
}

} // namespace korvel
