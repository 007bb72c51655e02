#include "ui/stations/delete_station_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/stations/station_dialog_icons.h"

namespace varnex {

DeleteStationDialog::DeleteStationDialog(QWidget* parent, StationStore& store)
    : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("Delete IP"));
    setWindowIcon(StationDialogIcon(StationIcon::Delete));

    auto* group = new QGroupBox(QStringLiteral("Delete IP Address from Data Base"), this);
    auto* groupLayout = new QVBoxLayout(group);
    addresses_ = new QComboBox(group);
    addresses_->setEditable(true);
    // Typing an address and pressing Enter must not add it to the list.
    addresses_->setInsertPolicy(QComboBox::NoInsert);
    addresses_->setMinimumWidth(
        addresses_->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 60);
    FieldRules::Guard(addresses_->lineEdit(), {CharacterClass::AnyText, kStationAddressChars},
                      store.hooks());
    groupLayout->addWidget(addresses_);

    delete_ = new QPushButton(QStringLiteral("DELETE"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    LayOutGroupAboveButtons(this, group, delete_, cancel_);

    connect(delete_, &QPushButton::clicked, this, &DeleteStationDialog::OnDelete);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const DeleteStationChoices choices = DeleteStationOpening(store_);
    for (const std::string& address : choices.addresses) {
        addresses_->addItem(QString::fromStdString(address));
    }
    addresses_->setEditText(QString::fromStdString(choices.text));
}

void DeleteStationDialog::OnDelete() {
    StationDialogOutcome outcome =
        AcceptDeleteStation(store_, addresses_->currentText().toStdString());
    if (outcome.list) {
        list_ = std::move(outcome.list);
    }
    if (outcome.closeDialog) {
        accept();
    }
}

std::optional<StationList> OpenDeleteStationDialog(QWidget* parent, DialogContext& context) {
    context.session.ResetSession(kEndedForStationListText);
    DeleteStationDialog dialog(parent, context.stations);
    dialog.exec();
    return dialog.refilledList();
}

}  // namespace varnex
