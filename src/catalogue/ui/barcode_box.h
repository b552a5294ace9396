#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QSettings;

namespace ph {

class Database;
class Prompter;

namespace print {
class Report;
}

// The barcodes of one goods item, kept by keyboard: Enter in the field adds what was typed or
// scanned, Down moves into the list, Delete there removes the selected barcode after asking.
// F5 there prints the selected barcode's label on this workstation's label page.
// Ctrl+B anywhere in the window puts the focus in the field. Without an item the box is disabled.
class BarcodeBox : public QWidget {
    Q_OBJECT
public:
    // `settings`: the workstation's, for the label page size (none: the default page).
    BarcodeBox(Database& db, Prompter& prompter, const QSettings* settings, QWidget* parent = nullptr);

    // Where a label goes: the print preview unless a test takes it.
    void setLabelOutput(std::function<void(QWidget* parent, const print::Report&)> show) {
        m_showLabel = std::move(show);
    }

    // The item whose barcodes are shown, by code and name; nothing empties the box.
    void setItem(std::optional<double> item, const QString& name = {});
    std::optional<double> item() const { return m_item; }
    // Puts the focus in the field that adds a barcode.
    void focusEntry();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reload();
    void addTyped();
    void removeSelected();
    void printSelected();

    Database& m_db;
    Prompter& m_prompter;
    const QSettings* m_settings;
    std::function<void(QWidget* parent, const print::Report&)> m_showLabel;
    std::optional<double> m_item;
    QString m_itemName;
    QLabel* m_caption;
    QLineEdit* me_barcode;
    QListWidget* lst_barcode;
};

} // namespace ph
