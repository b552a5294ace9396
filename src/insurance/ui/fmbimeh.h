#pragma once

#include "insurance/insurer_store.h"
#include "widgets/window_context.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace ph {

class CommandBar;
class DateField;
class KeyNav;

// The insurers and their contract periods: the insurer grid above, the current insurer's
// contracts below, and one entry panel for each. F2 / F3 new and edit insurer, the delete
// button, Ctrl+F2 / Ctrl+F3 new and edit contract; "تاييد" stores what the panel holds.
class Tfmbimeh : public QDialog {
    Q_OBJECT
public:
    explicit Tfmbimeh(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tfmbimeh() override;

    void newInsurer();
    void editInsurer();
    void deleteInsurer();
    void newContract();
    void editContract();
    // "تاييد" of the insurer panel and of the contract panel.
    void confirmInsurer();
    void confirmContract();

    // The insurer commands (and exit) and the contract commands.
    CommandBar* insurerBar() const { return m_insurerBar; }
    CommandBar* contractBar() const { return m_contractBar; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Pending { None, NewInsurer, EditInsurer, NewContract, EditContract };

    QFrame* buildInsurerPanel();
    QFrame* buildContractPanel();
    void reloadInsurers();
    void reloadContracts();
    const Insurer* currentInsurer() const;
    const Contract* currentContract() const;
    void hidePanels();
    void insurerGridInUse();
    void contractGridInUse();
    Contract contractFromPanel() const;

    WindowContext m_windows;
    Pending m_pending = Pending::None;

    QTableView* m_insurerGrid;
    QStandardItemModel* m_insurerModel;
    QList<Insurer> m_insurers;
    QTableView* m_contractGrid;
    QStandardItemModel* m_contractModel;
    QList<Contract> m_contracts;

    QFrame* m_insurerPanel;
    QLineEdit* m_name;
    QLineEdit* m_claimCode;
    QLineEdit* m_pharmacyCode;
    QCheckBox* m_emergency;
    QPushButton* m_insurerOk;
    KeyNav* m_insurerNav;

    QFrame* m_contractPanel;
    DateField* m_from;
    DateField* m_to;
    QList<QLineEdit*> m_amounts;
    QCheckBox* m_feeFlag;
    QPushButton* m_contractOk;
    KeyNav* m_contractNav;

    CommandBar* m_insurerBar;
    CommandBar* m_contractBar;
};

} // namespace ph
