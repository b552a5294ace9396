#pragma once

#include "audit/audit_origin.h"
#include <QString>

class QWidget;

namespace ph {

class Database;
class Prompter;

// Applies the prices of a workbook to the goods, with a progress bar that can cancel, and
// reports the outcome (rows that could not be read included) through the prompter.
void runPriceCorrection(const QString& workbookPath, Database& db, Prompter& prompter, QWidget* parent,
                        const AuditOrigin& origin);

// Asks for the workbook (the working folder's pharmacy.xls by default) and runs the correction.
void choosePriceWorkbookAndCorrect(const QString& workingDir, Database& db, Prompter& prompter, QWidget* parent,
                                   const AuditOrigin& origin);

} // namespace ph
