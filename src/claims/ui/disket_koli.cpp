#include "claims/ui/disket_koli.h"

#include "catalogue/lookup_list.h"
#include "claims/claim_file.h"
#include "claims/claims_texts.h"
#include "claims/ui/list_report.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "insurance/insurer_store.h"
#include "print/report_output.h"
#include "widgets/code_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/window_tools.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ph {

namespace {
namespace texts {
const QString kTitle = QStringLiteral("تهيه ديسكت بيمه كلي");
const QString kChooseFiles = QStringLiteral(" انتخاب فايلها F1");
const QString kAddFile = QStringLiteral("اضافه كردن فايلها F3");
const QString kFinish = QStringLiteral("پرينت كلي و خروج F4");
const QString kClose = QStringLiteral("انصراف و خروج F2");
const QString kPatientNames = QStringLiteral("نمايش نام بيمار در ديسکت");
const QString kDoctorNames = QStringLiteral("نمايش نام پزشك در ديسکت");
// Chosen here: the captions of the fields the merge window shows.
const QString kType = QStringLiteral("نوع نسخه: ");
const QString kPharmacyTitle = QStringLiteral("عنوان داروخانه: ");
const QString kInsurer = QStringLiteral("بيمه: ");
const QString kMainFile = QStringLiteral("فايل اصلي: ");
const QString kAddedFiles = QStringLiteral("فايلهاي اضافه شده");
} // namespace texts

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

Tdisket_koli::Tdisket_koli(const WindowContext& windows, QString workingDir, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_workingDir(std::move(workingDir)) {
    setObjectName(QStringLiteral("Tdisket_koli"));
    setWindowTitle(texts::kTitle);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    m_chooseMain = [this](const QString& proposed) { return QFileDialog::getSaveFileName(this, windowTitle(), proposed); };
    m_chooseAdded = [this] {
        return chooseFileToOpen(this, windowTitle(), QDir(m_workingDir).filePath(QStringLiteral("claims")),
                                QStringLiteral("*.txt"));
    };
    m_outputReport = [this](const print::Report& report) {
        const print::OutputResult result = print::preview(report, this);
        if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
    };

    Prompter& prompter = windows.prompter;
    me_name_no = named(new QLineEdit(this), "me_name_no");
    me_name_bime = named(new QLineEdit(this), "me_name_bime");
    for (QLineEdit* name : {me_name_no, me_name_bime}) {
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::NoFocus);
    }
    me_code_no = named(new CodeField(this), "me_code_no");
    me_code_no->setMaxDigits(9);
    me_code_no->setLookup(
        [this](qint64 code) { return LookupList(m_windows.db, LookupKind::PrescriptionTypes).nameOf(code); }, me_name_no,
        prompter);
    me_code_no->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            if (pickCode(m_windows, me_code_no, QStringLiteral("type_no11"), prescriptionTypePickRows(m_windows.db)))
                name_dar->setFocus();
        });
    });
    name_dar = named(new QLineEdit(this), "name_dar");
    me_code_bime = named(new CodeField(this), "me_code_bime");
    me_code_bime->setMaxDigits(3);
    me_code_bime->setLookup([this](qint64 code) { return InsurerStore(m_windows.db).nameOf(int(code)); }, me_name_bime,
                            prompter);
    me_code_bime->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            const PickRows rows = InsurerStore(m_windows.db).pickRowsByName();
            if (pickCode(m_windows, me_code_bime, QStringLiteral("bime_list1"), rows)) but_restore->setFocus();
        });
    });
    but_restore = named(new QPushButton(QStringLiteral("..."), this), "but_restore");
    connect(but_restore, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { chooseMainFile(); }); });
    me_path = named(new QLineEdit(this), "me_path");
    me_path->setReadOnly(true);
    me_path->setLayoutDirection(Qt::LeftToRight);
    chbBimarName = named(new QCheckBox(texts::kPatientNames, this), "chbBimarName");
    chbDoctorName = named(new QCheckBox(texts::kDoctorNames, this), "chbDoctorName");

    auto* nav = new KeyNav({me_code_no, name_dar, me_code_bime, but_restore}, this);
    Q_UNUSED(nav);

    const auto button = [this](const char* name, const QString& caption, std::function<void()> run) {
        auto* b = named(new QPushButton(caption, this), name);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, run] { guarded(m_windows.prompter, run); });
        return b;
    };
    QPushButton* choose = button("SpeedButton5", texts::kChooseFiles, [this] { startAdding(); });
    QPushButton* add = button("SpeedButton1", texts::kAddFile, [this] { addFile(); });
    QPushButton* finishButton = button("SpeedButton2", texts::kFinish, [this] { finish(); });
    QPushButton* close = button("SpeedButton6", texts::kClose, [this] { reject(); });

    m_panel = named(new QGroupBox(texts::kAddedFiles, this), "panel_add");
    m_files = named(new QListWidget(m_panel), "lst_files");
    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->addWidget(m_files);
    panelLayout->addWidget(add);
    panelLayout->addWidget(finishButton);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(texts::kType, this), 0, 0);
    grid->addWidget(me_code_no, 0, 1);
    grid->addWidget(me_name_no, 0, 2);
    grid->addWidget(new QLabel(texts::kPharmacyTitle, this), 1, 0);
    grid->addWidget(name_dar, 1, 1, 1, 2);
    grid->addWidget(new QLabel(texts::kInsurer, this), 2, 0);
    grid->addWidget(me_code_bime, 2, 1);
    grid->addWidget(me_name_bime, 2, 2);
    grid->addWidget(new QLabel(texts::kMainFile, this), 3, 0);
    grid->addWidget(me_path, 3, 1);
    grid->addWidget(but_restore, 3, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(chbBimarName);
    layout->addWidget(chbDoctorName);
    layout->addWidget(choose);
    layout->addWidget(m_panel);
    layout->addWidget(close);
}

Tdisket_koli::~Tdisket_koli() = default;

void Tdisket_koli::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    me_path->clear();
    m_merge.reset();
    m_panel->hide();
    chbBimarName->setChecked(false);
    chbDoctorName->setChecked(false);
    me_code_no->setFocus();
}

void Tdisket_koli::keyPressEvent(QKeyEvent* event) {
    const auto run = [this](const std::function<void()>& work) { guarded(m_windows.prompter, work); };
    switch (event->key()) {
    case Qt::Key_F1: run([this] { startAdding(); }); return;
    case Qt::Key_F3: run([this] { addFile(); }); return;
    case Qt::Key_F4: run([this] { finish(); }); return;
    case Qt::Key_F2: reject(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void Tdisket_koli::chooseMainFile() {
    std::optional<int> type;
    if (const auto code = me_code_no->code()) type = int(*code);
    const QString proposed = proposedClaimName(type, m_lastName);
    m_lastName = proposed;
    QDir().mkpath(QDir(m_workingDir).filePath(QStringLiteral("claims")));
    const QString chosen = m_chooseMain(QDir(m_workingDir).filePath(QStringLiteral("claims/") + proposed)).trimmed();
    if (chosen.isEmpty()) return;
    const QString path = chosen.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".txt");
    auto merge = std::make_unique<ClaimMerge>(path);
    merge->create();
    m_merge = std::move(merge);
    me_path->setText(QDir::toNativeSeparators(path));
}

void Tdisket_koli::startAdding() {
    if (!m_merge || me_path->text().isEmpty()) return;
    m_merge->startAdding();
    m_files->clear();
    m_panel->show();
}

void Tdisket_koli::addFile() {
    if (!m_merge || m_panel->isHidden()) return;
    const QString path = m_chooseAdded();
    if (path.isEmpty() || !QFileInfo::exists(path)) return;
    m_merge->add(path);
    m_files->addItem(QDir::toNativeSeparators(path));
}

void Tdisket_koli::finish() {
    if (!m_merge || m_panel->isHidden()) return;
    const MergedFile merged = m_merge->finish(chbBimarName->isChecked(), chbDoctorName->isChecked());
    MergedListStore(m_windows.db).replace(merged.prescriptions);
    me_path->clear();
    m_panel->hide();
    m_merge.reset();

    ListPrintHeading heading;
    heading.pharmacyName = name_dar->text();
    heading.insurerLabel = me_name_bime->text();
    heading.from = merged.from;
    heading.to = merged.to;
    heading.reportDate = m_windows.context.current_date;
    QList<ListPrintRow> rows;
    for (const MergedPrescription& p : merged.prescriptions)
        rows.append({p.patientFamily, p.patientName, p.insuranceNumber, p.date,
                     (p.prescriberName + u' ' + p.prescriberFamily).trimmed(), double(p.insurerShare),
                     double(p.patientShare), double(p.total)});
    m_outputReport(listReport(heading, rows));
}

} // namespace ph
