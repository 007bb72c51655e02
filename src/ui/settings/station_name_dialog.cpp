#include "ui/settings/station_name_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "settings/unit_identity.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/settings/settings_dialog_look.h"

namespace varnex {

StationNameDialog::StationNameDialog(QWidget* parent, DialogContext& context)
    : QDialog(parent),
      context_(context),
      name_(new QLineEdit(QString::fromLatin1(context.session.snapshot().stationName), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Change Station Name"));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("N"), QColor(0, 120, 120)));
    FieldRules::Guard(name_, {CharacterClass::StationName, kStationNameChars}, context.hooks);

    auto* buttons = ConfirmButtonRow(ok_, cancel_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        HeadingLabel(QStringLiteral("Choose a descriptive name for this VNX unit"), this));
    layout->addWidget(NoteLabel(QStringLiteral("20 characters max"), this));
    layout->addWidget(name_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &StationNameDialog::Send);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void StationNameDialog::Send() {
    if (ChangeStationName(context_.session, context_.hooks,
                          name_->text().toLatin1().toStdString()) == DialogOutcome::Closes) {
        accept();
    }
}

void OpenStationNameDialog(QWidget* parent, DialogContext& context) {
    StationNameDialog dialog(parent, context);
    dialog.exec();
}

}  // namespace varnex
