#pragma once

#include "widgets/window_context.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace ph {

// Asks for a file: given the proposed path, returns the chosen one (empty when cancelled).
using FileChooser = std::function<QString(const QString& proposed)>;

// The backup window: a full backup of the database to the default file of the day
// (backup/backupYYMMDD in the working folder) or to a file the user names.
class Tf_disk_bimeh : public QDialog {
    Q_OBJECT
public:
    Tf_disk_bimeh(const WindowContext& windows, QString workingDir, QWidget* parent = nullptr);

    void saveBackup();
    // Replaces the save-file dialog (tests).
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool writeBackup(const QString& path);

    WindowContext m_windows;
    QString m_workingDir;
    FileChooser m_chooseFile;
    QRadioButton* m_defaultPlace;
    QRadioButton* m_chosenPlace;
    QLabel* m_wait;
    QProgressBar* m_progress;
};

// The restore window: replaces the database with a backup file the user chooses, once
// the file has checked out. Needs the backup right.
class Trestore : public QDialog {
    Q_OBJECT
public:
    explicit Trestore(const WindowContext& windows, QWidget* parent = nullptr);

    void chooseFile();
    void restore();
    // Replaces the open-file dialog (tests).
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowContext m_windows;
    FileChooser m_chooseFile;
    QLineEdit* m_path;
    QLabel* m_wait;
    QProgressBar* m_progress;
};

// The social-security repair window: the user lists the social-security insurers and the
// repair adds the dashed insurance numbers, converting those insurers' numbers.
class TfrmTarmim : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTarmim(const WindowContext& windows, QWidget* parent = nullptr);

    void findInsurer();
    void removeLine();
    void repair();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowContext m_windows;
    QListWidget* m_names;
    QListWidget* m_codes;
    QPushButton* m_find;
    QLabel* m_wait;
};

// The structure repair command of the main window: applies the column upgrades a start
// does not, opening the social-security repair window when the settings lack the
// insurer list, and says "ok". Needs the backup right.
void runStructureRepair(const WindowContext& windows, QWidget* parent);

} // namespace ph
