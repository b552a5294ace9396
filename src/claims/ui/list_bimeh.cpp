#include "claims/ui/list_bimeh.h"

#include "catalogue/lookup_list.h"
#include "claims/claims_texts.h"
#include "claims/ui/list_report.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "dispensing/invoice_search.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "print/report_output.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"
#include "widgets/workstation_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace ph {

namespace {
namespace texts {
const QString kTitle = QStringLiteral("فـــــــرم گــزارش لـيـسـت بـيمــــــــه");
const QString kExport = QStringLiteral("تهيه ديسكت بيمهF2");
const QString kCorrect = QStringLiteral(" اصلاح فاكتور F3");
const QString kShow = QStringLiteral("مشاهدهF7");
const QString kPrint = QStringLiteral("چاپ F8");
const QString kSort = QStringLiteral("مرتب سازيCtrl+S");
const QString kNew = QStringLiteral(" جديد /انصرافF9");
const QString kClose = QStringLiteral("خروجF10");
const QString kRemove = QStringLiteral("حذف");
const QString kKaf = QStringLiteral("از كف: ");
const QString kSaghf = QStringLiteral("تاسقف:");
const QString kPage1 = QStringLiteral("از صفحه:");
const QString kPage2 = QStringLiteral("تاصفحه:");
const QString kFani = QStringLiteral("نظام مسئول فني");
const QString kAll = QStringLiteral("گزارش ازهمه نسخه ها");
const QString kConfirmed = QStringLiteral("گزارش ازنسخه هاي تاييدشده");
const QString kOrdinary = QStringLiteral("گزارش ازنسخه هاي عادي");
const QString kZeroBefore = QStringLiteral("نمايش صفر قبل از کد ملي دارو در ديسکت");
const QString kPatientNames = QStringLiteral("نمايش نام و نام خانوادگي بيمار در ديسکت");
const QString kDoctorNames = QStringLiteral("نمايش نام پزشك در ديسکت");
const QString kShowSpecialty = QStringLiteral("نمايش تخصص در گزارش");
const QString kSazman = QStringLiteral("جمع كل سهم سازمان:");
const QString kBimar = QStringLiteral("جمع كل سهم بيمار:");
const QString kKoll = QStringLiteral("جمع كل: ");
const QString kCount = QStringLiteral("تعداد كل: ");
const QString kSazmanNoskhe = QStringLiteral("سهم ساز مان سرنسخه:");
const QString kSazmanAghlam = QStringLiteral(" سهم سازمان ريز اقلام:");
const QString kSearch1 = QStringLiteral("جستجوي سريع  شماره فاكتور/نام خانوادگي");
const QString kSearch2 = QStringLiteral("جستجوي سريع شماره دفترچه بيمه ");
const QString kSearch3 = QStringLiteral("جستجوي سريع كد نسخه");
const QString kOnDiskette = QStringLiteral("ايجاد فايل برروي ديسکت");
const QString kInDefault = QStringLiteral("ايجاد فايل درمحل پيش فرض");
const QString kInChosen = QStringLiteral("ايجاد فايل در محل دلخواه");
const QString kInChosenNoLines = QStringLiteral("ايجاد فايل در محل دلخواه بدون جزئيات");
const QString kImage = QStringLiteral(" فايل گزارش ليست بيمهImage");
const QString kExcel = QStringLiteral("Exelگزارش ليست بيمه تحت فايل ");
const QString kSpecialtyCaption = QStringLiteral("نوع تخصص");
const QString kListCaption = QStringLiteral("ليست بيمه ");
// Chosen here: the removable-media folder is not set, and where a spreadsheet was left.
const QString kNoRemovableFolder =
    QStringLiteral("پوشه ديسكت بيمه مشخص نشده است؛ آن را در فرم تنظيمات، بخش «اين رايانه» انتخاب كنيد");
const QString kSheetWritten = QStringLiteral("فايل اكسل ليست بيمه در اين محل ذخيره شد: ");
const QStringList kSortEntries = {
    QStringLiteral("براساس شماره فاكتور"),   QStringLiteral("براساس نام خانوادگي بيمار"),
    QStringLiteral("براساس شماره دفترچه"),   QStringLiteral("براساس تاريخ نسخه"),
    QStringLiteral("براساس كد نسخه"),        QStringLiteral("براساس نام پزشك"),
    QStringLiteral("براساس سهم سازمان"),     QStringLiteral("براساس سهم بيمار"),
    QStringLiteral("براساس جمع كل"),
};
const QStringList kSheetCaptions = {
    QStringLiteral("نام بيمار"),   QStringLiteral("نام خانوادگي بيمار"), QStringLiteral("شماره دفترچه "),
    QStringLiteral("نام پزشک"),    QStringLiteral("تاريخ نسخه"),         QStringLiteral("جمع کل"),
    QStringLiteral("سهم سازمان"),  QStringLiteral("سهم بيمار"),
};
} // namespace texts

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* totalBox(QWidget* parent, const char* name) {
    auto* box = named(new QLineEdit(QStringLiteral("0"), parent), name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

} // namespace

// The shown rows, narrowed by a quick search's prefix; the grid's model.
class ListRowsModel : public RowTableModel<ListRow> {
public:
    explicit ListRowsModel(QObject* parent)
        : RowTableModel<ListRow>(
              {
                  {QStringLiteral("فاكتور"), [](const ListRow& r) { return QVariant(r.invoice); }},
                  {QStringLiteral("نـام خـانـوادگـي"), [](const ListRow& r) { return QVariant(r.family); }},
                  {QStringLiteral("نـام بيمـار"), [](const ListRow& r) { return QVariant(r.name); }},
                  {QStringLiteral("شماره دفترچه"), [](const ListRow& r) { return QVariant(r.insNoTamin); }},
                  {QStringLiteral("تاريخ نسخه"), [](const ListRow& r) { return QVariant(r.date); }},
                  {QStringLiteral("كدنسخه"), [](const ListRow& r) { return QVariant(r.code); }},
                  {QStringLiteral("نـام پـزشك"), [](const ListRow& r) { return QVariant(r.prescriber); }},
                  {QStringLiteral("سهم سازمان"), [](const ListRow& r) { return QVariant(r.insurerShare); }},
                  {QStringLiteral("سهم بيمار"), [](const ListRow& r) { return QVariant(r.patientShare); }},
                  {QStringLiteral("جمع كل"), [](const ListRow& r) { return QVariant(r.total); }},
                  {QStringLiteral("شماره صفحه دفترچه"), [](const ListRow& r) { return QVariant(r.page); }},
              },
              parent) {}

    enum class Field { None, Family, InsuranceNumber, Code };

    void setAll(QList<ListRow> rows) {
        m_all = std::move(rows);
        apply();
    }
    const QList<ListRow>& all() const { return m_all; }
    void order(ListOrder order) {
        sortRows(m_all, order);
        apply();
    }
    void narrow(Field field, const QString& prefix) {
        m_field = field;
        m_prefix = prefix;
        apply();
    }

private:
    void apply() {
        if (m_field == Field::None || m_prefix.isEmpty()) {
            setRows(m_all);
            return;
        }
        QList<ListRow> kept;
        for (const ListRow& r : std::as_const(m_all)) {
            const QString& value = m_field == Field::Family            ? r.family
                                   : m_field == Field::InsuranceNumber ? r.insuranceNumber
                                                                       : r.code;
            if (value.startsWith(m_prefix)) kept.append(r);
        }
        setRows(kept);
    }

    QList<ListRow> m_all;
    Field m_field = Field::None;
    QString m_prefix;
};

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

Tf_list_bimeh::Tf_list_bimeh(const WindowContext& windows, QString workingDir, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_workingDir(std::move(workingDir)), m_store(windows.db) {
    setObjectName(QStringLiteral("Tf_list_bimeh"));
    setWindowTitle(texts::kTitle);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    m_chooseFile = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, windowTitle(), proposed);
    };
    m_outputReport = [this](const print::Report& report, bool preview) {
        const print::OutputResult result = preview ? print::preview(report, this) : print::printDirect(report);
        if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
    };
    m_openSheet = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    makeFields();
    makeGrid();
    makeCommands();
    makeLayout();
    resize(1200, 700); // room for the grid's rows under the selection fields
}

Tf_list_bimeh::~Tf_list_bimeh() = default;

void Tf_list_bimeh::makeFields() {
    Prompter& prompter = m_windows.prompter;
    edtInsID = named(new CodeField(this), "edtInsID");
    edtInsID->setMaxDigits(9);
    edtInsID->setRefusalText(claims::texts::kUnknownCodeDot);
    edtInsID->setLookup([this](qint64 code) { return InsurerStore(m_windows.db).nameOf(int(code)); }, nullptr, prompter);
    edtInsID->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            if (!pickCode(m_windows, edtInsID, QStringLiteral("bime_list"), InsurerStore(m_windows.db).pickRows())) return;
            insurerEntered();
            me_code_no->setFocus();
        });
    });
    lstIns = named(new QListWidget(this), "lstIns");
    lstInsID = named(new QListWidget(this), "lstInsID");
    lstInsID->hide();

    me_name_no = named(new QLineEdit(this), "me_name_no");
    me_name_no->setReadOnly(true);
    me_name_no->setFocusPolicy(Qt::NoFocus);
    me_code_no = named(new CodeField(this), "me_code_no");
    me_code_no->setMaxDigits(9);
    me_code_no->setLookup(
        [this](qint64 code) { return LookupList(m_windows.db, LookupKind::PrescriptionTypes).nameOf(code); }, me_name_no,
        prompter);
    me_code_no->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            if (pickCode(m_windows, me_code_no, QStringLiteral("type_no1"), prescriptionTypePickRows(m_windows.db)))
                me_date11->setFocus();
        });
    });

    CheckListBox1 = named(new QListWidget(this), "CheckListBox1");
    CheckListBox1->installEventFilter(this);
    CheckBox1 = named(new QCheckBox(QStringLiteral("همه"), this), "CheckBox1");
    CheckBox1->setChecked(true);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        for (int i = 0; i < CheckListBox1->count(); ++i) CheckListBox1->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    });

    me_date11 = named(new DateField(DateField::Year::TwoDigits, this), "me_date11");
    me_date22 = named(new DateField(DateField::Year::TwoDigits, this), "me_date22");
    me_kaf = named(new CodeField(this), "me_kaf");
    me_saghf = named(new CodeField(this), "me_saghf");
    me_page1 = named(new CodeField(this), "me_page1");
    me_page2 = named(new CodeField(this), "me_page2");
    fani = named(new CodeField(this), "fani");
    for (CodeField* field : {me_kaf, me_saghf}) field->setMaxDigits(12);
    for (CodeField* field : {me_page1, me_page2}) field->setMaxDigits(5);
    fani->setMaxDigits(20);

    rb_all = named(new QRadioButton(texts::kAll, this), "rb_all");
    rb_taeed = named(new QRadioButton(texts::kConfirmed, this), "rb_taeed");
    rb_else = named(new QRadioButton(texts::kOrdinary, this), "rb_else");
    auto* choices = new QButtonGroup(this);
    for (QRadioButton* b : {rb_all, rb_taeed, rb_else}) choices->addButton(b);
    rb_all->setChecked(true);

    CheckBox3 = named(new QCheckBox(texts::kZeroBefore, this), "CheckBox3");
    chbBimarName = named(new QCheckBox(texts::kPatientNames, this), "chbBimarName");
    chbDoctorName = named(new QCheckBox(texts::kDoctorNames, this), "chbDoctorName");
    CheckBox2 = named(new QCheckBox(texts::kShowSpecialty, this), "CheckBox2");

    me_search1 = makeLineField(this, QStringLiteral("me_search1"));
    me_search2 = makeLineField(this, QStringLiteral("me_search2"));
    me_search3 = makeLineField(this, QStringLiteral("me_search3"));
    connect(me_search1, &QLineEdit::textChanged, this, [this] { search(1); });
    connect(me_search2, &QLineEdit::textChanged, this, [this] { search(2); });
    connect(me_search3, &QLineEdit::textChanged, this, [this] { search(3); });
    for (QLineEdit* field : {me_search1, me_search2, me_search3}) field->installEventFilter(this);
    for (QLineEdit* field : std::initializer_list<QLineEdit*>{edtInsID, me_code_no, me_date11, me_date22, me_kaf, me_saghf,
                                                             me_page1, me_page2, fani})
        field->installEventFilter(this);

    me_sazman = totalBox(this, "me_sazman");
    me_bimar = totalBox(this, "me_bimar");
    me_koll = totalBox(this, "me_koll");
    count = totalBox(this, "count");
    me_sazman_noskhe = totalBox(this, "me_sazman_noskhe");
    me_sazman_aghlam = totalBox(this, "me_sazman_aghlam");

    // Enter and Up along the selection fields, then the three choices.
    m_nav = new KeyNav({edtInsID, me_code_no, CheckListBox1, me_date11, me_date22, me_kaf, me_saghf, me_page1, me_page2,
                        rb_all, rb_taeed, rb_else},
                       this);
    m_nav->setEnterHandler(edtInsID, [this] { return insurerEntered(); });
    m_nav->setUpMoves(CheckListBox1, false);
}

void Tf_list_bimeh::makeGrid() {
    m_rows = new ListRowsModel(this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    setCodeColumns(DBGrid1, {0});
    setAmountColumns(DBGrid1, {7, 8, 9});
    DBGrid1->installEventFilter(this);
}

void Tf_list_bimeh::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Edit | CommandBar::Search | CommandBar::Print | CommandBar::Sort |
                               CommandBar::New | CommandBar::Close,
                           this);
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setRight(CommandBar::Edit, {});
    const auto command = [this](CommandBar::Command c, const char* name, const QString& caption, std::function<void()> run) {
        QPushButton* button = m_bar->button(c);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        m_bar->setHandler(c, [this, run] { guarded(m_windows.prompter, run); });
    };

    m_exportMenu = new QMenu(this);
    m_exportMenu->addAction(texts::kOnDiskette, this, [this] { guarded(m_windows.prompter, [this] { exportClaimFile(ClaimPlace::Removable); }); });
    m_exportMenu->addAction(texts::kInDefault, this, [this] { guarded(m_windows.prompter, [this] { exportClaimFile(ClaimPlace::Default); }); });
    m_exportMenu->addAction(texts::kInChosen, this, [this] { guarded(m_windows.prompter, [this] { exportClaimFile(ClaimPlace::Chosen); }); });
    m_exportMenu->addAction(texts::kInChosenNoLines, this,
                            [this] { guarded(m_windows.prompter, [this] { exportClaimFile(ClaimPlace::ChosenNoLines); }); });
    m_exportMenu->addAction(texts::kImage, this, [this] { guarded(m_windows.prompter, [this] { printList(false); }); });
    m_exportMenu->addAction(texts::kExcel, this, [this] { guarded(m_windows.prompter, [this] { exportSheet(); }); });

    m_sortMenu = new QMenu(this);
    const QList<ListOrder> orders = {ListOrder::Invoice,    ListOrder::Family,       ListOrder::InsuranceNumber,
                                     ListOrder::Date,       ListOrder::Code,         ListOrder::Prescriber,
                                     ListOrder::InsurerShare, ListOrder::PatientShare, ListOrder::Total};
    for (int i = 0; i < orders.size(); ++i) {
        QAction* action = m_sortMenu->addAction(texts::kSortEntries.at(i), this, [this, order = orders.at(i)] { sortBy(order); });
        // Ctrl+A to Ctrl+I, also while the menu is closed.
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }

    command(CommandBar::Save, "ToolButton2", texts::kExport,
            [this] { m_exportMenu->popup(m_bar->button(CommandBar::Save)->mapToGlobal(QPoint(0, 0))); });
    command(CommandBar::Edit, "ToolButton1", texts::kCorrect, [this] { correctPrescription(); });
    command(CommandBar::Search, "but_search", texts::kShow, [this] { showList(); });
    command(CommandBar::Print, "but_print", texts::kPrint, [this] { printList(true); });
    command(CommandBar::Sort, "but_sort", texts::kSort,
            [this] { m_sortMenu->popup(m_bar->button(CommandBar::Sort)->mapToGlobal(QPoint(0, 0))); });
    command(CommandBar::New, "but_enseraf", texts::kNew, [this] { clearScreen(); });
    m_bar->button(CommandBar::Close)->setText(texts::kClose);
}

void Tf_list_bimeh::makeLayout() {
    auto* remove = named(new QPushButton(texts::kRemove, this), "BitBtn1");
    remove->setToolTip(texts::kRemove);
    connect(remove, &QPushButton::clicked, this, [this] { removeInsurer(); });

    auto* insurers = new QVBoxLayout;
    auto* insurerRow = new QHBoxLayout;
    insurerRow->addWidget(new QLabel(QStringLiteral("بيمه:"), this));
    insurerRow->addWidget(edtInsID);
    insurerRow->addWidget(remove);
    insurers->addLayout(insurerRow);
    insurers->addWidget(lstIns);
    lstIns->setMaximumHeight(90);

    // Each field with its caption on its right: caption, field, caption, field.
    auto* filters = new QGridLayout;
    filters->addWidget(new QLabel(QStringLiteral("نوع نسخه:"), this), 0, 0);
    filters->addWidget(me_code_no, 0, 1);
    filters->addWidget(me_name_no, 0, 2, 1, 2);
    filters->addWidget(new QLabel(QStringLiteral("از تاريخ:"), this), 1, 0);
    filters->addWidget(me_date11, 1, 1);
    filters->addWidget(new QLabel(QStringLiteral("تا تاريخ:"), this), 1, 2);
    filters->addWidget(me_date22, 1, 3);
    filters->addWidget(new QLabel(texts::kKaf, this), 2, 0);
    filters->addWidget(me_kaf, 2, 1);
    filters->addWidget(new QLabel(texts::kSaghf, this), 2, 2);
    filters->addWidget(me_saghf, 2, 3);
    filters->addWidget(new QLabel(texts::kPage1, this), 3, 0);
    filters->addWidget(me_page1, 3, 1);
    filters->addWidget(new QLabel(texts::kPage2, this), 3, 2);
    filters->addWidget(me_page2, 3, 3);
    filters->addWidget(new QLabel(texts::kFani, this), 4, 0);
    filters->addWidget(fani, 4, 1);

    auto* specialties = new QVBoxLayout;
    auto* specialtiesCaption = new QHBoxLayout;
    specialtiesCaption->addWidget(new QLabel(QStringLiteral("تخصص پزشك:"), this));
    specialtiesCaption->addWidget(CheckBox1);
    specialtiesCaption->addStretch(1);
    specialties->addLayout(specialtiesCaption);
    specialties->addWidget(CheckListBox1);
    specialties->addStretch(1);
    CheckListBox1->setMaximumHeight(90);

    auto* options = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{rb_all, rb_taeed, rb_else, CheckBox3, chbBimarName, chbDoctorName, CheckBox2})
        options->addWidget(w);

    auto* top = new QHBoxLayout;
    top->addLayout(insurers);
    top->addLayout(filters);
    top->addLayout(specialties);
    top->addLayout(options);

    auto* searches = new QHBoxLayout;
    for (const auto& [label, field] : {std::pair{texts::kSearch1, me_search1}, std::pair{texts::kSearch2, me_search2},
                                       std::pair{texts::kSearch3, me_search3}}) {
        searches->addWidget(new QLabel(label, this));
        searches->addWidget(field);
    }

    auto* totals = new QGridLayout;
    const QList<std::pair<QString, QLineEdit*>> boxes = {{texts::kSazman, me_sazman}, {texts::kBimar, me_bimar},
                                                         {texts::kKoll, me_koll},     {texts::kCount, count},
                                                         {texts::kSazmanNoskhe, me_sazman_noskhe},
                                                         {texts::kSazmanAghlam, me_sazman_aghlam}};
    for (int i = 0; i < boxes.size(); ++i) {
        totals->addWidget(new QLabel(boxes.at(i).first, this), i / 4, (i % 4) * 2);
        totals->addWidget(boxes.at(i).second, i / 4, (i % 4) * 2 + 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(searches);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(totals);
    layout->addWidget(m_bar);
}

void Tf_list_bimeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    fani->setText(m_windows.context.director_nezam);
    clearScreen();
    guarded(m_windows.prompter, [this] { fillSpecialties(); });
    edtInsID->setFocus();
}

void Tf_list_bimeh::fillSpecialties() {
    CheckListBox1->clear();
    m_specialtyCodes.clear();
    for (const auto& [code, name] : DoctorStore(m_windows.db).specialties()) {
        auto* item = new QListWidgetItem(name, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        m_specialtyCodes.append(code);
    }
    if (CheckListBox1->count()) CheckListBox1->setCurrentRow(0);
}

bool Tf_list_bimeh::insurerEntered() {
    if (edtInsID->text().isEmpty()) return true;
    if (!edtInsID->acceptCode()) return false;
    const std::optional<qint64> code = edtInsID->code();
    const std::optional<QString> name = edtInsID->lookupName();
    if (code && name) addInsurer(int(*code), *name);
    edtInsID->clear();
    return true;
}

void Tf_list_bimeh::addInsurer(int code, const QString& name) {
    lstIns->addItem(name);
    lstInsID->addItem(QString::number(code));
}

void Tf_list_bimeh::removeInsurer() {
    const int row = lstIns->currentRow();
    if (row < 0) return;
    delete lstIns->takeItem(row);
    delete lstInsID->takeItem(row);
}

namespace {
// The stored yy/mm/dd of a date field: empty when nothing is typed; a malformed date is
// passed on as typed so that the check refuses it.
QString dateOf(const DateField* field) {
    QString shown = field->text();
    shown.remove(u'/');
    if (shown.trimmed().isEmpty()) return {};
    const QString stored = field->storedText();
    return stored.isEmpty() ? field->text() : stored;
}
} // namespace

ListSelection Tf_list_bimeh::selection() const {
    ListSelection s;
    for (int i = 0; i < lstInsID->count(); ++i) s.insurers.append(lstInsID->item(i)->text().toInt());
    if (const auto type = me_code_no->code()) s.prescriptionType = int(*type);
    if (!me_kaf->text().isEmpty()) s.lowestTotal = me_kaf->text().toDouble();
    if (!me_saghf->text().isEmpty()) s.highestTotal = me_saghf->text().toDouble();
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() != Qt::Checked) s.excludedSpecialties.append(m_specialtyCodes.value(i));
    s.confirmation = rb_taeed->isChecked()  ? ListSelection::Confirmation::Confirmed
                     : rb_else->isChecked() ? ListSelection::Confirmation::Ordinary
                                            : ListSelection::Confirmation::All;
    s.from = dateOf(me_date11);
    s.to = dateOf(me_date22);
    return s;
}

std::optional<ListSelection> Tf_list_bimeh::checkedSelection() {
    ListSelection s = selection();
    const std::optional<ListFault> fault = checkSelection(s, fani->text());
    if (!fault) return s;
    m_windows.prompter.warning(listFaultText(*fault));
    switch (*fault) {
    case ListFault::NoInsurer: edtInsID->setFocus(); break;
    case ListFault::NoFani: fani->setFocus(); break;
    case ListFault::NoFirstDate:
    case ListFault::BadFirstDate: me_date11->setFocus(); break;
    case ListFault::NoSecondDate:
    case ListFault::BadSecondDate: me_date22->setFocus(); break;
    }
    return std::nullopt;
}

void Tf_list_bimeh::resetTotals() {
    for (QLineEdit* box : {me_sazman, me_bimar, me_koll, count}) box->setText(QStringLiteral("0"));
    m_rows->setAll({});
    m_bound = false;
}

void Tf_list_bimeh::clearScreen() {
    edtInsID->clear();
    rb_all->setChecked(true);
    resetTotals();
    me_sazman_noskhe->setText(QStringLiteral("0"));
    me_sazman_aghlam->setText(QStringLiteral("0"));
    m_bar->button(CommandBar::Print)->setEnabled(false);
    for (QCheckBox* box : {CheckBox3, chbBimarName, chbDoctorName}) box->setChecked(false);
}

void Tf_list_bimeh::showRows(QList<ListRow> rows) {
    const ListTotals totals = totalsOf(rows);
    me_sazman->setText(amountDisplayText(totals.insurerShare));
    me_bimar->setText(amountDisplayText(totals.patientShare));
    me_koll->setText(amountDisplayText(totals.total()));
    count->setText(QString::number(totals.count));
    m_rows->narrow(ListRowsModel::Field::None, {});
    m_rows->setAll(std::move(rows));
    m_bound = true;
    selectRow(0);
}

void Tf_list_bimeh::showList() {
    resetTotals();
    m_bar->button(CommandBar::Print)->setEnabled(true);
    const std::optional<ListSelection> s = checkedSelection();
    if (!s) return;
    QList<ListRow> rows = m_store.rows(*s);
    if (rows.isEmpty()) {
        m_windows.prompter.warning(claims::texts::kNothingFound);
        return;
    }
    m_shown = *s;
    showRows(std::move(rows));
}

void Tf_list_bimeh::selectRow(int row) {
    if (!m_rows->hasRow(row)) return;
    DBGrid1->setCurrentIndex(m_rows->index(row, 0));
}

const QList<ListRow>& Tf_list_bimeh::shownRows() const { return m_rows->rows(); }

void Tf_list_bimeh::sortBy(ListOrder order) {
    if (m_bound) m_rows->order(order);
}

void Tf_list_bimeh::search(int which) {
    if (!m_bound) return;
    QLineEdit* field = which == 1 ? me_search1 : which == 2 ? me_search2 : me_search3;
    const QString text = field->text();
    if (text.isEmpty()) {
        m_rows->narrow(ListRowsModel::Field::None, {});
        return;
    }
    if (which == 1 && text.at(0).isDigit()) {
        // A number locates the invoice in invoice order.
        m_rows->narrow(ListRowsModel::Field::None, {});
        m_rows->order(ListOrder::Invoice);
        const QList<ListRow>& rows = m_rows->rows();
        for (int i = 0; i < rows.size(); ++i)
            if (QString::number(rows.at(i).invoice) == text) selectRow(i);
        return;
    }
    const ListOrder order = which == 1 ? ListOrder::Family : which == 2 ? ListOrder::InsuranceNumber : ListOrder::Code;
    const auto narrowBy = which == 1   ? ListRowsModel::Field::Family
                          : which == 2 ? ListRowsModel::Field::InsuranceNumber
                                       : ListRowsModel::Field::Code;
    m_rows->order(order);
    m_rows->narrow(narrowBy, text);
}

void Tf_list_bimeh::correctPrescription() {
    if (!m_bound || m_rows->rowCount() == 0 || !m_openPrescription) return;
    const int row = currentSourceRow(DBGrid1);
    if (!m_rows->hasRow(row)) return;
    m_openPrescription(m_rows->row(row).invoice);
    // Corrected prescriptions are read again, in date order.
    m_rows->setAll(m_store.rows(m_shown));
    const ListTotals totals = totalsOf(m_rows->all());
    me_sazman->setText(amountDisplayText(totals.insurerShare));
    me_bimar->setText(amountDisplayText(totals.patientShare));
    me_koll->setText(amountDisplayText(totals.total()));
    count->setText(QString::number(totals.count));
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

bool Tf_list_bimeh::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+A to Ctrl+I sort the list from every field, a text field's own use of them aside.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_I) return true;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == CheckListBox1) {
        if (key->key() == Qt::Key_Right) {
            me_code_no->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Space && CheckListBox1->currentItem()) {
            QListWidgetItem* item = CheckListBox1->currentItem();
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return true;
        }
    }
    if (watched == me_search1 || watched == me_search2 || watched == me_search3) {
        if (isEnter(key)) {
            if (watched == me_search1) me_search2->setFocus();
            if (watched == me_search2) me_search3->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Up) {
            DBGrid1->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            if (watched == me_search3) me_search2->setFocus();
            if (watched == me_search2) me_search1->setFocus();
            return true;
        }
    }
    if (watched == DBGrid1 && key->key() == Qt::Key_Tab) {
        me_search1->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
