#include "catalogue/ui/formul.h"

#include "catalogue/drug_texts.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/key_nav.h"
#include "widgets/list_grid.h"
#include "widgets/picker.h"
#include "widgets/quick_search.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kNoMaterialName = QStringLiteral("نام ماده مشخص نشده است");
const QString kNoQuantity = QStringLiteral("مقدارماده مشخص نشده است");
const QString kNoMaterialPrice = QStringLiteral("قيمت ماده موردنظر مشخص نيست");
const QString kBadStatus = QStringLiteral("وضعيت ماده اشتباه وارد شده است");
const QString kConfirmRemoveLine = QStringLiteral("آيا از حذف ماده مطمئن هستيد");
const QString kNoFee = QStringLiteral("حق فني مشخص نشده است");
const QString kNoService = QStringLiteral("خدمات مشخص نشده است");
const QString kNoLines = QStringLiteral("فرمولي براي ثبت وجود ندارد");
const QString kConfirmEdit = QStringLiteral("آيا از ويرايش دارو مطمئن هستيد");
const QString kNoDrugName = QStringLiteral("نام دارو وارد نشده است");
const QString kNotFound = QStringLiteral("كــد داروي مورد نظر يافت نشد");
const QString kConfirmDelete = QStringLiteral("آيا از حذف فرمول مطمئن هستيد");
const QString kDispensed = QStringLiteral("حذف داروي موردنظر امكان پذير نيست");
const QString kSaveRefusal = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");
const QString kKeyRefusal = QStringLiteral("دسترسي به اين کليد براي شما امکان پذير نمي باشد");

const QStringList kLineCaptions = {QStringLiteral("رديف"),     QStringLiteral("نــام ماده"),
                                   QStringLiteral("كــدماده"), QStringLiteral("واحـــد"),
                                   QStringLiteral("وضعيت"),    QStringLiteral("مقدار"),
                                   QStringLiteral("قيمت واحد"), QStringLiteral("قيمت كل")};

QLineEdit* shownField(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

CodeField* codeField(QWidget* parent, const QString& name) {
    auto* field = new CodeField(parent);
    field->setObjectName(name);
    field->setMaxDigits(9);
    return field;
}

QWidget* pair(QWidget* code, QWidget* name, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(code);
    layout->addWidget(name, 1);
    return row;
}

std::optional<qint64> codeOf(const CodeField* field) {
    return field->code();
}

} // namespace

TF_formul::TF_formul(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("F_formul"));
    setWindowTitle(QStringLiteral("فـــرم تعـريف فرمول داروهاي ساختني (تركيبي)"));
    resize(900, 720);
    makeFields();
    makeMaterialFields();
    makeLayout();
    makeCommands();
}

TF_formul::~TF_formul() = default;

void TF_formul::makeFields() {
    me_code = shownField(this, QStringLiteral("me_code"));
    me_code_type = codeField(this, QStringLiteral("me_code_type"));
    me_name_type = shownField(this, QStringLiteral("me_name_type"));
    me_name = makeLineField(this, QStringLiteral("me_name"));
    me_latin = makeLineField(this, QStringLiteral("me_latin"));
    me_latin->setLayoutDirection(Qt::LeftToRight);
    me_code_dastoor = codeField(this, QStringLiteral("me_code_dastoor"));
    me_name_dastoor = shownField(this, QStringLiteral("me_name_dastoor"));
    me_code_negahdari = codeField(this, QStringLiteral("me_code_negahdari"));
    me_name_negahdari = shownField(this, QStringLiteral("me_name_negahdari"));
    me_code_payam = codeField(this, QStringLiteral("me_code_payam"));
    me_name_payam = shownField(this, QStringLiteral("me_name_payam"));
    me_koll_bimeh = shownField(this, QStringLiteral("me_koll_bimeh"));
    me_koll_azad = shownField(this, QStringLiteral("me_koll_azad"));
    me_fani = shownField(this, QStringLiteral("me_fani"));
    me_khadamat = shownField(this, QStringLiteral("me_khadamat"));
    me_koll = shownField(this, QStringLiteral("me_koll"));

    // The type shows its name and brings both fees; the three texts show their wording.
    me_code_type->setLookup(
        [this](qint64 code) -> std::optional<QString> {
            const std::optional<FormulaType> type = FormulaTypeStore(m_windows.db).find(code);
            if (!type) return std::nullopt;
            me_fani->setText(plainDecimalText(type->technicalFee));
            me_khadamat->setText(plainDecimalText(type->serviceFee));
            recomputeTotals();
            return type->name;
        },
        me_name_type, m_windows.prompter);
    me_code_type->setPicker([this] {
        bool chosen = false;
        guarded(m_windows.prompter, [&] {
            chosen = pickCode(m_windows, me_code_type, QStringLiteral("type_formul"),
                              FormulaTypeStore(m_windows.db).pickRows());
        });
        (chosen ? static_cast<QWidget*>(me_name) : me_code_type)->setFocus();
    });
    const struct {
        CodeField* field;
        QLineEdit* name;
        DrugTextKind kind;
        const char* mode;
        QWidget* next;
    } texts[] = {
        {me_code_dastoor, me_name_dastoor, DrugTextKind::Instructions, "dastoor_darou", me_code_negahdari},
        {me_code_negahdari, me_name_negahdari, DrugTextKind::Storage, "negahdari_darou", me_code_payam},
        {me_code_payam, me_name_payam, DrugTextKind::Messages, "payam_darou", nullptr},
    };
    for (const auto& t : texts) {
        const DrugTextKind kind = t.kind;
        CodeField* field = t.field;
        const QString mode = QString::fromLatin1(t.mode);
        QWidget* next = t.next;
        field->setLookup([this, kind](qint64 code) { return DrugTextStore(m_windows.db, kind).textOf(code); }, t.name,
                         m_windows.prompter);
        field->setPicker([this, field, kind, mode, next] {
            bool chosen = false;
            guarded(m_windows.prompter, [&] {
                chosen = pickCode(m_windows, field, mode, DrugTextStore(m_windows.db, kind).pickRows());
            });
            if (chosen && next) next->setFocus();
        });
    }
}

void TF_formul::makeMaterialFields() {
    m_materials = new RowTableModel<Material>(
        {{QStringLiteral("كــدمواد"), [](const Material& m) { return QVariant(m.code); }},
         {QStringLiteral("نـام مواد"), [](const Material& m) { return QVariant(m.name); }},
         {QStringLiteral("قيمت"), [](const Material& m) { return m.price ? QVariant(*m.price) : QVariant(); }},
         {QStringLiteral("واحــد"), [](const Material& m) { return QVariant(m.unitName); }}},
        this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"));
    me_search = makeLineField(this, QStringLiteral("me_search"));
    m_materialSearch = new QuickSearch(me_search, m_materials, DBGrid1, 0, 1, this);

    me_meghdar = makeLineField(this, QStringLiteral("me_meghdar"));
    me_meghdar->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}(\\.[0-9]{0,4})?")), me_meghdar));
    Cb_vaziat = new QComboBox(this);
    Cb_vaziat->setObjectName(QStringLiteral("Cb_vaziat"));
    Cb_vaziat->setEditable(true);
    Cb_vaziat->addItems({kInsuredMaterial, kFreeMaterial});
    but_add = new QPushButton(QStringLiteral("ثبت مواد"), this);
    but_add->setObjectName(QStringLiteral("but_add"));
    connect(but_add, &QPushButton::clicked, this, [this] { addLine(); });

    m_lines = new QStandardItemModel(0, kLineCaptions.size(), this);
    m_lines->setHorizontalHeaderLabels(kLineCaptions);
    StringGrid1 = makeListGrid(this, QStringLiteral("StringGrid1"), m_lines);
    connect(StringGrid1, &QTableView::clicked, this, [this](const QModelIndex& index) { loadLine(index.row()); });
}

void TF_formul::makeLayout() {
    auto* header = new QFormLayout;
    header->addRow(QStringLiteral("كد دارو: "), me_code);
    header->addRow(QStringLiteral("نوع فرمول ساختني:"), pair(me_code_type, me_name_type, this));
    header->addRow(QStringLiteral("نام دارو: "), me_name);
    header->addRow(QStringLiteral("نام لاتين: "), me_latin);
    header->addRow(QStringLiteral("دستورمصرف: "), pair(me_code_dastoor, me_name_dastoor, this));
    header->addRow(QStringLiteral("نحوه نگهداري: "), pair(me_code_negahdari, me_name_negahdari, this));
    header->addRow(QStringLiteral("پيام يا توضيح : "), pair(me_code_payam, me_name_payam, this));
    auto* materials = new QVBoxLayout;
    materials->addWidget(DBGrid1, 1);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("جستجوي سريع براساس كد/نام"), this));
    searchRow->addWidget(me_search, 1);
    materials->addLayout(searchRow);
    auto* lineEntry = new QFormLayout;
    lineEntry->addRow(QStringLiteral("مقدار: "), me_meghdar);
    lineEntry->addRow(QStringLiteral("وضعيت:"), Cb_vaziat);
    lineEntry->addRow(QString(), but_add);
    auto* totals = new QFormLayout;
    totals->addRow(QStringLiteral("جمع كل مواد بيمه اي:"), me_koll_bimeh);
    totals->addRow(QStringLiteral("جمع كل مواد آزاد:"), me_koll_azad);
    totals->addRow(QStringLiteral("حق فني: "), me_fani);
    totals->addRow(QStringLiteral("خدمات : "), me_khadamat);
    totals->addRow(QStringLiteral("جمع كل پرداختي: "), me_koll);
    auto* top = new QHBoxLayout;
    top->addLayout(header, 1);
    top->addLayout(materials, 1);
    top->addLayout(lineEntry);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(StringGrid1, 1);
    bottom->addLayout(totals);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom, 1);

    m_nav = new KeyNav({me_code_type, me_name, me_latin, me_code_dastoor, me_code_negahdari, me_code_payam, DBGrid1,
                        me_meghdar, Cb_vaziat, but_add},
                       this);
    m_nav->setEnterHandler(Cb_vaziat, [this] {
        const QString status = Cb_vaziat->currentText().trimmed();
        if (status != kInsuredMaterial && status != kFreeMaterial) {
            m_windows.prompter.warning(kBadStatus);
            return false;
        }
        return true;
    });
}

void TF_formul::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DocumentWindow | CommandBar::Navigation | CommandBar::Search | CommandBar::Sort,
                           this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral(" ثبت فرمول F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش F3"));
    m_bar->setKeys(CommandBar::Edit, {}); // button only
    m_bar->button(CommandBar::RemoveLine)->setText(QStringLiteral("حذف ماده F4"));
    m_bar->button(CommandBar::DeleteDocument)->setText(QStringLiteral("حذف فرمول Ctrl+f4"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديد F9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->button(CommandBar::Search)->setText(QStringLiteral("مواد پايه  F5"));
    m_bar->setKeys(CommandBar::Search, {QKeySequence(Qt::Key_F5)});
    m_bar->setRight(CommandBar::Search, QStringLiteral("mat"));
    m_bar->setRefusal(CommandBar::Search, kKeyRefusal);
    // The bar's spare command opens the compounded drug search.
    m_bar->button(CommandBar::Sort)->setObjectName(QStringLiteral("but_search_darou"));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral("جستجوومشاهده F7"));
    m_bar->setKeys(CommandBar::Sort, {QKeySequence(Qt::Key_F7)});
    m_bar->setRefusal(CommandBar::RemoveLine, kSaveRefusal);
    m_bar->setRefusal(CommandBar::DeleteDocument, kSaveRefusal);
    m_bar->setRight(CommandBar::RemoveLine, QStringLiteral("delete_b"));
    m_bar->button(CommandBar::First)->setText(QStringLiteral("Ctrl+F"));
    m_bar->button(CommandBar::Previous)->setText(QStringLiteral("Ctrl+P"));
    m_bar->button(CommandBar::Next)->setText(QStringLiteral("Ctrl+N"));
    m_bar->button(CommandBar::Last)->setText(QStringLiteral("Ctrl+L"));
    m_bar->setHandler(CommandBar::Save, [this] { saveFormula(); });
    m_bar->setHandler(CommandBar::Edit, [this] { startEdit(); });
    m_bar->setHandler(CommandBar::RemoveLine, [this] { removeLine(); });
    m_bar->setHandler(CommandBar::DeleteDocument, [this] { deleteFormula(); });
    m_bar->setHandler(CommandBar::New, [this] { clearForNew(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    m_bar->setHandler(CommandBar::Search, [this] {
        if (m_openWindow) m_openWindow(QStringLiteral("Tf_d_sakhtani"));
        guarded(m_windows.prompter, [this] { reloadMaterials(); });
    });
    m_bar->setHandler(CommandBar::Sort, [this] { searchDrug(); });
    m_bar->setHandler(CommandBar::First, [this] { step(-2); });
    m_bar->setHandler(CommandBar::Previous, [this] { step(-1); });
    m_bar->setHandler(CommandBar::Next, [this] { step(1); });
    m_bar->setHandler(CommandBar::Last, [this] { step(2); });
    layout()->addWidget(m_bar);
}

void TF_formul::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) clearForNew();
}

void TF_formul::reloadMaterials() {
    m_materials->setRows(MaterialStore(m_windows.db).list());
}

void TF_formul::setEditable(bool editable) {
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_code_type), me_name, me_latin,
                             static_cast<QLineEdit*>(me_code_dastoor), static_cast<QLineEdit*>(me_code_negahdari),
                             static_cast<QLineEdit*>(me_code_payam), me_meghdar})
        field->setReadOnly(!editable);
    Cb_vaziat->setEnabled(editable);
    but_add->setEnabled(editable);
}

void TF_formul::clearForNew() {
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_code_type), me_name, me_latin,
                             static_cast<QLineEdit*>(me_code_dastoor), static_cast<QLineEdit*>(me_code_negahdari),
                             static_cast<QLineEdit*>(me_code_payam), me_meghdar, me_fani, me_khadamat})
        field->clear();
    Cb_vaziat->setCurrentText(kFreeMaterial);
    m_lineList.clear();
    m_changingLine.reset();
    but_add->setText(QStringLiteral("ثبت مواد"));
    showLines();
    m_state = State::New;
    m_shownCode = 0;
    setEditable(true);
    guarded(m_windows.prompter, [this] {
        reloadMaterials();
        me_code->setText(plainDecimalText(FormulaStore(m_windows.db).nextCode()));
    });
    m_bar->clearDocument();
    m_bar->setEnabled(CommandBar::DeleteDocument, false);
    me_code_type->setFocus();
}

std::optional<Material> TF_formul::currentMaterial() const {
    const int row = currentSourceRow(DBGrid1);
    if (!m_materials->hasRow(row)) return std::nullopt;
    return m_materials->row(row);
}

void TF_formul::refuse(const QString& text, QWidget* field) {
    m_windows.prompter.warning(text);
    if (field) field->setFocus();
}

void TF_formul::addLine() {
    if (m_state == State::Viewing) return;
    const std::optional<Material> material = currentMaterial();
    if (!material || material->name.trimmed().isEmpty()) return refuse(kNoMaterialName, DBGrid1);
    if (me_meghdar->text().trimmed().isEmpty()) return refuse(kNoQuantity, me_meghdar);
    if (!material->price || *material->price == 0) return refuse(kNoMaterialPrice, DBGrid1);
    const QString status = Cb_vaziat->currentText().trimmed();
    if (status != kInsuredMaterial && status != kFreeMaterial) return refuse(kBadStatus, Cb_vaziat);
    double quantity = 0;
    if (!guarded(m_windows.prompter, [&] { quantity = amountFromText(me_meghdar->text()); })) return;
    const FormulaLine line{material->code, material->name, material->unitName, status, quantity, *material->price};
    int target = -1;
    if (m_changingLine) {
        target = *m_changingLine;
    } else {
        // A material already on a line replaces the line under the cursor.
        for (const FormulaLine& existing : std::as_const(m_lineList))
            if (existing.material == line.material) target = StringGrid1->currentIndex().row();
    }
    if (target >= 0 && target < m_lineList.size())
        m_lineList[target] = line;
    else
        m_lineList.append(line);
    m_changingLine.reset();
    but_add->setText(QStringLiteral("ثبت مواد"));
    me_meghdar->clear();
    showLines();
    DBGrid1->setFocus();
}

void TF_formul::loadLine(int row) {
    if (row < 0 || row >= m_lineList.size() || m_state == State::Viewing) return;
    const FormulaLine& line = m_lineList.at(row);
    Cb_vaziat->setCurrentText(line.status);
    me_meghdar->setText(plainDecimalText(line.quantity));
    const int found = m_materialSearch->model()->findRow(0, double(line.material));
    if (found >= 0) DBGrid1->setCurrentIndex(m_materialSearch->model()->index(found, 0));
    m_changingLine = row;
    but_add->setText(QStringLiteral("اصلاح دارو"));
}

void TF_formul::removeLine() {
    const int row = StringGrid1->currentIndex().row();
    if (m_state == State::Viewing || m_lineList.isEmpty() || row < 0 || row >= m_lineList.size()) return;
    if (!m_windows.prompter.askYesNo(kConfirmRemoveLine)) return;
    m_lineList.removeAt(row);
    m_changingLine.reset();
    showLines();
}

void TF_formul::showLines() {
    m_lines->removeRows(0, m_lines->rowCount());
    int number = 0;
    for (const FormulaLine& line : std::as_const(m_lineList)) {
        m_lines->appendRow({numberItem(++number), new QStandardItem(line.materialName), numberItem(double(line.material)),
                            new QStandardItem(line.unitName), new QStandardItem(line.status), numberItem(line.quantity),
                            numberItem(line.unitPrice), numberItem(line.total())});
    }
    m_lines->appendRow(QList<QStandardItem*>{new QStandardItem}); // the empty row at the end
    recomputeTotals();
}

void TF_formul::recomputeTotals() {
    const double fee = me_fani->text().trimmed().isEmpty() ? 0 : me_fani->text().toDouble();
    const double service = me_khadamat->text().trimmed().isEmpty() ? 0 : me_khadamat->text().toDouble();
    const FormulaTotals totals = formulaTotals(m_lineList, fee, service);
    me_koll_bimeh->setText(amountDisplayText(totals.insured));
    me_koll_azad->setText(amountDisplayText(totals.free));
    me_koll->setText(amountDisplayText(totals.payable));
}

Formula TF_formul::formulaFromFields() const {
    Formula f;
    f.code = m_shownCode;
    f.name = me_name->text().trimmed();
    f.latinName = me_latin->text().trimmed();
    f.type = me_code_type->code().value_or(0);
    f.technicalFee = me_fani->text().toDouble();
    f.serviceFee = me_khadamat->text().toDouble();
    f.instruction = codeOf(me_code_dastoor);
    f.storage = codeOf(me_code_negahdari);
    f.message = codeOf(me_code_payam);
    f.lines = m_lineList;
    return f;
}

void TF_formul::saveFormula() {
    if (m_state == State::Viewing) return;
    if (m_state == State::Editing) {
        if (!m_windows.prompter.askYesNo(kConfirmEdit)) return;
        if (me_name->text().trimmed().isEmpty()) return refuse(kNoDrugName, me_name);
        if (m_lineList.isEmpty()) return refuse(kNoLines, DBGrid1);
        FormulaStore::Result result = FormulaStore::Result::Saved;
        if (!guarded(m_windows.prompter, [&] { result = FormulaStore(m_windows.db).update(formulaFromFields()); }))
            return;
        if (result == FormulaStore::Result::Missing) return refuse(kNotFound, nullptr);
        showFormula(m_shownCode);
        return;
    }
    if (me_name->text().trimmed().isEmpty()) return refuse(kNoMaterialName, me_name);
    if (me_fani->text().trimmed().isEmpty()) return refuse(kNoFee, me_code_type);
    if (me_khadamat->text().trimmed().isEmpty()) return refuse(kNoService, me_code_type);
    if (m_lineList.isEmpty()) return refuse(kNoLines, DBGrid1);
    if (!guarded(m_windows.prompter, [&] { FormulaStore(m_windows.db).add(formulaFromFields()); })) return;
    clearForNew();
}

void TF_formul::startEdit() {
    if (m_state != State::Viewing) return;
    m_state = State::Editing;
    setEditable(true);
    m_bar->editDocument();
    me_code_type->setFocus();
}

void TF_formul::deleteFormula() {
    if (m_state == State::New) return;
    if (!m_windows.prompter.askYesNo(kConfirmDelete)) return;
    FormulaStore::Result result = FormulaStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = FormulaStore(m_windows.db).remove(m_shownCode); })) return;
    if (result == FormulaStore::Result::Missing) return refuse(kNotFound, nullptr);
    if (result == FormulaStore::Result::Dispensed) return refuse(kDispensed, nullptr);
    clearForNew();
}

void TF_formul::showFormula(double code) {
    std::optional<Formula> formula;
    if (!guarded(m_windows.prompter, [&] { formula = FormulaStore(m_windows.db).find(code); })) return;
    clearForNew();
    m_state = State::Viewing;
    m_shownCode = code;
    me_code->setText(plainDecimalText(code));
    if (formula) {
        me_code_type->setText(QString::number(formula->type));
        // The formula keeps the fees it copied, whatever its type's fees are now.
        me_fani->setText(plainDecimalText(formula->technicalFee));
        me_khadamat->setText(plainDecimalText(formula->serviceFee));
        me_name->setText(formula->name);
        me_latin->setText(formula->latinName);
        const auto setCode = [](CodeField* field, const std::optional<qint64>& value) {
            field->setText(value ? QString::number(*value) : QString());
        };
        setCode(me_code_dastoor, formula->instruction);
        setCode(me_code_negahdari, formula->storage);
        setCode(me_code_payam, formula->message);
        m_lineList = formula->lines;
        showLines();
    }
    setEditable(false);
    m_bar->showDocument();
    m_bar->setEnabled(CommandBar::RemoveLine, false);
}

void TF_formul::searchDrug() {
    if (!m_searchDrug) return;
    std::optional<double> chosen;
    if (!guarded(m_windows.prompter, [&] { chosen = m_searchDrug(); })) return;
    if (chosen && *chosen != 0) showFormula(*chosen);
}

void TF_formul::step(int direction) {
    QList<double> codes;
    if (!guarded(m_windows.prompter, [&] { codes = FormulaStore(m_windows.db).codes(); }) || codes.isEmpty()) return;
    double code = codes.first();
    if (direction == 2) {
        code = codes.last();
    } else if (direction == -1 || direction == 1) {
        const int at = int(codes.indexOf(m_shownCode));
        if (at < 0)
            code = direction < 0 ? codes.first() : codes.last();
        else
            code = codes.at(std::clamp(at + direction, 0, int(codes.size()) - 1));
    }
    showFormula(code);
}

} // namespace ph
