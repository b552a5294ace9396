#include "dispensing/ui/moadel.h"

#include "dispensing/prescription_session.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

Tf_moadel::Tf_moadel(const WindowContext& windows, PrescriptionSession& session, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_session(session),
      m_equivalents(new RowTableModel<EquivalentRow>(
          {
              {QStringLiteral("نـــــام دارو"), [](const EquivalentRow& r) { return QVariant(r.name); }},
              {QStringLiteral("كــــد دارو"), [](const EquivalentRow& r) { return QVariant(r.code); }},
              {QStringLiteral("شكــل دارو"), [](const EquivalentRow& r) { return QVariant(r.formName); }},
              {QStringLiteral("قيمت واحد"), [](const EquivalentRow& r) { return QVariant(r.price); }},
          },
          this)) {
    setObjectName(QStringLiteral("f_moadel"));
    setWindowTitle(QStringLiteral("   فــــــرم داروي مــعــــادل   "));
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_equivalents);
    setCodeColumns(DBGrid1, {1});
    setAmountColumns(DBGrid1, {3});
    me_tedad_main = makeLineField(this, QStringLiteral("me_tedad_main"));
    me_tedad_moadel = makeLineField(this, QStringLiteral("me_tedad_moadel"));
    for (QLineEdit* field : {me_tedad_main, me_tedad_moadel})
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    but_ok = new QPushButton(QStringLiteral("ثبت F2"), this);
    but_ok->setObjectName(QStringLiteral("but_ok"));
    but_ok->setAutoDefault(false);
    but_close = new QPushButton(QStringLiteral("خروجF10"), this);
    but_close->setObjectName(QStringLiteral("but_close"));
    but_close->setAutoDefault(false);
    connect(but_ok, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { confirm(); }); });
    connect(but_close, &QPushButton::clicked, this, &QDialog::reject);

    // Enter: the grid -> the prescribed quantity -> the dispensed quantity, which confirms.
    m_nav = new KeyNav({DBGrid1, me_tedad_main, me_tedad_moadel}, this);
    m_nav->setLastAction([this] { guarded(m_windows.prompter, [this] { confirm(); }); });
    installEventFilter(this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("تعداد داروي اصلي: "), me_tedad_main);
    fields->addRow(QStringLiteral("تعداد داروي معادل: "), me_tedad_moadel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(but_ok);
    buttons->addWidget(but_close);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(620, 360);
}

void Tf_moadel::setOffers(const DrugItem& prescribed, QList<EquivalentRow> equivalents) {
    m_prescribed = prescribed;
    m_equivalents->setRows(std::move(equivalents));
}

void Tf_moadel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    me_tedad_main->clear();
    me_tedad_moadel->clear();
    if (m_equivalents->rowCount() > 0) selectGridRow(DBGrid1, 0);
    DBGrid1->setFocus();
}

bool Tf_moadel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isPlainKey(key, Qt::Key_F10)) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_moadel::confirm() {
    const int row = currentSourceRow(DBGrid1);
    if (!m_equivalents->hasRow(row)) return;
    const SubstitutionResult result = m_session.substitute(
        m_prescribed, m_equivalents->row(row), {me_tedad_main->text(), me_tedad_moadel->text()});
    if (result.written()) {
        accept();
        return;
    }
    if (result.focus == me_tedad_main->objectName()) me_tedad_main->setFocus();
    if (result.focus == me_tedad_moadel->objectName()) me_tedad_moadel->setFocus();
}

} // namespace ph
