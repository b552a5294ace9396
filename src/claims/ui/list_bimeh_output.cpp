// The insurance list's outputs: the printed list, the claim files and the spreadsheet.

#include "claims/ui/list_bimeh.h"

#include "claims/claims_texts.h"
#include "claims/ui/list_bimeh_texts.h"
#include "claims/ui/list_report.h"
#include "claims/ui/list_rows_model.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "dispensing/invoice_search.h"
#include "print/report_output.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/number_delegate.h"
#include "widgets/workstation_settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

namespace ph {

print::XlsxSheet insuranceListSheet(const QList<SheetRow>& rows) {
    print::XlsxSheet sheet;
    sheet.name = QStringLiteral("ليست بيمه");
    for (int i = 0; i < texts::kSheetCaptions.size(); ++i)
        sheet.columns.append({texts::kSheetCaptions.at(i), i >= 5 ? print::XlsxColumnKind::Amount : print::XlsxColumnKind::Text});
    for (const SheetRow& r : rows)
        sheet.rows.append(QVariantList{r.name, r.family, r.insuranceNumber, r.prescriber, r.date, r.total,
                                       r.insurerShare, r.patientShare});
    return sheet;
}

void Tf_list_bimeh::printList(bool preview) {
    const ListSelection chosen = selection();
    if (preview && !chosen.insurers.isEmpty()) {
        m_windows.context.insurer_pharmacy_code = m_store.pharmacyCode(chosen);
    }
    if (!m_bound || m_rows->rowCount() == 0) {
        m_windows.prompter.warning(claims::texts::kNothingToPrint);
        return;
    }
    ListPrintHeading heading;
    heading.pharmacyName = m_windows.context.pharmacy_name;
    heading.from = m_shown.from;
    heading.to = m_shown.to;
    heading.reportDate = m_windows.context.current_date;
    if (preview) {
        heading.pharmacyCode = m_windows.context.insurer_pharmacy_code;
        QStringList names;
        for (int i = 0; i < lstIns->count(); ++i) names.append(lstIns->item(i)->text());
        heading.insurerLabel = names.join(u'\n');
        QStringList checked;
        for (int i = 0; i < CheckListBox1->count(); ++i)
            if (CheckListBox1->item(i)->checkState() == Qt::Checked) checked.append(u' ' + CheckListBox1->item(i)->text());
        if (CheckBox2->isChecked() && !checked.isEmpty()) {
            heading.headerCaption = texts::kSpecialtyCaption;
            heading.headerValue = checked.join(QString());
        } else {
            heading.headerCaption = texts::kListCaption;
        }
    }
    QList<ListPrintRow> rows;
    for (const ListRow& r : m_rows->rows())
        rows.append({r.family, r.name, r.insNoTamin, r.date, r.prescriber, r.insurerShare, r.patientShare, r.total});
    print::Report report = listReport(heading, rows);
    // Both page fields filled: only those pages are printed.
    if (!me_page1->text().isEmpty() && !me_page2->text().isEmpty())
        report.limitToPages(me_page1->text().toInt(), me_page2->text().toInt());
    m_outputReport(report, preview);
    m_bar->button(CommandBar::Print)->setEnabled(false);
}

QString Tf_list_bimeh::claimFolder(ClaimPlace place) {
    if (place == ClaimPlace::Removable) {
        const QString folder =
            m_windows.settings ? m_windows.settings->value(QLatin1String(workstation::kClaimsFolder)).toString().trimmed()
                               : QString();
        return folder;
    }
    const QString folder = QDir(m_workingDir).filePath(QStringLiteral("claims"));
    QDir().mkpath(folder);
    return folder;
}

void Tf_list_bimeh::exportClaimFile(ClaimPlace place) {
    resetTotals();
    const std::optional<ListSelection> s = checkedSelection();
    if (!s) return;
    const QList<ClaimPrescription> prescriptions = m_store.claimPrescriptions(*s);
    if (prescriptions.isEmpty()) {
        m_windows.prompter.warning(claims::texts::kNothingFound);
        return;
    }
    ClaimOptions options;
    options.variant = place == ClaimPlace::Chosen          ? ClaimVariant::Custom
                      : place == ClaimPlace::ChosenNoLines ? ClaimVariant::NoLines
                                                           : ClaimVariant::Default;
    options.pharmacyCode = m_store.pharmacyCode(*s);
    options.from = s->from;
    options.to = s->to;
    options.fani = fani->text();
    options.taminCodes = m_windows.context.tamin_codes;
    options.patientNames = chbBimarName->isChecked();
    options.prescriberNames = chbDoctorName->isChecked();

    const QString proposed = proposedClaimName(s->prescriptionType, m_lastName);
    m_lastName = proposed;
    QString path;
    if (place == ClaimPlace::Default || place == ClaimPlace::Removable) {
        const QString folder = claimFolder(place);
        if (folder.isEmpty()) {
            m_windows.prompter.warning(texts::kNoRemovableFolder);
            return;
        }
        const PromptAnswer answer = m_windows.prompter.prompt(claims::texts::kFileNameLabel, proposed);
        if (answer.answer != QLatin1String("ok")) return;
        const QString name = answer.text.trimmed().isEmpty() ? proposed : answer.text.trimmed();
        path = QDir(folder).filePath(name + QStringLiteral(".txt"));
    } else {
        const QString chosen = m_chooseFile(QDir(claimFolder(ClaimPlace::Default)).filePath(proposed)).trimmed();
        if (chosen.isEmpty()) return;
        path = chosen.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".txt");
    }
    ClaimFile file;
    try {
        file = ClaimFileWriter(options).write(prescriptions);
    } catch (const ClaimEncodingError& error) {
        m_windows.prompter.warning(error.message());
        return;
    }
    saveFileBytes(path, file.bytes);
    if (options.variant == ClaimVariant::Custom) {
        me_sazman_noskhe->setText(amountDisplayText(file.insurerShare));
        me_sazman_aghlam->setText(amountDisplayText(file.lineInsurerShare));
    }
    // Where the file went, in full: the user carries it to the insurer from there.
    m_windows.prompter.information(claims::texts::kFileWritten + u'\n' +
                                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void Tf_list_bimeh::exportSheet() {
    ListSelection s = selection();
    const SearchDate from = checkSearchDate(s.from);
    const SearchDate to = checkSearchDate(s.to);
    if (from.state == SearchDate::State::Valid) s.from = from.text;
    if (to.state == SearchDate::State::Valid) s.to = to.text;
    const QList<SheetRow> rows = s.insurers.isEmpty() ? QList<SheetRow>() : m_store.sheetRows(s);
    if (rows.isEmpty()) {
        m_windows.prompter.warning(claims::texts::kNoSheet);
        return;
    }
    const QString folder = claimFolder(ClaimPlace::Default);
    QString name = QStringLiteral("list_bimeh");
    if (from.state == SearchDate::State::Valid && to.state == SearchDate::State::Valid)
        name += u'_' + ClaimFileWriter::shortDate(s.from) + u'_' + ClaimFileWriter::shortDate(s.to);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".xlsx"));
    const print::OutputResult result = print::writeXlsx({insuranceListSheet(rows)}, path);
    if (!result.done()) {
        m_windows.prompter.warning(result.message);
        return;
    }
    m_lastSheet = path;
    if (!m_openSheet(path)) m_windows.prompter.information(texts::kSheetWritten + QDir::toNativeSeparators(path));
}

} // namespace ph
