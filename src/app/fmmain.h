#pragma once

#include "app/window_registry.h"
#include "core/app_context.h"

#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;

namespace ph {

class Clock;
class CredentialsForm;
class Database;
class Prompter;
class Tf_main;

// The login window, the program's main window: closing it ends the program. Its first
// showing runs the start-up sequence; a successful sign-in fills the main context and
// opens the main window modally, and closing that brings this window back.
class TFmmain : public QWidget {
    Q_OBJECT
public:
    // Registers the windows the main window opens, once the connection is open.
    using WindowSetup = std::function<void(WindowRegistry&, Database&, Tf_main&)>;

    TFmmain(AppContext& context, Prompter& prompter, const Clock& clock, QString workingDir,
            QWidget* parent = nullptr);
    ~TFmmain() override;

    void setWindowSetup(WindowSetup setup) { m_windowSetup = std::move(setup); }
    // Runs the start-up sequence now (the first showing does it by itself).
    void runStartup();
    // The sign-in command (F2).
    void login();

    Database* database() const { return m_db.get(); }
    CredentialsForm& form() const { return *m_form; }
    // The main window, made at the first sign-in.
    Tf_main* mainWindow() const { return m_main; }
    WindowRegistry& registry() { return m_registry; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppContext& m_context;
    Prompter& m_prompter;
    const Clock& m_clock;
    QString m_workingDir;
    std::unique_ptr<Database> m_db;
    WindowRegistry m_registry;
    WindowSetup m_windowSetup;
    Tf_main* m_main = nullptr;
    bool m_started = false;

    CredentialsForm* m_form;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace ph
