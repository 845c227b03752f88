#include "app/korvelctl/CommandSupport.h"

#include "config/ValueLists.h"
#include "util/TextConversions.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QString problem(const QString& text)
{
    QByteArray plaintext("untouched");
    QString error;
    EXPECT_FALSE(valueListPlaintextFromLines(text, plaintext, error));
    EXPECT_EQ(plaintext, QByteArray("untouched"));
    return error;
}

} // namespace

TEST(ValueListSource, LinesBecomeTheFilesSyntaxAndReadBackUnchanged)
{
    QByteArray plaintext;
    QString error;
    ASSERT_TRUE(valueListPlaintextFromLines(
        QStringLiteral("联线类型&导通&1\r\n  \n测试组& spaced key & v ;\n测试组2&&empty key\n"), plaintext, error));
    EXPECT_EQ(ansiToWide(plaintext), QStringLiteral("联线类型&导通&1;测试组& spaced key & v ;测试组2&&empty key;"));
    const ValueLists lists = parseValueListText(ansiToWide(plaintext));
    EXPECT_EQ(lists[kTestGroupList].value(QStringLiteral(" spaced key ")), QStringLiteral(" v "));
    EXPECT_EQ(lists[kTestGroup2List].value(QString()), QStringLiteral("empty key"));

    ASSERT_TRUE(valueListPlaintextFromLines(QString(), plaintext, error));
    EXPECT_TRUE(plaintext.isEmpty());
}

TEST(ValueListSource, RefusesWhatTheFileWouldLoseNamingTheLine)
{
    EXPECT_EQ(problem(QStringLiteral("测试组&A&1\n测试组&A")), QStringLiteral("第2行格式错误，应为：列表名&条目&值"));
    EXPECT_EQ(problem(QStringLiteral("测试组&A&1&extra")), QStringLiteral("第1行格式错误，应为：列表名&条目&值"));
    EXPECT_EQ(problem(QStringLiteral("\n\n测试 组&A&1")), QStringLiteral("第3行的列表名无效：测试 组"));
    EXPECT_EQ(problem(QStringLiteral("测试组&A;B&1")), QStringLiteral("第1行不能含有“;”或NUL字符"));
    EXPECT_EQ(problem(QString::fromUtf16(u"测试组&A\0&1", 9)), QStringLiteral("第1行不能含有“;”或NUL字符"));
    EXPECT_EQ(problem(QStringLiteral("测试组&🔌&1")), QStringLiteral("第1行含有GBK无法表示的字符"));
}
