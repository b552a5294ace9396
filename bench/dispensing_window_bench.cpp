// Adding a line to a 20-line prescription in the dispensing window, shown offscreen at the
// size it takes on a 1366 x 768 screen, on the demo data set (SQLite, a temporary folder).
//
//     dispensing_window_bench window [samples]   the Enter on "ثبت دارو" that adds the line, with
//                                                the layout and painting that follow it, as the
//                                                pharmacist's keys do it; and the whole line
//                                                (drug code, Enter, quantity, Enter, Enter)
//     dispensing_window_bench session [samples]  the same line priced by the session alone (the floor)
//
// Prints the median and the 95th percentile of each, and elapsed_ms= the median of the
// first figure for bench/run. Between two samples the added line is removed again (not timed).

#include "cli/demo_command.h"
#include "core/app_context.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "dispensing/drug_list.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_session.h"
#include "dispensing/ui/froosh_darou.h"
#include "widgets/list_grid.h"
#include "widgets/window_context.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace ph;

namespace {

constexpr int kLines = 20;

struct Figures {
    double median = 0;
    double p95 = 0;
};

Figures figuresOf(QList<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double share) { return samples.at(std::min<qsizetype>(samples.size() - 1, qsizetype(share * samples.size()))); };
    return {at(0.5), at(0.95)};
}

void report(const char* what, const Figures& f, int samples) {
    std::printf("%-62s median %7.2f ms   p95 %7.2f ms   (%d samples)\n", what, f.median, f.p95, samples);
}

// A key as the user types it, to the widget that has the focus, with the events it posts.
void key(QWidget& window, int code, const QString& text = {}) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
}

void type(QWidget& window, const QString& text) {
    for (const QChar c : text)
        key(window, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_unknown, QString(c));
}

void typeEnter(QWidget& window, const QString& text) {
    type(window, text);
    key(window, Qt::Key_Return);
}

// The demo drugs of group 1 that are neither compounded nor in the hoteling list: one per line.
QList<DrugItem> plainDrugs(Database& db) {
    QList<DrugItem> drugs;
    for (const DrugItem& drug : DrugList(db).load(false))
        if (drug.groupCode == 1 && !drug.isCompounded()) drugs.append(drug);
    return drugs;
}

int benchWindow(Database& db, int samples) {
    AppContext context;
    context.user_code = 1;
    context.user_name = QStringLiteral("مدير داروخانه");
    const SystemClock clock;
    context.current_date = todayJalaliText(clock);
    context.rights = {{"save_b", true}, {"froosh_d", true}};
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    Tf_froosh_darou window(WindowContext{context, db, prompter, clock, nullptr});
    window.show();
    // The size the window takes on a 1366 x 768 screen (less the task bar and its frame).
    window.resize(1346, 668);
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();

    // The header of an insurer 2 prescription, typed as the pharmacist types it.
    typeEnter(window, QStringLiteral("2"));
    typeEnter(window, QStringLiteral("4455667"));
    typeEnter(window, QStringLiteral("احمدي"));
    typeEnter(window, QStringLiteral("مريم"));
    typeEnter(window, QStringLiteral("12"));
    key(window, Qt::Key_Return); // admission
    key(window, Qt::Key_Return); // request number
    typeEnter(window, QStringLiteral("45213"));
    typeEnter(window, QStringLiteral("3012"));
    key(window, Qt::Key_Return);
    key(window, Qt::Key_Return);
    if (window.focusWidget()->objectName() != QLatin1String("DBGrid2"))
        qFatal("the header did not lead to the drug lookup (focus on %s)", qPrintable(window.focusWidget()->objectName()));

    const QList<DrugItem> drugs = plainDrugs(db);
    if (drugs.size() <= kLines) qFatal("the demo data set has too few drugs");
    auto typeLine = [&](const DrugItem& drug) {
        typeEnter(window, QString::number(qint64(drug.code)));
        typeEnter(window, QStringLiteral("1"));
    };
    for (int i = 0; i < kLines; ++i) {
        typeLine(drugs.at(i));
        key(window, Qt::Key_Return);
    }
    if (window.session().lines().lineCount() != kLines)
        qFatal("%d lines instead of %d: %s", window.session().lines().lineCount(), kLines,
               qPrintable(prompter.texts().join(u'\n')));

    auto* lines = window.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    QList<double> enter, whole;
    for (int sample = 0; sample < samples; ++sample) {
        const DrugItem& drug = drugs.at(kLines + sample % (drugs.size() - kLines));
        QElapsedTimer timer;
        timer.start();
        typeLine(drug);
        QElapsedTimer adding;
        adding.start();
        key(window, Qt::Key_Return);
        enter.append(double(adding.nsecsElapsed()) / 1e6);
        whole.append(double(timer.nsecsElapsed()) / 1e6);
        if (window.session().lines().lineCount() <= kLines) qFatal("the line was not added");
        // Back to 20 lines (a companion may have come with it), the lookup focused again (not timed).
        while (window.session().lines().lineCount() > kLines) {
            selectGridRow(lines, window.session().lines().lineCount() - 1);
            window.removeLine();
        }
        window.findChild<QWidget*>(QStringLiteral("DBGrid2"))->setFocus();
        QApplication::processEvents();
    }
    const Figures added = figuresOf(enter);
    report("Enter on \"ثبت دارو\": line added, laid out and painted", added, samples);
    report("the whole line from the keyboard (code, quantity, three Enters)", figuresOf(whole), samples);
    std::printf("elapsed_ms=%.3f\n", added.median);
    return 0;
}

int benchSession(Database& db, int samples) {
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    const SystemClock clock;
    PrescriptionSession session(db, prompter);
    session.start({todayJalaliText(clock), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    const QList<DrugItem> drugs = plainDrugs(db);
    const LineInput input{QStringLiteral("1"), QStringLiteral("تعرفه"), QString()};
    for (int i = 0; i < kLines; ++i)
        session.addLine(drugs.at(i), input);
    QList<double> times;
    for (int sample = 0; sample < samples; ++sample) {
        const DrugItem& drug = drugs.at(kLines + sample % (drugs.size() - kLines));
        QElapsedTimer timer;
        timer.start();
        session.addLine(drug, input);
        session.totals();
        times.append(double(timer.nsecsElapsed()) / 1e6);
        session.removeLine(session.lines().lastRow());
    }
    const Figures f = figuresOf(times);
    report("the line priced and totalled by the session alone", f, samples);
    std::printf("elapsed_ms=%.3f\n", f.median);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("window");
    const int samples = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 60;

    QTemporaryDir dir;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const SystemClock clock;
    if (cli::demo(dir.path(), clock, outStream, errStream) != 0) qFatal("demo failed: %s", qPrintable(err));
    Database db(readConnectionSettings(dir.path()));
    db.open();
    return mode == QLatin1String("session") ? benchSession(db, samples) : benchWindow(db, samples);
}
