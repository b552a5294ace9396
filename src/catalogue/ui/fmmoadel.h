#pragma once

#include "catalogue/drug_links.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;

namespace ph {

class CommandBar;
class DrugNameBox;

// The equivalent drugs: a main drug, its equivalents in the grid; a drug added as its
// equivalent (F2) is stored both ways, the grid's current equivalent removed (F4) one way.
class Tfmmoadel : public QDialog {
    Q_OBJECT
public:
    explicit Tfmmoadel(const WindowContext& windows, QWidget* parent = nullptr);

    void addPair();
    void removePair();
    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reloadGrid();

    WindowContext m_windows;
    RowTableModel<EquivalentRow>* m_equivalents;
    DrugNameBox* me_name_a;
    QLabel* la_type_d;
    DrugNameBox* me_name_m;
    QLineEdit* me_type_m;
    QTableView* DBGrid1;
    CommandBar* m_bar;
};

} // namespace ph
