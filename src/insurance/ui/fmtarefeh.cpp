#include "insurance/ui/fmtarefeh.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "core/amounts.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/key_nav.h"
#include "widgets/guarded.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {


struct AmountDef {
    const char* objectName;
    QString caption;     // in the entry panel
    QString gridCaption; // in the grid
    double TariffPeriod::*member;
};

// The amounts in column order, which is also the panel's Enter order.
const QList<AmountDef>& amountDefs() {
    static const QList<AmountDef> defs = {
        {"v_m_s_t", QStringLiteral("مبلغ سقف تعرفه"), QStringLiteral("مبلغ سقف تعرفه"),
         &TariffPeriod::feeCeiling},
        {"v_m_d_t_d", QStringLiteral("مبلغ  تعرفه زيرسقف روز"), QStringLiteral("مبلغ زير سقف در روز"),
         &TariffPeriod::dayDown},
        {"v_m_u_t_d", QStringLiteral("مبلغ  تعرفه بالاي سقف روز"), QStringLiteral("مبلغ بالاي سقف در روز"),
         &TariffPeriod::dayUp},
        {"v_m_d_t_n", QStringLiteral("مبلغ  تعرفه زير سقف شب"), QStringLiteral("مبلغ زير سقف در شب"),
         &TariffPeriod::nightDown},
        {"v_m_u_t_n", QStringLiteral("مبلغ  تعرفه بالاي سقف شب"), QStringLiteral("مبلغ بالاي سقف در شب"),
         &TariffPeriod::nightUp},
        {"v_p_otc", QStringLiteral("درصد OTC"), QStringLiteral("درصد OTC"), &TariffPeriod::otcPercent},
        {"v_m_s_otc", QStringLiteral("مبلغ سقف OTC"), QStringLiteral("حداكثر مبلغ OTC"),
         &TariffPeriod::otcMax},
        {"v_orj", QStringLiteral("مبلغ سقف اورژانس"), QStringLiteral("مبلغ سقف اورژانس"),
         &TariffPeriod::emergencyCeiling},
        {"v_d_orj", QStringLiteral("مبلغ  تعرفه زيرسقف اورژانس"), QStringLiteral("مبلغ زير سقف اورژانس"),
         &TariffPeriod::emergencyDown},
        {"v_u_orj", QStringLiteral("مبلغ  تعرفه بالاي سقف اورژانس"), QStringLiteral("مبلغ بالاي سقف اورژانس"),
         &TariffPeriod::emergencyUp},
    };
    return defs;
}

const QString kFromCaption = QStringLiteral("از تاريخ");
const QString kToCaption = QStringLiteral("تا تاريخ");

} // namespace

Tfmtarefeh::Tfmtarefeh(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("fmtarefeh"));
    setWindowTitle(QStringLiteral("فـــــــرم تــــعــــــرفـــه هـــا"));

    m_model = new QStandardItemModel(this);
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"), m_model);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    auto* form = new QFormLayout(m_panel);
    m_from = new DateField(DateField::Year::TwoDigits, m_panel);
    m_from->setObjectName(QStringLiteral("v_from_d1"));
    m_to = new DateField(DateField::Year::TwoDigits, m_panel);
    m_to->setObjectName(QStringLiteral("v_to_d1"));
    form->addRow(kFromCaption, m_from);
    form->addRow(kToCaption, m_to);
    for (const AmountDef& def : amountDefs()) {
        QLineEdit* field = makeLineField(m_panel, QString::fromLatin1(def.objectName));
        field->setLayoutDirection(Qt::LeftToRight);
        form->addRow(def.caption, field);
        m_amounts.append(field);
    }
    m_ok = new QPushButton(QStringLiteral("تاييد"), m_panel);
    m_ok->setObjectName(QStringLiteral("but_taeed"));
    form->addRow(m_ok);
    connect(m_ok, &QPushButton::clicked, this, &Tfmtarefeh::confirmPanel);
    m_panel->hide();

    m_nav = new KeyNav(this);
    m_nav->addField(m_from);
    m_nav->addField(m_to);
    for (QLineEdit* field : std::as_const(m_amounts))
        m_nav->addField(field);
    m_nav->addField(m_ok);

    m_bar =
        new CommandBar(m_windows.context, m_windows.prompter,
                       CommandBar::Save | CommandBar::Edit | CommandBar::Delete | CommandBar::Close, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("جديد F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("اصلاح F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف F4"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروج F10"));
    m_bar->setRefusal(CommandBar::Edit, QStringLiteral("دسترسي به کليداصلاح براي شما امکان پذير نمي باشد"));
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)}); // Esc hides the panel
    m_bar->setHandler(CommandBar::Save, [this] { newPeriod(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editPeriod(); });
    m_bar->setHandler(CommandBar::Delete, [this] { deletePeriod(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });

    // The entry panel opens beside the grid, so the grid keeps its rows while it is open.
    auto* body = new QHBoxLayout;
    body->addWidget(m_grid, 1);
    body->addWidget(m_panel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_bar);
    resize(1330, 560); // room for the twelve columns of a period
}

Tfmtarefeh::~Tfmtarefeh() = default;

void Tfmtarefeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_panel->hide();
    guarded(m_windows.prompter, [this] { reload(); });
    m_grid->setFocus();
}

void Tfmtarefeh::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Esc leaves the entry panel without saving; it never closes the window.
        if (m_panel->isVisible()) {
            m_panel->hide();
            m_grid->setFocus();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfmtarefeh::reload() {
    const int keep = m_grid->currentIndex().row();
    m_periods = TariffStore(m_windows.db).all();
    m_model->clear();
    QStringList headers = {kFromCaption, kToCaption};
    for (const AmountDef& def : amountDefs())
        headers.append(def.gridCaption);
    m_model->setHorizontalHeaderLabels(headers);
    for (const TariffPeriod& period : std::as_const(m_periods)) {
        QList<QStandardItem*> row = {new QStandardItem(period.fromDate), new QStandardItem(period.toDate)};
        for (const AmountDef& def : amountDefs())
            row.append(numberItem(period.*def.member));
        m_model->appendRow(row);
    }
    if (!m_periods.isEmpty())
        m_grid->setCurrentIndex(m_model->index(qBound(0, keep, int(m_periods.size()) - 1), 0));
}

void Tfmtarefeh::showPanel() {
    m_panel->show();
    m_from->setFocus();
}

void Tfmtarefeh::newPeriod() {
    m_editing.reset();
    m_from->clear();
    m_to->clear();
    for (QLineEdit* field : std::as_const(m_amounts))
        field->setText(QStringLiteral("0"));
    showPanel();
}

void Tfmtarefeh::editPeriod() {
    const int row = currentSourceRow(m_grid);
    if (row < 0 || row >= m_periods.size()) return;
    const TariffPeriod& period = m_periods.at(row);
    m_editing = period;
    m_from->setStoredText(period.fromDate);
    m_to->setStoredText(period.toDate);
    for (int i = 0; i < m_amounts.size(); ++i)
        m_amounts[i]->setText(plainDecimalText(period.*amountDefs().at(i).member));
    showPanel();
}

TariffPeriod Tfmtarefeh::fromPanel() const {
    TariffPeriod period;
    period.fromDate = m_from->storedText();
    period.toDate = m_to->storedText();
    for (int i = 0; i < m_amounts.size(); ++i)
        period.*amountDefs().at(i).member = amountFromText(m_amounts[i]->text());
    return period;
}

void Tfmtarefeh::confirmPanel() {
    const bool stored = guarded(m_windows.prompter, [this] {
        const TariffPeriod period = fromPanel();
        TariffStore(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmtarefeh"))).save(period, m_editing ? &*m_editing : nullptr);
        reload();
    });
    if (!stored) return; // a conversion error keeps the panel open on the typed values
    m_panel->hide();
    m_grid->setFocus();
}

void Tfmtarefeh::deletePeriod() {
    const int row = currentSourceRow(m_grid);
    if (row < 0 || row >= m_periods.size()) return;
    ConfirmRequest request;
    request.text = QStringLiteral("ركورد جاري حذف ميشود . مايل به حذف كردن هستيد؟");
    if (m_windows.prompter.confirm(request).result != 1) return;
    const TariffPeriod period = m_periods.at(row);
    guarded(m_windows.prompter, [&] {
        TariffStore(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmtarefeh"))).remove(period.fromDate, period.toDate);
        reload();
    });
}

} // namespace ph
