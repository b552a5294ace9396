#pragma once

#include "catalogue/drug_links.h"
#include "dispensing/pricing_types.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;

namespace ph {

class KeyNav;
class PrescriptionSession;

// The equivalents window: the equivalents of the prescribed drug; the one chosen is
// dispensed in the given quantities as one substitution line of the prescription the
// session holds.
class Tf_moadel : public QDialog {
    Q_OBJECT
public:
    Tf_moadel(const WindowContext& windows, PrescriptionSession& session, QWidget* parent = nullptr);

    // The drug prescribed and the equivalents offered for it, before the window is shown.
    void setOffers(const DrugItem& prescribed, QList<EquivalentRow> equivalents);
    // but_ok, or Enter in the dispensed quantity: the line is added and the window closes.
    void confirm();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowContext m_windows;
    PrescriptionSession& m_session;
    DrugItem m_prescribed;
    RowTableModel<EquivalentRow>* m_equivalents;

    QTableView* DBGrid1;
    QLineEdit* me_tedad_main;
    QLineEdit* me_tedad_moadel;
    QPushButton* but_ok;
    QPushButton* but_close;
    KeyNav* m_nav;
};

} // namespace ph
