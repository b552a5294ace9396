#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QSettings;
class QWidget;

namespace ph {

// The size a window opens at on a screen whose free area is `available`: the size it asks for
// (its size hint, or the size it was given), never below what its layout needs, and never larger
// than the free area less the window frame (`frame`: the width and height the title bar and
// borders add).
QSize fittedWindowSize(QSize wanted, QSize minimum, QSize available, QSize frame = QSize(16, 40));

// Keeps each watched window's size and place from one run to the next, in the workstation's
// settings (group "windows", one entry per window's object name). A window opens where it was
// left when that place is still on a screen; otherwise it opens at a size that fits the screen,
// in its middle. What the user changes is kept when the window is hidden or closed.
class WindowPlaces : public QObject {
    Q_OBJECT
public:
    explicit WindowPlaces(QSettings& settings, QObject* parent = nullptr);

    void watch(QWidget* window);
    // Writes the places of the windows now shown (also done when each is hidden).
    void saveAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* window);
    void save(QWidget* window);
    QString key(const QWidget* window) const;

    QSettings& m_settings;
    QList<QPointer<QWidget>> m_windows;
};

} // namespace ph
