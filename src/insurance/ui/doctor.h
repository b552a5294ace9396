#pragma once

#include "insurance/doctor_store.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLineEdit;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class KeyNav;
class QuickSearch;
class QuickSearchModel;

// The doctors register: prescribers with their council numbers and specialties.
// F2 adds the typed doctor, F3 rewrites the loaded one, F4 deletes it, F9 clears for a
// new doctor; a row is loaded by clicking it or moving to it.
class Tf_doctor : public QDialog {
    Q_OBJECT
public:
    explicit Tf_doctor(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_doctor() override;

    void clearForNew();
    void saveDoctor();
    void editDoctor();
    void deleteDoctor();
    // PageDown in the specialty field: the lookup picker over the specialties.
    void pickSpecialty();

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using DoctorTable = RowTableModel<DoctorRow>;

    // The constructor's parts: the fields and the grid with its searches, the commands
    // (toolbar, sort menu, keys) and the layout.
    void makeFields();
    void makeCommands();
    void makeLayout();

    void reload();
    void loadRow(int sourceRow);
    void moveTo(int proxyRow);
    void selectCouncilNumber(const QString& councilNumber);
    void sortBy(const QList<int>& columns);
    Doctor fromFields() const;

    WindowContext m_windows;
    DoctorTable* m_rows;       // the register, shown in DBGrid1
    QuickSearchModel* m_proxy; // the order and filter both searches share
    QTableView* DBGrid1;
    QuickSearch* m_searchByCode;
    QuickSearch* m_searchByCouncil;

    QLineEdit* me_code;
    QLineEdit* me_family;
    QLineEdit* me_name;
    CodeField* me_code_takhasos;
    QLineEdit* me_name_takhasos;
    QLineEdit* me_nezam;
    QLineEdit* me_search1;
    QLineEdit* me_search2;

    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
