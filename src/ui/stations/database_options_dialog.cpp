#include "ui/stations/database_options_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/stations/station_dialog_icons.h"

namespace varnex {
std::optional<QString> ChooseExistingFile(QWidget* owner, const FileOpenRequest& request) {
    QFileDialog dialog(owner, request.title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty()) {
        dialog.selectNameFilter(request.filters.first());
    }
    if (!request.startFolder.isEmpty()) {
        dialog.setDirectory(request.startFolder);
    }
    if (!request.startFile.isEmpty()) {
        dialog.selectFile(request.startFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

DatabaseOptionsDialog::DatabaseOptionsDialog(QWidget* parent, const PlatformHooks& hooks,
                                             DatabaseLocationMemory& memory, FileChooser chooseFile)
    : QDialog(parent), hooks_(hooks), memory_(memory), chooseFile_(std::move(chooseFile)) {
    setWindowTitle(QStringLiteral("DataBase Options"));
    setWindowIcon(StationDialogIcon(StationIcon::DatabaseOptions));

    auto* group = new QGroupBox(QStringLiteral("Set Location of the VNXv1 Data Base"), this);
    auto* row = new QHBoxLayout(group);
    path_ = new QLineEdit(group);
    FieldRules::Guard(path_, {CharacterClass::AnyText, kDatabasePathChars}, hooks_);
    path_->setMinimumWidth(400);
    path_->setText(QString::fromStdString(memory_.path));
    browse_ = new QPushButton(QStringLiteral("...."), group);
    browse_->setFixedWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    row->addWidget(path_);
    row->addWidget(browse_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    LayOutGroupAboveButtons(this, group, ok_, cancel_);

    connect(browse_, &QPushButton::clicked, this, &DatabaseOptionsDialog::OnBrowse);
    connect(ok_, &QPushButton::clicked, this, &DatabaseOptionsDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void DatabaseOptionsDialog::OnBrowse() {
    // On this platform "*" is every file; "*.*" would hide names without a dot.
    const FileOpenRequest request{
        QStringLiteral("Find the VNXv1.MDB file"),
        {QStringLiteral("All Files (*)"), QStringLiteral("Text Files (*.txt)")},
        QString::fromStdString(memory_.lastChosenFile),
        // Where the database in use lives, not wherever the program was started from.
        QFileInfo(QString::fromStdString(memory_.path)).absolutePath()};
    if (const std::optional<QString> chosen = chooseFile_(this, request)) {
        RememberChosenDatabaseFile(memory_, chosen->toStdString());
        path_->setText(*chosen);
    }
}

void DatabaseOptionsDialog::OnOk() {
    AcceptDatabaseOptions(hooks_, memory_, path_->text().toStdString());
    accept();
}

void OpenDatabaseOptionsDialog(QWidget* parent, DialogContext& context,
                               DatabaseLocationMemory& memory) {
    DatabaseOptionsDialog dialog(parent, context.hooks, memory);
    dialog.exec();
}

}  // namespace varnex
