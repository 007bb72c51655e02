// "DataBase Options": the database file's path, typed or picked with the
// file-open dialog; "OK" stores it for the next start. The open database
// does not change. Its rules live in stations/database_options.h.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "stations/database_options.h"
#include "ui/widgets/dialog_context.h"

class QLineEdit;
class QPushButton;

namespace varnex {

struct FileOpenRequest {
    QString title;
    QStringList filters;  // the first is in effect at first
    QString startFile;
    QString startFolder;  // shown when no start file is given
};
// Answers the chosen existing file, or nullopt when the user cancelled.
using FileChooser = std::function<std::optional<QString>(QWidget* owner, const FileOpenRequest&)>;

// The platform's file-open dialog for an existing file.
std::optional<QString> ChooseExistingFile(QWidget* owner, const FileOpenRequest& request);

class DatabaseOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    DatabaseOptionsDialog(QWidget* parent, const PlatformHooks& hooks,
                          DatabaseLocationMemory& memory,
                          FileChooser chooseFile = ChooseExistingFile);

    QLineEdit* pathField() const { return path_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void OnBrowse();
    void OnOk();

    const PlatformHooks& hooks_;
    DatabaseLocationMemory& memory_;
    FileChooser chooseFile_;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Menu "&Options" / "DataBase". `memory` is the main window's: the path it
// started with and the file last picked during this run.
void OpenDatabaseOptionsDialog(QWidget* parent, DialogContext& context,
                               DatabaseLocationMemory& memory);

}  // namespace varnex
