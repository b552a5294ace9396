#include "insurance/ui/hoteling.h"

#include "catalogue/drug_links.h"
#include "catalogue/ui/drug_name_box.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "insurance/insurer_store.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/picker.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kNoInsurer = QStringLiteral("نام بيمه وارد نشده است");
const QString kNoDrug = QStringLiteral("نام دارو وارد نشده است");
const QString kAlreadyStored = QStringLiteral("اطلاعات فعلي قبلا وارد شده است");
const QString kWrongInsurer = QStringLiteral("نام بيمه اشتباه وارد شده است");
const QString kWrongDrug = QStringLiteral("نام دارو اشتباه وارد شده است");
const QString kConfirmDeleteDrug = QStringLiteral("آيا مايل به حذف اين دارو هستيد؟");
const QString kNothingToDelete = QStringLiteral("دارويي براي حذف وجود ندارد");
const QString kNoDataToDelete = QStringLiteral("اطلاعاتي براي حذف وجود ندارد");
const QString kInsurerHasNone = QStringLiteral("براي اين بيمه دارويي تعريف نشده است");
const QString kConfirmDelete = QStringLiteral("آيا مايل به حذف هستيد؟ ");
const QString kFindLabel = QStringLiteral("كد بيمه مورد نظر را وارد كنيد");
const QString kNotFound = QStringLiteral("كد بيمه وارد شده يافت نشد");
const QString kUnknownName = QStringLiteral("نام دارو تعريف نشده است");

enum Column { CodeColumn, NameColumn, FormColumn };

QLineEdit* readOnlyField(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

} // namespace

Tf_hoteling::Tf_hoteling(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows),
      m_drugs(new RowTableModel<HotelingRow>(
          {
              {QStringLiteral("كد دارو"), [](const HotelingRow& r) { return QVariant(r.drug); }},
              {QStringLiteral("نام دارو"), [](const HotelingRow& r) { return QVariant(r.name); }},
              {QStringLiteral("شكل دارو"), [](const HotelingRow& r) { return QVariant(r.formName); }},
          },
          this)) {
    setObjectName(QStringLiteral("f_hoteling"));
    setWindowTitle(QStringLiteral("فرم معرفي داروهاي هتلينگ"));
    makeFields();
    makeCommands();
    makeLayout();
}

void Tf_hoteling::makeFields() {
    cb_code_b = new QComboBox(this);
    cb_code_b->setObjectName(QStringLiteral("cb_code_b"));
    cb_code_b->setEditable(true);
    cb_code_b->setInsertPolicy(QComboBox::NoInsert);
    me_name_b = readOnlyField(this, QStringLiteral("me_name_b"));
    cb_name_d = new DrugNameBox(m_windows, QStringLiteral("cb_name_d"), this);
    cb_code_d = readOnlyField(this, QStringLiteral("cb_code_d"));
    me_type = readOnlyField(this, QStringLiteral("me_type"));
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_drugs);
    setCodeColumns(DBGrid1, {CodeColumn});
    me_search_d = makeLineField(this, QStringLiteral("me_search_d"));
    rb_name_d = new QRadioButton(QStringLiteral("بر اساس نام دارو"), this);
    rb_name_d->setObjectName(QStringLiteral("rb_name_d"));
    rb_name_d->setChecked(true);
    rb_code_d = new QRadioButton(QStringLiteral("براساس  كد دارو"), this);
    rb_code_d->setObjectName(QStringLiteral("rb_code_d"));
    m_status = new QLabel(this);

    connect(cb_code_b, &QComboBox::editTextChanged, this, [this] { followInsurer(); });
    connect(cb_name_d, &DrugNameBox::drugChanged, this, [this] {
        const std::optional<GoodsChoice> drug = cb_name_d->drug();
        cb_code_d->setText(drug ? plainDecimalText(drug->code) : QString());
        me_type->setText(drug ? drug->formName : QString());
    });
    connect(me_search_d, &QLineEdit::textChanged, this, [this](const QString& text) { searchList(text); });
    for (QComboBox* box : {cb_code_b, static_cast<QComboBox*>(cb_name_d)}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
}

void Tf_hoteling::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::New | CommandBar::Save | CommandBar::Delete | CommandBar::DeleteDocument |
                               CommandBar::Search | CommandBar::Close,
                           this);
    const struct {
        CommandBar::Command command;
        const char* name;
        const char16_t* text;
        Qt::Key key;
    } buttons[] = {
        {CommandBar::New, "but_new", u"جديد F1", Qt::Key_F1},
        {CommandBar::Save, "ToolButton1", u"ثبت F2", Qt::Key_F2},
        {CommandBar::Delete, "but_delete", u"حذف دارو F4", Qt::Key_F4},
        {CommandBar::DeleteDocument, "but_delete_bime", u"حذف كلي Ctrl+F4", Qt::Key_unknown},
        {CommandBar::Search, "but_search", u"جستجوي بيمه F5", Qt::Key_F5},
        {CommandBar::Close, "but_close", u"خروج F10", Qt::Key_F10},
    };
    for (const auto& b : buttons) {
        m_bar->button(b.command)->setObjectName(QString::fromLatin1(b.name));
        m_bar->button(b.command)->setText(QString::fromUtf16(b.text));
        m_bar->setRight(b.command, {}); // the list is open to every user
        if (b.key != Qt::Key_unknown) m_bar->setKeys(b.command, {QKeySequence(b.key)});
    }
    m_bar->setHandler(CommandBar::New, [this] { clearFields(); });
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { addDrug(); }); });
    m_bar->setHandler(CommandBar::Delete, [this] { guarded(m_windows.prompter, [this] { removeDrug(); }); });
    m_bar->setHandler(CommandBar::DeleteDocument, [this] { guarded(m_windows.prompter, [this] { removeAll(); }); });
    m_bar->setHandler(CommandBar::Search, [this] { guarded(m_windows.prompter, [this] { findInsurer(); }); });
    m_bar->setHandler(CommandBar::Close, [this] {
        clearFields();
        reject();
    });
}

void Tf_hoteling::makeLayout() {
    auto* fields = new QFormLayout;
    auto* insurerRow = new QHBoxLayout;
    insurerRow->addWidget(cb_code_b);
    insurerRow->addWidget(new QLabel(QStringLiteral("نام بيمه : "), this));
    insurerRow->addWidget(me_name_b, 1);
    fields->addRow(QStringLiteral("كدبيمه : "), insurerRow);
    fields->addRow(QStringLiteral("نام دارو: "), cb_name_d);
    auto* drugRow = new QHBoxLayout;
    drugRow->addWidget(cb_code_d);
    drugRow->addWidget(new QLabel(QStringLiteral("شكل دارو: "), this));
    drugRow->addWidget(me_type, 1);
    fields->addRow(QStringLiteral("كد دارو : "), drugRow);
    auto* hints = new QLabel(QStringLiteral("نمايش ليست بيمه ها : ") + QStringLiteral("Page Down") + QStringLiteral("   ") +
                                 QStringLiteral("نمايش ليست داروها: ") + QStringLiteral("Page Down"),
                             this);
    auto* searchBox = new QGroupBox(QStringLiteral("جستجوي سريع دارو"), this);
    auto* searchLayout = new QHBoxLayout(searchBox);
    searchLayout->addWidget(me_search_d, 1);
    searchLayout->addWidget(rb_name_d);
    searchLayout->addWidget(rb_code_d);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addLayout(fields);
    layout->addWidget(hints);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(searchBox);
    layout->addWidget(m_status);
    resize(760, 560);
}

void Tf_hoteling::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] {
        QList<int> codes;
        for (const Insurer& insurer : InsurerStore(m_windows.db).all())
            codes.append(insurer.code);
        std::sort(codes.begin(), codes.end());
        const QString typed = cb_code_b->currentText();
        {
            const QSignalBlocker quiet(cb_code_b);
            cb_code_b->clear();
            for (int code : std::as_const(codes))
                cb_code_b->addItem(QString::number(code));
            cb_code_b->setCurrentIndex(-1);
            cb_code_b->setEditText(typed);
        }
        cb_name_d->setChoices(goodsChoices(m_windows.db));
        followInsurer();
    });
    m_status->setText(QStringLiteral("كاربر جاري:") + m_windows.context.user_name + QStringLiteral(" ساعت جاري: ") +
                      m_windows.clock.now().toString(QStringLiteral("HH:mm")) + QStringLiteral(" تاريخ جاري: ") +
                      m_windows.context.current_date);
    cb_code_b->setFocus();
}

std::optional<int> Tf_hoteling::insurerCode() const {
    bool isNumber = false;
    const int code = cb_code_b->currentText().trimmed().toInt(&isNumber);
    return isNumber ? std::optional(code) : std::nullopt;
}

void Tf_hoteling::followInsurer() {
    const std::optional<int> code = insurerCode();
    const std::optional<QString> name = code ? InsurerStore(m_windows.db).nameOf(*code) : std::nullopt;
    if (!name) return; // an unknown code changes nothing until it is added
    me_name_b->setText(name->trimmed());
    m_listed = code;
    reloadList();
}

void Tf_hoteling::reloadList() {
    m_drugs->setRows(m_listed ? HotelingStore(m_windows.db).drugsOf(*m_listed) : QList<HotelingRow>{});
    if (m_drugs->rowCount() > 0) selectGridRow(DBGrid1, 0);
}

void Tf_hoteling::searchList(const QString& text) {
    if (m_drugs->rowCount() == 0) return;
    int found = 0;
    if (!text.isEmpty())
        for (int row = 0; row < m_drugs->rowCount(); ++row) {
            const HotelingRow& drug = m_drugs->row(row);
            const QString key = rb_code_d->isChecked() ? plainDecimalText(drug.drug) : drug.name.trimmed();
            if (key.startsWith(text)) {
                found = row;
                break;
            }
        }
    selectGridRow(DBGrid1, found);
}

void Tf_hoteling::clearFields() {
    {
        const QSignalBlocker quiet(cb_code_b);
        cb_code_b->setCurrentIndex(-1);
        cb_code_b->setEditText(QString());
    }
    me_name_b->clear();
    m_listed.reset();
    reloadList();
    cb_name_d->setDrug(std::nullopt);
    cb_code_b->setFocus();
}

void Tf_hoteling::notice(const QString& text) {
    confirmNotice(m_windows.prompter, text);
}

bool Tf_hoteling::ask(const QString& question) {
    return confirmQuestion(m_windows.prompter, question);
}

void Tf_hoteling::addDrug() {
    if (cb_code_b->currentText().trimmed().isEmpty()) {
        notice(kNoInsurer);
        cb_code_b->setFocus();
        return;
    }
    if (cb_name_d->currentText().trimmed().isEmpty()) {
        notice(kNoDrug);
        cb_name_d->setFocus();
        return;
    }
    const std::optional<int> insurer = insurerCode();
    const std::optional<GoodsChoice> drug = cb_name_d->drug();
    HotelingStore store(m_windows.db);
    if (insurer && drug && store.exists(*insurer, drug->code)) {
        notice(kAlreadyStored);
        return;
    }
    if (!insurer || !InsurerStore(m_windows.db).nameOf(*insurer)) {
        notice(kWrongInsurer);
        return;
    }
    if (!drug || !store.isGoods(drug->code)) {
        notice(kWrongDrug);
        return;
    }
    store.add(*insurer, drug->code);
    followInsurer();
}

void Tf_hoteling::removeDrug() {
    const int row = currentSourceRow(DBGrid1);
    if (m_drugs->rowCount() == 0 || !m_drugs->hasRow(row)) {
        notice(kNothingToDelete);
        return;
    }
    if (!ask(kConfirmDeleteDrug)) return;
    const HotelingRow drug = m_drugs->row(row);
    HotelingStore(m_windows.db).remove(drug.insurer, drug.drug);
    reloadList();
}

void Tf_hoteling::removeAll() {
    if (cb_code_b->currentText().trimmed().isEmpty()) {
        notice(kNoDataToDelete);
        return;
    }
    if (m_drugs->rowCount() == 0 || !m_listed) {
        notice(kInsurerHasNone);
        return;
    }
    if (!ask(kConfirmDelete)) return;
    HotelingStore(m_windows.db).removeAll(*m_listed);
    reloadList();
}

void Tf_hoteling::findInsurer() {
    ConfirmRequest request;
    request.showSearch = true;
    request.searchLabel = kFindLabel;
    const ConfirmAnswer answer = m_windows.prompter.confirm(request);
    bool isNumber = false;
    const int code = answer.searchText.trimmed().toInt(&isNumber);
    if (!isNumber || !HotelingStore(m_windows.db).hasAny(code)) {
        notice(kNotFound);
        return;
    }
    cb_code_b->setEditText(QString::number(code)); // shows the name and loads the list
}

bool Tf_hoteling::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    const auto in = [watched](QComboBox* box) { return watched == box || watched == box->lineEdit(); };
    if (in(cb_code_b)) {
        if (key->key() == Qt::Key_PageDown && m_windows.picker) {
            if (const auto row = m_windows.picker->pick({QStringLiteral("bimeh"), InsurerStore(m_windows.db).pickRows()}))
                cb_code_b->setEditText(row->code.toString());
            cb_code_b->setFocus();
            return true;
        }
        if (isEnter(key)) {
            followInsurer();
            cb_name_d->setFocus();
            return true;
        }
    }
    if (in(cb_name_d) && isEnter(key)) {
        if (!cb_name_d->textIsKnown()) {
            notice(kUnknownName);
            cb_name_d->setDrug(std::nullopt);
            return true;
        }
        m_bar->activate(CommandBar::Save);
        return true;
    }
    return false;
}

} // namespace ph
