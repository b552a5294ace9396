#include "cli/save_command.h"

#include "admin/users.h"
#include "cli/option_checks.h"
#include "core/amounts.h"
#include "core/ci_config.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_fields.h"
#include "dispensing/prescription_session.h"
#include "dispensing/settings_store.h"
#include "insurance/insurer_store.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace ph::cli {

const char* const kSaveUsage =
    "  save        save one prescription read as JSON on standard input, as the dispensing\n"
    "              window's F2 saves it; prints its number, code and messages as JSON.\n"
    "              Keys are the window's fields: user, me_code_bime, edtMeliCode, edtInsNo,\n"
    "              edtBookNo, edtPageNo, me_family, me_name_bimar, sh_safhe, paz_type,\n"
    "              sh_darkhast, me_code_bakhsh, me_nezam_pe, me_family_pe, me_name_pe,\n"
    "              me_code_takhasos, me_date_bime (yyyy/mm/dd), me_date_no, me_date_ta\n"
    "              (yy/mm/dd), me_ctype_no, CheckBox1, lines ([code, quantity, kind?, price?]),\n"
    "              answers (hospital_stamp, ended_contract, approval_stamp, duplicate).\n"
    "              It is saved as the user it names, and only with that user's password:\n"
    "              --password-file FILE, whose first line is the password (never an\n"
    "              argument, which other accounts can read); an unknown user or a wrong\n"
    "              password is refused (exit 3) and nothing is stored.\n"
    "              Options: --today YY/MM/DD, --time HH:MM (default now). Exit 3 when refused.\n";

namespace {

// A field's value as its text: a string as it is, a number as the field would show it.
QString fieldText(const QJsonValue& value, const QString& key) {
    if (value.isUndefined() || value.isNull()) return {};
    if (value.isString()) return value.toString();
    if (value.isDouble()) return plainDecimalText(value.toDouble());
    throw UsageError{QStringLiteral("%1 takes a text or a number").arg(key)};
}

QString field(const QJsonObject& json, const char* key) {
    const QString name = QString::fromLatin1(key);
    return fieldText(json.value(name), name);
}

bool answer(const QJsonObject& answers, const char* key) {
    const QJsonValue value = answers.value(QString::fromLatin1(key));
    if (value.isUndefined() || value.isNull()) return false;
    if (!value.isBool()) throw UsageError{QStringLiteral("answers.%1 takes true or false").arg(QLatin1String(key))};
    return value.toBool();
}

QJsonObject parseInput(const QByteArray& input) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(input, &error);
    if (error.error != QJsonParseError::NoError)
        throw UsageError{QStringLiteral("the input is not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset)};
    if (!document.isObject()) throw UsageError{QStringLiteral("the input must be one JSON object")};
    return document.object();
}

void fillHeader(PrescriptionSession& session, const QJsonObject& json) {
    PrescriptionHeader& h = session.header();
    h.insNo = {field(json, "edtMeliCode"), field(json, "edtInsNo"), field(json, "edtBookNo"), field(json, "edtPageNo")};
    h.family = field(json, "me_family");
    h.name = field(json, "me_name_bimar");
    h.pageNumber = field(json, "sh_safhe");
    const QString admission = field(json, "paz_type").trimmed();
    if (admission == texts::kInpatient)
        h.admission = Admission::Inpatient;
    else if (admission.isEmpty() || admission == texts::kOutpatient)
        h.admission = Admission::Outpatient;
    else
        throw UsageError{QStringLiteral("paz_type takes %1 or %2, not %3").arg(texts::kInpatient, texts::kOutpatient,
                                                                              quoted(admission))};
    h.requestNumber = field(json, "sh_darkhast");
    h.wardCode = field(json, "me_code_bakhsh");
    // Leaving the council number fills a prescriber of the register, as in the window; the
    // names and specialty given are what is typed after it.
    h.prescriberCouncil = field(json, "me_nezam_pe");
    session.fillPrescriber(h, CouncilEntry::Leaving);
    for (const auto& [key, typed] : {std::pair{"me_family_pe", &h.prescriberFamily},
                                     std::pair{"me_name_pe", &h.prescriberName},
                                     std::pair{"me_code_takhasos", &h.specialtyCode}}) {
        const QString value = field(json, key);
        if (!value.isEmpty()) *typed = value;
    }
    h.expiryDate = field(json, "me_date_bime");
    h.prescriptionDate = field(json, "me_date_no");
    h.deliveryDate = field(json, "me_date_ta");
    h.typeCode = field(json, "me_ctype_no");
    const QJsonValue staff = json.value(QStringLiteral("CheckBox1"));
    if (!staff.isUndefined() && !staff.isNull() && !staff.isBool())
        throw UsageError{QStringLiteral("CheckBox1 takes true or false")};
    h.staff = staff.toBool();
}

QList<LineRequest> readLines(const QJsonObject& json, PrescriptionSession& session) {
    const QJsonValue lines = json.value(QStringLiteral("lines"));
    if (!lines.isUndefined() && !lines.isArray()) throw UsageError{QStringLiteral("lines takes an array")};
    if (lines.toArray().size() > kMaxPrescriptionLines)
        throw UsageError{kTooManyLines.arg(kMaxPrescriptionLines)};
    QList<LineRequest> requests;
    for (const QJsonValue& line : lines.toArray()) {
        const QJsonArray parts = line.toArray();
        if (!line.isArray() || parts.size() < 2 || parts.size() > 4)
            throw UsageError{QStringLiteral("each line takes [code, quantity, kind?, unit price?]")};
        QStringList texts;
        for (const QJsonValue& part : parts)
            texts.append(fieldText(part, QStringLiteral("a line")));
        requests.append(resolveLineRequest(texts, session));
    }
    return requests;
}

// The password, the first line of the file named by --password-file.
QString readPasswordFile(const QString& path) {
    if (path.isEmpty()) throw UsageError{QStringLiteral("--password-file is needed: the saving user's password")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError{QStringLiteral("cannot read %1: %2").arg(quoted(path), file.errorString())};
    const QByteArray text = file.readLine(4096);
    QByteArray line = text;
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (line.isEmpty()) throw UsageError{QStringLiteral("%1 holds no password").arg(quoted(path))};
    return QString::fromUtf8(line);
}

} // namespace

int save(const QString& workingDir, const QStringList& args, const QByteArray& input, QTextStream& out,
         QTextStream& err) {
    try {
        QString today, time, passwordFile;
        for (int i = 0; i < args.size(); ++i) {
            const QString option = args.at(i);
            if (i + 1 >= args.size()) throw UsageError{QStringLiteral("%1 needs a value").arg(quoted(option))};
            const QString value = args.at(++i).trimmed();
            if (option == QLatin1String("--today"))
                today = checkedDate(option, value);
            else if (option == QLatin1String("--time"))
                time = checkedTime(option, value);
            else if (option == QLatin1String("--password-file"))
                passwordFile = args.at(i);
            else
                throw UsageError{QStringLiteral("unknown option %1").arg(quoted(option))};
        }
        fillMoment(today, time);
        const QString password = readPasswordFile(passwordFile);
        const QJsonObject json = parseInput(input);

        Database db(readConnectionSettings(workingDir));
        db.open();
        const QString userText = checkedCode(QStringLiteral("a user code"), field(json, "user"), kInsurerDigits);
        const int user = userText.toInt();
        // The saving user is the one whose password was given, as at the login window.
        if (!UserStore(db).nameOf(user)) {
            err << "pharmacyctl save: " << QStringLiteral("کد کاربر اشتباه وارد شده است") << "\n";
            return 3;
        }
        const std::optional<UserRecord> signedIn = UserStore(db).signIn(user, password);
        if (!signedIn) {
            err << "pharmacyctl save: " << QStringLiteral("کلمه عبور اشتباه وارد شده است") << "\n";
            return 3;
        }
        const bool maySave = signedIn->rights.value(QStringLiteral("save_b"), false);

        const QString insurerText = field(json, "me_code_bime").trimmed();
        const InsurerCode insurer =
            InsurerCode::fromText(insurerText.isEmpty() ? insurerText
                                                        : checkedCode(QStringLiteral("an insurer code"), insurerText,
                                                                      kInsurerDigits));
        if (insurer.isInsurer() && !InsurerStore(db).nameOf(*insurer.number()))
            throw UsageError{QStringLiteral("unknown insurer code %1").arg(insurer.text())};

        const QJsonObject answers = json.value(QStringLiteral("answers")).toObject();
        const bool hospitalStamp = answer(answers, "hospital_stamp");
        const bool endedContractFree = answer(answers, "ended_contract");
        const bool approvalStamp = answer(answers, "approval_stamp");
        const bool duplicate = answer(answers, "duplicate");
        ScriptedPrompter prompter;
        prompter.setYesNoFallback([&](const QString& question) {
            if (question == texts::kHospitalStampQuestion) return hospitalStamp;
            if (question == texts::kPriceFreeQuestion) return endedContractFree;
            if (question == texts::kApprovalStampQuestion) return approvalStamp;
            if (question == texts::kSaveDuplicateQuestion) return duplicate;
            return false;
        });

        PrescriptionSession session(db, prompter);
        session.setTaminCodes(SettingsStore(db).taminCodes());
        session.start({today, time});
        session.changeInsurer(insurer);
        fillHeader(session, json);
        // A field that would not fit its column is bad input, refused before anything is priced.
        if (const std::optional<HeaderProblem> problem = checkPrescriptionFields(session))
            throw UsageError{problem->message};

        // The lines are added in turn as the window's "ثبت دارو" adds them: an insured or
        // free line after the header checks; a line refused there or by its own checks
        // is left out, with its message.
        SaveOutcome outcome;
        std::optional<HeaderProblem> headerProblem;
        for (const LineRequest& line : readLines(json, session)) {
            const LineKind kind = lineKindOf(line.input.kind);
            if (kind == LineKind::Insured || kind == LineKind::Free) headerProblem = session.checkHeaderForLine();
            if (headerProblem) {
                prompter.warning(headerProblem->message);
                break;
            }
            session.addLine(line.drug, line.input);
        }
        // Signing in makes the user the cashier as well (a separate cash desk's row names him).
        if (!headerProblem) outcome = session.save({user, user, today, time, AuditOrigin::here(user, QStringLiteral("pharmacyctl save"))}, maySave);

        QJsonObject result;
        if (outcome.isSaved()) {
            result[QStringLiteral("sh_factor")] = outcome.saved.invoiceNumber;
            result[QStringLiteral("code_no")] = outcome.saved.code;
        }
        result[QStringLiteral("messages")] = QJsonArray::fromStringList(prompter.texts());
        out << QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented));
        return outcome.isSaved() ? 0 : 3;
    } catch (const UsageError& error) {
        err << "pharmacyctl save: " << error.message << "\n";
        return 2;
    }
}

} // namespace ph::cli
