#include "db/demo/DemoTexts.h"

#include "db/demo/DemoRandom.h"
#include "db/demo/DemoValueLists.h"

const char* PickCustomer(DemoRandom& random)
{
    static const char* const customers[] = {
        "比亚迪汽车", "吉利汽车",       "长城汽车",         "上汽大众",   "一汽丰田", "蔚来汽车",
        "Bosch",      "Continental AG", "株式会社デンソー", "현대모비스", nullptr,
    };
    return random.Pick(customers);
}

const char* PickCreator(DemoRandom& random)
{
    static const char* const creators[] = {"Admin", "zhangwei", "zhangwei", "lina", "tanaka"};
    return random.Pick(creators);
}

const char* PickListValue(DemoRandom& random, ValueListIndex list)
{
    const QList<DemoValueEntry>& entries = DemoValueList(list);
    return entries[random.Below(static_cast<int>(entries.size()))].value;
}
