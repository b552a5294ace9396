#pragma once

#include "widgets/window_context.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ph {

class CodeField;
class DateField;
class KeyNav;
namespace print {
class Report;
}

// The inpatient bill: everything dispensed on a hospital file's inpatient prescriptions
// in a date range (and ward), by category, printed through the report engine.
class Tsorathesab_b : public QDialog {
    Q_OBJECT
public:
    explicit Tsorathesab_b(const WindowContext& windows, QWidget* parent = nullptr);

    // The file number the window shows next (the dispensing window's F6).
    void setFileNumber(const QString& number);
    // Where the bill goes; the print preview unless set (tests write a PDF).
    void setOutput(std::function<void(const print::Report&)> output) { m_output = std::move(output); }
    // F2: checks the fields, reads the bill and prints it.
    void run();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Leaving the file number: its patient and insurer, or a refusal.
    bool lookUpFile();

    WindowContext m_windows;
    std::function<void(const print::Report&)> m_output;
    QString m_presetFile;

    QLineEdit* sh_parvandeh;
    CodeField* me_code_bakhsh;
    QLineEdit* me_name_bakhsh;
    DateField* me_date1;
    DateField* me_date2;
    QLabel* la_name_b;
    QLabel* la_bimeh;
    QPushButton* but_ok;
    QPushButton* but_cancel;
    KeyNav* m_nav;
};

} // namespace ph
