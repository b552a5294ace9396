#pragma once

#include "widgets/window_context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ph {

class CodeField;
class DateField;
class KeyNav;

// The bulk insurer change Tedit_bimeh: the inpatient prescriptions of one file number,
// dated within a range, move to another insurer and their lines are priced again. Enter
// walks the file number, the two dates and the insurer, and in the insurer runs the change
// (the window stays open); "تاييد" runs it and closes the window when it went through.
class Tedit_bimeh : public QDialog {
    Q_OBJECT
public:
    explicit Tedit_bimeh(const WindowContext& windows, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void makeFields();
    void makeLayout();
    // Leaving the file number: its patient's name, or the refusal of an unknown number.
    bool fileNumberLeft();
    // Runs the change; true when it went through.
    bool runChange();

    WindowContext m_windows;
    QLineEdit* sh_parvandeh = nullptr;
    QLabel* name = nullptr;
    DateField* me_date1 = nullptr;
    DateField* me_date2 = nullptr;
    CodeField* me_code_bime = nullptr;
    QLineEdit* me_name_bime = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* but_cancel = nullptr;
    KeyNav* m_nav = nullptr;
};

} // namespace ph
