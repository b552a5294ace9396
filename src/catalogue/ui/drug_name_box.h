#pragma once

#include "catalogue/drug_links.h"
#include "widgets/window_context.h"

#include <QComboBox>

#include <optional>

namespace ph {

// A drug typed or chosen by its name: every goods item's name in name order, the code at
// the same position kept beside it. PageDown opens the lookup picker over the drugs
// (code, name, form); the drug taken there becomes the box's drug.
class DrugNameBox : public QComboBox {
    Q_OBJECT
public:
    DrugNameBox(const WindowContext& windows, const QString& objectName, QWidget* parent = nullptr);

    // Fills the names (the text and the drug cleared).
    void setChoices(QList<GoodsChoice> choices);
    // The drug the text names; none for an empty text or a name not in the list.
    std::optional<GoodsChoice> drug() const;
    // Shows the drug of the code (or nothing for none or an unknown code).
    void setDrug(std::optional<double> code);
    // Whether the text is empty or names a drug of the list.
    bool textIsKnown() const { return currentText().trimmed().isEmpty() || drug().has_value(); }
    // Opens the picker; true when a drug was taken.
    bool pick();

signals:
    // The drug the box names changed (typed, chosen in the list, or taken from the picker).
    void drugChanged();
    // A drug was taken from the picker.
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowContext m_windows;
    QList<GoodsChoice> m_choices;
    std::optional<double> m_code;
    void follow();
};

} // namespace ph
