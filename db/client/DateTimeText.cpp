#include "db/client/DateTimeText.h"

QString DateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    QString text = QString::asprintf("%04d-%02d-%02d", year, month, day);
    if (hour == 0 && minute == 0 && second == 0 && millisecond == 0)
        return text;
    text += QString::asprintf(" %02d:%02d:%02d", hour, minute, second);
    if (millisecond != 0)
        text += QString::asprintf(".%03d", millisecond);
    return text;
}
