#pragma once

#include "core/app_context.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ph {

class Clock;
class Database;
class Prompter;

// The login window, the program's main window: closing it ends the program. Its first
// showing runs the start-up sequence.
class TFmmain : public QWidget {
    Q_OBJECT
public:
    TFmmain(AppContext& context, Prompter& prompter, const Clock& clock, QString workingDir,
            QWidget* parent = nullptr);
    ~TFmmain() override;

    // Runs the start-up sequence now (the first showing does it by itself).
    void runStartup();
    Database* database() const { return m_db.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_context;
    Prompter& m_prompter;
    const Clock& m_clock;
    QString m_workingDir;
    std::unique_ptr<Database> m_db;
    bool m_started = false;

    QLineEdit* m_code;
    QLabel* m_userName;
    QLineEdit* m_pass;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace ph
