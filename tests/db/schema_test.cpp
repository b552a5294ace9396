#include "db/legacy_upgrades.h"
#include "db/schema.h"
#include "db/sql_dialect.h"
#include "support/test_database.h"

#include "db/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QTest>

#include <memory>
#include <vector>

using namespace ph;
using ph::test::TestDatabase;

namespace {

// The tables and views with the columns the windows, reports and claim files read.
const char* const kExpectedColumns[] = {
    "u_pharmacy: code name pass group_k type_k darou1 darou2 hamrah moadel hesab formul type_fo mat vahed bimeh "
    "bimehdarou tarefe type_no takh doctor froosh_d froosh_k tanzim phar cash cashier anbar havaleh list_b disk_b "
    "gcash gfroosh g1 g2 access user_new pass_ta save_b delete_b edit_b tarif15",
    "tanzimat: p_noskhe p_factor message_taeed message_address payam price code_kala code_sh cash flag_cash "
    "code_cash mode TaminCode",
    "tanzimat_bimeh: code_bimeh custom defult1 defult2 x_noskhe y_noskhe x_price y_price x_koll y_koll x_bimar "
    "y_bimar x_azad y_azad x_pardakht y_pardakht",
    "onvan_darou: code_vahed onvan_vahed fani_nezam mojodi",
    "mosh_kala_anbar: code_kala name_kala name_kala_latin group_code type_code code_tow code_sh price_u flag",
    "moj_kala_vah: code_kala code_vah moj_vah price_u",
    "moj_kala_anbar: code_kala",
    "type_kala: code name num g1 g2 g3 g4 g5",
    "group_kala: code name",
    "moadel_kala: code_kala code_moadel",
    "hamrah_kala: code_kala code_kala_h condition",
    "hoteling: code_bimeh code_kala",
    "material: code_mat name_mat name_tejari name_latin vahed price",
    "vahed_madeh: code name",
    "type_formul: code name fani khadamat code_meli",
    "heading_formul_darou: code_darou name_darou name_latin code_type_formul fani khadamat price_koll_bimeh "
    "price_koll_azad sum_koll code_dastoor code_negahdari code_payam",
    "details_formul_darou: code_darou code_mat vaziat meghdar price price_koll",
    "dastoor_darou: code sharh active",
    "negahdari_darou: code sharh active",
    "payam_darou: code sharh active",
    "place: code name active",
    "organs_m: code name code_bimeh code_pharmacy orj_flag",
    "organs_s: code row from_d to_d deduct goksaghf gadresssag toksaghf tadresssag foghok foghaddress msaghf "
    "dsaghf fani_flag",
    "bimeh_daru: code_bimeh code_kala ty_no qu mab madrak bimarestani non_bimeh Deduct",
    "tarefeh: from_d to_d mab_fani_saghf mab_day_down mab_day_up mab_night_down mab_night_up percent_otc "
    "mab_max_otc mab_orj mab_orj_down mab_orj_up",
    "doctor_s: code name family order1 typeno",
    "doctor_type: code doc_type",
    "type_noskhe: code name",
    "mosh_bimaran: code sh_bimeh InsNoTamin name_b family_b code_bimeh date_bimeh",
    "heading_noskhe: sh_factor code_no date_no date_sabt date_bimeh name_b family_b sh_bimeh InsNoTamin sh_safhe "
    "paz_type code_bakhsh sh_darkhast personel code_bimeh nezam_p type_no flag_taeed code_opr code price_koll "
    "price_bimeh price_bimar price_azad price_otc price_kala fani fani2 fani_flag",
    "details_noskhe: sh_factor row code_darou tedad price_one price_koll sazman bimar azad otc kala vaziat "
    "flag_moadel code_darou_main tedad_darou_main price_darou_main price_h sh_bimeh InsNoTamin price_kol price",
    "code_noskhe: code_bimeh rooz m1 m2 m3 m4 m5 m6 m7 m8 m9 m10 m11 m12",
    "heading_froosh_kala: sh_factor date_sabt code_opr family name price_koll price_otc price_koll_f",
    "details_froosh_kala: sh_factor code_kala vaziat tedad price price_koll",
    "details_froosh_sakhtani: sh_factor code_darou dastoor negahdari payam",
    "heading_masrafi: sh_factor date_sabt date_no code_opr sh_darkhast code_bakhsh price_koll",
    "details_masrafi: sh_factor code_darou tedad price_one price_koll vaziat",
    "cash: sh_factor type_factor code_opr code_cashier flag_pa date_no time_no date_pa time_pa bimar azad otc "
    "fani kala koll_daryaft koll_bargasht ekhtetam family_b",
    "ekhtetam: code_cashier date_first time_first date_end time_end koll_daryaft koll_bargasht khales",
    "mosh_havaleh: NUM_H CODE_ANBAR YEAR1 code_vah taeed_darou DATE_SOD PRICE_KOL",
    "kala_havaleh: NUM_H CODE_ANBAR YEAR1 code_kala price_u qu DATE_EXPS",
    "mosh_bargasht_b: NUM_B CODE_ANBAR YEAR1 code_vah taeed_daro date_b price_kol",
    "kala_bargasht_b: NUM_B CODE_ANBAR YEAR1 code_kala price_u qu DATE_EXPS",
    "g_froosh: code_darou tedad price date_sabt",
    "audit_log: seq changed_at user_code host source kind doc_key changes prev_hash hash",
    "list_koli: count name_b family_b sh_bimeh nezam_p date_no kol price_bimeh price_bimar name_p family_p list",
    // Views.
    "V_see_noskhe: sh_factor date_no date_sabt date_bimeh code_no code_bimeh InsNoTamin sh_darkhast code_bakhsh "
    "paz_type personel name_b family_b sh_safhe sh_bimeh nezam_p type_no price_bimar price_bimeh price_azad "
    "price_koll price_otc fani price_kala code_darou name_kala name group_code name_group vaziat tedad price_one "
    "price_koll1 sazman bimar azad otc kala price_h flag_moadel code_darou_main tedad_darou_main price_darou_main",
    "V_list_bimeh: sh_factor paz_type date_no date_sabt date_bimeh code_no code_bimeh type_no typeno doc_type "
    "flag_taeed name_b family_b sh_bimeh InsNoTamin sh_safhe nezam_p name_p name_p1 family_p koll price_bimeh "
    "price_bimar code",
    "v_see_froosh_kala: sh_factor date_sabt name family price_koll_f price_koll price_otc name_kala code_kala "
    "name_type vaziat tedad price price_koll1",
    "v_see_masrafi: sh_factor date_sabt code_bakhsh sh_darkhast price_koll name_kala code_darou name vaziat tedad "
    "price_one price_koll1",
    "V_see_formul: code_darou name_darou name_mat code_mat name vaziat meghdar price price_koll1",
    "v_barchasb_sakhtani: code_darou dastoor negahdari payam name_mat meghdar name",
    "v_g_froosh: code_darou name_kala name tedad price date_sabt",
    "v_g_masraf_pe: code_darou name_kala name tedad price_koll date_no order1",
    "v_g_masraf_b: code_darou name_kala name tedad price_koll sazman bimar date_no code",
};

QStringList resultColumns(Database& db, const QString& table) {
    // Selecting through the spelling the program uses proves the name resolves.
    const QSqlRecord record = db.exec(QStringLiteral("select * from %1 where 1=0").arg(table)).record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names.append(record.fieldName(i).toLower());
    return names;
}

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTableAndViewWithItsColumns();
    void ensureIsIdempotentAndKeepsData();
    void uniqueKeysRefuseDuplicates();
    void viewsJoinTheirRows();
    void usersTableUpgrade();
    void settingsTableUpgrade();
    void threeWorkstationsCreateANewDatabaseAtOnce();
    void olderDatabaseGetsTheNewIndexes();
    void compoundedFormOnEveryDatabase_data();
    void compoundedFormOnEveryDatabase();
    void startBesideAWritingWorkstationDoesNotWait();
};

void SchemaTest::everyTableAndViewWithItsColumns() {
    TestDatabase t;
    Schema(t.db()).ensure();
    QCOMPARE(Schema(t.db()).storedVersion(), Schema::kCurrentVersion);
    for (const char* line : kExpectedColumns) {
        const QString text = QString::fromLatin1(line);
        const QString table = text.section(u':', 0, 0);
        const QStringList expected = text.section(u':', 1).simplified().toLower().split(u' ');
        const QStringList actual = resultColumns(t.db(), table);
        for (const QString& column : expected)
            QVERIFY2(actual.contains(column), qPrintable(table + u'.' + column + QStringLiteral(" is missing")));
    }
    QCOMPARE(resultColumns(t.db(), QStringLiteral("u_pharmacy")).size(), 43);
    QCOMPARE(resultColumns(t.db(), QStringLiteral("Tanzimat")).size(), 13);
}

void SchemaTest::ensureIsIdempotentAndKeepsData() {
    TestDatabase t;
    Schema(t.db()).ensure();
    t.db().exec(QStringLiteral("insert into group_kala (code, name) values (?, ?)"), {1, QStringLiteral("دارو")});
    QVERIFY(!Schema(t.db()).needsWork());
    // A current version does not hide what is missing or left over: a view, an index, a
    // retired index.
    t.db().exec(QStringLiteral("drop view v_g_froosh"));
    t.db().exec(QStringLiteral("drop index ix_heading_noskhe_date_sabt"));
    t.db().exec(QStringLiteral("create index ix_heading_noskhe_sh_bimeh on heading_noskhe (sh_bimeh)"));
    QVERIFY(Schema(t.db()).needsWork());
    Schema(t.db()).ensure();
    QCOMPARE(t.db().scalar(QStringLiteral("select name from group_kala where code=?"), {1}).toString(),
             QStringLiteral("دارو"));
    QVERIFY(t.db().hasTable(QStringLiteral("v_g_froosh")));
    const QStringList indexes = t.db().indexNames();
    QVERIFY(indexes.contains(QStringLiteral("ix_heading_noskhe_date_sabt")));
    QVERIFY(!indexes.contains(QStringLiteral("ix_heading_noskhe_sh_bimeh")));
    QVERIFY(!Schema(t.db()).needsWork());
}

void SchemaTest::uniqueKeysRefuseDuplicates() {
    TestDatabase t;
    Schema(t.db()).ensure();
    const struct {
        const char* insert;
        QVariantList first;
    } cases[] = {
        {"insert into heading_noskhe (sh_factor) values (?)", {7}},
        {"insert into heading_froosh_kala (sh_factor) values (?)", {7}},
        {"insert into heading_masrafi (sh_factor) values (?)", {7}},
        {"insert into code_noskhe (code_bimeh, rooz, m1) values (?, ?, 1)", {3, 12}},
        {"insert into mosh_kala_anbar (code_kala, name_kala) values (?, 'x')", {1070001.0}},
        {"insert into u_pharmacy (code, name) values (?, 'x')", {1}},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromLatin1(c.insert);
        t.db().exec(sql, c.first);
        try {
            t.db().exec(sql, c.first);
            QFAIL(qPrintable(QStringLiteral("a duplicate key was stored: ") + sql));
        } catch (const DbError& error) {
            QVERIFY2(error.isUniqueViolation(), qPrintable(error.message()));
        }
    }
}

void SchemaTest::viewsJoinTheirRows() {
    TestDatabase t;
    Database& db = t.db();
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into type_kala (code, name, num) values (7, 'قرص', 1)"));
    db.exec(QStringLiteral("insert into group_kala (code, name) values (1, 'دارو')"));
    db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code) values (1070001, 'آموکسی سیلین', 1, 7)"));
    db.exec(QStringLiteral("insert into doctor_type (code, doc_type) values (4, 'عمومی')"));
    db.exec(QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (1, 'علی', 'رضایی', '12345', 4)"));
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_no, paz_type, code_bimeh, nezam_p, price_koll, price_bimeh, price_bimar) "
                           "values (1, '05/09/19', 1, 2, '12345', 1000, 700, 300)"));
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad, price_one, price_koll) values (1, 1, 1070001, 2, 500, 1000)"));

    Rows line = db.exec(QStringLiteral("select name_kala, name, name_group, price_koll1 from V_see_noskhe where sh_factor=?"), {1});
    QVERIFY(line.next());
    QCOMPARE(line.value(0).toString(), QStringLiteral("آموکسی سیلین"));
    QCOMPARE(line.value(1).toString(), QStringLiteral("قرص"));
    QCOMPARE(line.value(2).toString(), QStringLiteral("دارو"));
    QCOMPARE(line.value(3).toDouble(), 1000.0);

    Rows list = db.exec(QStringLiteral("select name_p, name_p1, family_p, doc_type, koll from V_list_bimeh where sh_factor=?"), {1});
    QVERIFY(list.next());
    QCOMPARE(list.value(0).toString(), QStringLiteral("علی رضایی"));
    QCOMPARE(list.value(1).toString(), QStringLiteral("علی"));
    QCOMPARE(list.value(2).toString(), QStringLiteral("رضایی"));
    QCOMPARE(list.value(3).toString(), QStringLiteral("عمومی"));
    QCOMPARE(list.value(4).toDouble(), 1000.0);
    QVERIFY(!list.next());
}

void SchemaTest::usersTableUpgrade() {
    TestDatabase t;
    Database& db = t.db();
    // The older layout: the 36 flags before phar was added, and tanzim_p.
    QStringList columns = {QStringLiteral("code integer"), QStringLiteral("name varchar(50)"), QStringLiteral("pass text")};
    for (int i = 1; i <= 36; ++i)
        columns.append(QStringLiteral("f%1 smallint").arg(i));
    columns.append(QStringLiteral("tanzim_p smallint"));
    db.exec(QStringLiteral("create table u_pharmacy (%1)").arg(columns.join(u',')));
    db.exec(QStringLiteral("insert into u_pharmacy (code, name, pass, tanzim_p) values (1, 'x', 'y', 1)"));
    QCOMPARE(resultColumns(db, QStringLiteral("u_pharmacy")).size(), 40);

    QVERIFY(upgradeUsersTable(db));
    const QStringList after = resultColumns(db, QStringLiteral("u_pharmacy"));
    QCOMPARE(after.size(), 41);
    QVERIFY(!after.contains(QStringLiteral("tanzim_p")));
    QCOMPARE(after.mid(39), (QStringList{QStringLiteral("tarif15"), QStringLiteral("phar")}));
    QCOMPARE(db.scalar(QStringLiteral("select phar from u_pharmacy where code=1")).toInt(), 0);
    // The current layout is left alone.
    QVERIFY(!upgradeUsersTable(db));
    QCOMPARE(resultColumns(db, QStringLiteral("u_pharmacy")).size(), 41);
}

void SchemaTest::settingsTableUpgrade() {
    TestDatabase t;
    Database& db = t.db();
    db.exec(QStringLiteral("create table tanzimat (p_noskhe smallint, p_factor smallint, message_taeed smallint, "
                           "message_address smallint, payam text, price smallint, code_kala smallint, code_sh smallint, "
                           "cash smallint, flag_cash smallint, code_cash text)"));
    db.exec(QStringLiteral("insert into tanzimat (payam) values ('سلام')"));
    QVERIFY(upgradeSettingsTable(db));
    QCOMPARE(db.scalar(QStringLiteral("select mode from Tanzimat")).toString(), QStringLiteral("Single"));
    QCOMPARE(resultColumns(db, QStringLiteral("tanzimat")).size(), 12);
    QVERIFY(!upgradeSettingsTable(db));
    // A current table (with TaminCode too) is left alone as well.
    TestDatabase fresh;
    Schema(fresh.db()).ensure();
    QVERIFY(!upgradeSettingsTable(fresh.db()));
    QVERIFY(!upgradeUsersTable(fresh.db()));
}

void SchemaTest::threeWorkstationsCreateANewDatabaseAtOnce() {
    // Three programs started at once on a new database, each doing what `init` does.
    for (int round = 0; round < 3; ++round) {
        TestDatabase t;
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 3; ++i) {
            auto process = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PH_SCHEMA_INIT_DIR"), t.workingDir());
            process->setProcessEnvironment(env);
            process->start(QCoreApplication::applicationFilePath(), {});
            starts.push_back(std::move(process));
        }
        for (auto& process : starts) {
            QVERIFY(process->waitForFinished(60000));
            QVERIFY2(process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0,
                     process->readAllStandardError().constData());
        }
        QVERIFY(!Schema(t.db()).needsWork());
        QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from schema_version")).toInt(), 1);
    }
}

void SchemaTest::olderDatabaseGetsTheNewIndexes() {
    const QStringList added = {
        QStringLiteral("ix_details_noskhe_code_darou_main"), QStringLiteral("ix_details_noskhe_sh_bimeh"),
        QStringLiteral("ix_heading_noskhe_code_opr"),        QStringLiteral("ix_heading_noskhe_type_no"),
        QStringLiteral("ix_heading_noskhe_code_bakhsh"),     QStringLiteral("ix_heading_noskhe_date_sabt"),
        QStringLiteral("ix_heading_froosh_kala_code_opr"),
    };
    TestDatabase t;
    Database& db = t.db();
    // A database of the first version: its layout without these indexes, with data.
    Schema(db).ensure();
    for (const QString& index : added)
        db.exec(QStringLiteral("drop index %1").arg(index));
    db.exec(QStringLiteral("delete from schema_version"));
    db.exec(QStringLiteral("insert into schema_version (version) values (1)"));
    // The first version's index on the insurance number alone, which the wider one replaced.
    db.exec(QStringLiteral("create index ix_heading_noskhe_sh_bimeh on heading_noskhe (sh_bimeh)"));
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_opr, type_no) values (1, 4, 2)"));
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou_main) values (1, 1, 1070001)"));
    // The merge's working column as the first version declared it.
    db.exec(QStringLiteral("drop table list_koli"));
    db.exec(QStringLiteral("create table list_koli (count %1, list %2)")
                .arg(db.dialect().typeName(ColumnType::Int), db.dialect().typeName(ColumnType::NVarchar, 4000)));
    db.exec(QStringLiteral("insert into list_koli (count, list) values (1, 'a')"));
    // The ward request number as a number, with the view over it.
    db.exec(QStringLiteral("drop view v_see_masrafi"));
    db.exec(QStringLiteral("drop table heading_masrafi"));
    db.exec(QStringLiteral("create table heading_masrafi (sh_factor %1, date_sabt %2, date_no %2, code_opr %1, "
                           "sh_darkhast %3, code_bakhsh %1, price_koll %3)")
                .arg(db.dialect().typeName(ColumnType::Int), db.dialect().typeName(ColumnType::NVarchar, 10),
                     db.dialect().typeName(ColumnType::Float)));
    for (const ViewDef& view : schemaViews())
        if (view.name == QLatin1String("v_see_masrafi"))
            db.exec(QStringLiteral("create view v_see_masrafi as ") + view.select(db.dialect()));
    db.exec(QStringLiteral("insert into heading_masrafi (sh_factor, sh_darkhast) values (1, 205)"));
    db.exec(QStringLiteral("insert into details_masrafi (sh_factor, code_darou, tedad) values (1, 1010001, 2)"));
    // Users from before the history and expiry rights: the one who may grant every right gains them.
    db.exec(QStringLiteral("insert into u_pharmacy (code, name, access) values (1, 'admin', 1), (2, 'clerk', 0)"));
    for (const char* right : {"tarikhche", "engheza"})
        db.exec(QStringLiteral("alter table u_pharmacy drop column %1").arg(QLatin1String(right)));
    // No history of changes yet.
    for (const QString& sql : db.dialect().dropAppendOnlyGuardSql(QStringLiteral("audit_log")))
        db.exec(sql);
    db.exec(QStringLiteral("drop table audit_log"));
    QVERIFY(Schema(db).needsWork());

    auto workstation = t.connect();
    Schema(*workstation).ensure();
    const QStringList indexes = db.indexNames();
    for (const QString& index : added)
        QVERIFY2(indexes.contains(index), qPrintable(index));
    QVERIFY(!indexes.contains(QStringLiteral("ix_heading_noskhe_sh_bimeh")));
    QCOMPARE(Schema(db).storedVersion(), Schema::kCurrentVersion);
    QVERIFY(!Schema(db).needsWork());
    QCOMPARE(db.scalar(QStringLiteral("select tarikhche + engheza from u_pharmacy where code=1")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select tarikhche + engheza from u_pharmacy where code=2")).toInt(), 0);
    // A merged claim block longer than 4000 characters now fits, beside the kept row.
    const QString longBlock(6000, u'x');
    db.exec(QStringLiteral("insert into list_koli (count, list) values (2, ?)"), {longBlock});
    QCOMPARE(db.scalar(QStringLiteral("select list from list_koli where count=2")).toString(), longBlock);
    QCOMPARE(db.scalar(QStringLiteral("select list from list_koli where count=1")).toString(), QStringLiteral("a"));
    QCOMPARE(db.scalar(QStringLiteral("select code_opr from heading_noskhe where type_no=?"), {2}).toInt(), 4);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_noskhe where code_darou_main=?"), {1070001}).toInt(), 1);
    // The request number is text now, the old number written as it was typed; the view reads it.
    db.exec(QStringLiteral("insert into heading_masrafi (sh_factor, sh_darkhast) values (2, ?)"), {QStringLiteral("R-0206")});
    QCOMPARE(db.scalar(QStringLiteral("select sh_darkhast from v_see_masrafi where sh_factor=1")).toString(),
             QStringLiteral("205"));
    QCOMPARE(db.scalar(QStringLiteral("select sh_darkhast from heading_masrafi where sh_factor=2")).toString(),
             QStringLiteral("R-0206"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_masrafi where sh_darkhast=?"), {QStringLiteral("205")})
                 .toInt(),
             1);
    // The history of changes is there, and the server keeps its entries as written.
    db.exec(QStringLiteral("insert into audit_log (seq, kind) values (1, 'x')"));
    QVERIFY_THROWS_EXCEPTION(DbError, db.exec(QStringLiteral("update audit_log set kind='y'")));
    QVERIFY_THROWS_EXCEPTION(DbError, db.exec(QStringLiteral("delete from audit_log")));
}

void SchemaTest::compoundedFormOnEveryDatabase_data() {
    QTest::addColumn<QString>("held"); // the older database's form 70: "none", or its name
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("counter");
    QTest::newRow("new database") << QString() << compoundedFormName() << 0;
    // A compounded drug stored before the form had its row: the counter goes on from it.
    QTest::newRow("older database without it") << QStringLiteral("none") << compoundedFormName() << 4;
    QTest::newRow("older database with another form under 70") << QStringLiteral("قرص") << QStringLiteral("قرص") << 5;
}

void SchemaTest::compoundedFormOnEveryDatabase() {
    QFETCH(QString, held);
    QFETCH(QString, name);
    QFETCH(int, counter);
    TestDatabase t;
    Database& db = t.db();
    Schema(db).ensure();
    if (!held.isEmpty()) {
        db.exec(QStringLiteral("delete from schema_version"));
        db.exec(QStringLiteral("insert into schema_version (version) values (3)"));
        db.exec(QStringLiteral("delete from type_kala"));
        db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, type_code) values (1700004, 'x', 70)"));
        if (held != QLatin1String("none")) {
            db.exec(QStringLiteral("insert into type_kala (code, name, num) values (70, ?, 5)"), {held});
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("code 70 is .* it is kept")));
        }
        Schema(*t.connect()).ensure();
        QCOMPARE(Schema(db).storedVersion(), Schema::kCurrentVersion);
    }
    Rows form = db.exec(QStringLiteral("select name, num from type_kala where code=?"), {kCompoundedFormCode});
    QVERIFY(form.next());
    QCOMPARE(form.value(0).toString(), name);
    QCOMPARE(form.value(1).toInt(), counter);
    form.finish();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from type_kala")).toInt(), 1);
}

void SchemaTest::startBesideAWritingWorkstationDoesNotWait() {
    TestDatabase t;
    Schema(t.db()).ensure();
    auto writer = t.connect();
    Transaction saving(*writer);
    writer->exec(QStringLiteral("insert into heading_noskhe (sh_factor) values (?)"), {1});

    QElapsedTimer timer;
    timer.start();
    auto starting = t.connect();
    Schema(*starting).ensure();
    upgradeUsersTable(*starting);
    upgradeSettingsTable(*starting);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    saving.commit();
    QCOMPARE(starting->scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), 1);
}

// Started by threeWorkstationsCreateANewDatabaseAtOnce as one of the workstations.
int initChild(const QString& workingDir) {
    try {
        Database db(readConnectionSettings(workingDir));
        db.open();
        Schema(db).ensure();
        upgradeUsersTable(db);
        upgradeSettingsTable(db);
        return 0;
    } catch (const Error& error) {
        fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString childDir = qEnvironmentVariable("PH_SCHEMA_INIT_DIR");
    if (!childDir.isEmpty())
        return initChild(childDir);
    SchemaTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "schema_test.moc"
