#include "ui/stations/station_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "session/session.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/stations/station_dialog_icons.h"
#include "ui/widgets/widget_parts.h"

namespace varnex {
namespace {}  // namespace

StationDialog::StationDialog(QWidget* parent, StationStore& store, StationDialogMode mode,
                             const std::string& stationListText)
    : QDialog(parent), store_(store), mode_(mode) {
    const bool add = mode == StationDialogMode::Add;
    setWindowTitle(add ? QStringLiteral("Add IP") : QStringLiteral("Edit IP"));
    setWindowIcon(StationDialogIcon(add ? StationIcon::Add : StationIcon::Edit));

    auto* group = new QGroupBox(QStringLiteral("Add IP Address to Data Base"), this);
    auto* grid = new QGridLayout(group);
    address_ = new IpAddressField(store.hooks(), group);
    password_ = new QLineEdit(group);
    password_->setEchoMode(QLineEdit::Password);
    FieldRules::Guard(password_, {CharacterClass::AnyText, kUnitPasswordChars}, store.hooks());
    comment_ = new QLineEdit(group);
    FieldRules::Guard(comment_, {CharacterClass::AnyText, kStationFieldChars}, store.hooks());
    comment_->setMinimumWidth(220);
    const QString captions[] = {QStringLiteral("IP Address:"), QStringLiteral("Password:"),
                                QStringLiteral("Comment:")};
    QWidget* fields[] = {address_, password_, comment_};
    for (int row = 0; row < 3; ++row) {
        labels_[row] = new QLabel(captions[row], group);
        labels_[row]->setBuddy(fields[row]);
        grid->addWidget(labels_[row], row, 0);
        grid->addWidget(fields[row], row, 1, Qt::AlignLeft);
    }

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    LayOutGroupAboveButtons(this, group, ok_, cancel_);

    connect(ok_, &QPushButton::clicked, this, &StationDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                               [this](QWidget*, QWidget* now) { FollowFocus(now); });

    if (!add) {
        const StationFields opening = EditStationOpening(store_, stationListText);
        if (opening.address) {
            address_->setAddress(*opening.address);
        }
        password_->setText(QString::fromStdString(opening.password));
        comment_->setText(QString::fromStdString(opening.comment));
    }
    address_->setFocus();
    FollowFocus(address_->octetField(0));
}

// The focus moves while the base classes destroy the fields, after this
// object is gone.
StationDialog::~StationDialog() {
    disconnect(focusConnection_);
}

QLabel* StationDialog::fieldLabel(int index) const {
    return labels_[index];
}

void StationDialog::FollowFocus(QWidget* now) {
    const QWidget* fields[] = {address_, password_, comment_};
    int focused = -1;
    for (int i = 0; i < 3; ++i) {
        if (now != nullptr && (now == fields[i] || fields[i]->isAncestorOf(now))) {
            focused = i;
        }
    }
    // Focus on a button or elsewhere keeps the last field's label red.
    if (focused < 0) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        SetColour(labels_[i], QPalette::WindowText,
                  i == focused ? QColor(255, 0, 0) : QColor(0, 0, 0));
    }
}

void StationDialog::OnOk() {
    StationFields fields;
    if (address_->isComplete()) {
        fields.address = address_->address();
    }
    fields.password = password_->text().toStdString();
    fields.comment = comment_->text().toStdString();
    StationDialogOutcome outcome = AcceptStationDialog(store_, mode_, fields);
    if (outcome.list) {
        list_ = std::move(outcome.list);
    }
    if (outcome.closeDialog) {
        accept();
    }
}

std::optional<StationList> OpenStationDialog(QWidget* parent, DialogContext& context,
                                             StationDialogMode mode,
                                             const std::string& stationListText) {
    context.session.ResetSession(kEndedForStationListText);
    StationDialog dialog(parent, context.stations, mode, stationListText);
    dialog.exec();
    return dialog.refilledList();
}

std::optional<StationList> RunSetDefault(DialogContext& context,
                                         const std::string& stationListText) {
    context.session.ResetSession(kEndedForStationListText);
    return SetDefaultFromList(context.stations, stationListText);
}

}  // namespace varnex
