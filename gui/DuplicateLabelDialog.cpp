#include "gui/DuplicateLabelDialog.h"

#include "gui/ModalWork.h"
#include "util/MessageSink.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

DuplicateLabelDialog::DuplicateLabelDialog(const QString& oldLabelNumber, LabelNumberTaken taken,
                                           MessageSink& messages, QWidget* parent)
    : TemplateDialog(parent, shellDialogFont(), QStringLiteral("Label重复"), 153, 89), m_taken(std::move(taken)),
      m_messages(messages), m_newLabelNumber(new QLineEdit(this))
{
    // Template order, which is also the tab order.
    identifyControl(*m_newLabelNumber, kNewValueEdit, QStringLiteral("newLabelNumberEdit"));
    place(*m_newLabelNumber, {49, 41, 74, 14});
    auto* newLabel = new QLabel(QStringLiteral("新值："), this);
    place(*newLabel, {18, 45, 25, 8});
    auto* oldNumber = new QLineEdit(oldLabelNumber, this);
    oldNumber->setReadOnly(true);
    identifyControl(*oldNumber, kOldValueEdit, QStringLiteral("oldLabelNumberEdit"));
    place(*oldNumber, {49, 23, 74, 14});
    auto* oldLabel = new QLabel(QStringLiteral("旧值："), this);
    place(*oldLabel, {18, 27, 25, 8});
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    identifyControl(*ok, kOkButton, QStringLiteral("okButton"));
    place(*ok, {47, 60, 50, 14});
    auto* frame = new QGroupBox(QStringLiteral("LabelNo"), this);
    place(*frame, {9, 9, 134, 71});
    frame->lower();

    connect(ok, &QPushButton::clicked, this, &DuplicateLabelDialog::accept);
    m_newLabelNumber->setFocus();
}

QString DuplicateLabelDialog::newLabelNumber() const
{
    return m_newLabelNumber->text();
}

void DuplicateLabelDialog::accept()
{
    const QString number = newLabelNumber();
    // Not trimmed: any number that is free will do, but not an empty one.
    if (number.isEmpty()) {
        m_messages.showWarning(kEmptyLabelNoText);
        return;
    }
    if (m_taken(number)) {
        m_messages.showWarning(number + QStringLiteral("已经存在"));
        return;
    }
    QDialog::accept();
}

bool DialogLabelResolver::resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue)
{
    const DuplicateLabelDialog::LabelNumberTaken taken = [this, &database](const QString& number) {
        return m_work.run(QStringLiteral("检查标签 %1").arg(number),
                          [&database, &number] { return rowExists(database, kLabelInfoTable, number, kLabelNoColumn); });
    };
    bool resolved = false;
    m_work.onGuiThread([&] {
        DuplicateLabelDialog dialog(oldValue, taken, m_messages, m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        newValue = dialog.newLabelNumber();
        resolved = true;
    });
    return resolved;
}

} // namespace korvel
