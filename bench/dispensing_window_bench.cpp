// Adding a line to a 20-line prescription in the dispensing window, shown offscreen at the
// size it takes on a 1366 x 768 screen, on the demo data set (SQLite, a temporary folder).
//
//     dispensing_window_bench window [samples]   the Enter on "ثبت دارو" that adds the line, with
//                                                the layout and painting that follow it, as the
//                                                pharmacist's keys do it; and the whole line
//                                                (drug code, Enter, quantity, Enter, Enter)
//     dispensing_window_bench session [samples]  the same line priced by the session alone (the floor)
//     dispensing_window_bench scan [samples]     a pack's GS1 DataMatrix typed at a scanner's speed
//                                                into the drug lookup of a 20-line prescription, to
//                                                its line shown, on a generated 30,000-item catalogue
//                                                where every drug has a barcode
//     dispensing_window_bench scan-session [samples]  the same scan taken by the session alone (the floor)
//
// Prints the median and the 95th percentile of each, and elapsed_ms= the median of the
// first figure for bench/run. Between two samples the added line is removed again (not timed).
// The scan modes generate their catalogue first (a few seconds, not timed).

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
#include "db/transaction.h"
#include "generator.h"
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
#include <memory>

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

// A key as the user types it, to the widget that has the focus, with the events it posts;
// `stamp` is the window system's time of the key, none for a person's.
void key(QWidget& window, int code, const QString& text = {}, ulong stamp = 0) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    press.setTimestamp(stamp);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    release.setTimestamp(stamp);
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

// A GTIN-13 of the bench's own for the i-th drug: 626, nine digits and the check digit.
QString gtin13(int i) {
    const QString digits = QStringLiteral("626%1").arg(i, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int k = 0; k < 12; ++k)
        sum += digits.at(k).digitValue() * (k % 2 ? 3 : 1);
    return digits + QString::number((10 - sum % 10) % 10);
}

// What a scanner types for a pack of the i-th drug: its GTIN, an expiry and a batch.
QString packScan(int i) {
    return QStringLiteral("]d2010") + gtin13(i) + QStringLiteral("17281231") + QStringLiteral("10B") + QString::number(i);
}

// A scanner typing the text and Enter, a key every 4 ms by the window system's stamps. The
// keys are queued at once and then handled, as they queue up while the window is busy: the
// time is from the scanner's first key to the line shown, however fast the scanner types.
void scanKeys(QWidget& window, const QString& text) {
    static ulong stamp = 1000;
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    const auto post = [&](int code, const QString& typed) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            auto* event = new QKeyEvent(type, code, Qt::NoModifier, typed);
            event->setTimestamp(stamp);
            QCoreApplication::postEvent(target, event);
        }
        stamp += 4;
    };
    for (const QChar c : text)
        post(c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_unknown, QString(c));
    post(Qt::Key_Return, {});
    QApplication::processEvents();
    stamp += 1000; // the next pack comes later
}

// Every plain drug gets its barcode, in one transaction.
QList<DrugItem> barcodedDrugs(Database& db) {
    const QList<DrugItem> drugs = plainDrugs(db);
    Transaction transaction(db);
    for (int i = 0; i < drugs.size(); ++i)
        db.exec(QStringLiteral("insert into kala_barcode (barcode, code_kala) values (?, ?)"),
                {QLatin1Char('0') + gtin13(i), drugs.at(i).code});
    transaction.commit();
    return drugs;
}

struct ShownWindow {
    AppContext context;
    ScriptedPrompter prompter;
    SystemClock clock;
    std::unique_ptr<Tf_froosh_darou> window;
};

// The dispensing window at the size it takes on a 1366 x 768 screen, its insurer 2 header
// typed as the pharmacist types it, the drug lookup focused.
void showWithHeader(Database& db, ShownWindow& shown) {
    shown.context.user_code = 1;
    shown.context.user_name = QStringLiteral("مدير داروخانه");
    shown.context.current_date = todayJalaliText(shown.clock);
    shown.context.rights = {{"save_b", true}, {"froosh_d", true}};
    shown.prompter.setYesNoFallback([](const QString&) { return true; });
    shown.window = std::make_unique<Tf_froosh_darou>(WindowContext{shown.context, db, shown.prompter, shown.clock, nullptr});
    Tf_froosh_darou& window = *shown.window;
    window.show();
    // The size the window takes on a 1366 x 768 screen (less the task bar and its frame).
    window.resize(1346, 668);
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
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
}

// Back to 20 lines, the lookup focused again (not timed).
void removeAddedLines(Tf_froosh_darou& window) {
    auto* lines = window.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    while (window.session().lines().lineCount() > kLines) {
        selectGridRow(lines, window.session().lines().lineCount() - 1);
        window.removeLine();
    }
    window.findChild<QWidget*>(QStringLiteral("DBGrid2"))->setFocus();
    QApplication::processEvents();
}

int benchScan(Database& db, int samples) {
    const QList<DrugItem> drugs = barcodedDrugs(db);
    if (drugs.size() <= kLines + samples) qFatal("the catalogue has too few drugs");
    ShownWindow shown;
    showWithHeader(db, shown);
    Tf_froosh_darou& window = *shown.window;
    for (int i = 0; i < kLines; ++i)
        scanKeys(window, packScan(i));
    if (window.session().lines().lineCount() != kLines)
        qFatal("%d lines scanned instead of %d: %s", window.session().lines().lineCount(), kLines,
               qPrintable(shown.prompter.texts().join(u'\n')));
    QList<double> times;
    for (int sample = 0; sample < samples; ++sample) {
        QElapsedTimer timer;
        timer.start();
        scanKeys(window, packScan(kLines + sample));
        times.append(double(timer.nsecsElapsed()) / 1e6);
        if (window.session().lines().lineCount() <= kLines) qFatal("the scan added no line");
        removeAddedLines(window);
    }
    const Figures f = figuresOf(times);
    report("a pack scanned into the lookup to its line shown", f, samples);
    std::printf("elapsed_ms=%.3f\n", f.median);
    return 0;
}

// A prescription of insurer 2 started in the session alone, every question answered yes.
struct InsuredSession {
    explicit InsuredSession(Database& db) : session(db, prompter) {
        prompter.setYesNoFallback([](const QString&) { return true; });
        session.start({todayJalaliText(clock), QStringLiteral("10:00")});
        session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    }
    ScriptedPrompter prompter;
    SystemClock clock;
    PrescriptionSession session;
};

int benchScanSession(Database& db, int samples) {
    const QList<DrugItem> drugs = barcodedDrugs(db);
    if (drugs.size() <= kLines + samples) qFatal("the catalogue has too few drugs");
    InsuredSession insured(db);
    PrescriptionSession& session = insured.session;
    for (int i = 0; i < kLines; ++i)
        session.takeScan(packScan(i));
    QList<double> times;
    for (int sample = 0; sample < samples; ++sample) {
        QElapsedTimer timer;
        timer.start();
        if (session.takeScan(packScan(kLines + sample)).status != PrescriptionSession::ScanStatus::Added)
            qFatal("the scan added no line: %s", qPrintable(insured.prompter.texts().join(u'\n')));
        session.totals();
        times.append(double(timer.nsecsElapsed()) / 1e6);
        while (session.lines().lineCount() > kLines) {
            int row = session.lines().lastRow();
            while (row > 0 && !session.lines().isLine(row)) --row;
            const int before = session.lines().lineCount();
            session.removeLine(row);
            if (session.lines().lineCount() == before) qFatal("the scanned line could not be removed");
        }
    }
    const Figures f = figuresOf(times);
    report("the same scan taken by the session alone", f, samples);
    std::printf("elapsed_ms=%.3f\n", f.median);
    return 0;
}

int benchWindow(Database& db, int samples) {
    ShownWindow shown;
    showWithHeader(db, shown);
    Tf_froosh_darou& window = *shown.window;
    ScriptedPrompter& prompter = shown.prompter;

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
        removeAddedLines(window); // a companion may have come with it
    }
    const Figures added = figuresOf(enter);
    report("Enter on \"ثبت دارو\": line added, laid out and painted", added, samples);
    report("the whole line from the keyboard (code, quantity, three Enters)", figuresOf(whole), samples);
    std::printf("elapsed_ms=%.3f\n", added.median);
    return 0;
}

int benchSession(Database& db, int samples) {
    InsuredSession insured(db);
    PrescriptionSession& session = insured.session;
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
    const bool scanning = mode.startsWith(QLatin1String("scan"));
    if (scanning) {
        GenerateOptions options;
        options.prescriptions = 0; // the catalogue alone
        generateDatabase(dir.path(), options, outStream);
    } else if (cli::demo(dir.path(), clock, outStream, errStream) != 0) {
        qFatal("demo failed: %s", qPrintable(err));
    }
    Database db(readConnectionSettings(dir.path()));
    db.open();
    if (mode == QLatin1String("scan")) return benchScan(db, samples);
    if (mode == QLatin1String("scan-session")) return benchScanSession(db, samples);
    return mode == QLatin1String("session") ? benchSession(db, samples) : benchWindow(db, samples);
}
