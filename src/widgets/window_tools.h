#pragma once

#include "core/pick_row.h"

#include <QString>

#include <functional>

class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QWidget;

namespace ph {

class CodeField;
struct WindowContext;

// Opens the shared lookup picker over `rows` in `mode`; the chosen row fills the code field
// and its name field. True when a row was chosen; false when cancelled or when the window
// has no picker.
bool pickCode(const WindowContext& windows, CodeField* field, const QString& mode, const PickRows& rows);

// The appearance menu ("تغيير ظاهر") of a window: the background, the panels, the input boxes
// and the labels take the colours and fonts the user picks, for this window only and until it
// is closed for good; nothing is stored. Its last entry runs `lock` (the lock window).
QMenu* makeAppearanceMenu(QWidget* window, std::function<void()> lock);

// Drops a menu of the window's menu bar down under its title, as a click on the title does
// (the menu's right edge on the title's under a right-to-left title); at the window's corner
// when the bar does not show the menu.
void popUpUnderTitle(QWidget* window, QMenu* menu);

// A line field with its object name.
QLineEdit* makeLineField(QWidget* parent, const QString& objectName);
// A window's command button with its object name, left out of the Tab order: the window's
// keys run its command.
QPushButton* makeCommandButton(QWidget* parent, const char* objectName, const QString& caption);

// Asks for a file to open in Qt's own file dialog, in Persian and right to left, but with the
// folder, the file name and the file list left to right, as paths read. Empty when cancelled.
QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& folderOrFile, const QString& filter);

// The source row of a grid's current row (through its proxy, if any); -1 when none.
int currentSourceRow(const QTableView* grid);

} // namespace ph
