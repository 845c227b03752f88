#include "res/Resources.h"

namespace korvel {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/korvel/korvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString aboutItemText()
{
    return QStringLiteral("关于 Korvel(&A)...");
}

} // namespace korvel
