#include "gui/AboutDialog.h"

#include "res/Resources.h"

#include <QLabel>
#include <QPushButton>

namespace korvel {

AboutDialog::AboutDialog(QWidget* parent) : TemplateDialog(parent, songTiFont(), QStringLiteral("关于 Korvel"), 235, 55)
{
    auto* icon = new QLabel(this);
    place(*icon, {11, 17, 20, 20});
    icon->setPixmap(applicationIcon().pixmap(icon->size()));

    auto* version = new QLabel(QStringLiteral("Korvel 1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    place(*version, {40, 10, 119, 8});

    auto* purpose = new QLabel(QStringLiteral("线束测试数据库维护工具"), this);
    purpose->setTextFormat(Qt::PlainText);
    place(*purpose, {40, 25, 119, 8});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    identifyControl(*ok, kOkButton, QStringLiteral("okButton"));
    place(*ok, {178, 7, 50, 16});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutDialog::accept);
}

} // namespace korvel
