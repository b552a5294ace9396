#pragma once

#include "widgets/window_context.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

namespace ph {

// The settings window: printing after saving, the prompts while dispensing, the message
// printed on invoices, the key by which typed digits locate drugs, and whether sales are
// paid at a separate cash desk.
class Tf_tanzimat : public QDialog {
    Q_OBJECT
public:
    explicit Tf_tanzimat(const WindowContext& windows, QWidget* parent = nullptr);

    void save();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();

    WindowContext m_windows;
    QCheckBox* m_printPrescription;
    QCheckBox* m_printInvoice;
    QCheckBox* m_askApproval;
    QCheckBox* m_askAddress;
    QLineEdit* m_message;
    QButtonGroup* m_searchKeys;
    QRadioButton* m_byPrice;
    QRadioButton* m_byCode;
    QRadioButton* m_byIdentity;
    QRadioButton* m_single;
    QRadioButton* m_network;
    QLineEdit* m_storeProgram;
    QLineEdit* m_claimsFolder;
    QCheckBox* m_persianDigits;
    QDoubleSpinBox* m_labelWidth;
    QDoubleSpinBox* m_labelHeight;
};

} // namespace ph
