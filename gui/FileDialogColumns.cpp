#include "gui/FileDialogColumns.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace korvel {

namespace {

// The columns of QFileSystemModel.
enum Column : int {
    kNameColumn = 0,
    kSizeColumn = 1,
    kTypeColumn = 2,
    kDateColumn = 3,
};

class DetailsInProgramsLocale : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        switch (index.column()) {
        case kSizeColumn:
            // A folder shows no size.
            return files->isDir(file) ? QString() : QLocale().formattedDataSize(files->size(file));
        case kDateColumn: return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        default: return QIdentityProxyModel::data(index, role);
        }
    }
};

} // namespace

void showDetailsInProgramsLocale(QFileDialog& dialog)
{
    dialog.setProxyModel(new DetailsInProgramsLocale(&dialog));
    auto* details = dialog.findChild<QTreeView*>();
    if (!details)
        return;
    QHeaderView& header = *details->header();
    header.setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    for (int column : {kSizeColumn, kTypeColumn, kDateColumn})
        header.setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

} // namespace korvel
