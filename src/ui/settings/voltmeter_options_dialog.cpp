#include "ui/settings/voltmeter_options_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/settings/settings_dialog_look.h"

namespace varnex {
namespace {

// Two radios in a group of their own, so each pair is exclusive by itself.
QGroupBox* ChoiceGroup(const QString& caption, QRadioButton* first, QRadioButton* second,
                       QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    auto* column = new QVBoxLayout(group);
    column->addWidget(first);
    column->addWidget(second);
    return group;
}

}  // namespace

VoltmeterOptionsDialog::VoltmeterOptionsDialog(QWidget* parent, DialogContext& context,
                                               int voltmeter, const VoltmeterOptionsView& view)
    : QDialog(parent),
      context_(context),
      voltmeter_(voltmeter),
      notes_(new RuledTextEdit(QString::fromStdString(view.notes),
                               {CharacterClass::NamesAndNotes, kVoltmeterNotesChars}, context.hooks,
                               this)),
      name_(new QLineEdit(QString::fromStdString(view.label), this)),
      plainText_(new QRadioButton(QStringLiteral("View this voltage as plain text."), this)),
      graphical_(new QRadioButton(QStringLiteral("View this voltage in graphical format."), this)),
      jumperGroup_(nullptr),
      installed_(new QRadioButton(QStringLiteral("JP Installed 0 to 30 Volt Operation"), this)),
      notInstalled_(
          new QRadioButton(QStringLiteral("JP Not Installed 0 to 60 Volt Operation"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QString::fromStdString(view.title));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("V"), QColor(0, 130, 60)));

    FieldRules::Guard(name_, {CharacterClass::NamesAndNotes, kVoltmeterLabelChars}, context.hooks);
    notes_->setTabChangesFocus(true);

    auto* notesGroup = new QGroupBox(QStringLiteral("Voltmeter Notes"), this);
    (new QVBoxLayout(notesGroup))->addWidget(notes_);
    auto* nameGroup = new QGroupBox(QStringLiteral("Voltmeter Name"), this);
    (new QVBoxLayout(nameGroup))->addWidget(name_);
    QGroupBox* viewsGroup = ChoiceGroup(QStringLiteral("Views"), plainText_, graphical_, this);
    jumperGroup_ =
        ChoiceGroup(QString::fromStdString(view.jumperCaption), installed_, notInstalled_, this);
    // Only now: until each pair sits in a group of its own, all four radios
    // are one exclusive set.
    (view.plainText ? plainText_ : graphical_)->setChecked(true);
    installed_->setEnabled(view.jumperEnabled);
    notInstalled_->setEnabled(view.jumperEnabled);
    if (view.jumperEnabled) {
        (view.jumperInstalled ? installed_ : notInstalled_)->setChecked(true);
    }

    auto* buttons = ConfirmButtonRow(ok_, cancel_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notesGroup, 1);
    layout->addWidget(nameGroup);
    layout->addWidget(viewsGroup);
    layout->addWidget(jumperGroup_);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(ok_, &QPushButton::clicked, this, &VoltmeterOptionsDialog::Save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void VoltmeterOptionsDialog::Save() {
    const VoltmeterChoice choice{notes_->toPlainText().toStdString(), name_->text().toStdString(),
                                 installed_->isChecked(), plainText_->isChecked()};
    if (SaveVoltmeterOptions(context_.session, context_.stations, voltmeter_, choice) ==
        DialogOutcome::Closes) {
        accept();
    }
}

void OpenVoltmeterOptionsDialog(QWidget* parent, DialogContext& context, int voltmeter) {
    const std::optional<VoltmeterOptionsView> view =
        OpenVoltmeterOptions(context.session, voltmeter);
    if (!view) {
        return;
    }
    VoltmeterOptionsDialog dialog(parent, context, voltmeter, *view);
    dialog.exec();
}

}  // namespace varnex
