// The goods sale window's fields, command buttons and layout.

#include "sales/ui/froosh_kala.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "catalogue/lookup_list.h"
#include "dispensing/ui/drug_lookup.h"
#include "sales/sales_texts.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/keys.h"
#include "widgets/line_list_model.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

namespace t = texts::sales;
using Col = GoodsLines::Column;

namespace {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* shownField(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

} // namespace

void Tf_froosh_kala::makeFields() {
    me_sh_factor = shownField(this, "me_sh_factor");
    me_date_ta = shownField(this, "me_date_ta");
    if (goods()) {
        me_family = makeLineField(this, QStringLiteral("me_family"));
        me_name = makeLineField(this, QStringLiteral("me_name"));
    } else {
        // The request number is free text, as written on the ward's request ("R-205").
        sh_darkhast = makeLineField(this, QStringLiteral("sh_darkhast"));
        sh_darkhast->setMaxLength(50);
        me_code_bakhsh = new CodeField(this);
        me_code_bakhsh->setObjectName(QStringLiteral("me_code_bakhsh"));
        me_code_bakhsh->setMaxDigits(5);
        me_name_bakhsh = shownField(this, "me_name_bakhsh");
        Database& db = m_windows.db;
        me_code_bakhsh->setLookup([&db](qint64 code) { return activeWardName(db, code); }, me_name_bakhsh,
                                  m_windows.prompter);
        me_code_bakhsh->setPicker([this] {
            if (pickCode(m_windows, me_code_bakhsh, QStringLiteral("place3"), activeWardPickRows(m_windows.db)))
                DBGrid2->setFocus();
        });
    }

    DBGrid2 = new DrugLookup(m_windows.prompter, this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setCaptions(t::kGoodsLookupCaptions);
    connect(DBGrid2, &DrugLookup::chosen, this, &Tf_froosh_kala::chooseGoods);
    connect(DBGrid2, &DrugLookup::backRequested, this, [this] {
        if (goods())
            me_name->setFocus();
        else
            me_code_bakhsh->setFocus();
    });

    me_tedad = makeLineField(this, QStringLiteral("me_tedad"));
    me_tedad->setMaxLength(3);
    me_tedad->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), me_tedad));
    cb_vaziat = new QComboBox(this);
    cb_vaziat->setObjectName(QStringLiteral("cb_vaziat"));
    cb_vaziat->setEditable(true);
    cb_vaziat->setInsertPolicy(QComboBox::NoInsert);
    cb_vaziat->addItems(m_session.kinds());
    but_sabt1 = makeButton(this, QStringLiteral("but_sabt1"), QStringLiteral("ثبت كالا"));
    BitBtn1 = makeButton(this, QStringLiteral("BitBtn1"), QStringLiteral("اصلاح دارو"));
    connect(but_sabt1, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { addLine(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { replaceLine(); }); });

    m_linesModel = new LineListModel(m_session.lines(), this);
    StringGrid1 = makeListGrid(this, QStringLiteral("StringGrid1"), m_linesModel);
    setTextColumn(StringGrid1, Col::Name);
    setAmountColumns(StringGrid1, {Col::UnitPrice, Col::Total});
    connect(StringGrid1, &QTableView::clicked, this, &Tf_froosh_kala::selectLine);

    me_koll_kala = shownField(this, "me_koll_kala");
    me_otc = shownField(this, "me_otc");
    me_koll = shownField(this, "me_koll");
}

void Tf_froosh_kala::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DocumentWindow | CommandBar::Navigation | CommandBar::Sort | CommandBar::Print,
                           this);
    m_bar->nameButtons({
        {CommandBar::Save, "but_ok", u" ثبت فاكتور F2"},
        {CommandBar::Edit, "but_edit", u"ويرايش F3"},
        {CommandBar::RemoveLine, "but_delete_kala", u"حذف كالا F4"},
        {CommandBar::DeleteDocument, "but_delete_f", u"حذف فاكتور Ctrl+f4"},
        {CommandBar::Sort, "but_search", u"جستجو"},
        {CommandBar::Print, "ToolButton1", u"چاپ فاكتورF8"},
        {CommandBar::New, "but_enseraf", u"انصراف/جديد F9"},
        {CommandBar::Close, "but_close", u"خروجF10"},
    });
    // The session checks the save and delete rights (the save's before its question); F10
    // alone closes, Esc belongs to the lookup; the print button has no key.
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setRight(CommandBar::DeleteDocument, {});
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setKeys(CommandBar::Print, {});
    m_bar->setKeys(CommandBar::Sort, {});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { save(); }); });
    m_bar->setHandler(CommandBar::Edit, [this] { guarded(m_windows.prompter, [this] { beginEdit(); }); });
    m_bar->setHandler(CommandBar::RemoveLine, [this] { guarded(m_windows.prompter, [this] { removeLine(); }); });
    m_bar->setHandler(CommandBar::DeleteDocument, [this] { guarded(m_windows.prompter, [this] { deleteStored(); }); });
    m_bar->setHandler(CommandBar::New, [this] { guarded(m_windows.prompter, [this] { abandon(); }); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    m_bar->setHandler(CommandBar::First, [this] { guarded(m_windows.prompter, [this] { showFirst(); }); });
    m_bar->setHandler(CommandBar::Previous, [this] { guarded(m_windows.prompter, [this] { showPrevious(); }); });
    m_bar->setHandler(CommandBar::Next, [this] { guarded(m_windows.prompter, [this] { showNext(); }); });
    m_bar->setHandler(CommandBar::Last, [this] { guarded(m_windows.prompter, [this] { showLast(); }); });
    m_bar->setHandler(CommandBar::Print, [this] { guarded(m_windows.prompter, [this] { printShown(); }); });

    m_searchMenu = new QMenu(this);
    m_searchMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const QStringList searches = {QStringLiteral("براساس شماره فاكتور"), QStringLiteral("براساس نام خانوادگي"),
                                  QStringLiteral("براساس تاريخ تحويل")};
    for (int i = 0; i < searches.size(); ++i) {
        QAction* action = m_searchMenu->addAction(searches[i]);
        action->setObjectName(QStringLiteral("N%1").arg(i + 1));
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
    }
    connect(m_searchMenu->actions().at(0), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchByNumber(); }); });
    connect(m_searchMenu->actions().at(1), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchInvoices(5); }); });
    connect(m_searchMenu->actions().at(2), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchInvoices(6); }); });
    QPushButton* button = m_bar->button(CommandBar::Sort);
    m_bar->setHandler(CommandBar::Sort, [this, button] {
        m_searchMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
}

void Tf_froosh_kala::makeLayout() {
    auto* header = new QHBoxLayout;
    QList<QPair<QString, QWidget*>> fields = {
        {QStringLiteral("شماره فاكتور:"), me_sh_factor},
        {QStringLiteral("تاريخ تحويل:"), me_date_ta},
    };
    if (goods())
        fields += {{QStringLiteral("نام خانوادگي: "), me_family}, {QStringLiteral("نام: "), me_name}};
    else
        fields += {{QStringLiteral("شماره درخواست : "), sh_darkhast},
                   {QStringLiteral("بخش:"), me_code_bakhsh},
                   {QString(), me_name_bakhsh}};
    for (const auto& [caption, field] : fields) {
        if (!caption.isEmpty()) header->addWidget(new QLabel(caption, this));
        header->addWidget(field, field == me_sh_factor || field == me_date_ta || field == me_code_bakhsh ? 1 : 2);
    }
    Panel1 = new QGroupBox(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setLayout(header);

    auto* entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("تعداد "), this));
    entry->addWidget(me_tedad);
    entry->addWidget(new QLabel(QStringLiteral("وضعيت "), this));
    entry->addWidget(cb_vaziat);
    entry->addWidget(but_sabt1);
    entry->addWidget(BitBtn1);
    entry->addStretch(1);
    me_tedad->setMaximumWidth(80);
    cb_vaziat->setMinimumWidth(90);

    auto* totals = new QHBoxLayout;
    QList<QPair<QString, QLineEdit*>> sums = {{QStringLiteral("جمع كل دارو:"), me_koll_kala}};
    if (goods())
        sums = {{QStringLiteral("جمع كل كالا :"), me_koll_kala},
                {QStringLiteral("OTC:"), me_otc},
                {QStringLiteral("جمع كل پرداختي: "), me_koll}};
    for (const auto& [caption, field] : sums) {
        totals->addWidget(new QLabel(caption, this));
        totals->addWidget(field);
    }
    me_otc->setVisible(goods());
    me_koll->setVisible(goods());
    if (goods()) totals->addWidget(new QLabel(QStringLiteral(" ريال "), this));
    // A ward's consumption is not printed here.
    m_bar->button(CommandBar::Print)->setVisible(goods());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_bar);
    layout->addWidget(Panel1);
    layout->addWidget(DBGrid2);
    layout->addLayout(entry);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(totals);
    resize(1000, 640);
}

} // namespace ph
