#include "db/demo/DemoValueLists.h"

#include <array>

const QList<DemoValueEntry>& DemoValueList(ValueListIndex list)
{
    static const std::array<QList<DemoValueEntry>, kValueListCount> lists = {{
        // 联线类型: connection types of a wire (HarnessType).
        {{"导线", "1"},
         {"屏蔽线", "2"},
         {"双绞线", "3"},
         {"二极管", "4"},
         {"电阻", "5"},
         {"电容", "6"},
         {"接地线", "7"}},
        // 测试组: test groups of a wire (WireGroup).
        {{"A组", "GA"}, {"B组", "GB"}, {"C组", "GC"}, {"电源组", "PWR"}, {"信号组", "SIG"}, {"高压组", "HV"}},
        // 测试组2: second test groups of a job step (TestGroup).
        {{"功能测试组", "FT"}, {"安规测试组", "ST"}, {"老化测试组", "BI"}, {"外观检查组", "VI"}, {"终检组", "FQC"}},
        // 测试模式: test modes of a job step (TestMode).
        {{"快速", "0"}, {"标准", "1"}, {"精密", "2"}, {"高压", "3"}, {"手动", "4"}},
    }};
    return lists[list];
}

QString DemoValueListText()
{
    QString text;
    for (int list = 0; list < kValueListCount; ++list) {
        for (const DemoValueEntry& entry : DemoValueList(static_cast<ValueListIndex>(list)))
            text += ValueListNames()[list] + QLatin1Char('&') + QString::fromUtf8(entry.entry) + QLatin1Char('&') +
                    QString::fromUtf8(entry.value) + QLatin1Char('\n');
    }
    return text;
}
