#include "db/demo/DemoMoment.h"

#include "db/client/ValueText.h"
#include "db/demo/DemoRandom.h"

QByteArray DemoMoment::Text() const
{
    return DateTimeText(date.year(), date.month(), date.day(), secondOfDay / 3600, secondOfDay / 60 % 60,
                        secondOfDay % 60, 0)
        .toUtf8();
}

DemoMoment RandomMoment(DemoRandom& random, int firstYear, int lastYear)
{
    const QDate first(firstYear, 1, 1);
    const int days = static_cast<int>(first.daysTo(QDate(lastYear, 12, 31))) + 1;
    constexpr int kSevenThirty = 7 * 3600 + 30 * 60;
    constexpr int kWorkingDay = 11 * 3600;
    return {first.addDays(random.Below(days)), kSevenThirty + random.Below(kWorkingDay)};
}
