#pragma once

#include "dispensing/compounded_labels.h"
#include "print/report.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace ph {

class CommandBar;

// What the dispensing window hands the label window: its prescription.
struct LabelPrescription {
    int invoice = 0;          // me_sh_factor
    QList<double> drugCodes;  // the drug of each line, in order
    QString patientName;      // first name
    QString patientFamily;
    QString prescriberName;
    QString prescriberFamily;
};

// The labels of the compounded drugs of the prescription open in the dispensing window: one
// row per compounded drug with its instruction, storage note and message (the texts stored
// for the prescription, else the formula's). Selecting a row copies it into the fields below;
// "ويرايش F3" writes the fields back into the row; "ثبت  F2" stores the texts; "چاپ برچسب"
// prints the label of the drug in the fields on the workstation's label page.
class Tf_barchasb : public QDialog {
    Q_OBJECT
public:
    explicit Tf_barchasb(const WindowContext& windows, QWidget* parent = nullptr);

    // The prescription the next showing shows.
    void setPrescription(const LabelPrescription& prescription) { m_prescription = prescription; }
    const QList<CompoundedLabel>& labels() const { return m_labels; }
    CommandBar* commandBar() const { return m_bar; }

    void fill();
    void selectRow(int row);
    void editRow();
    void storeTexts();
    // The label of the drug in the fields, as it prints.
    std::optional<print::Report> labelOfSelected() const;
    void printLabel();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows();

    WindowContext m_windows;
    LabelPrescription m_prescription;
    QList<CompoundedLabel> m_labels;
    int m_selected = -1;

    QTableView* StringGrid1;
    QStandardItemModel* m_model;
    QLineEdit* me_code_darou;
    QLineEdit* me_name_darou;
    QLineEdit* me_dastoor;
    QLineEdit* me_negahdari;
    QLineEdit* me_payam;
    CommandBar* m_bar;
};

} // namespace ph
