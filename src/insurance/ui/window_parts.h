#pragma once

#include "widgets/guarded.h"
#include "widgets/list_grid.h"

#include <QString>

#include <functional>

class QLineEdit;
class QStandardItemModel;
class QTableView;
class QWidget;

namespace ph {

class CommandBar;
class Prompter;

namespace insurance_ui {

// A line field with its object name.
QLineEdit* makeField(QWidget* parent, const QString& objectName);

// The source row of a grid's current row (through its proxy, if any); -1 when none.
int currentSourceRow(const QTableView* grid);

// Runs a bar's command as its key would, whatever the state of its button (its right is
// still tested): for windows whose keys act even while the toolbar button is disabled.
bool activateWhateverState(CommandBar* bar, unsigned command);

} // namespace insurance_ui
} // namespace ph
