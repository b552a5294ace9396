#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;

namespace ph {

class Database;
class Prompter;

// The barcodes of one goods item, kept by keyboard: Enter in the field adds what was typed or
// scanned, Down moves into the list, Delete there removes the selected barcode after asking.
// Ctrl+B anywhere in the window puts the focus in the field. Without an item the box is disabled.
class BarcodeBox : public QWidget {
    Q_OBJECT
public:
    BarcodeBox(Database& db, Prompter& prompter, QWidget* parent = nullptr);

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

    Database& m_db;
    Prompter& m_prompter;
    std::optional<double> m_item;
    QLabel* m_caption;
    QLineEdit* me_barcode;
    QListWidget* lst_barcode;
};

} // namespace ph
