#pragma once

#include "claims/claim_merge.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ph {

class CodeField;
namespace print {
class Report;
}

// The merge window Tdisket_koli: claim files joined into one main file, then sorted by date,
// numbered again, loaded into list_koli and printed as one combined list.
class Tdisket_koli : public QDialog {
    Q_OBJECT
public:
    Tdisket_koli(const WindowContext& windows, QString workingDir, QWidget* parent = nullptr);
    ~Tdisket_koli() override;

    // Asks for the main file to create (proposed name) and for a file to add; empty when cancelled.
    void setFileChoosers(std::function<QString(const QString& proposed)> save, std::function<QString()> open) {
        m_chooseMain = std::move(save);
        m_chooseAdded = std::move(open);
    }
    void setReportOutput(std::function<void(const print::Report&)> output) { m_outputReport = std::move(output); }

    void chooseMainFile(); // "..."
    void startAdding();    // F1
    void addFile();        // F3
    void finish();         // F4

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowContext m_windows;
    QString m_workingDir;
    std::unique_ptr<ClaimMerge> m_merge;
    QString m_lastName;
    std::function<QString(const QString&)> m_chooseMain;
    std::function<QString()> m_chooseAdded;
    std::function<void(const print::Report&)> m_outputReport;

    CodeField* me_code_no = nullptr;
    QLineEdit* me_name_no = nullptr;
    QLineEdit* name_dar = nullptr;
    CodeField* me_code_bime = nullptr;
    QLineEdit* me_name_bime = nullptr;
    QPushButton* but_restore = nullptr;
    QLineEdit* me_path = nullptr;
    QGroupBox* m_panel = nullptr;
    QListWidget* m_files = nullptr;
    QCheckBox* chbBimarName = nullptr;
    QCheckBox* chbDoctorName = nullptr;
};

} // namespace ph
