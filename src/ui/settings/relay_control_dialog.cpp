#include "ui/settings/relay_control_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/field_rules.h"
#include "ui/settings/settings_dialog_look.h"
#include "ui/widgets/widget_parts.h"

namespace varnex {

RelayControlDialog::RelayControlDialog(QWidget* parent, DialogContext& context, int relay,
                                       const RelayControlView& view)
    : QDialog(parent),
      context_(context),
      relay_(relay),
      on_(new QRadioButton(QStringLiteral("  Relay ON (Not Energized COM+NC)"), this)),
      off_(new QRadioButton(QStringLiteral("  Relay OFF (Energized COM+NO)"), this)),
      toggle_(new QRadioButton(QStringLiteral("  Toggle Relay ON then OFF"), this)),
      seconds_(new QSlider(Qt::Horizontal, this)),
      secondsText_(new QLabel(this)),
      action_(PlainButton(QStringLiteral("DO Relay Action"), QStringLiteral("actionButton"), this)),
      name_(new QLineEdit(QString::fromStdString(view.name), this)),
      updateName_(
          PlainButton(QStringLiteral("Update Name"), QStringLiteral("updateNameButton"), this)),
      notes_(new RuledTextEdit(QString::fromStdString(view.notes),
                               {CharacterClass::NamesAndNotes, kRelayNotesChars}, context.hooks,
                               this)),
      updateNotes_(
          PlainButton(QStringLiteral("Update Notes"), QStringLiteral("updateNotesButton"), this)),
      close_(PlainButton(QStringLiteral("Close"), QStringLiteral("closeButton"), this)) {
    setWindowTitle(QString::fromStdString(view.title));
    setWindowIcon(
        SettingsDialogIcon(QStringLiteral("R") + QString::number(relay), QColor(200, 120, 0)));

    (view.preselected == RelayAction::On ? on_ : off_)->setChecked(true);
    seconds_->setRange(kToggleSecondsMin, kToggleSecondsMax);
    seconds_->setSingleStep(1);
    seconds_->setPageStep(1);
    secondsText_->setNum(seconds_->value());
    secondsText_->setMinimumWidth(
        secondsText_->fontMetrics().horizontalAdvance(QStringLiteral("600")));
    connect(seconds_, &QSlider::valueChanged, secondsText_, qOverload<int>(&QLabel::setNum));

    FieldRules::Guard(name_, {CharacterClass::NamesAndNotes, kRelayNameChars}, context.hooks);
    notes_->setTabChangesFocus(true);

    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(seconds_, 1);
    sliderRow->addWidget(secondsText_);

    auto* nameGroup = new QGroupBox(QString::fromStdString(view.nameCaption), this);
    auto* nameRow = new QHBoxLayout(nameGroup);
    nameRow->addWidget(name_, 1);
    nameRow->addWidget(updateName_);

    auto* notesGroup = new QGroupBox(QString::fromStdString(view.notesCaption), this);
    auto* notesColumn = new QVBoxLayout(notesGroup);
    notesColumn->addWidget(notes_);
    notesColumn->addWidget(updateNotes_, 0, Qt::AlignRight);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(on_);
    layout->addWidget(off_);
    layout->addWidget(toggle_);
    layout->addLayout(sliderRow);
    layout->addWidget(new QLabel(QStringLiteral("Up to 60 Seconds"), this));
    layout->addWidget(action_);
    layout->addWidget(nameGroup);
    layout->addWidget(notesGroup, 1);
    layout->addWidget(close_, 0, Qt::AlignRight);
    resize(380, 460);

    connect(action_, &QPushButton::clicked, this, &RelayControlDialog::DoAction);
    connect(updateName_, &QPushButton::clicked, this, [this] {
        UpdateRelayName(context_.session, context_.stations, relay_, name_->text().toStdString());
    });
    connect(updateNotes_, &QPushButton::clicked, this, [this] {
        UpdateRelayNotes(context_.session, context_.stations, relay_,
                         notes_->toPlainText().toStdString());
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void RelayControlDialog::DoAction() {
    const RelayAction action = on_->isChecked()    ? RelayAction::On
                               : off_->isChecked() ? RelayAction::Off
                                                   : RelayAction::Toggle;
    DoRelayAction(context_.session, relay_, action, seconds_->value());
    accept();
}

void OpenRelayControlDialog(QWidget* parent, DialogContext& context, int relay) {
    const std::optional<RelayControlView> view = OpenRelayControl(context.session, relay);
    if (!view) {
        return;
    }
    RelayControlDialog dialog(parent, context, relay, *view);
    dialog.exec();
}

}  // namespace varnex
