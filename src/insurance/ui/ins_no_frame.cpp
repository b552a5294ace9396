#include "insurance/ui/ins_no_frame.h"
#include "widgets/keys.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace ph {
namespace {

// Characters each field holds before it moves on (0: no move), and its padded width (0: none).
constexpr int kMoveAt[4] = {10, 4, 2, 0};
constexpr int kPadTo[4] = {0, 4, 2, 2};
constexpr int kMaxLength[4] = {0, 4, 2, 2};

bool isAsciiDigit(const QKeyEvent* event) {
    const QString text = event->text();
    const auto mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    return mods == Qt::NoModifier && text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

} // namespace

TfraInsNo::TfraInsNo(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("TfraInsNo"));
    setLayoutDirection(Qt::LeftToRight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const char* names[4] = {"edtMeliCode", "edtInsNo", "edtBookNo", "edtPageNo"};
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(names[i]));
        field->setInputMethodHints(Qt::ImhDigitsOnly);
        if (kMaxLength[i] > 0) field->setMaxLength(kMaxLength[i]);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { moveOnWhenFull(i); });
        if (i > 0) {
            auto* dash = new QLabel(QStringLiteral("-"), this);
            layout->addWidget(dash);
        }
        layout->addWidget(field, i == 0 ? 3 : 1);
        m_fields[i] = field;
    }
    for (int i = 0; i < 3; ++i)
        setTabOrder(m_fields[i], m_fields[i + 1]);
    setFocusProxy(m_fields[0]);
    setRulesActive(true);
}

void TfraInsNo::setRulesActive(bool active) {
    m_active = active;
    // Pasted or dropped text is held to the same digits as typed text.
    for (QLineEdit* field : m_fields) {
        const QValidator* old = field->validator();
        field->setValidator(
            active ? new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field)
                   : nullptr);
        delete old;
    }
}

InsNoParts TfraInsNo::parts() const {
    return {m_fields[0]->text(), m_fields[1]->text(), m_fields[2]->text(), m_fields[3]->text()};
}

QString TfraInsNo::dashedText() const {
    return FormatInsNo(parts());
}

QString TfraInsNo::plainText() const {
    return plainInsNo(parts());
}

void TfraInsNo::setDashedText(const QString& text) {
    const InsNoParts parts = SetInsNo(text);
    m_fields[0]->setText(parts.base);
    m_fields[1]->setText(parts.insNo);
    m_fields[2]->setText(parts.bookNo);
    m_fields[3]->setText(parts.pageNo);
}

void TfraInsNo::clear() {
    for (QLineEdit* field : m_fields)
        field->clear();
}

int TfraInsNo::indexOf(const QObject* field) const {
    for (int i = 0; i < 4; ++i)
        if (m_fields[i] == field) return i;
    return -1;
}

void TfraInsNo::moveOnWhenFull(int index) {
    if (!m_active || kMoveAt[index] == 0) return;
    if (m_fields[index]->text().size() == kMoveAt[index]) m_fields[index + 1]->setFocus(Qt::TabFocusReason);
}

bool TfraInsNo::eventFilter(QObject* watched, QEvent* event) {
    const int index = indexOf(watched);
    if (index < 0 || !m_active) return QFrame::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut) {
        // A dialog or menu taking the focus for a moment is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (kPadTo[index] > 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QLineEdit* field = m_fields[index];
            const QString padded = padInsNoPart(field->text(), kPadTo[index]);
            if (padded != field->text()) field->setText(padded);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isEnter(key)) {
        if (index == 3) {
            emit pageEnterPressed();
            return false;
        }
        m_fields[index + 1]->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (key->key() == Qt::Key_Backspace || isAsciiDigit(key)) return false;
    const QString text = key->text();
    // Any other character is dropped; keys without one (arrows, Tab, F-keys) go on.
    return !text.isEmpty() && text[0].isPrint();
}

} // namespace ph
