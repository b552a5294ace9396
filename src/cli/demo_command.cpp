#include "cli/demo_command.h"

#include "admin/rights.h"
#include "admin/users.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "db/database.h"
#include "db/legacy_upgrades.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QHash>
#include <QRandomGenerator>

namespace ph::cli {

const char* const kDemoUsage =
    "  demo        fill an empty database with a small working set (drugs and goods with\n"
    "              stock, insurers with contracts and drug rules, a tariff, doctors, wards,\n"
    "              prescription types and two users whose passwords are printed once);\n"
    "              refuses a database that already holds goods, insurers, users or any of\n"
    "              the lists and registers it fills\n";

namespace {

constexpr int kPharmacyUnit = 20;
constexpr int kSocialSecurity = 1; // the social-security insurer's code

struct Named {
    int code;
    const char* name;
};

const Named kGroups[] = {{1, "دارويي"}, {2, "آرايشي و بهداشتي"}, {3, "لوازم پزشكي"}, {4, "مكمل و غذايي"}};

struct Form {
    int code;
    const char* name;
    const char* groups; // the goods groups the form belongs to (g1..g5)
};

const Form kForms[] = {
    {1, "قرص", "14"},   {2, "كپسول", "14"}, {3, "شربت", "1"},    {4, "آمپول", "1"},  {5, "قطره", "1"},
    {6, "پماد", "1"},   {7, "كرم", "12"},   {8, "اسپري", "1"},   {9, "شياف", "1"},   {10, "ويال", "1"},
    {11, "ساشه", "14"}, {12, "شامپو", "2"}, {13, "لوسيون", "2"}, {14, "وسيله", "3"}, {15, "بسته", "234"},
};

struct Item {
    const char* key; // how the rules below name the item
    int group;
    int form;
    const char* name;
    const char* latin;
    double price; // Rials a unit
    double stock; // units in the pharmacy
};

const Item kItems[] = {
    {"acetaminophen", 1, 1, "استامينوفن 500", "Acetaminophen 500 mg", 1800, 3000},
    {"ibuprofen", 1, 1, "ايبوپروفن 400", "Ibuprofen 400 mg", 3200, 2000},
    {"amlodipine", 1, 1, "آملوديپين 5", "Amlodipine 5 mg", 1500, 1500},
    {"atorvastatin", 1, 1, "آتورواستاتين 20", "Atorvastatin 20 mg", 4800, 1200},
    {"metformin", 1, 1, "متفورمين 500", "Metformin 500 mg", 1200, 2500},
    {"losartan", 1, 1, "لوزارتان 25", "Losartan 25 mg", 1900, 1800},
    {"levothyroxine", 1, 1, "لووتيروكسين 100", "Levothyroxine 100 mcg", 1100, 1000},
    {"sertraline", 1, 1, "سرترالين 50", "Sertraline 50 mg", 3900, 600},
    {"aspirin", 1, 1, "آسپرين 80", "Aspirin 80 mg", 600, 4000},
    {"cetirizine", 1, 1, "سيتريزين 10", "Cetirizine 10 mg", 1300, 900},
    {"prednisolone", 1, 1, "پردنيزولون 5", "Prednisolone 5 mg", 900, 1000},
    {"warfarin", 1, 1, "وارفارين 5", "Warfarin 5 mg", 2300, 500},
    {"clopidogrel", 1, 1, "كلوپيدوگرل 75", "Clopidogrel 75 mg", 6500, 700},
    {"amoxicillin", 1, 2, "آموكسي سيلين 500", "Amoxicillin 500 mg", 4200, 2000},
    {"omeprazole", 1, 2, "امپرازول 20", "Omeprazole 20 mg", 3500, 1500},
    {"cephalexin", 1, 2, "سفالكسين 500", "Cephalexin 500 mg", 5100, 1000},
    {"fluoxetine", 1, 2, "فلوكستين 20", "Fluoxetine 20 mg", 2600, 800},
    {"acetaminophen_syrup", 1, 3, "شربت استامينوفن", "Acetaminophen 120 mg/5 ml syrup", 45000, 80},
    {"diphenhydramine", 1, 3, "شربت ديفن هيدرامين", "Diphenhydramine syrup", 38000, 60},
    {"amoxicillin_susp", 1, 3, "سوسپانسيون آموكسي سيلين 250", "Amoxicillin 250 mg/5 ml suspension", 120000,
     50},
    {"expectorant", 1, 3, "شربت اكسپكتورانت", "Expectorant syrup", 42000, 60},
    {"diclofenac_amp", 1, 4, "آمپول ديكلوفناك 75", "Diclofenac 75 mg/3 ml", 18000, 200},
    {"dexamethasone", 1, 4, "آمپول دگزامتازون 8", "Dexamethasone 8 mg/2 ml", 14000, 200},
    {"b12", 1, 4, "آمپول ويتامين ب 12", "Cyanocobalamin 1000 mcg", 16000, 150},
    {"betamethasone_drop", 1, 5, "قطره چشمي بتامتازون", "Betamethasone 0.1% eye drop", 95000, 40},
    {"iron_drop", 1, 5, "قطره آهن", "Ferrous sulfate drop", 110000, 40},
    {"ad_drop", 1, 5, "قطره ويتامين آ د", "Vitamin A+D drop", 130000, 40},
    {"mupirocin", 1, 6, "پماد موپيروسين", "Mupirocin 2% ointment", 165000, 30},
    {"hydrocortisone", 1, 6, "پماد هيدروكورتيزون", "Hydrocortisone 1% ointment", 78000, 30},
    {"clotrimazole", 1, 7, "كرم كلوتريمازول", "Clotrimazole 1% cream", 85000, 30},
    {"salbutamol", 1, 8, "اسپري سالبوتامول", "Salbutamol 100 mcg inhaler", 290000, 40},
    {"beclomethasone", 1, 8, "اسپري بيني بكلومتازون", "Beclomethasone nasal spray", 380000, 25},
    {"acetaminophen_supp", 1, 9, "شياف استامينوفن 325", "Acetaminophen 325 mg suppository", 9000, 300},
    {"diclofenac_supp", 1, 9, "شياف ديكلوفناك 100", "Diclofenac 100 mg suppository", 11000, 300},
    {"ceftriaxone", 1, 10, "ويال سفترياكسون 1 گرم", "Ceftriaxone 1 g vial", 95000, 120},
    {"insulin", 1, 10, "ويال انسولين NPH", "Insulin NPH 100 IU/ml vial", 850000, 40},
    {"ors", 1, 11, "پودر او آر اس", "Oral rehydration salts", 12000, 200},
    {"vitamin_e", 4, 2, "ويتامين E 400", "Vitamin E 400 IU", 2800, 600},
    {"vitamin_d", 4, 2, "ويتامين D3 1000", "Vitamin D3 1000 IU", 3500, 600},
    {"multivitamin", 4, 1, "مولتي ويتامين", "Multivitamin", 4500, 600},
    {"omega3", 4, 2, "امگا 3", "Omega-3 1000 mg", 5200, 600},
    {"calcium", 4, 1, "كلسيم د", "Calcium + vitamin D", 2900, 600},
    {"infant_formula", 4, 15, "شير خشك نوزاد", "Infant formula 400 g", 2450000, 20},
    {"baby_shampoo", 2, 12, "شامپو بچه", "Baby shampoo", 1450000, 15},
    {"dandruff_shampoo", 2, 12, "شامپو ضد شوره", "Anti-dandruff shampoo", 1900000, 15},
    {"sunscreen", 2, 13, "لوسيون ضد آفتاب", "Sunscreen lotion SPF 50", 3200000, 12},
    {"moisturising_lotion", 2, 13, "لوسيون مرطوب كننده", "Moisturising lotion", 1600000, 12},
    {"hand_cream", 2, 7, "كرم مرطوب كننده دست", "Hand cream", 950000, 20},
    {"diapers", 2, 15, "پوشك بچه سايز 4", "Baby diapers size 4", 3600000, 10},
    {"wet_wipes", 2, 15, "دستمال مرطوب", "Wet wipes", 450000, 30},
    {"toothbrush", 2, 15, "مسواك", "Toothbrush", 380000, 30},
    {"toothpaste", 2, 15, "خمير دندان", "Toothpaste", 650000, 30},
    {"syringe", 3, 14, "سرنگ 5 سي سي", "Syringe 5 ml", 25000, 500},
    {"gloves", 3, 14, "دستكش لاتكس", "Latex gloves, box of 100", 1200000, 20},
    {"gauze", 3, 14, "گاز استريل", "Sterile gauze", 45000, 200},
    {"bandage", 3, 14, "باند كشي", "Elastic bandage", 180000, 50},
    {"plasters", 3, 14, "چسب زخم", "Adhesive plasters, pack", 220000, 50},
    {"masks", 3, 14, "ماسك سه لايه", "Surgical masks, pack of 50", 350000, 40},
    {"thermometer", 3, 14, "دماسنج ديجيتال", "Digital thermometer", 1100000, 10},
    {"bp_monitor", 3, 14, "فشارسنج ديجيتال", "Digital blood pressure monitor", 18500000, 3},
    {"glucose_strips", 3, 14, "نوار تست قند خون", "Blood glucose test strips, 50", 1650000, 15},
};

struct Insurer {
    int code;
    const char* name;
    const char* claimCode;
    const char* pharmacyCode;
    double percent;
    bool feeInCommitment;
    double gpApproval, gpAddress, specialistApproval, specialistAddress, subApproval, subAddress, midwife,
        dentist;
};

const Insurer kInsurers[] = {
    {kSocialSecurity, "تامين اجتماعي", "1", "21345", 70, true, 3000000, 2000000, 6000000, 4000000, 10000000,
     7000000, 2000000, 2500000},
    {2, "بيمه سلامت", "2", "31457", 70, true, 2500000, 1500000, 5000000, 3500000, 8000000, 6000000, 1500000,
     2000000},
    {3, "نيروهاي مسلح", "3", "41268", 90, false, 4000000, 3000000, 8000000, 5000000, 12000000, 9000000,
     2500000, 3000000},
};

struct Rule {
    int insurer;
    const char* item;
    int limitKind; // 0 none, 1 quantity, 2 tariff
    double quantity;
    double tariff;
    int specialty;
    bool hospitalOnly;
    bool notCovered;
    double deduct;
};

const Rule kRules[] = {
    {kSocialSecurity, "atorvastatin", 1, 30, 0, 0, false, false, 0},
    {kSocialSecurity, "insulin", 2, 0, 600000, 0, false, false, 0},
    {kSocialSecurity, "salbutamol", 0, 0, 0, 4, false, false, 0},
    {kSocialSecurity, "ceftriaxone", 0, 0, 0, 0, true, false, 0},
    {kSocialSecurity, "vitamin_e", 0, 0, 0, 0, false, true, 0},
    {kSocialSecurity, "sertraline", 0, 0, 0, 0, false, false, 90},
    {2, "clopidogrel", 1, 30, 0, 0, false, false, 0},
    {2, "omeprazole", 2, 0, 3000, 0, false, false, 0},
    {2, "mupirocin", 0, 0, 0, 0, false, true, 0},
    {2, "dexamethasone", 0, 0, 0, 0, true, false, 0},
    {3, "amoxicillin", 1, 20, 0, 0, false, false, 0},
    {3, "beclomethasone", 0, 0, 0, 10, false, false, 0},
    {3, "insulin", 0, 0, 0, 0, false, false, 95},
};

// Codes 1, 2, 3, 4 and 10 carry the meanings dispensing gives them.
const Named kSpecialties[] = {{1, "پزشك عمومي"},  {2, "مامايي"},           {3, "دندانپزشك"},
                              {4, "متخصص"},       {5, "متخصص كودكان"},     {6, "متخصص زنان و زايمان"},
                              {7, "متخصص داخلي"}, {8, "متخصص قلب و عروق"}, {9, "متخصص پوست"},
                              {10, "فوق تخصص"}};

struct DoctorRow {
    const char* name;
    const char* family;
    const char* councilNumber;
    int specialty;
};

const DoctorRow kDoctors[] = {
    {"علي", "محمدي", "45213", 1},  {"مريم", "احمدي", "51872", 1},  {"حسين", "رضايي", "38804", 1},
    {"زهرا", "كريمي", "62417", 4}, {"رضا", "حسيني", "29536", 4},   {"فاطمه", "موسوي", "70122", 6},
    {"محمد", "جعفري", "33690", 7}, {"سارا", "صادقي", "81345", 5},  {"امير", "نوري", "27781", 10},
    {"نرگس", "قاسمي", "90014", 2}, {"بهرام", "رحيمي", "56420", 3}, {"ليلا", "اكبري", "64893", 9},
};

const Named kWards[] = {{1, "داخلي"},         {2, "جراحي"},   {3, "كودكان"},
                        {4, "زنان و زايمان"}, {5, "اورژانس"}, {6, "مراقبت هاي ويژه"}};

const Named kPrescriptionTypes[] = {{1, "عادي"}, {2, "بستري"}, {3, "اورژانس"}, {4, "سرپايي بيمارستاني"}};

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// A password of 12 characters that are hard to confuse when read from the screen.
QString randomPassword() {
    static const QString alphabet = QStringLiteral("abcdefghjkmnpqrstuvwxyzABCDEFGHJKMNPQRSTUVWXYZ23456789");
    QString password;
    for (int i = 0; i < 12; ++i)
        password.append(alphabet.at(int(QRandomGenerator::system()->bounded(quint32(alphabet.size())))));
    return password;
}

bool hasRows(Database& db, const QString& table) {
    return db.exec(db.dialect().selectLimited(QStringLiteral("1 from ") + table, 1)).next();
}

// Whether the user has filled the table: the compounded drugs' form, which the schema gives
// every database, is not the user's.
bool hasUserRows(Database& db, const QString& table) {
    if (table != QLatin1String("type_kala")) return hasRows(db, table);
    return db.exec(db.dialect().selectLimited(QStringLiteral("1 from type_kala where code<>?"), 1),
                   {kCompoundedFormCode})
        .next();
}

struct Written {
    int items = 0;
    int rules = 0;
    QString from;
    QString to;
    QList<UserRecord> users;
};

// The goods groups, the drugs and goods with their stock, and the forms; the goods codes by
// item key.
QHash<QString, double> writeCatalogue(Database& db, Written& written) {
    for (const Named& group : kGroups)
        db.exec(QStringLiteral("insert into group_kala (code, name) values (?, ?)"),
                {group.code, utf8(group.name)});

    // Goods codes: group x 1,000,000 + form x 10,000 + the form's running counter.
    QHash<int, int> counters;
    QHash<QString, double> codes;
    qint64 nationalCode = 6260100000001;
    for (const Item& item : kItems) {
        const int counter = ++counters[item.form];
        const double code = item.group * 1000000.0 + item.form * 10000.0 + counter;
        codes.insert(QString::fromLatin1(item.key), code);
        db.exec(
            QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, group_code, "
                           "type_code, code_tow, code_sh, price_u, flag) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {code, utf8(item.name), utf8(item.latin), item.group, item.form, double(nationalCode), 0,
             item.price, 1});
        db.exec(QStringLiteral(
                    "insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, ?, ?, ?)"),
                {code, kPharmacyUnit, item.stock, item.price});
        nationalCode += 7919; // spread out, as real national codes are
        ++written.items;
    }
    for (const Form& form : kForms) {
        QVariantList values = {form.code, utf8(form.name), counters.value(form.code)};
        for (char group = '1'; group <= '5'; ++group)
            values.append(QByteArray(form.groups).contains(group) ? 1 : 0);
        db.exec(QStringLiteral("insert into type_kala (code, name, num, g1, g2, g3, g4, g5) "
                               "values (?, ?, ?, ?, ?, ?, ?, ?)"),
                values);
    }
    return codes;
}

// The insurers with their contract of the two years, their drug rules and the tariff period.
void writeInsurers(Database& db, Written& written, const QHash<QString, double>& codes) {
    for (const Insurer& insurer : kInsurers) {
        db.exec(QStringLiteral("insert into organs_m (code, name, code_bimeh, code_pharmacy, orj_flag) "
                               "values (?, ?, ?, ?, 0)"),
                {insurer.code, utf8(insurer.name), utf8(insurer.claimCode), utf8(insurer.pharmacyCode)});
        db.exec(QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, goksaghf, gadresssag, "
                               "toksaghf, tadresssag, foghok, foghaddress, msaghf, dsaghf, fani_flag) "
                               "values (?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {insurer.code, written.from, written.to, insurer.percent, insurer.gpApproval,
                 insurer.gpAddress, insurer.specialistApproval, insurer.specialistAddress,
                 insurer.subApproval, insurer.subAddress, insurer.midwife, insurer.dentist,
                 insurer.feeInCommitment ? 1 : 0});
    }
    for (const Rule& rule : kRules) {
        db.exec(QStringLiteral(
                    "insert into bimeh_daru (code_bimeh, code_kala, ty_no, qu, mab, madrak, bimarestani, "
                    "non_bimeh, deduct) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {rule.insurer, codes.value(QString::fromLatin1(rule.item)), rule.limitKind, rule.quantity,
                 rule.tariff, rule.specialty, rule.hospitalOnly ? 1 : 0, rule.notCovered ? 1 : 0,
                 rule.deduct});
        ++written.rules;
    }
    db.exec(
        QStringLiteral("insert into tarefeh (from_d, to_d, mab_fani_saghf, mab_day_down, mab_day_up, "
                       "mab_night_down, mab_night_up, percent_otc, mab_max_otc, mab_orj, mab_orj_down, "
                       "mab_orj_up, ord) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"),
        {written.from, written.to, 1000000, 60000, 90000, 80000, 120000, 10, 50000, 2000000, 100000, 150000});
}

// The specialties, the doctors, the wards and the prescription types.
void writeRegisters(Database& db) {
    for (const Named& specialty : kSpecialties)
        db.exec(QStringLiteral("insert into doctor_type (code, doc_type) values (?, ?)"),
                {specialty.code, utf8(specialty.name)});
    int doctorCode = int(db.scalar(QStringLiteral("select max(code) from doctor_s")).toInt());
    for (const DoctorRow& doctor : kDoctors)
        db.exec(QStringLiteral(
                    "insert into doctor_s (code, name, family, order1, typeno) values (?, ?, ?, ?, ?)"),
                {++doctorCode, utf8(doctor.name), utf8(doctor.family), utf8(doctor.councilNumber),
                 doctor.specialty});
    for (const Named& ward : kWards)
        db.exec(QStringLiteral("insert into place (code, name, active) values (?, ?, 1)"),
                {ward.code, utf8(ward.name)});
    for (const Named& type : kPrescriptionTypes)
        db.exec(QStringLiteral("insert into type_noskhe (code, name) values (?, ?)"),
                {type.code, utf8(type.name)});
}

// The pharmacy's identity when it has none, and the settings row.
void writeSettings(Database& db) {
    if (!hasRows(db, QStringLiteral("onvan_darou")))
        db.exec(
            QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed, fani_nezam) values (?, ?, ?)"),
            {1001, QStringLiteral("داروخانه نمونه"), QStringLiteral("54321")});
    const QString taminCodes = QString::number(kSocialSecurity);
    if (hasRows(db, QStringLiteral("tanzimat")))
        db.exec(QStringLiteral("update tanzimat set tamincode=?"), {taminCodes});
    else
        db.exec(
            QStringLiteral("insert into tanzimat (p_noskhe, p_factor, message_taeed, message_address, payam, "
                           "price, code_kala, code_sh, cash, flag_cash, code_cash, mode, tamincode) "
                           "values (0, 0, 1, 1, ?, 0, 1, 0, 0, 0, ?, ?, ?)"),
            {QString(), QString(), QStringLiteral("Single"), taminCodes});
}

// The two users: the manager with every right and a counter clerk with the sale rights.
void writeUsers(Database& db, Written& written) {
    UserRecord admin{1, QStringLiteral("مدير داروخانه"), randomPassword(), {}};
    for (std::string_view flag : kRightFlags)
        admin.rights.insert(QString::fromLatin1(flag.data(), qsizetype(flag.size())), true);
    UserRecord counter{2, QStringLiteral("كاربر پيشخوان"), randomPassword(), {}};
    for (const char* flag : {"froosh_d", "froosh_k", "save_b", "edit_b", "pass_ta"})
        counter.rights.insert(QString::fromLatin1(flag), true);
    UserStore users(db, AuditOrigin::here(0, QStringLiteral("pharmacyctl demo")));
    for (const UserRecord& user : {admin, counter})
        if (users.add(user) != UserStore::AddResult::Added)
            throw Error(QStringLiteral("the demo user %1 could not be added").arg(user.code));
    written.users = {admin, counter};
}

Written writeDemo(Database& db, const QString& today) {
    Written written;
    const int year = today.left(2).toInt();
    written.from = QStringLiteral("%1/01/01").arg(year, 2, 10, QLatin1Char('0'));
    written.to = QStringLiteral("%1/12/29").arg((year + 1) % 100, 2, 10, QLatin1Char('0'));

    const QHash<QString, double> codes = writeCatalogue(db, written);
    writeInsurers(db, written, codes);
    writeRegisters(db);
    writeSettings(db);
    writeUsers(db, written);
    return written;
}

} // namespace

int demo(const QString& workingDir, const Clock& clock, QTextStream& out, QTextStream& err) {
    Database db(readConnectionSettings(workingDir));
    db.open();
    Schema(db).ensure();
    upgradeUsersTable(db);
    upgradeSettingsTable(db);

    Transaction transaction(db);
    // Every table demo fills (the identity and the settings row apart, which it completes): its
    // rows mixed into a register or list kept already would collide with or duplicate them.
    for (const char* table :
         {"mosh_kala_anbar", "moj_kala_vah", "group_kala", "type_kala", "organs_m", "organs_s", "bimeh_daru",
          "tarefeh", "doctor_type", "doctor_s", "place", "type_noskhe", "u_pharmacy"}) {
        if (hasUserRows(db, QString::fromLatin1(table))) {
            err << "pharmacyctl demo: the database already holds data (" << table
                << " is not empty); demo fills only an empty database, and nothing was changed\n";
            return 1;
        }
    }
    const Written written = writeDemo(db, todayJalaliText(clock));
    transaction.commit();
    db.refreshStatistics(); // the planner learns the new tables' sizes at once

    const ConnectionSettings& where = db.settings();
    const QString place = where.engine == Engine::Sqlite
                              ? QStringLiteral("the %1 database %2").arg(engineDisplayName(where.engine), where.database)
                              : QStringLiteral("the %1 database %2 on %3")
                                    .arg(engineDisplayName(where.engine), where.database,
                                         where.server.isEmpty() ? QStringLiteral("(local)") : where.server);
    out << "demo data written to " << place << ":\n"
        << "  " << written.items << " drugs and goods in " << std::size(kGroups) << " groups and "
        << std::size(kForms) << " forms, with pharmacy stock (unit " << kPharmacyUnit << ")\n"
        << "  " << std::size(kInsurers) << " insurers (social security: code " << kSocialSecurity
        << ") with contracts from " << written.from << " to " << written.to << ", " << written.rules
        << " insurer-drug rules, 1 tariff period\n"
        << "  " << std::size(kSpecialties) << " specialties, " << std::size(kDoctors) << " doctors, "
        << std::size(kWards) << " wards, " << std::size(kPrescriptionTypes) << " prescription types\n"
        << "users (the passwords are shown this once only; change them after signing in):\n";
    for (const UserRecord& user : written.users)
        out << "  code " << user.code << "  " << user.name << "  password: " << user.password << "\n";
    return 0;
}

} // namespace ph::cli
