#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <initializer_list>

class QAbstractButton;

namespace ph {

// The Enter / Up arrow order of a window's input fields, declared once:
//
//     KeyNav m_nav{{me_code_g, me_code_t, me_code_two, me_price}};
//     m_nav.setLastAction(but_ok);
//
// Enter moves to the next field that is enabled and not hidden, Up arrow to the previous
// one. It works through an event filter on each field, so the fields need no subclass.
// - A field may take over its Enter: the handler validates or does the field's work and
//   returns true to move on, false to stay (it may move the focus itself and return false).
// - A CodeField without a handler is checked with CodeField::acceptCode() before Enter
//   leaves it; an unknown code keeps the focus there.
// - A button in the order is pressed by Enter instead of being left.
// - Enter on the last usable field runs the last action, if one is set.
// - Combo boxes, lists, spin boxes and multi-line texts keep Up for themselves; any field can
//   be switched either way with setUpMoves().
class KeyNav : public QObject {
    Q_OBJECT
public:
    explicit KeyNav(QObject* parent = nullptr);
    KeyNav(std::initializer_list<QWidget*> fields, QObject* parent = nullptr);

    // Appends a field to the order.
    void addField(QWidget* field);
    QList<QWidget*> fields() const;

    // Replaces what Enter does in this field; return true to move to the next field.
    void setEnterHandler(QWidget* field, std::function<bool()> handler);
    // Whether Up arrow in this field moves to the previous field.
    void setUpMoves(QWidget* field, bool moves);
    // What Enter on the last usable field does.
    void setLastAction(std::function<void()> action);
    void setLastAction(QAbstractButton* button);

    // Moves the focus as Enter / Up would, without the field's checks; false when there is
    // no usable field in that direction.
    bool focusNext(QWidget* from);
    bool focusPrevious(QWidget* from);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QPointer<QWidget> widget;
        std::function<bool()> onEnter;
        bool upMoves = true;
    };

    int indexOf(const QObject* widget) const;
    QWidget* usable(int from, int step) const;
    void enter(int index);

    QList<Field> m_fields;
    std::function<void()> m_lastAction;
};

} // namespace ph
