#include "ui/automation/relay_scripts_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/dialog_context.h"
#include "ui/widgets/field_rules.h"
#include "ui/automation/script_picker.h"
#include "ui/widgets/widget_parts.h"

namespace varnex {
namespace {

constexpr int kCommandPage = 0;
constexpr int kNamingPage = 1;

// The numbers 1 to 8 beside the name list, one per row.
QWidget* RowNumbers(int rowHeight, int frame, QWidget* parent) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, frame, 0, 0);
    layout->setSpacing(0);
    for (int n = 1; n <= int(wire::kScriptSlotCount); ++n) {
        auto* number = new QLabel(QString::number(n), column);
        number->setFixedHeight(rowHeight);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        layout->addWidget(number);
    }
    layout->addStretch();
    return column;
}

}  // namespace

RelayScriptsDialog::RelayScriptsDialog(DialogContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      picker_(new ScriptPicker(context.session.scriptTable(), this)),
      commands_(new QListWidget(this)),
      arrow_(new QLabel("< - >", this)),
      commandPlace_(new QStackedWidget(this)),
      nameEdit_(new QLineEdit(this)),
      execute_(PlainButton("Execute Script", "executeButton", this)),
      upload_(PlainButton("Upload Script", "uploadButton", this)),
      refresh_(PlainButton("Refresh", "refreshButton", this)),
      close_(PlainButton("Close", "closeButton", this)) {
    setWindowTitle("Relay Scripts");
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);

    const int rowHeight = picker_->FitNameRows();
    QListWidget* names = picker_->names();
    names->setMinimumWidth(fontMetrics().horizontalAdvance(QString(18, 'M')));
    picker_->steps()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    picker_->steps()->setMinimumWidth(fontMetrics().horizontalAdvance("Delay 5 Seconds") + 40);

    commands_->setObjectName("commandList");
    commands_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commands_->setMinimumWidth(fontMetrics().horizontalAdvance("Delay 5 Seconds") + 40);
    for (const ScriptStep& step : kStepVocabulary) {
        commands_->addItem(FromWireText(step.text));
    }

    auto* commandPage = new QWidget(commandPlace_);
    auto* commandLayout = new QVBoxLayout(commandPage);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    commandLayout->addWidget(ColouredLabel("Commands", red, commandPage));
    commandLayout->addWidget(commands_);

    auto* namingPanel = new QGroupBox("Upload Relay Script", commandPlace_);
    namingPanel->setObjectName("namingPanel");
    nameEdit_->setObjectName("scriptNameEdit");
    FieldRules::Guard(nameEdit_, {CharacterClass::AnyText, kScriptNameSent}, context.hooks);
    auto* ok = PlainButton("OK", "okButton", namingPanel);
    auto* cancel = PlainButton("Cancel", "cancelButton", namingPanel);
    auto* namingLayout = new QVBoxLayout(namingPanel);
    namingLayout->addWidget(new QLabel("Enter Script Name", namingPanel));
    namingLayout->addWidget(nameEdit_);
    auto* namingButtons = new QHBoxLayout;
    namingButtons->addWidget(ok);
    namingButtons->addWidget(cancel);
    namingLayout->addLayout(namingButtons);
    namingLayout->addStretch();

    commandPlace_->addWidget(commandPage);
    commandPlace_->addWidget(namingPanel);

    auto* grid = new QGridLayout;
    grid->addWidget(ColouredLabel("Script Name", blue, this), 0, 1);
    grid->addWidget(ColouredLabel("Script", blue, this), 0, 2);
    grid->addWidget(RowNumbers(rowHeight, names->frameWidth(), this), 1, 0);
    grid->addWidget(names, 1, 1, Qt::AlignTop);
    grid->addWidget(picker_->steps(), 1, 2);
    grid->addWidget(arrow_, 1, 3, Qt::AlignCenter);
    grid->addWidget(commandPlace_, 0, 4, 2, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {execute_, upload_, refresh_, close_}) {
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(picker_, &ScriptPicker::Chosen, commands_, &QListWidget::clearSelection);
    connect(commands_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (RoomForStep(context_.hooks, std::size_t(picker_->steps()->count()))) {
            picker_->steps()->addItem(item->text());
        }
    });
    connect(picker_->steps(), &QListWidget::itemDoubleClicked, this, [this] {
        const QList<QListWidgetItem*> selected = picker_->steps()->selectedItems();
        if (!selected.isEmpty()) {
            delete selected.front();
        }
    });
    connect(execute_, &QPushButton::clicked, this, &RelayScriptsDialog::Execute);
    connect(upload_, &QPushButton::clicked, this, &RelayScriptsDialog::Upload);
    connect(refresh_, &QPushButton::clicked, this,
            [this] { context_.session.SendCommand(Command::RequestScriptTable); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &RelayScriptsDialog::AcceptName);
    connect(cancel, &QPushButton::clicked, this, [this] { SetNaming(false); });

    context_.session.SendCommand(Command::RequestScriptTable);
    connect(&tableWatch_, &QTimer::timeout, this, &RelayScriptsDialog::WatchTable);
    tableWatch_.start(kTableWatchPeriodMs);
}

bool RelayScriptsDialog::naming() const {
    return commandPlace_->currentIndex() == kNamingPage;
}

void RelayScriptsDialog::done(int result) {
    tableWatch_.stop();
    QDialog::done(result);
}

void RelayScriptsDialog::WatchTable() {
    if (!ConsumeScriptTable(context_.session)) {
        return;
    }
    // A new table replaces whatever was being composed.
    picker_->FillNames();
    picker_->SelectSlot(0);
    commands_->clearSelection();
}

ScriptChoice RelayScriptsDialog::Choice() const {
    return {picker_->StepTexts(), picker_->SelectedRow()};
}

void RelayScriptsDialog::Execute() {
    if (ExecuteScript(context_.session, context_.hooks, Choice()) == ScriptAction::Sent) {
        accept();
    }
}

void RelayScriptsDialog::Upload() {
    if (ConfirmUpload(context_.hooks, Choice())) {
        SetNaming(true);
    }
}

void RelayScriptsDialog::AcceptName() {
    if (UploadScript(context_.session, context_.hooks, Choice(), ToWireText(nameEdit_->text())) ==
        ScriptAction::Sent) {
        SetNaming(false);
    }
}

void RelayScriptsDialog::SetNaming(bool naming) {
    for (QPushButton* button : {execute_, upload_, refresh_, close_}) {
        button->setEnabled(!naming);
    }
    arrow_->setVisible(!naming);
    commandPlace_->setCurrentIndex(naming ? kNamingPage : kCommandPage);
    if (naming) {
        nameEdit_->setFocus();
    }
}

void OpenRelayScriptsDialog(QWidget* parent, DialogContext& context) {
    RelayScriptsDialog dialog(context, parent);
    dialog.exec();
}

}  // namespace varnex
