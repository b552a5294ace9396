// The dispensing window's line entry, totals, command buttons and layout.

#include "dispensing/ui/froosh_darou.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/header_panel.h"
#include "widgets/line_list_model.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

namespace {

using Col = PrescriptionLines::Column;

QLineEdit* makeDigits(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void Tf_froosh_darou::makeLineEntry() {
    me_tedad = makeDigits(this, QStringLiteral("me_tedad"));
    cb_vaziat = new QComboBox(this);
    cb_vaziat->setObjectName(QStringLiteral("cb_vaziat"));
    cb_vaziat->setEditable(true);
    cb_vaziat->setInsertPolicy(QComboBox::NoInsert);
    cb_vaziat->addItems({texts::kInsured, texts::kFree, texts::kOtc, texts::kGoods});
    me_price = makeDigits(this, QStringLiteral("me_price"));
    Label11 = new QLabel(QStringLiteral("قيمت واحد"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    but_sabt1 = makeButton(this, QStringLiteral("but_sabt1"), QStringLiteral("ثبت دارو"));
    but_edit = makeButton(this, QStringLiteral("but_edit"), QStringLiteral("اصلاح دارو"));
    connect(but_sabt1, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { addLine(); }); });
    connect(but_edit, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { replaceLine(); }); });
    for (QWidget* field : {static_cast<QWidget*>(me_tedad), static_cast<QWidget*>(cb_vaziat),
                           static_cast<QWidget*>(me_price), static_cast<QWidget*>(but_sabt1),
                           static_cast<QWidget*>(but_edit)})
        field->installEventFilter(this);

    m_linesModel = new LineListModel(m_session.lines(), this);
    StringGrid1 = makeListGrid(this, QStringLiteral("StringGrid1"), m_linesModel);
    setTextColumn(StringGrid1, Col::Name);
    // The amounts grouped by thousands, as the totals below them.
    setAmountColumns(StringGrid1, {Col::UnitPrice, Col::Total, Col::InsurerShare, Col::PatientShare, Col::FreeAmount,
                                   Col::OtcAmount, Col::GoodsAmount, Col::MainDrugPrice, Col::HotelingPrice});
    connect(StringGrid1, &QTableView::clicked, this, &Tf_froosh_darou::selectLine);
}

void Tf_froosh_darou::makeTotals() {
    auto field = [this](const char* name) {
        QLineEdit* edit = makeLineField(this, QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setAlignment(Qt::AlignLeft);
        return edit;
    };
    me_sahme_bime = field("me_sahme_bime");
    me_sahme_bimar = field("me_sahme_bimar");
    MedtKol = field("MedtKol");
    me_azad = field("me_azad");
    me_otc = field("me_otc");
    me_kala = field("me_kala");
    me_koll_tarefeh = field("me_koll_tarefeh");
    me_fani = field("me_fani");
    me_koll = field("me_koll");
}

void Tf_froosh_darou::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DocumentWindow | CommandBar::Navigation | CommandBar::Sort |
                               CommandBar::Print,
                           this);
    m_bar->nameButtons({
        {CommandBar::Save, "but_ok", u"ثبت نسخهF2"},
        {CommandBar::Edit, "but_eslah", u"ويرايش F3"},
        {CommandBar::RemoveLine, "but_hazf", u"حذف دارو F4"},
        {CommandBar::DeleteDocument, "but_delete_f", u"حذف نسخهCtrl+F4"},
        {CommandBar::Sort, "but_search", u"جستجوtrl+S"},
        {CommandBar::Print, "but_print", u"چاپF8"},
        {CommandBar::New, "but_enseraf", u"جديد/انصراف F9"},
        {CommandBar::Close, "but_close", u"خروجF10"},
    });
    // The save right is the session's first check; F10 alone closes, Esc belongs to the lookup.
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { save(); }); });
    m_bar->setHandler(CommandBar::RemoveLine, [this] { guarded(m_windows.prompter, [this] { removeLine(); }); });
    m_bar->setHandler(CommandBar::New, [this] { guarded(m_windows.prompter, [this] { abandon(); }); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    makeSearchMenu();
    makePrintMenu();

    but_Modiriat = makeButton(this, QStringLiteral("but_Modiriat"), QStringLiteral("مديريت"));
    m_management = new QMenu(this);
    m_management->setObjectName(QStringLiteral("PopModiriat"));
    QAction* drugs = m_management->addAction(QStringLiteral("تعريف دارو"));
    drugs->setShortcut(QKeySequence(Qt::Key_F11));
    connect(drugs, &QAction::triggered, this, [this] { openDrugList(); });
    m_rulesAction = m_management->addAction(QStringLiteral("استثنائات"));
    connect(m_rulesAction, &QAction::triggered, this, [this] {
        if (m_openWindow) m_openWindow(QStringLiteral("Tfmbimeh_daru"));
    });
    QAction* insurerChange = m_management->addAction(QStringLiteral("تغيير بيمه"));
    connect(insurerChange, &QAction::triggered, this, [this] {
        if (m_openWindow) m_openWindow(QStringLiteral("Tedit_bimeh"));
    });
    QAction* bill = m_management->addAction(QStringLiteral("صورتحساب"));
    bill->setShortcut(QKeySequence(Qt::Key_F6));
    connect(bill, &QAction::triggered, this, [this] { guarded(m_windows.prompter, [this] { openBill(); }); });
    QAction* goodsSheet = m_management->addAction(QStringLiteral("کلا برگ"));
    connect(goodsSheet, &QAction::triggered, this, [this] {
        if (m_openWindow) m_openWindow(QStringLiteral("Tm_kala_b"));
    });
    QAction* equivalents = m_management->addAction(QStringLiteral("معادل"));
    equivalents->setObjectName(QStringLiteral("mnuMoadel"));
    equivalents->setShortcut(QKeySequence(Qt::Key_F5));
    connect(equivalents, &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { openEquivalents(); }); });
    QAction* history = m_management->addAction(QStringLiteral("تاريخچه تغييرات"));
    history->setObjectName(QStringLiteral("mnuTarikhche"));
    history->setShortcut(QKeySequence(Qt::Key_F12));
    connect(history, &QAction::triggered, this, [this] { guarded(m_windows.prompter, [this] { openHistory(); }); });
    but_Modiriat->setMenu(m_management);
}

void Tf_froosh_darou::makeLayout() {
    auto* top = new QHBoxLayout;
    top->addWidget(m_bar, 1);
    top->addWidget(but_Modiriat);
    auto* hint = new QLabel(texts::kHelpHint, this);
    hint->setLayoutDirection(Qt::LeftToRight); // reads "F1: ..." from the left
    top->addWidget(hint);

    auto* entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("تعداد "), this));
    entry->addWidget(me_tedad);
    entry->addWidget(new QLabel(QStringLiteral("وضعيت "), this));
    entry->addWidget(cb_vaziat);
    entry->addWidget(Label11);
    entry->addWidget(me_price);
    entry->addWidget(but_sabt1);
    entry->addWidget(but_edit);
    entry->addStretch(1);
    me_tedad->setMaximumWidth(80);
    me_price->setMaximumWidth(110);
    cb_vaziat->setMinimumWidth(90);

    auto* totals = new QGridLayout;
    totals->setVerticalSpacing(2);
    const QList<QPair<QString, QLineEdit*>> captions = {
        {QStringLiteral("سهم بيمه"), me_sahme_bime},
        {QStringLiteral("سهم بيمار "), me_sahme_bimar},
        {QStringLiteral("سهم بيمه +سهم بيمار"), MedtKol},
        {QStringLiteral("مبلغ کل تعرفه اي"), me_koll_tarefeh},
        {QStringLiteral("داروي آزاد"), me_azad},
        {QStringLiteral("OTC"), me_otc},
        {QStringLiteral("جمع كالا"), me_kala},
        {QStringLiteral("حق فني"), me_fani},
    };
    for (int i = 0; i < captions.size(); ++i) {
        const int row = i / 4;
        const int column = (i % 4) * 2;
        auto* label = new QLabel(captions[i].first, this);
        label->setBuddy(captions[i].second);
        totals->addWidget(label, row, column);
        totals->addWidget(captions[i].second, row, column + 1);
    }
    auto* payable = new QHBoxLayout;
    payable->addWidget(new QLabel(QStringLiteral("جمع كل پرداختي:"), this));
    payable->addWidget(me_koll, 1);
    payable->addWidget(new QLabel(QStringLiteral(" ريال "), this));
    QFont strong = me_koll->font();
    strong.setBold(true);
    me_koll->setFont(strong);
    totals->addLayout(payable, 0, 8, 2, 1);
    auto* totalsBox = new QGroupBox(this);
    totalsBox->setObjectName(QStringLiteral("Panel3"));
    totalsBox->setLayout(totals);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_userPanel = new QLabel(this);
    m_timePanel = new QLabel(this);
    m_datePanel = new QLabel(this);
    for (QLabel* panel : {m_userPanel, m_timePanel, m_datePanel})
        status->addWidget(panel, 1);
    status->addWidget(new QLabel(texts::kLineListHint, this), 3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_header);
    layout->addWidget(m_drugs);
    layout->addLayout(entry);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(totalsBox);
    layout->addWidget(status);
    StringGrid1->setMinimumHeight(60);
    resize(1280, 700);
}

} // namespace ph
