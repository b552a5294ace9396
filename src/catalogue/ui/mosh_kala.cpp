#include "catalogue/ui/mosh_kala.h"

#include "catalogue/ui/barcode_box.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kEditRefusal = QStringLiteral("دسترسي به کليداصلاح براي شما امکان پذير نمي باشد");
const QString kSaveRefusal = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");
const QString kDeleteRefusal = QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد");
const QString kUnchangeable = QStringLiteral("اطلاعات اين دارو غير قابل تغيير است");
const QString kSaved = QStringLiteral("!اطلاعات اين دارو ثبت شد");
const QString kEdited = QStringLiteral("!اطلاعات اين دارواصلاح و ثبت شد");
const QString kHasStock = QStringLiteral("اطلاعات براي اين دارو وجود دارد.حـذف امكان پذير نيست");
const QString kConfirmDelete = QStringLiteral("داروي مورد نظر حـذف شود.مطمئن هستيد");
// The names of goods that stock or prescriptions name cannot change (the fields are read-only;
// this is said only when they changed all the same).
const QString kNamesLocked = QStringLiteral("نام داروي مورد نظر قابل تغيير نيست");

constexpr int kKeyRole = Qt::UserRole;

std::optional<double> numberOrNone(const QLineEdit* field) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    return amountFromText(text);
}

QString numberText(const std::optional<double>& value) {
    return value ? plainDecimalText(*value) : QString();
}

QLineEdit* digitsField(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,15}")), field));
    return field;
}

} // namespace

Tfmmosh_kala::Tfmmosh_kala(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("fmmosh_kala"));
    setWindowTitle(QStringLiteral("فـــــــرم مـــشــخــصــات دارو و تــجــهــيــــــزات"));
    resize(820, 640);
    makeWidgets();
}

void Tfmmosh_kala::makeWidgets() {
    const auto button = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    but_new = button(QStringLiteral("دارو جديد F1"), QStringLiteral("but_new"));
    but_save = button(QStringLiteral("ثبت دارو F3"), QStringLiteral("but_save"));
    but_search = button(QStringLiteral("جستجوي دارو"), QStringLiteral("but_search"));
    but_edit = button(QStringLiteral("اصلاح دارو F6"), QStringLiteral("but_edit"));
    but_delete = button(QStringLiteral("حذف دارو F8"), QStringLiteral("but_delete"));
    but_close = button(QStringLiteral("خروج F10"), QStringLiteral("but_close"));
    connect(but_new, &QPushButton::clicked, this, &Tfmmosh_kala::newGoods);
    connect(but_save, &QPushButton::clicked, this, &Tfmmosh_kala::save);
    connect(but_search, &QPushButton::clicked, this, &Tfmmosh_kala::openSearch);
    connect(but_edit, &QPushButton::clicked, this, &Tfmmosh_kala::editGoods);
    connect(but_delete, &QPushButton::clicked, this, &Tfmmosh_kala::deleteGoods);
    connect(but_close, &QPushButton::clicked, this, &QDialog::reject);
    auto* toolbar = new QHBoxLayout;
    for (QPushButton* b : {but_new, but_save, but_search, but_edit, but_delete, but_close})
        toolbar->addWidget(b);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { nodeChosen(); });

    m_newPanel = new QWidget(this);
    m_newPanel->setObjectName(QStringLiteral("Panel_new"));
    Edit1 = makeLineField(m_newPanel, QStringLiteral("Edit1"));
    Edit1->setMaxLength(50);
    Edit2 = makeLineField(m_newPanel, QStringLiteral("Edit2"));
    Edit2->setLayoutDirection(Qt::LeftToRight);
    Edit3 = digitsField(m_newPanel, QStringLiteral("Edit3"));
    Edit4 = digitsField(m_newPanel, QStringLiteral("Edit4"));
    auto* newFields = new QFormLayout(m_newPanel);
    newFields->addRow(QStringLiteral("(نام دارو(فارسي"), Edit1);
    newFields->addRow(QStringLiteral("(نام دارو(لاتين"), Edit2);
    newFields->addRow(QStringLiteral("كد ثانويه"), Edit3);
    newFields->addRow(QStringLiteral("كد شناسه"), Edit4);

    m_searchPanel = new QWidget(this);
    m_searchPanel->setObjectName(QStringLiteral("Panel_search"));
    name_daru = new QComboBox(m_searchPanel);
    name_daru->setObjectName(QStringLiteral("name_daru"));
    connect(name_daru, &QComboBox::activated, this, &Tfmmosh_kala::pickInSearch);
    l_t4 = new QLabel(QStringLiteral("_"), m_searchPanel);
    l_t4->setObjectName(QStringLiteral("l_t4"));
    Edit8 = makeLineField(m_searchPanel, QStringLiteral("Edit8"));
    Edit8->setMaxLength(50);
    Edit7 = makeLineField(m_searchPanel, QStringLiteral("Edit7"));
    Edit7->setLayoutDirection(Qt::LeftToRight);
    Edit6 = digitsField(m_searchPanel, QStringLiteral("Edit6"));
    Edit5 = digitsField(m_searchPanel, QStringLiteral("Edit5"));
    Edit9 = makeLineField(m_searchPanel, QStringLiteral("Edit9"));
    Edit9->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}(\\.[0-9]{0,4})?")), Edit9));
    m_priceLabel = new QLabel(QStringLiteral("قيمت فروش"), m_searchPanel);
    auto* searchFields = new QFormLayout(m_searchPanel);
    searchFields->addRow(QStringLiteral("نام دارو"), name_daru);
    searchFields->addRow(QString(), l_t4);
    searchFields->addRow(QStringLiteral("(نام دارو(فارسي"), Edit8);
    searchFields->addRow(QStringLiteral("(نام دارو(لاتين"), Edit7);
    searchFields->addRow(QStringLiteral("كد ثانويه"), Edit6);
    searchFields->addRow(QStringLiteral("كد شناسه"), Edit5);
    searchFields->addRow(m_priceLabel, Edit9);

    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(QStringLiteral("StatusBar1"));
    auto* panels = new QVBoxLayout;
    panels->addWidget(m_newPanel);
    panels->addWidget(m_searchPanel);
    panels->addStretch(1);
    // The barcodes of the selected goods node, or of the goods picked in the search panel.
    m_barcodes = new BarcodeBox(m_windows.db, m_windows.prompter, m_windows.settings, this);
    panels->addWidget(m_barcodes);
    auto* body = new QHBoxLayout;
    body->addWidget(TreeView1, 1);
    body->addLayout(panels, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);
    layout->addWidget(m_dateLabel);
    for (QWidget* field : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3),
                           static_cast<QWidget*>(Edit4), static_cast<QWidget*>(name_daru), static_cast<QWidget*>(Edit8),
                           static_cast<QWidget*>(Edit7), static_cast<QWidget*>(Edit6), static_cast<QWidget*>(Edit5),
                           static_cast<QWidget*>(Edit9)})
        field->installEventFilter(this);
}

void Tfmmosh_kala::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    m_dateLabel->setText(QStringLiteral("تاريخ جاري: ") + m_windows.context.current_date);
    for (QPushButton* b : {but_new, but_save, but_edit, but_delete}) b->setEnabled(false);
    m_newPanel->hide();
    m_searchPanel->hide();
    m_mode = Mode::None;
    rebuild();
    TreeView1->setFocus();
}

void Tfmmosh_kala::rebuild() {
    TreeView1->clear();
    guarded(m_windows.prompter, [this] {
        const auto add = [](QTreeWidgetItem* item, const GoodsTreeNode& node) {
            item->setText(0, node.text);
            item->setData(0, kKeyRole, node.key);
        };
        for (const GoodsTreeNode& group : GoodsTree(m_windows.db).build()) {
            auto* groupItem = new QTreeWidgetItem(TreeView1);
            add(groupItem, group);
            for (const GoodsTreeNode& form : group.children) {
                auto* formItem = new QTreeWidgetItem(groupItem);
                add(formItem, form);
                for (const GoodsTreeNode& goods : form.children) add(new QTreeWidgetItem(formItem), goods);
            }
        }
        fillNames();
    });
}

void Tfmmosh_kala::fillNames() {
    name_daru->clear();
    m_nameCodes.clear();
    for (const auto& [code, name] : GoodsTree(m_windows.db).names()) {
        name_daru->addItem(name);
        m_nameCodes.append(code);
    }
    name_daru->setCurrentIndex(-1);
}

std::optional<qint64> Tfmmosh_kala::selectedKey() const {
    const QTreeWidgetItem* item = TreeView1->currentItem();
    if (!item) return std::nullopt;
    return item->data(0, kKeyRole).toLongLong();
}

void Tfmmosh_kala::nodeChosen() {
    const qint64 key = selectedKey().value_or(0);
    const bool goods = goodsNodeKind(key) == GoodsNodeKind::Goods;
    if (goods)
        m_barcodes->setItem(goodsCodeOfNode(key), TreeView1->currentItem()->text(0));
    else
        m_barcodes->setItem(std::nullopt);
    but_edit->setEnabled(goods);
    but_delete->setEnabled(goods);
    but_save->setEnabled(false);
    but_new->setEnabled(key > 10 && key <= 10'000'000);
}

bool Tfmmosh_kala::hasRight(const char* flag, const QString& refusal) {
    if (m_windows.context.hasRight(QString::fromLatin1(flag))) return true;
    m_windows.prompter.warning(refusal);
    return false;
}

void Tfmmosh_kala::notice(const QString& text) {
    confirmNotice(m_windows.prompter, text);
}

void Tfmmosh_kala::newGoods() {
    const std::optional<qint64> key = selectedKey();
    if (!key || goodsNodeKind(*key) != GoodsNodeKind::Form) return;
    m_formKey = *key;
    m_mode = Mode::New;
    for (QLineEdit* field : {Edit1, Edit2, Edit3, Edit4}) {
        field->clear();
        field->setReadOnly(false);
    }
    m_newPanel->show();
    but_save->setEnabled(true);
    Edit1->setFocus();
}

void Tfmmosh_kala::editGoods() {
    if (!hasRight("edit_b", kEditRefusal)) return;
    const std::optional<qint64> key = selectedKey();
    if (!key || goodsNodeKind(*key) != GoodsNodeKind::Goods) return;
    std::optional<GoodsTreeItem> item;
    bool locked = false;
    if (!guarded(m_windows.prompter, [&] {
            GoodsTree tree(m_windows.db);
            item = tree.find(goodsCodeOfNode(*key));
            if (item) locked = tree.namesLocked(item->code);
        }))
        return;
    if (!item) return notice(kUnchangeable);
    Edit1->setText(item->name);
    Edit2->setText(item->latinName);
    Edit3->setText(numberText(item->secondaryCode));
    Edit4->setText(numberText(item->identityCode));
    Edit1->setReadOnly(locked);
    Edit2->setReadOnly(locked);
    m_mode = Mode::Edit;
    m_newPanel->show();
    but_save->setEnabled(true);
    Edit1->setFocus();
}

void Tfmmosh_kala::openSearch() {
    bool hidePrice = false;
    if (!guarded(m_windows.prompter, [&] { hidePrice = GoodsTree(m_windows.db).stockFlagSet(); })) return;
    Edit9->setVisible(!hidePrice);
    m_priceLabel->setVisible(!hidePrice);
    m_searchPanel->show();
    name_daru->setFocus();
}

void Tfmmosh_kala::pickInSearch(int index) {
    const double code = index >= 0 && index < m_nameCodes.size() ? m_nameCodes.at(index) : -1;
    std::optional<GoodsTreeItem> item;
    bool locked = false;
    if (!guarded(m_windows.prompter, [&] {
            GoodsTree tree(m_windows.db);
            item = tree.find(code);
            if (item) locked = tree.namesLocked(code);
        }))
        return;
    if (!item) {
        but_edit->setEnabled(false);
        but_delete->setEnabled(false);
        l_t4->setText(QStringLiteral("_"));
        for (QLineEdit* field : {Edit8, Edit7, Edit6, Edit5, Edit9}) field->clear();
        return;
    }
    m_pickedCode = code;
    m_barcodes->setItem(code, item->name);
    l_t4->setText(item->formName);
    Edit8->setText(item->name);
    Edit7->setText(item->latinName);
    Edit6->setText(numberText(item->secondaryCode));
    Edit5->setText(numberText(item->identityCode));
    Edit9->setText(numberText(item->price));
    Edit8->setReadOnly(locked);
    Edit7->setReadOnly(locked);
    m_mode = Mode::Search;
    but_save->setEnabled(true);
}

void Tfmmosh_kala::save() {
    if (!but_save->isEnabled()) return;
    if (!hasRight("save_b", kSaveRefusal)) return;
    const std::optional<qint64> key = selectedKey();
    if (Edit1->text().isEmpty() && Edit8->text().isEmpty() && key && goodsNodeKind(*key) == GoodsNodeKind::Goods)
        return;
    GoodsTree::Result result = GoodsTree::Result::Saved;
    double newCode = 0;
    const bool ran = guarded(m_windows.prompter, [&] {
        GoodsTree tree(m_windows.db);
        switch (m_mode) {
        case Mode::New: {
            GoodsTreeItem item{0, Edit1->text().trimmed(), Edit2->text().trimmed(), numberOrNone(Edit3),
                               numberOrNone(Edit4), {}, {}};
            result = tree.add(m_formKey, item, &newCode);
            break;
        }
        case Mode::Edit: {
            GoodsTreeItem item{goodsCodeOfNode(key.value_or(0)), Edit1->text(), Edit2->text(), numberOrNone(Edit3),
                               numberOrNone(Edit4), {}, {}};
            result = tree.edit(item, false);
            break;
        }
        case Mode::Search: {
            GoodsTreeItem item{m_pickedCode, Edit8->text(), Edit7->text(), numberOrNone(Edit6), numberOrNone(Edit5),
                               Edit9->isVisible() ? numberOrNone(Edit9) : std::nullopt, {}};
            result = tree.edit(item, true);
            break;
        }
        case Mode::None:
            return;
        }
    });
    if (!ran || m_mode == Mode::None) return;
    switch (result) {
    case GoodsTree::Result::Saved:
        break;
    case GoodsTree::Result::Missing:
        return notice(kUnchangeable);
    case GoodsTree::Result::NamesLocked:
        return m_windows.prompter.warning(kNamesLocked);
    default:
        return notice(kUnchangeable);
    }
    if (m_mode == Mode::New) {
        // The new goods node under its form node; the form node stays selected.
        if (QTreeWidgetItem* form = TreeView1->currentItem()) {
            auto* item = new QTreeWidgetItem(form);
            item->setText(0, Edit1->text().trimmed());
            item->setData(0, kKeyRole, goodsNodeKey(newCode));
        }
        guarded(m_windows.prompter, [this] { fillNames(); });
        notice(kSaved);
        closeNewPanel();
        return;
    }
    notice(kEdited);
    if (m_mode == Mode::Edit) {
        closeNewPanel();
    } else {
        guarded(m_windows.prompter, [this] {
            const int at = name_daru->currentIndex();
            fillNames();
            name_daru->setCurrentIndex(at);
        });
        name_daru->setFocus();
    }
}

void Tfmmosh_kala::deleteGoods() {
    if (!hasRight("delete_b", kDeleteRefusal)) return;
    const std::optional<qint64> key = selectedKey();
    if (!key || goodsNodeKind(*key) != GoodsNodeKind::Goods) return;
    const double code = goodsCodeOfNode(*key);
    std::optional<GoodsTreeItem> item;
    bool stock = false;
    if (!guarded(m_windows.prompter, [&] {
            GoodsTree tree(m_windows.db);
            item = tree.find(code);
            stock = item && tree.hasStoreStock(code);
        }))
        return;
    if (!item) return notice(kUnchangeable);
    if (stock) return notice(kHasStock);
    ConfirmRequest request;
    request.text = kConfirmDelete;
    request.showSearch = false;
    if (m_windows.prompter.confirm(request).result != 1) return;
    GoodsTree::Result result = GoodsTree::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = GoodsTree(m_windows.db).remove(code); })) return;
    if (result == GoodsTree::Result::HasStock) return notice(kHasStock);
    if (result != GoodsTree::Result::Saved) return notice(kUnchangeable);
    delete TreeView1->currentItem();
    guarded(m_windows.prompter, [this] { fillNames(); });
}

void Tfmmosh_kala::closeNewPanel() {
    for (QLineEdit* field : {Edit1, Edit2, Edit3, Edit4}) field->clear();
    but_save->setEnabled(false);
    m_newPanel->hide();
    m_mode = Mode::None;
    TreeView1->setFocus();
}

void Tfmmosh_kala::closeSearchPanel() {
    for (QLineEdit* field : {Edit8, Edit7, Edit6, Edit5, Edit9}) field->clear();
    l_t4->setText(QStringLiteral("_"));
    m_searchPanel->hide();
    if (m_mode == Mode::Search) m_mode = Mode::None;
    TreeView1->setFocus();
}

void Tfmmosh_kala::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_F1:
            if (but_new->isEnabled()) newGoods();
            return;
        case Qt::Key_F3:
            return save();
        case Qt::Key_F8:
            if (but_delete->isEnabled()) deleteGoods();
            return;
        case Qt::Key_F10:
            return reject();
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

bool Tfmmosh_kala::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const QList<QWidget*> newOrder = {Edit1, Edit2, Edit3, Edit4};
    QList<QWidget*> searchOrder = {name_daru, Edit8, Edit7, Edit6, Edit5};
    if (Edit9->isVisible()) searchOrder.append(Edit9);
    for (const QList<QWidget*>* order : {&newOrder, static_cast<const QList<QWidget*>*>(&searchOrder)}) {
        const int at = int(order->indexOf(static_cast<QWidget*>(watched)));
        if (at < 0) continue;
        if (key->key() == Qt::Key_Escape) {
            order == &newOrder ? closeNewPanel() : closeSearchPanel();
            return true;
        }
        if (enter) {
            order->at((at + 1) % order->size())->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
