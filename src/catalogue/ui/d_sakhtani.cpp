#include "catalogue/ui/d_sakhtani.h"

#include "catalogue/lookup_list.h"
#include "core/amounts.h"
#include "core/prompter.h"
#include "widgets/code_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/quick_search.h"
#include "widgets/window_tools.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpressionValidator>
#include <QShowEvent>

namespace ph {
namespace {

const QString kNoCode = QStringLiteral("كد ماده مشخص نشده است");
const QString kNoName = QStringLiteral("نام ماده مشخص نشده است");
const QString kNoUnit = QStringLiteral("واحد ماده مشخص نشده است");
const QString kNoPrice = QStringLiteral("قيمت مشخص نشده است");
const QString kDuplicateCode = QStringLiteral("كــد ماده تكراري است");
const QString kDuplicateName = QStringLiteral("نام ماده تكراري است");
const QString kConfirmEdit = QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد");
const QString kNotFound = QStringLiteral("كد ماده مورد نظر براي ويرايش پيدا نشد");
const QString kConfirmDelete = QStringLiteral("آيا از حذف اطلاعات مطمئن هستيد");
const QString kInUse = QStringLiteral("امكان حذف اين ماده وجود ندارد");

using Model = RowTableModel<Material>;

Model* makeModel() {
    return new Model({
        {QStringLiteral("كــد"), [](const Material& m) { return QVariant(m.code); }},
        {QStringLiteral("نــام"), [](const Material& m) { return QVariant(m.name); }},
        {QStringLiteral("نام تجاري"), [](const Material& m) { return QVariant(m.tradeName); }},
        {QStringLiteral("نام لاتين"), [](const Material& m) { return QVariant(m.latinName); }},
        {QStringLiteral("واحد"), [](const Material& m) { return QVariant(m.unitName); }},
        {QStringLiteral("قيمت واحد"), [](const Material& m) { return m.price ? QVariant(*m.price) : QVariant(); }},
    });
}

} // namespace

Tf_d_sakhtani::Tf_d_sakhtani(const WindowContext& windows, QWidget* parent)
    : ListWindow(windows, makeModel(), 0, 1, parent) {
    setObjectName(QStringLiteral("f_d_sakhtani"));
    setWindowTitle(QStringLiteral("فـــرم تعـريف مواد پايه داروهاي ساختني (تركيبي)"));
    resize(760, 600);
    m_model = static_cast<Model*>(quickSearch()->model()->sourceModel());
    m_model->setParent(this);

    me_code = makeLineField(this, QStringLiteral("me_code"));
    me_code->setReadOnly(true);
    me_code->setFocusPolicy(Qt::NoFocus);
    me_name = makeLineField(this, QStringLiteral("me_name"));
    me_name_tejari = makeLineField(this, QStringLiteral("me_name_tejari"));
    me_name_latin = makeLineField(this, QStringLiteral("me_name_latin"));
    me_name_latin->setLayoutDirection(Qt::LeftToRight);
    me_code_vahed = new CodeField(this);
    me_code_vahed->setObjectName(QStringLiteral("me_code_vahed"));
    me_code_vahed->setMaxDigits(9);
    me_name_vahed = makeLineField(this, QStringLiteral("me_name_vahed"));
    me_name_vahed->setReadOnly(true);
    me_name_vahed->setFocusPolicy(Qt::NoFocus);
    me_price = makeLineField(this, QStringLiteral("me_price"));
    me_price->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}(\\.[0-9]{0,4})?")), me_price));
    me_code_vahed->setLookup([this](qint64 code) { return MaterialStore(m_windows.db).unitName(code); },
                             me_name_vahed, m_windows.prompter);
    me_code_vahed->setPicker([this] {
        bool chosen = false;
        guarded(m_windows.prompter,
                [&] { chosen = pickCode(m_windows, me_code_vahed, QStringLiteral("vahed"), unitPickRows(m_windows.db)); });
        (chosen ? static_cast<QWidget*>(me_price) : me_code_vahed)->setFocus();
    });

    auto* unit = new QHBoxLayout;
    unit->addWidget(me_code_vahed);
    unit->addWidget(me_name_vahed, 1);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كــد: "), me_code);
    fields->addRow(QStringLiteral("نــام : "), me_name);
    fields->addRow(QStringLiteral("نام تجاري: "), me_name_tejari);
    fields->addRow(QStringLiteral("نام لاتين:"), me_name_latin);
    fields->addRow(QStringLiteral("واحد: "), unit);
    fields->addRow(QStringLiteral("قيمت واحد: "), me_price);
    setFields(fields);
    m_nav = new KeyNav({me_name, me_name_tejari, me_name_latin, me_code_vahed, me_price}, this);

    addSortEntry(QStringLiteral("براساس كد"), {0});
    addSortEntry(QStringLiteral("براساس نام"), {1, 4});
    addSortEntry(QStringLiteral("براساس واحد"), {4, 1});
    addSortEntry(QStringLiteral("براساس قيمت"), {5, 1});
    // The appearance menu in the window's menu bar; F6 drops it down from anywhere in the window.
    m_appearance = makeAppearanceMenu(this, [this] {
        if (m_lock) m_lock();
    });
    m_appearance->setTitle(QStringLiteral("تغيير ظاهر F6"));
    auto* menuBar = new QMenuBar(this);
    menuBar->addMenu(m_appearance);
    layout()->setMenuBar(menuBar);
    auto* appearanceKey = new QAction(this);
    appearanceKey->setShortcut(QKeySequence(Qt::Key_F6));
    appearanceKey->setShortcutContext(Qt::WindowShortcut);
    connect(appearanceKey, &QAction::triggered, this, [this] { popUpUnderTitle(this, m_appearance); });
    addAction(appearanceKey);

    CommandBar* bar = commandBar();
    bar->setHandler(CommandBar::Save, [this] { saveMaterial(); });
    bar->setHandler(CommandBar::Edit, [this] { editMaterial(); });
    bar->setHandler(CommandBar::Delete, [this] { deleteMaterial(); });
    bar->setHandler(CommandBar::New, [this] { clearForNew(); });
}

void Tf_d_sakhtani::showEvent(QShowEvent* event) {
    ListWindow::showEvent(event);
    if (!event->spontaneous()) clearForNew();
}

void Tf_d_sakhtani::reload() {
    m_model->setRows(MaterialStore(m_windows.db).list());
}

void Tf_d_sakhtani::clearForNew() {
    for (QLineEdit* field : {me_name, me_name_tejari, me_name_latin, static_cast<QLineEdit*>(me_code_vahed), me_price})
        field->clear();
    guarded(m_windows.prompter, [this] {
        reload();
        me_code->setText(QString::number(MaterialStore(m_windows.db).nextCode()));
    });
    commandBar()->clearDocument();
    me_name->setFocus();
}

void Tf_d_sakhtani::loadRow(int sourceRow) {
    if (!m_model->hasRow(sourceRow)) return;
    const Material& m = m_model->row(sourceRow);
    me_code->setText(QString::number(m.code));
    me_name->setText(m.name);
    me_name_tejari->setText(m.tradeName);
    me_name_latin->setText(m.latinName);
    me_code_vahed->setText(QString::number(m.unit));
    me_price->setText(m.price ? plainDecimalText(*m.price) : QString());
    commandBar()->showDocument();
}

std::optional<Material> Tf_d_sakhtani::readFields() {
    const auto refuse = [this](const QString& text, QWidget* field) {
        m_windows.prompter.warning(text);
        field->setFocus();
        return std::nullopt;
    };
    if (me_code->text().trimmed().isEmpty()) return refuse(kNoCode, me_name);
    if (me_name->text().trimmed().isEmpty()) return refuse(kNoName, me_name);
    if (!me_code_vahed->code() || !me_code_vahed->lookupName()) return refuse(kNoUnit, me_code_vahed);
    if (me_price->text().trimmed().isEmpty()) return refuse(kNoPrice, me_price);
    Material m;
    m.code = me_code->text().toLongLong();
    m.name = me_name->text().trimmed();
    m.tradeName = me_name_tejari->text().trimmed();
    m.latinName = me_name_latin->text().trimmed();
    m.unit = *me_code_vahed->code();
    m.price = amountFromText(me_price->text());
    return m;
}

void Tf_d_sakhtani::saveMaterial() {
    const std::optional<Material> m = readFields();
    if (!m) return;
    MaterialStore::Result result = MaterialStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = MaterialStore(m_windows.db).add(*m); })) return;
    if (result == MaterialStore::Result::DuplicateCode) return m_windows.prompter.warning(kDuplicateCode);
    if (result == MaterialStore::Result::DuplicateName) {
        m_windows.prompter.warning(kDuplicateName);
        me_name->setFocus();
        return;
    }
    clearForNew();
}

void Tf_d_sakhtani::editMaterial() {
    const std::optional<Material> m = readFields();
    if (!m) return;
    if (!m_windows.prompter.askYesNo(kConfirmEdit)) return;
    MaterialStore::Result result = MaterialStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = MaterialStore(m_windows.db).update(*m); })) return;
    if (result == MaterialStore::Result::Missing) return m_windows.prompter.warning(kNotFound);
    clearForNew();
}

void Tf_d_sakhtani::deleteMaterial() {
    if (me_code->text().isEmpty() || me_name->text().isEmpty()) return;
    if (!m_windows.prompter.askYesNo(kConfirmDelete)) return;
    MaterialStore::Result result = MaterialStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = MaterialStore(m_windows.db).remove(me_code->text().toLongLong()); }))
        return;
    if (result == MaterialStore::Result::InUse) return m_windows.prompter.warning(kInUse);
    clearForNew();
}

} // namespace ph
