#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace ph {

// Tells a keyboard-wedge scanner's typing from a person's by its speed: a scanner types a
// whole code, each key within a few milliseconds of the one before, and ends with Enter.
// Watching the widgets of a window's line entry, it takes a scan back out of the field it
// was typed into, keeps its Enter from the field, and hands the text to the window; a
// person's typing, or fast text that is not code-shaped, goes on as ever.
class ScanCatcher : public QObject {
    Q_OBJECT
public:
    // Milliseconds from any fixed start (a test drives its own).
    using Clock = std::function<qint64()>;
    // Whether a fast burst of text is a code the window should take as a scan.
    using ShapeCheck = std::function<bool(const QString&)>;

    explicit ScanCatcher(QObject* parent, ShapeCheck isScan, Clock clock = {});

    // Watches the widget and every focusable widget inside it.
    void watch(QWidget* area);
    // Whether the key is the Enter that ends a scan in a watched widget: a window that sees
    // keys before its widgets do (an application-wide filter) leaves that Enter alone.
    bool endsScan(const QObject* receiver, const QEvent* event) const;

    // The most milliseconds between two keys of a scan, and the fewest characters it has.
    static constexpr qint64 kMostGapMs = 30;
    static constexpr int kFewestCharacters = 8;

signals:
    void scanned(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startBurst(QObject* watched, qint64 now);
    // When a key was pressed: its own time stamp when it has one and no clock was given.
    qint64 timeOf(const QKeyEvent* key) const;

    ShapeCheck m_isScan;
    Clock m_clock;
    bool m_ownClock; // no clock was given: keys' own time stamps count where they have them
    QString m_text;
    qint64 m_last = 0;
    // The field as it was before the burst, to put back when the burst is a scan.
    QPointer<QLineEdit> m_field;
    QPointer<QObject> m_burstWidget; // where the burst is being typed
    QString m_fieldText;
    int m_fieldCursor = 0;
};

} // namespace ph
