#include "dispensing/dispensing_texts.h"
#include "dispensing/header_checks.h"
#include "pharmacy_fixture.h"

#include <QTest>

#include <functional>

using namespace ph;

namespace {

using Change = std::function<void(PrescriptionHeader&)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class HeaderChecksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void forALine_data();
    void forALine();
    void forSaving_data();
    void forSaving();
};

void HeaderChecksTest::forALine_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<bool>("socialSecurity");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("message"); // empty: the line may be added
    QTest::addColumn<QString>("focus");
    const Change none = [](PrescriptionHeader&) {};
    QTest::newRow("expires on the prescription's day") << "5" << false << none << QString() << QString();
    QTest::newRow("expired the day before") << "5" << false
                                            << Change([](auto& h) { h.expiryDate = QStringLiteral("1405/07/14"); })
                                            << texts::kExpired << "me_date_bime1";
    QTest::newRow("9-digit social-security number")
        << "1" << true << Change([](auto& h) { h.insNo.base = QStringLiteral("123456789"); })
        << texts::kSocialBaseDigits << "edtInsNo";
    QTest::newRow("page 00") << "1" << true << Change([](auto& h) { h.insNo.pageNo = QStringLiteral("00"); })
                             << texts::kSocialPageMissing << "edtPageNo";
    QTest::newRow("3-digit insurance part") << "1" << true
                                            << Change([](auto& h) { h.insNo.insNo = QStringLiteral("123"); })
                                            << texts::kSocialInsNoDigits << "edtInsNo";
    QTest::newRow("social security needs no page field")
        << "1" << true << Change([](auto& h) { h.pageNumber.clear(); }) << QString() << QString();
    QTest::newRow("no insurance number") << "5" << false << Change([](auto& h) { h.insNo.base.clear(); })
                                         << texts::kInsuranceNumberMissing << "edtMeliCode";
    QTest::newRow("no delivery date, before the insurer")
        << "" << false << Change([](auto& h) { h.deliveryDate = QStringLiteral("  /  /  "); })
        << texts::kDeliveryDateMissing << "me_date_ta1";
    QTest::newRow("no insurer") << "" << false << none << texts::kInsurerMissing << "me_code_bime";
    QTest::newRow("no insurer 0: nothing more asked")
        << "0" << false << Change([](auto& h) { h = {}; h.deliveryDate = QStringLiteral("05/07/15"); }) << QString()
        << QString();
    QTest::newRow("delivered before prescribed")
        << "5" << false << Change([](auto& h) { h.deliveryDate = QStringLiteral("05/07/14"); })
        << texts::kDeliveryBeforePrescription << "me_date_ta1";
    QTest::newRow("family before name") << "5" << false << Change([](auto& h) { h.family.clear(); h.name.clear(); })
                                        << texts::kFamilyMissing << "me_family";
    QTest::newRow("page") << "5" << false << Change([](auto& h) { h.pageNumber.clear(); }) << texts::kPageMissing
                          << "sh_safhe";
    QTest::newRow("prescriber's name before family")
        << "5" << false << Change([](auto& h) { h.prescriberName.clear(); h.prescriberFamily.clear(); })
        << texts::kPrescriberNameMissing << "me_name_pe";
    QTest::newRow("prescription type") << "5" << false << Change([](auto& h) { h.typeCode.clear(); })
                                       << texts::kTypeMissing << "me_ctype_no";
    // An inpatient needs neither dates, prescriber nor page, but a file number and a ward.
    const Change inpatient = [](auto& h) {
        h.admission = Admission::Inpatient;
        h.expiryDate = h.prescriptionDate = h.deliveryDate = QStringLiteral("  /  /  ");
        h.prescriberCouncil.clear();
        h.pageNumber.clear();
    };
    QTest::newRow("inpatient without a ward") << "5" << false << inpatient << texts::kWardMissing << "me_code_bakhsh";
    QTest::newRow("inpatient with a ward")
        << "5" << false << Change([inpatient](auto& h) { inpatient(h); h.wardCode = QStringLiteral("3"); })
        << QString() << QString();
}

void HeaderChecksTest::forALine() {
    QFETCH(QString, insurer);
    QFETCH(bool, socialSecurity);
    QFETCH(Change, change);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    PrescriptionHeader h = ph::test::completeHeader();
    change(h);
    const auto problem = checkHeaderForLine(h, InsurerCode::fromText(insurer), socialSecurity);
    QCOMPARE(problem ? problem->message : QString(), message);
    QCOMPARE(problem ? problem->focus : QString(), focus);
}

void HeaderChecksTest::forSaving_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("complete") << "5" << Change([](auto&) {}) << QString() << QString();
    QTest::newRow("prescription date first")
        << "5" << Change([](auto& h) { h.prescriptionDate = h.deliveryDate = QStringLiteral("  /  /  "); })
        << texts::kPrescriptionDateMissing << "me_date_no1";
    QTest::newRow("page, with the save's own text") << "0" << Change([](auto& h) { h.pageNumber.clear(); })
                                                   << texts::kPageMissingOnSave << "sh_safhe";
    QTest::newRow("only the pre-filled year of the expiry, no insurer")
        << "0" << Change([](auto& h) { h.expiryDate = QStringLiteral("1405/  /  "); }) << texts::kExpiryInvalid
        << "me_date_bime1";
    QTest::newRow("31st of month 7") << "0" << Change([](auto& h) { h.deliveryDate = QStringLiteral("05/07/31"); })
                                     << texts::kDeliveryDateInvalid << "me_date_ta1";
    QTest::newRow("expiry in 1500") << "0" << Change([](auto& h) { h.expiryDate = QStringLiteral("1500/01/01"); })
                                    << texts::kExpiryInvalid << "me_date_bime1";
    QTest::newRow("month 13") << "0" << Change([](auto& h) { h.prescriptionDate = QStringLiteral("05/13/01"); })
                              << texts::kPrescriptionDateInvalid << "me_date_no1";
    QTest::newRow("specialty for an insurer")
        << "5" << Change([](auto& h) { h.specialtyCode.clear(); }) << texts::kSpecialtyMissing << "me_code_takhasos";
    QTest::newRow("no specialty asked without an insurer")
        << "0" << Change([](auto& h) { h.specialtyCode.clear(); }) << QString() << QString();
}

void HeaderChecksTest::forSaving() {
    QFETCH(QString, insurer);
    QFETCH(Change, change);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    PrescriptionHeader h = ph::test::completeHeader();
    change(h);
    const auto problem = checkHeaderForSave(h, InsurerCode::fromText(insurer), false);
    QCOMPARE(problem ? problem->message : QString(), message);
    QCOMPARE(problem ? problem->focus : QString(), focus);
}

QTEST_GUILESS_MAIN(HeaderChecksTest)
#include "header_checks_test.moc"
