#include "catalogue/ui/drug_name_box.h"

#include "widgets/picker.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace ph {

DrugNameBox::DrugNameBox(const WindowContext& windows, const QString& objectName, QWidget* parent)
    : QComboBox(parent), m_windows(windows) {
    setObjectName(objectName);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    connect(this, &QComboBox::editTextChanged, this, [this] { follow(); });
    connect(this, &QComboBox::activated, this, [this] { follow(); });
}

void DrugNameBox::setChoices(QList<GoodsChoice> choices) {
    m_choices = std::move(choices);
    {
        const QSignalBlocker quiet(this); // filling the names is not typing one
        clear();
        for (const GoodsChoice& choice : std::as_const(m_choices))
            addItem(choice.name);
        setCurrentIndex(-1);
        setEditText(QString());
    }
    if (m_code) {
        m_code.reset();
        emit drugChanged();
    }
}

std::optional<GoodsChoice> DrugNameBox::drug() const {
    if (!m_code) return std::nullopt;
    for (const GoodsChoice& choice : m_choices)
        if (choice.code == *m_code) return choice;
    return std::nullopt;
}

void DrugNameBox::follow() {
    const QString text = currentText();
    std::optional<double> code;
    const int shown = currentIndex();
    if (!text.isEmpty()) {
        // The entry the list stands on when it shows this text, else the first of that name.
        const int index = shown >= 0 && itemText(shown) == text ? shown : findText(text, Qt::MatchExactly);
        if (index >= 0 && index < m_choices.size()) code = m_choices.at(index).code;
    }
    if (code == m_code) return;
    m_code = code;
    emit drugChanged();
}

void DrugNameBox::setDrug(std::optional<double> code) {
    int index = -1;
    if (code)
        for (int i = 0; i < m_choices.size(); ++i)
            if (m_choices.at(i).code == *code) {
                index = i;
                break;
            }
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
        if (index < 0) setEditText(QString());
    }
    follow();
}

bool DrugNameBox::pick() {
    if (!m_windows.picker) return false;
    PickRows rows;
    rows.reserve(m_choices.size());
    for (const GoodsChoice& choice : std::as_const(m_choices))
        rows.append({choice.code, choice.name, {{QStringLiteral("name2"), choice.formName}}});
    const std::optional<PickRow> row = m_windows.picker->pick({QStringLiteral("darou"), rows});
    setFocus();
    if (!row) return false;
    setDrug(row->code.toDouble());
    emit picked();
    return true;
}

void DrugNameBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::NoModifier) {
        pick();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace ph
