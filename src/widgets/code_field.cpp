#include "widgets/code_field.h"

#include "core/prompter.h"
#include "widgets/guarded.h"

#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

namespace ph {

namespace {

void setTextOf(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
}

bool isEditingKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
           event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll) ||
           event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
}

bool isAsciiDigitKey(const QKeyEvent* event) {
    const QString text = event->text();
    const auto mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    return mods == Qt::NoModifier && text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

} // namespace

CodeField::CodeField(QWidget* parent)
    : QLineEdit(parent), m_refusalText(QStringLiteral("اين كد موجود نمي باشد")) {
    // Guards what does not come through the keys: paste, drag and drop, input methods.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    setInputMethodHints(Qt::ImhDigitsOnly);
    connect(this, &QLineEdit::textChanged, this, &CodeField::showName);
}

void CodeField::setMaxDigits(int digits) {
    setMaxLength(digits > 0 ? digits : 32767);
}

int CodeField::maxDigits() const {
    return maxLength() == 32767 ? 0 : maxLength();
}

void CodeField::setLookup(Lookup lookup, QWidget* nameField, Prompter& prompter) {
    m_lookup = std::move(lookup);
    m_nameField = nameField;
    m_prompter = &prompter;
    showName();
}

std::optional<qint64> CodeField::code() const {
    bool ok = false;
    const qint64 value = text().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<QString> CodeField::lookUp(bool* failed) const {
    *failed = false;
    const auto typed = code();
    if (!typed || !m_lookup) return std::nullopt;
    std::optional<QString> name;
    // The look-up runs from textChanged and from key handling: a failure must not unwind
    // through Qt's event and signal dispatch.
    *failed = !guarded(*m_prompter, [&] { name = m_lookup(*typed); });
    return name;
}

std::optional<QString> CodeField::lookupName() const {
    bool failed = false;
    return lookUp(&failed);
}

void CodeField::showName() {
    if (!m_lookup || !m_nameField) return;
    setTextOf(m_nameField, lookupName().value_or(QString()));
}

void CodeField::setCodeFromPicker(qint64 code, const QString& name) {
    setText(QString::number(code));
    // The picker's name wins: some lists show a composed name (family and first name).
    if (m_nameField) setTextOf(m_nameField, name);
}

bool CodeField::acceptCode() {
    // The refusal dialog takes the focus while it is open; nothing it does may ask again.
    if (m_refusing) return false;
    if (text().isEmpty() || !m_lookup) return true;
    if (m_noneCode && code() == m_noneCode) return true;
    bool failed = false;
    if (lookUp(&failed)) return true;

    m_refusing = true;
    if (failed) { // reported already; the typed code stays for another try
        setFocus(Qt::OtherFocusReason);
        m_refusing = false;
        return false;
    }
    m_prompter->warning(m_refusalText);
    if (m_clearOnRefusal) {
        clear();
        if (m_nameField) setTextOf(m_nameField, QString());
    }
    setFocus(Qt::OtherFocusReason);
    m_refusing = false;
    return false;
}

void CodeField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (isReadOnly()) return; // a code that may not change is not picked either
        emit pickRequested();
        if (m_picker) m_picker();
        return;
    }
    if (isAsciiDigitKey(event) || isEditingKey(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint()) {
        event->accept(); // a letter, a sign or a digit of another script: never typed
        return;
    }
    event->ignore(); // command keys belong to the window
}

bool CodeField::focusNextPrevChild(bool next) {
    if (next && !acceptCode()) return true;
    return QLineEdit::focusNextPrevChild(next);
}

} // namespace ph
