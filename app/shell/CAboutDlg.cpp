#include "app/shell/CAboutDlg.h"

#include "app/widgets/DialogTemplate.h"
#include "res/Resources.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    ApplyTemplate(*this, SongTiFont(), QStringLiteral("关于 Korvel"), 235, 55);
    const DialogUnits units(font());

    auto* icon = new QLabel(this);
    PlaceControl(*icon, units, kNoControlId, {11, 17, 20, 20});
    icon->setPixmap(ApplicationIcon().pixmap(icon->size()));

    auto* version = new QLabel(QStringLiteral("Korvel 1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    PlaceControl(*version, units, kNoControlId, {40, 10, 119, 8});

    auto* purpose = new QLabel(QStringLiteral("线束测试数据库维护工具"), this);
    purpose->setTextFormat(Qt::PlainText);
    PlaceControl(*purpose, units, kNoControlId, {40, 25, 119, 8});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    PlaceControl(*ok, units, 1, {178, 7, 50, 16});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
