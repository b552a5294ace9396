// The insurance list window's fields, grid, command bar and layout.

#include "claims/ui/list_bimeh.h"

#include "catalogue/lookup_list.h"
#include "claims/claims_texts.h"
#include "claims/ui/list_bimeh_texts.h"
#include "claims/ui/list_rows_model.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/number_delegate.h"
#include "widgets/window_tools.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ph {

namespace {

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

} // namespace ph
