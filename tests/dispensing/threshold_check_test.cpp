#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/threshold_check.h"

#include <QTest>

using namespace ph;

namespace {

// The latest contract: general practitioners need the address above 1000 and the
// stamp above 5000; specialists 2000 and 8000; sub-specialists 3000 and 9000;
// midwives the stamp above 4000, dentists above 6000.
Contract latestContract() {
    Contract c;
    c.gpAddress = 1000;
    c.gpApproval = 5000;
    c.specialistAddress = 2000;
    c.specialistApproval = 8000;
    c.subSpecialistAddress = 3000;
    c.subSpecialistApproval = 9000;
    c.midwifeApproval = 4000;
    c.dentistApproval = 6000;
    return c;
}

} // namespace

class ThresholdCheckTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void thresholds_data();
    void thresholds();
};

void ThresholdCheckTest::thresholds_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<double>("amount"); // patient + insurer
    QTest::addColumn<bool>("approvalMessages");
    QTest::addColumn<bool>("addressMessages");
    QTest::addColumn<QString>("answer"); // to the stamp question, "" when not asked
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("savePermitted");
    QTest::addColumn<bool>("stamp");

    const QStringList none;
    const QStringList address{texts::kAddressNeeded};
    const QStringList stamped{texts::kApprovalNeeded, texts::kApprovalStampQuestion};
    const QStringList refused{texts::kApprovalNeeded, texts::kApprovalStampQuestion, texts::kCannotSave};
    QTest::newRow("below the address threshold")
        << "3"
        << "1" << 999.0 << true << true << "" << none << true << false;
    QTest::newRow("at the address threshold") << "3"
                                              << "1" << 1000.0 << true << true << "" << none << true << false;
    QTest::newRow("needs the address") << "3"
                                       << "1" << 3000.0 << true << true << "" << address << true << false;
    QTest::newRow("address messages off") << "3"
                                          << "1" << 3000.0 << true << false << "" << none << true << false;
    QTest::newRow("at the approval threshold")
        << "3"
        << "1" << 5000.0 << true << true << "" << none << true << false;
    QTest::newRow("stamped") << "3"
                             << "1" << 5001.0 << true << false << "yes" << stamped << true << true;
    QTest::newRow("no stamp, not stored")
        << "3"
        << "1" << 5001.0 << true << true << "no" << refused << false << false;
    QTest::newRow("approval messages off") << "3"
                                           << "1" << 99999.0 << false << true << "" << none << true << false;
    QTest::newRow("specialist needs the address")
        << "3"
        << "4" << 2500.0 << false << true << "" << address << true << false;
    QTest::newRow("sub-specialist stamp")
        << "3"
        << "10" << 9500.0 << true << true << "yes" << stamped << true << true;
    QTest::newRow("midwife: stamp only")
        << "3"
        << "2" << 4500.0 << true << true << "no" << refused << false << false;
    QTest::newRow("midwife below her threshold")
        << "3"
        << "2" << 3999.0 << true << true << "" << none << true << false;
    QTest::newRow("dentist") << "3"
                             << "3" << 6001.0 << true << true << "yes" << stamped << true << true;
    QTest::newRow("other specialty") << "3"
                                     << "5" << 99999.0 << true << true << "" << none << true << false;
    QTest::newRow("no insurer") << "0"
                                << "1" << 99999.0 << true << true << "" << none << true << false;
    QTest::newRow("no insurer code") << ""
                                     << "1" << 99999.0 << true << true << "" << none << true << false;
}

void ThresholdCheckTest::thresholds() {
    QFETCH(QString, insurer);
    QFETCH(QString, specialty);
    QFETCH(double, amount);
    QFETCH(bool, approvalMessages);
    QFETCH(bool, addressMessages);
    QFETCH(QString, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, savePermitted);
    QFETCH(bool, stamp);
    ThresholdInput input;
    input.insurer = InsurerCode::fromText(insurer);
    input.specialtyCode = specialty;
    input.patientSum = amount / 4;
    input.insurerSum = amount - input.patientSum;
    input.settings = {approvalMessages, addressMessages};
    input.latestContract = latestContract();
    ScriptedPrompter prompter;
    if (!answer.isEmpty()) answer == QLatin1String("yes") ? prompter.answerYes() : prompter.answerNo();
    const ThresholdResult result = ThresholdCheck::run(input, prompter);
    QCOMPARE(prompter.texts(), messages);
    QCOMPARE(result.savePermitted, savePermitted);
    QCOMPARE(result.approvalStamp, stamp);
    QCOMPARE(prompter.pendingAnswers(), 0);
}

QTEST_APPLESS_MAIN(ThresholdCheckTest)
#include "threshold_check_test.moc"
