#pragma once

#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <optional>

namespace ph {

class Prompter;

// A code field: a whole-number key typed by the user (insurer, group, form, ward ...).
//
//     me_code_g = new CodeField(this);
//     me_code_g->setLookup([this](qint64 code) { return groups.nameOf(code); }, me_name_g, prompter);
//     me_code_g->setPicker([this] { pickGroup(); });   // PageDown
//
// - Only the digits 0-9 are typed; Backspace, Delete, the arrows, Home/End, Tab, Enter and the
//   copy/cut/paste/undo keys edit as usual. Every other printable key is swallowed; other keys
//   (F-keys, Esc, PageUp ...) go on to the window. Pasted or dropped text that is not all digits
//   is refused whole.
// - With a lookup, the paired widget (QLabel or QLineEdit) shows the name of the typed code on
//   every change of the text, and is empty when the code is unknown or the field empty.
//   A look-up that fails (the database refuses the query) is reported through the Prompter's
//   general error report and counts as no name; nothing escapes into Qt's signal dispatch.
// - Leaving forwards checks the code (acceptCode): Tab here, Enter through KeyNav. An unknown
//   non-empty code shows the refusal through the Prompter, empties the pair (unless switched
//   off) and keeps the focus. Leaving backwards (Up, Shift+Tab) and mouse clicks do not check,
//   and the dialog taking the focus away never triggers a check.
// - PageDown emits pickRequested() and calls the picker; the window shows the lookup picker and
//   hands the chosen row back with setCodeFromPicker().
class CodeField : public QLineEdit {
    Q_OBJECT
public:
    using Lookup = std::function<std::optional<QString>(qint64 code)>;

    explicit CodeField(QWidget* parent = nullptr);

    // At most this many digits; 0 for no limit.
    void setMaxDigits(int digits);
    int maxDigits() const;

    // The name of a code (nullopt when there is none), the widget that shows it and the
    // dialogs that refuse an unknown code. The pair may be null.
    void setLookup(Lookup lookup, QWidget* nameField, Prompter& prompter);
    QWidget* nameField() const { return m_nameField; }

    // The refusal of an unknown code; the default is the common one.
    void setRefusalText(const QString& text) { m_refusalText = text; }
    QString refusalText() const { return m_refusalText; }
    // Whether a refused code empties the field and its pair (the default).
    void setClearOnRefusal(bool clear) { m_clearOnRefusal = clear; }
    // A code that stands for "none" (insurer 0: no insurer) and is accepted without a row;
    // its name is still looked up and shown when there is one.
    void setNoneCode(std::optional<qint64> code) { m_noneCode = code; }

    // What PageDown does besides emitting pickRequested().
    void setPicker(std::function<void()> picker) { m_picker = std::move(picker); }
    // Fills the field and its pair with the row chosen in the picker.
    void setCodeFromPicker(qint64 code, const QString& name);

    // The typed code; nullopt when the field is empty.
    std::optional<qint64> code() const;
    // The name of the typed code through the lookup; nullopt when empty, unknown, or when the
    // look-up failed (the failure is reported).
    std::optional<QString> lookupName() const;

    // The leaving check: true when the field is empty, has no lookup, or holds a known code
    // or the none code.
    // Otherwise the refusal is shown, the field (and pair) emptied, the focus put back here,
    // and false returned. A failed look-up keeps the field and the focus (its report stands
    // for the refusal) and returns false.
    bool acceptCode();

signals:
    void pickRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void showName();
    // Runs the look-up of the typed code; `failed` tells a failure (already reported) from
    // an unknown code.
    std::optional<QString> lookUp(bool* failed) const;

    Lookup m_lookup;
    QPointer<QWidget> m_nameField;
    Prompter* m_prompter = nullptr;
    std::function<void()> m_picker;
    QString m_refusalText;
    bool m_clearOnRefusal = true;
    std::optional<qint64> m_noneCode;
    bool m_refusing = false;
};

} // namespace ph
