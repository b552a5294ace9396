#include "catalogue/ui/type_formul.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/quick_search.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QShowEvent>

namespace ph {
namespace {

const QString kNoCode = QStringLiteral("كد فرمول مشخص نشده است");
const QString kNoName = QStringLiteral("نوع فرمول مشخص نشده است");
const QString kNoFee = QStringLiteral("حق فني فرمول مشخص نشده است");
const QString kNoService = QStringLiteral("خدمات فرمول مشخص نشده است");
const QString kNoNational = QStringLiteral("کدملي فرمول مشخص نشده است");
const QString kDuplicateCode = QStringLiteral("كــد فرمول تكراري است");
const QString kDuplicateName = QStringLiteral("نوع فرمول تكراري است");
const QString kConfirmEdit = QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد");
const QString kNotFound = QStringLiteral("كد فرمول مورد نظر براي ويرايش پيدا نشد");
const QString kConfirmDelete = QStringLiteral("آيا از حذف اطلاعات مطمئن هستيد");

using Model = RowTableModel<FormulaType>;

Model* makeModel() {
    return new Model({
        {QStringLiteral("كــد"), [](const FormulaType& t) { return QVariant(t.code); }},
        {QStringLiteral("نوع فرمول"), [](const FormulaType& t) { return QVariant(t.name); }},
        {QStringLiteral("حق فني"), [](const FormulaType& t) { return QVariant(t.technicalFee); }},
        {QStringLiteral("خدمات"), [](const FormulaType& t) { return QVariant(t.serviceFee); }},
        {QStringLiteral("کدملي"), [](const FormulaType& t) { return QVariant(t.nationalCode); }},
    });
}

QLineEdit* amountField(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}(\\.[0-9]{0,4})?")), field));
    return field;
}

} // namespace

TF_type_formul::TF_type_formul(const WindowContext& windows, QWidget* parent)
    : ListWindow(windows, makeModel(), 0, 1, parent) {
    setObjectName(QStringLiteral("F_type_formul"));
    setWindowTitle(QStringLiteral("فـــرم تعـريف انواع فرمول داروهاي ساختني (تركيبي)"));
    resize(680, 560);
    m_model = static_cast<Model*>(quickSearch()->model()->sourceModel());
    m_model->setParent(this);
    me_code = makeLineField(this, QStringLiteral("me_code"));
    me_code->setReadOnly(true);
    me_code->setFocusPolicy(Qt::NoFocus);
    me_name = makeLineField(this, QStringLiteral("me_name"));
    me_fani = amountField(this, QStringLiteral("me_fani"));
    me_khadamat = amountField(this, QStringLiteral("me_khadamat"));
    me_code_meli = makeLineField(this, QStringLiteral("me_code_meli"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كــد: "), me_code);
    fields->addRow(QStringLiteral("نوع فرمول ساختني:"), me_name);
    fields->addRow(QStringLiteral("حق فني فرمول: "), me_fani);
    fields->addRow(QStringLiteral("خدمات فرمول:"), me_khadamat);
    fields->addRow(QStringLiteral("کد ملي : "), me_code_meli);
    setFields(fields);
    m_nav = new KeyNav({me_name, me_fani, me_khadamat, me_code_meli}, this);
    for (QWidget* field : m_nav->fields()) field->installEventFilter(this);

    addSortEntry(QStringLiteral("براساس كد"), {0}, QKeySequence(Qt::CTRL | Qt::Key_A));
    addSortEntry(QStringLiteral("براساس نام"), {1}, QKeySequence(Qt::CTRL | Qt::Key_B));
    addSortEntry(QStringLiteral("براساس حق فني"), {2, 1}, QKeySequence(Qt::CTRL | Qt::Key_C));
    addSortEntry(QStringLiteral("براساس خدمات"), {3, 1}, QKeySequence(Qt::CTRL | Qt::Key_D));
    CommandBar* bar = commandBar();
    bar->setHandler(CommandBar::Save, [this] { saveType(); });
    bar->setHandler(CommandBar::Edit, [this] { editType(); });
    bar->setHandler(CommandBar::Delete, [this] { deleteType(); });
    bar->setHandler(CommandBar::New, [this] { clearForNew(); });
}

void TF_type_formul::showEvent(QShowEvent* event) {
    ListWindow::showEvent(event);
    if (!event->spontaneous()) clearForNew();
}

void TF_type_formul::reload() {
    m_model->setRows(FormulaTypeStore(m_windows.db).list());
}

void TF_type_formul::clearForNew() {
    for (QLineEdit* field : {me_name, me_fani, me_khadamat, me_code_meli})
        field->clear();
    guarded(m_windows.prompter, [this] {
        reload();
        me_code->setText(QString::number(FormulaTypeStore(m_windows.db).nextCode()));
    });
    commandBar()->clearDocument();
    me_name->setFocus();
}

void TF_type_formul::loadRow(int sourceRow) {
    if (!m_model->hasRow(sourceRow)) return;
    const FormulaType& t = m_model->row(sourceRow);
    me_code->setText(QString::number(t.code));
    me_name->setText(t.name);
    me_fani->setText(plainDecimalText(t.technicalFee));
    me_khadamat->setText(plainDecimalText(t.serviceFee));
    me_code_meli->setText(t.nationalCode);
    commandBar()->showDocument();
}

std::optional<FormulaType> TF_type_formul::readFields() {
    const auto refuse = [this](const QString& text, QWidget* field) {
        m_windows.prompter.warning(text);
        field->setFocus();
        return std::nullopt;
    };
    if (me_code->text().trimmed().isEmpty()) return refuse(kNoCode, me_name);
    if (me_name->text().trimmed().isEmpty()) return refuse(kNoName, me_name);
    if (me_fani->text().trimmed().isEmpty()) return refuse(kNoFee, me_fani);
    if (me_khadamat->text().trimmed().isEmpty()) return refuse(kNoService, me_khadamat);
    if (me_code_meli->text().trimmed().isEmpty()) return refuse(kNoNational, me_code_meli);
    return FormulaType{me_code->text().toLongLong(), me_name->text().trimmed(), amountFromText(me_fani->text()),
                       amountFromText(me_khadamat->text()), me_code_meli->text().trimmed()};
}

void TF_type_formul::saveType() {
    std::optional<FormulaType> type;
    FormulaTypeStore::Result result = FormulaTypeStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] {
            type = readFields();
            if (type) result = FormulaTypeStore(m_windows.db).add(*type);
        }) ||
        !type)
        return;
    if (result == FormulaTypeStore::Result::DuplicateCode) return m_windows.prompter.warning(kDuplicateCode);
    if (result == FormulaTypeStore::Result::DuplicateName) {
        m_windows.prompter.warning(kDuplicateName);
        me_name->setFocus();
        return;
    }
    clearForNew();
}

void TF_type_formul::editType() {
    std::optional<FormulaType> type;
    if (!guarded(m_windows.prompter, [&] { type = readFields(); }) || !type) return;
    if (!m_windows.prompter.askYesNo(kConfirmEdit)) return;
    FormulaTypeStore::Result result = FormulaTypeStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = FormulaTypeStore(m_windows.db).update(*type); })) return;
    if (result == FormulaTypeStore::Result::Missing) return m_windows.prompter.warning(kNotFound);
    guarded(m_windows.prompter, [this] { reload(); });
    showCode(double(type->code));
}

void TF_type_formul::deleteType() {
    if (me_code->text().isEmpty() || me_name->text().isEmpty()) return;
    if (!m_windows.prompter.askYesNo(kConfirmDelete)) return;
    if (!guarded(m_windows.prompter, [&] { FormulaTypeStore(m_windows.db).remove(me_code->text().toLongLong()); }))
        return;
    clearForNew();
}

} // namespace ph
