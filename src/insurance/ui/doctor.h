#pragma once

#include "insurance/doctor_store.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class KeyNav;
class QuickSearch;

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
    void reload();
    void loadRow(int sourceRow);
    void moveTo(int proxyRow);
    void selectCouncilNumber(const QString& councilNumber);
    void sortBy(const QList<int>& columns);
    Doctor fromFields() const;

    WindowContext m_windows;
    QTableView* DBGrid1;
    QStandardItemModel* m_model;
    QList<DoctorRow> m_rows;
    QuickSearch* m_searchByCode;
    QuickSearch* m_searchByCouncil;
    bool m_reloading = false;

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
