#include "generator.h"

#include "cli/demo_command.h"
#include "core/clock.h"
#include "db/database.h"
#include "db/transaction.h"

#include <QStringList>
#include <QVariantList>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

namespace ph {

namespace {

constexpr int kPharmacyUnit = 20;
constexpr qint64 kPrescriptionsPerTransaction = 50000;

// splitmix64: the same seed gives the same numbers on every machine and library.
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int below(int n) { return int(next() % quint64(n)); }
    double unit() { return double(next() >> 11) / double(1ull << 53); }
    bool chance(double p) { return unit() < p; }

private:
    quint64 m_state;
};

const char* const kFamilies[] = {
    "رضايي", "احمدي",  "محمدي", "حسيني", "كريمي",  "موسوي", "جعفري",  "صادقي",  "رحيمي", "قاسمي",
    "نوري",  "هاشمي",  "عباسي", "اكبري", "ملكي",   "زارعي", "طاهري",  "سليماني", "كاظمي", "حيدري",
    "مرادي", "نجفي",   "يزدي",  "شريفي", "فرهادي", "باقري", "اميني",  "ابراهيمي", "عسگري", "بهرامي",
    "كرمي",  "توكلي",  "جوادي", "خليلي", "دهقاني", "رستمي", "سبحاني", "شجاعي",  "صالحي", "عزيزي",
};
const char* const kNames[] = {
    "علي",   "محمد", "حسين", "مريم", "فاطمه", "زهرا", "رضا",  "سارا",  "مهدي", "نرگس",
    "امير",  "ليلا", "حسن",  "مينا", "بهرام", "نسرين", "جواد", "شيرين", "سعيد", "پروين",
    "مجيد",  "ژاله", "كاوه", "آرش",  "هانيه", "يوسف", "الهام", "رويا",  "بابك", "سميرا",
};
const char* const kNameStems[] = {"استامينوفن", "ايبوپروفن", "آموكسي سيلين", "سفالكسين",  "متفورمين",
                                  "لوزارتان",   "آملوديپين", "امپرازول",    "سرترالين",  "پردنيزولون",
                                  "سيتريزين",   "ديكلوفناك", "آتورواستاتين", "وارفارين", "فلوكستين",
                                  "كلسيم",      "ويتامين",   "شامپو",       "كرم",       "لوسيون"};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <size_t N> QString pick(Random& random, const char* const (&list)[N]) {
    return text(list[random.below(int(N))]);
}

QString two(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Appends rows to one table through a prepared multi-row insert of `rowsPerStatement`
// rows (and one statement for the remainder when flushed).
class BulkInsert {
public:
    BulkInsert(Database& db, QString table, const QStringList& columns, int rowsPerStatement)
        : m_db(db), m_table(std::move(table)), m_columns(columns), m_rowsPerStatement(rowsPerStatement) {
        m_values.reserve(columns.size() * rowsPerStatement);
    }

    void add(std::initializer_list<QVariant> row) {
        Q_ASSERT(int(row.size()) == m_columns.size());
        for (const QVariant& value : row)
            m_values.append(value);
        if (++m_rows == m_rowsPerStatement) flush();
    }
    void flush() {
        if (m_rows == 0) return;
        m_db.exec(statement(m_rows), m_values);
        m_written += m_rows;
        m_rows = 0;
        m_values.clear();
    }
    qint64 written() const { return m_written; }

private:
    QString statement(int rows) {
        QString& sql = m_statements[rows];
        if (sql.isEmpty()) {
            QString one = QStringLiteral("(?") + QStringLiteral(", ?").repeated(m_columns.size() - 1) + u')';
            QStringList all(rows, one);
            sql = QStringLiteral("insert into %1 (%2) values %3").arg(m_table, m_columns.join(QStringLiteral(", ")),
                                                                      all.join(QStringLiteral(", ")));
        }
        return sql;
    }

    Database& m_db;
    QString m_table;
    QStringList m_columns;
    int m_rowsPerStatement;
    QVariantList m_values;
    int m_rows = 0;
    qint64 m_written = 0;
    std::map<int, QString> m_statements;
};

struct Goods {
    double code;
    int group;
    double price;
};

struct Patient {
    QString insuranceNumber;
    QString name;
    QString family;
    int insurer; // 0: no insurer (free prices)
    QString expiry;
};

struct Doctor {
    QString council;
};

struct Day {
    int year; // yy
    int month;
    int day;
    QString date() const { return two(year) + u'/' + two(month) + u'/' + two(day); }
};

std::vector<Day> workingDays(const GenerateOptions& options) {
    std::vector<Day> days;
    for (int y = 0; y < options.years; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= (m <= 6 ? 31 : m <= 11 ? 30 : 29); ++d)
                days.push_back({(options.firstYear + y) % 100, m, d});
    return days;
}

QList<int> codes(Database& db, const QString& sql) {
    QList<int> found;
    Rows q = db.exec(sql);
    while (q.next())
        found.append(q.value(0).toInt());
    return found;
}

class Generator {
public:
    Generator(Database& db, const GenerateOptions& options) : m_db(db), m_options(options), m_random(options.seed) {}

    GenerateCounts run(const std::function<void(qint64)>& progress);

private:
    void writeCatalogue();
    void writeDoctors();
    void writePatients();
    int pickInsurer();
    const Goods& pickGoods();
    QString time() { return two(8 + m_random.below(14)) + u':' + two(m_random.below(60)); }

    Database& m_db;
    GenerateOptions m_options;
    Random m_random;
    GenerateCounts m_counts;
    std::vector<Goods> m_goods;
    std::vector<Patient> m_patients;
    std::vector<Doctor> m_doctors;
    QList<int> m_insurers, m_specialties, m_types, m_wards, m_users;
};

int Generator::pickInsurer() {
    // Most prescriptions come with the two large insurers; a few have none.
    const double u = m_random.unit();
    if (u < 0.06 || m_insurers.isEmpty()) return 0;
    if (u < 0.50) return m_insurers.at(0);
    if (u < 0.80 || m_insurers.size() < 3) return m_insurers.at(std::min<int>(1, m_insurers.size() - 1));
    return m_insurers.at(2 + m_random.below(m_insurers.size() - 2));
}

const Goods& Generator::pickGoods() {
    // A few hundred drugs make most of the lines.
    const double u = m_random.unit();
    return m_goods[size_t(double(m_goods.size()) * u * u * u)];
}

void Generator::writeCatalogue() {
    struct Form {
        int code;
        QString groups;
        int counter;
    };
    std::vector<Form> forms;
    {
        Rows q = m_db.exec(QStringLiteral("select code, g1, g2, g3, g4, g5, num from type_kala order by code"));
        while (q.next()) {
            QString groups;
            for (int g = 1; g <= 5; ++g)
                if (q.value(g).toInt() == 1) groups += QString::number(g);
            forms.push_back({q.value(0).toInt(), groups, q.value(6).toInt()});
        }
    }
    BulkInsert goods(m_db, QStringLiteral("mosh_kala_anbar"),
                     {"code_kala", "name_kala", "name_kala_latin", "group_code", "type_code", "code_tow", "code_sh",
                      "price_u", "flag"},
                     200);
    BulkInsert stock(m_db, QStringLiteral("moj_kala_vah"), {"code_kala", "code_vah", "moj_vah", "price_u"}, 400);
    qint64 nationalCode = 6261100000001;
    for (int i = 0; i < m_options.catalogue; ++i) {
        // Drugs mostly, then cosmetics, supplements and medical supplies.
        const double u = m_random.unit();
        const int group = u < 0.70 ? 1 : u < 0.85 ? 2 : u < 0.95 ? 4 : 3;
        std::vector<Form*> fits;
        for (Form& form : forms)
            if (form.groups.contains(QString::number(group)) && form.counter < 9999) fits.push_back(&form);
        if (fits.empty()) continue;
        Form& form = *fits[size_t(m_random.below(int(fits.size())))];
        const double code = group * 1000000.0 + form.code * 10000.0 + ++form.counter;
        // Prices from 500 Rials to 5,000,000, most of them low.
        const double price = std::round(500.0 * std::pow(10000.0, m_random.unit() * m_random.unit()) / 100) * 100;
        const QString name = pick(m_random, kNameStems) + u' ' + QString::number(5 * (1 + m_random.below(200)));
        goods.add({code, name.left(50), QStringLiteral("Item %1").arg(i + 1), group, form.code, double(nationalCode),
                   0, price, 1});
        stock.add({code, kPharmacyUnit, double(m_random.below(500)), price});
        nationalCode += 7919;
        m_goods.push_back({code, group, price});
    }
    goods.flush();
    stock.flush();
    for (const Form& form : forms)
        m_db.exec(QStringLiteral("update type_kala set num=? where code=?"), {form.counter, form.code});
    m_counts.goods = goods.written();
}

void Generator::writeDoctors() {
    const int count = int(std::clamp<qint64>(m_options.prescriptions / 300, 50, 3000));
    int code = m_db.scalar(QStringLiteral("select coalesce(max(code), 0) from doctor_s")).toInt();
    BulkInsert doctors(m_db, QStringLiteral("doctor_s"), {"code", "name", "family", "order1", "typeno"}, 200);
    for (int i = 0; i < count; ++i) {
        // Six-digit council numbers, apart from the demo's five-digit ones.
        const QString council = QString::number(100000 + (i * 7919) % 900000);
        doctors.add({++code, pick(m_random, kNames), pick(m_random, kFamilies), council,
                     m_specialties.isEmpty() ? QVariant() : QVariant(m_specialties.at(m_random.below(m_specialties.size())))});
        m_doctors.push_back({council});
    }
    doctors.flush();
    m_counts.doctors = doctors.written();
}

void Generator::writePatients() {
    const int count = int(std::clamp<qint64>(m_options.prescriptions / 4, 200, 250000));
    int code = m_db.scalar(QStringLiteral("select coalesce(max(code), 0) from mosh_bimaran")).toInt();
    BulkInsert patients(m_db, QStringLiteral("mosh_bimaran"),
                        {"code", "sh_bimeh", "insnotamin", "name_b", "family_b", "code_bimeh", "date_bimeh"}, 200);
    const int lastYear = m_options.firstYear + m_options.years - 1;
    for (int i = 0; i < count; ++i) {
        Patient p;
        // Ten-digit national codes, distinct: a stride prime to 10^9 over the range.
        p.insuranceNumber = QStringLiteral("%1").arg(qint64(1000000000) + (qint64(i) * 387420489) % 999999999, 10, 10,
                                                     QLatin1Char('0'));
        p.name = pick(m_random, kNames);
        p.family = pick(m_random, kFamilies);
        p.insurer = pickInsurer();
        p.expiry = QStringLiteral("%1/12/29").arg(lastYear + 1);
        patients.add({++code, p.insuranceNumber, p.insuranceNumber, p.name, p.family, p.insurer, p.expiry});
        m_patients.push_back(std::move(p));
    }
    patients.flush();
    m_counts.patients = patients.written();
}

GenerateCounts Generator::run(const std::function<void(qint64)>& progress) {
    m_insurers = codes(m_db, QStringLiteral("select code from organs_m where code > 0 order by code"));
    m_specialties = codes(m_db, QStringLiteral("select code from doctor_type order by code"));
    m_types = codes(m_db, QStringLiteral("select code from type_noskhe order by code"));
    m_wards = codes(m_db, QStringLiteral("select code from place order by code"));
    m_users = codes(m_db, QStringLiteral("select code from u_pharmacy order by code"));
    if (m_users.isEmpty()) m_users = {1};
    if (m_types.isEmpty()) m_types = {1};
    if (m_wards.isEmpty()) m_wards = {1};

    {
        Transaction transaction(m_db);
        writeCatalogue();
        writeDoctors();
        writePatients();
        transaction.commit();
    }

    BulkInsert headings(m_db, QStringLiteral("heading_noskhe"),
                        {"sh_factor", "code_no", "date_no", "date_sabt", "date_bimeh", "name_b", "family_b",
                         "sh_bimeh", "insnotamin", "sh_safhe", "paz_type", "code_bakhsh", "personel", "code_bimeh",
                         "nezam_p", "type_no", "flag_taeed", "code_opr", "price_koll", "price_bimeh", "price_bimar",
                         "price_azad", "price_otc", "price_kala", "fani", "fani2"},
                        100);
    BulkInsert lines(m_db, QStringLiteral("details_noskhe"),
                     {"sh_factor", "row", "code_darou", "tedad", "price_one", "price_koll", "sazman", "bimar", "azad",
                      "otc", "kala", "vaziat", "flag_moadel", "price_h", "sh_bimeh", "insnotamin"},
                     200);
    BulkInsert goodsHeadings(m_db, QStringLiteral("heading_froosh_kala"),
                             {"sh_factor", "date_sabt", "code_opr", "family", "name", "price_koll", "price_otc",
                              "price_koll_f"},
                             200);
    BulkInsert goodsLines(m_db, QStringLiteral("details_froosh_kala"),
                          {"sh_factor", "code_kala", "vaziat", "tedad", "price", "price_koll"}, 300);
    BulkInsert cash(m_db, QStringLiteral("cash"),
                    {"sh_factor", "type_factor", "code_opr", "code_cashier", "flag_pa", "date_no", "time_no",
                     "date_pa", "time_pa", "bimar", "azad", "otc", "fani", "kala", "koll_daryaft", "koll_bargasht",
                     "ekhtetam", "family_b"},
                    150);
    BulkInsert closings(m_db, QStringLiteral("ekhtetam"),
                        {"code_cashier", "date_first", "time_first", "date_end", "time_end", "koll_daryaft",
                         "koll_bargasht", "khales"},
                        200);

    const QString insured = text("تعرفه"), free = text("آزاد"), goodsKind = text("كالا"), otcKind = QStringLiteral("OTC");
    // Day counters of the prescription codes: insurer -> month*32+day -> last number.
    // The year is not part of them, so a day's numbers go on from the same day a year before.
    std::map<int, std::map<int, int>> dayCounters;
    const std::vector<Day> days = workingDays(m_options);
    const qint64 total = m_options.prescriptions;
    const qint64 goodsTotal = total * 3 / 10;
    qint64 invoice = 0, goodsInvoice = 0, sinceCommit = 0;
    auto transaction = std::make_unique<Transaction>(m_db);
    auto commit = [&] {
        headings.flush();
        lines.flush();
        goodsHeadings.flush();
        goodsLines.flush();
        cash.flush();
        closings.flush();
        transaction->commit();
        transaction.reset();
    };
    for (size_t d = 0; d < days.size(); ++d) {
        const Day& day = days[d];
        const QString date = day.date();
        const bool lastDay = d + 1 == days.size();
        const qint64 todayCount = qint64(d + 1) * total / qint64(days.size()) - qint64(d) * total / qint64(days.size());
        const qint64 todayGoods =
            qint64(d + 1) * goodsTotal / qint64(days.size()) - qint64(d) * goodsTotal / qint64(days.size());
        double received = 0;
        for (qint64 n = 0; n < todayCount; ++n) {
            ++invoice;
            // Regular patients come back often; the rest now and then.
            const size_t patientIndex = m_random.chance(0.5) ? size_t(m_random.below(int(std::max<size_t>(1, m_patients.size() / 10))))
                                                             : size_t(m_random.below(int(m_patients.size())));
            const Patient& patient = m_patients[patientIndex];
            const int user = m_users.at(m_random.below(m_users.size()));
            const bool outpatient = !m_random.chance(0.03);
            const bool staff = m_random.chance(0.01);
            const int insurer = patient.insurer;
            const int counter = ++dayCounters[insurer][day.month * 32 + day.day];
            const QString insurerPart = insurer <= 0 ? QStringLiteral("000")
                                                     : QStringLiteral("%1").arg(insurer, 3, 10, QLatin1Char('0'));
            const QString code = two(user) + u'-' + insurerPart + u'-' + two(day.month) + u'-' + two(day.day) + u'-' +
                                 QStringLiteral("%1").arg(counter, 4, 10, QLatin1Char('0'));
            // One to five lines, three on average.
            const double u = m_random.unit();
            const int lineCount = u < 0.12 ? 1 : u < 0.32 ? 2 : u < 0.68 ? 3 : u < 0.88 ? 4 : 5;
            double insurerSum = 0, patientSum = 0, freeSum = 0, goodsSum = 0;
            for (int row = 1; row <= lineCount; ++row) {
                const Goods& item = pickGoods();
                const double quantity = item.group == 1 ? double(1 + m_random.below(3)) * (m_random.chance(0.6) ? 10 : 1)
                                                        : double(1 + m_random.below(2));
                const double lineTotal = item.price * quantity;
                double insurerPart = 0, patientPart = 0, freePart = 0, goodsPart = 0;
                QString kind;
                if (item.group > 1) {
                    kind = goodsKind;
                    goodsPart = lineTotal;
                } else if (insurer <= 0 || m_random.chance(0.08)) {
                    kind = free;
                    freePart = lineTotal;
                } else {
                    kind = insured;
                    insurerPart = std::round(lineTotal * 0.7);
                    patientPart = lineTotal - insurerPart;
                }
                insurerSum += insurerPart;
                patientSum += patientPart;
                freeSum += freePart;
                goodsSum += goodsPart;
                lines.add({invoice, row, item.code, quantity, item.price, lineTotal, insurerPart, patientPart, freePart,
                           0.0, goodsPart, kind, 0, 0.0, patient.insuranceNumber, patient.insuranceNumber});
            }
            const double fee = outpatient ? 19500 : 0;
            const double payable = patientSum + freeSum + goodsSum + (staff ? 0 : fee);
            headings.add({invoice, code, date, date, patient.expiry, patient.name, patient.family,
                          patient.insuranceNumber, patient.insuranceNumber, 1 + m_random.below(60), outpatient ? 1 : 0,
                          outpatient ? QVariant() : QVariant(m_wards.at(m_random.below(m_wards.size()))), staff ? 1 : 0,
                          insurer, m_doctors[size_t(m_random.below(int(m_doctors.size())))].council,
                          m_types.at(m_random.below(m_types.size())), 0, user, payable, insurerSum, patientSum,
                          freeSum, 0.0, goodsSum, staff ? 0.0 : fee, staff ? 0.0 : fee});
            const QString at = time();
            const double cashTotal = patientSum + freeSum + goodsSum + fee;
            cash.add({invoice, QStringLiteral("d"), user, user, 1, date, at, date, at, patientSum, freeSum, 0.0, fee,
                      goodsSum, cashTotal, 0.0, lastDay ? 0 : 1, patient.family + QStringLiteral("  ") + patient.name});
            received += cashTotal;
            ++m_counts.prescriptions;
            ++sinceCommit;
        }
        for (qint64 n = 0; n < todayGoods; ++n) {
            ++goodsInvoice;
            const int user = m_users.at(m_random.below(m_users.size()));
            const int lineCount = 1 + m_random.below(3);
            double goodsSum = 0, otcFee = 0;
            for (int row = 0; row < lineCount; ++row) {
                const Goods& item = pickGoods();
                const double quantity = double(1 + m_random.below(3));
                const bool otc = item.group == 1;
                goodsLines.add({goodsInvoice, item.code, otc ? otcKind : goodsKind, quantity, item.price,
                                item.price * quantity});
                goodsSum += item.price * quantity;
                if (otc) otcFee += 2000;
            }
            const QString family = pick(m_random, kFamilies), name = pick(m_random, kNames);
            goodsHeadings.add({goodsInvoice, date, user, family, name, goodsSum, otcFee, goodsSum + otcFee});
            const QString at = time();
            cash.add({goodsInvoice, QStringLiteral("k"), user, user, 1, date, at, date, at, 0.0, 0.0, 0.0, 0.0, 0.0,
                      goodsSum + otcFee, 0.0, lastDay ? 0 : 1, family + u' ' + name});
            received += goodsSum + otcFee;
            ++m_counts.goodsInvoices;
        }
        // The till is closed at the end of every day but the last, which is still open.
        if (!lastDay)
            closings.add({m_users.first(), date, QStringLiteral("08:00"), date, QStringLiteral("23:00"), received, 0.0,
                          received});
        if (sinceCommit >= kPrescriptionsPerTransaction || lastDay) {
            commit();
            if (progress) progress(m_counts.prescriptions);
            sinceCommit = 0;
            if (!lastDay) transaction = std::make_unique<Transaction>(m_db);
        }
    }

    // The day counters as the saves leave them, so that new prescriptions go on from there.
    Transaction counters(m_db);
    BulkInsert counterRows(m_db, QStringLiteral("code_noskhe"),
                           {"code_bimeh", "rooz", "m1", "m2", "m3", "m4", "m5", "m6", "m7", "m8", "m9", "m10", "m11",
                            "m12"},
                           100);
    for (const auto& [insurer, byDay] : dayCounters) {
        for (int day = 1; day <= 31; ++day) {
            std::array<QVariant, 12> months;
            bool any = false;
            for (int month = 1; month <= 12; ++month) {
                const auto found = byDay.find(month * 32 + day);
                if (found != byDay.end()) {
                    months[size_t(month - 1)] = found->second;
                    any = true;
                }
            }
            if (any)
                counterRows.add({insurer, day, months[0], months[1], months[2], months[3], months[4], months[5],
                                 months[6], months[7], months[8], months[9], months[10], months[11]});
        }
    }
    counterRows.flush();
    counters.commit();

    m_counts.prescriptionLines = lines.written();
    m_counts.goodsLines = goodsLines.written();
    m_counts.cashRows = cash.written();
    m_counts.tillClosings = closings.written();
    m_db.refreshStatistics();
    return m_counts;
}

} // namespace

GenerateCounts generateDatabase(const QString& workingDir, const GenerateOptions& options, QTextStream& out,
                                const std::function<void(qint64)>& progress) {
    {
        QString err;
        QTextStream errStream(&err);
        const SystemClock clock;
        if (cli::demo(workingDir, clock, out, errStream) != 0) {
            errStream.flush();
            throw DbError(err.trimmed());
        }
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    if (db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toLongLong() > 0)
        throw DbError(QStringLiteral("the database already holds prescriptions"));
    if (db.settings().engine == Engine::Sqlite) {
        // Bulk loading only: the file is worthless if the machine stops half-way anyway.
        db.exec(QStringLiteral("pragma synchronous=off"));
        db.exec(QStringLiteral("pragma cache_size=-200000"));
    }
    return Generator(db, options).run(progress);
}

} // namespace ph
