#include "widgets/key_nav.h"

#include "widgets/code_field.h"
#include "widgets/keys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace ph {

namespace {

// Widgets whose Up arrow already means something: moving in a list or through items.
bool needsUpItself(const QWidget* widget) {
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget);
}

} // namespace

KeyNav::KeyNav(QObject* parent) : QObject(parent) {}

KeyNav::KeyNav(std::initializer_list<QWidget*> fields, QObject* parent) : QObject(parent) {
    for (QWidget* field : fields)
        addField(field);
}

void KeyNav::addField(QWidget* field) {
    Q_ASSERT(field && indexOf(field) < 0);
    m_fields.append({field, {}, !needsUpItself(field)});
    field->installEventFilter(this);
}

QList<QWidget*> KeyNav::fields() const {
    QList<QWidget*> result;
    for (const Field& field : m_fields)
        if (field.widget) result.append(field.widget);
    return result;
}

void KeyNav::setEnterHandler(QWidget* field, std::function<bool()> handler) {
    const int index = indexOf(field);
    Q_ASSERT(index >= 0);
    if (index >= 0) m_fields[index].onEnter = std::move(handler);
}

void KeyNav::setUpMoves(QWidget* field, bool moves) {
    const int index = indexOf(field);
    Q_ASSERT(index >= 0);
    if (index >= 0) m_fields[index].upMoves = moves;
}

void KeyNav::setLastAction(std::function<void()> action) {
    m_lastAction = std::move(action);
}

void KeyNav::setLastAction(QAbstractButton* button) {
    QPointer<QAbstractButton> guarded(button);
    m_lastAction = [guarded] {
        if (guarded && guarded->isEnabled()) guarded->click();
    };
}

int KeyNav::indexOf(const QObject* widget) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].widget == widget) return i;
    return -1;
}

// The nearest field from `from` (exclusive) in the direction of `step` that can take the focus.
QWidget* KeyNav::usable(int from, int step) const {
    for (int i = from + step; i >= 0 && i < m_fields.size(); i += step) {
        QWidget* widget = m_fields[i].widget;
        if (widget && widget->isEnabled() && widget->isVisibleTo(widget->window())) return widget;
    }
    return nullptr;
}

bool KeyNav::focusNext(QWidget* from) {
    QWidget* next = usable(indexOf(from), 1);
    if (!next) return false;
    next->setFocus(Qt::TabFocusReason);
    return true;
}

bool KeyNav::focusPrevious(QWidget* from) {
    const int index = indexOf(from);
    if (index < 0) return false;
    QWidget* previous = usable(index, -1);
    if (!previous) return false;
    previous->setFocus(Qt::BacktabFocusReason);
    return true;
}

void KeyNav::enter(int index) {
    // Copied: the handler may change the order or the handler itself.
    const Field field = m_fields[index];
    if (field.onEnter) {
        if (!field.onEnter()) return;
    } else if (auto* code = qobject_cast<CodeField*>(field.widget)) {
        if (!code->acceptCode()) return;
    } else if (auto* button = qobject_cast<QAbstractButton*>(field.widget)) {
        button->click();
        return;
    }
    if (!field.widget || focusNext(field.widget)) return;
    if (m_lastAction) m_lastAction();
}

bool KeyNav::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    const int index = indexOf(watched);
    if (index < 0) return false;

    if (isEnter(key)) {
        enter(index);
        return true;
    }
    if (key->key() == Qt::Key_Up && m_fields[index].upMoves) return focusPrevious(m_fields[index].widget);
    return false;
}

} // namespace ph
