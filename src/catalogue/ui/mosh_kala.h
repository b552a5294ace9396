#pragma once

#include "catalogue/goods_tree.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace ph {

class BarcodeBox;

// The goods tree editor: groups, the forms of each group and the goods of each group and form.
// F1 on a form node opens the new-entry panel for a goods item of that form; "اصلاح دارو F6"
// edits the selected goods node; "جستجوي دارو" opens the search panel, where any goods can be
// picked by name and edited with its price; F3 saves what the panel holds; F8 deletes the
// selected goods node unless store stock names it; F10 closes.
class Tfmmosh_kala : public QDialog {
    Q_OBJECT
public:
    enum class Mode { None, New, Edit, Search };

    explicit Tfmmosh_kala(const WindowContext& windows, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    void rebuild();
    void newGoods();
    void editGoods();
    void openSearch();
    void pickInSearch(int index);
    void save();
    void deleteGoods();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeWidgets();
    void nodeChosen();
    std::optional<qint64> selectedKey() const;
    void closeNewPanel();
    void closeSearchPanel();
    void fillNames();
    bool hasRight(const char* flag, const QString& refusal);
    void notice(const QString& text);

    WindowContext m_windows;
    Mode m_mode = Mode::None;
    qint64 m_formKey = 0;
    double m_pickedCode = 0;
    QList<double> m_nameCodes; // ComboBox9: the goods codes at the positions of name_daru

    QTreeWidget* TreeView1;
    QLabel* m_dateLabel;
    QPushButton* but_new;
    QPushButton* but_save;
    QPushButton* but_search;
    QPushButton* but_edit;
    QPushButton* but_delete;
    QPushButton* but_close;
    QWidget* m_newPanel;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QWidget* m_searchPanel;
    QComboBox* name_daru;
    QLabel* l_t4;
    QLineEdit* Edit8;
    QLineEdit* Edit7;
    QLineEdit* Edit6;
    QLineEdit* Edit5;
    QLineEdit* Edit9;
    QLabel* m_priceLabel;
    BarcodeBox* m_barcodes;
};

} // namespace ph
