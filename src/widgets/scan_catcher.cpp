#include "widgets/scan_catcher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace ph {

ScanCatcher::ScanCatcher(QObject* parent, ShapeCheck isScan, Clock clock)
    : QObject(parent), m_isScan(std::move(isScan)), m_clock(std::move(clock)) {
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
}

void ScanCatcher::watch(QWidget* area) {
    area->installEventFilter(this);
    for (QWidget* child : area->findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus) child->installEventFilter(this);
}

void ScanCatcher::startBurst(QObject* watched, qint64 now) {
    m_text.clear();
    m_last = now;
    m_burstWidget = watched;
    m_field = qobject_cast<QLineEdit*>(watched);
    if (m_field) {
        m_fieldText = m_field->text();
        m_fieldCursor = m_field->cursorPosition();
    }
}

qint64 ScanCatcher::timeOf(const QKeyEvent* key) const {
    // The window system stamps each key when it is typed: keys queued while the window was
    // busy (a large list filtering at every key) still show the scanner's speed.
    if (key->timestamp() != 0) return qint64(key->timestamp());
    return m_clock();
}

bool ScanCatcher::endsScan(const QObject* receiver, const QEvent* event) const {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    return receiver == m_burstWidget && !m_text.isEmpty() && timeOf(key) - m_last <= kMostGapMs &&
           m_text.size() >= kFewestCharacters && m_isScan && m_isScan(m_text);
}

bool ScanCatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    // A key a widget passes on to another (a list handing typing to its search field) is counted once.
    if (const QWidget* focus = QApplication::focusWidget(); focus && watched != focus) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // A scanner presses Shift (or Ctrl for the group separator) around the characters that
    // need it: the modifier alone neither ends nor breaks a burst.
    switch (key->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta: return false;
    default: break;
    }
    const qint64 now = timeOf(key);
    // A scan is typed into one widget: keys in another start afresh.
    const bool inBurst = !m_text.isEmpty() && now - m_last <= kMostGapMs && watched == m_burstWidget;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const QString text = inBurst ? m_text : QString();
        m_text.clear();
        if (text.size() < kFewestCharacters || !m_isScan || !m_isScan(text)) return false;
        if (m_field) {
            m_field->setText(m_fieldText);
            m_field->setCursorPosition(m_fieldCursor);
        }
        emit scanned(text);
        return true;
    }
    const QString typed = key->text();
    // Printable keys, and the group separator GS1 data carries (Ctrl+]).
    if (typed.size() != 1 || (!typed.at(0).isPrint() && typed.at(0) != QChar(0x1D))) {
        m_text.clear();
        return false;
    }
    if (!inBurst) startBurst(watched, now);
    m_text.append(typed);
    m_last = now;
    return false;
}

} // namespace ph
