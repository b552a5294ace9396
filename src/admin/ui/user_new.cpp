#include "admin/ui/user_new.h"

#include "admin/rights.h"
#include "core/app_context.h"
#include "core/error.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/list_grid.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

struct FlagDef {
    const char* flag;
    const char* objectName;
    QString checkCaption;
    QString gridCaption;
};

struct GroupDef {
    QString caption;
    QList<FlagDef> flags;
};

// The rights in their groups, with the check box and grid captions.
const QList<GroupDef>& rightGroups() {
    static const QList<GroupDef> groups = {
        {QStringLiteral("اطلاعات پايه دارو"),
         {{"group_k", "group_k", QStringLiteral("تعريف گروه كالا"), QStringLiteral("تعريف گروه")},
          {"type_k", "type_k", QStringLiteral("تعريف شكل كالا"), QStringLiteral("تعريف شكل")},
          {"darou1", "darou1", QStringLiteral("تعريف دارو 1"), QStringLiteral("تعريف دارو1")},
          {"darou2", "darou2", QStringLiteral("تعريف دارو2"), QStringLiteral("تعريف دارو2")},
          {"hamrah", "hamrah", QStringLiteral("تعريف داروي همراه"), QStringLiteral("همراه")},
          {"moadel", "moadel", QStringLiteral("تعريف معادل سازي "), QStringLiteral("معادل")},
          {"hesab", "hesab", QStringLiteral("محاسبه قيمت دارو ساختني"), QStringLiteral("محاسبه قيمت")},
          {"formul", "formul", QStringLiteral("تعريف فرمول داروي ساختني"), QStringLiteral("تعريف فرمول")},
          {"type_fo", "type_fo", QStringLiteral("تعريف نوع فرمول ساختني"), QStringLiteral("نوع فرمول")},
          {"mat", "mat", QStringLiteral("تعريف مواد پايه فرمول"), QStringLiteral("موادپايه فرمول")},
          {"vahed", "vahed", QStringLiteral("تعريف واحد موادپايه"), QStringLiteral("واحدمواد")}}},
        {QStringLiteral("اطلاعات پايه سيستم"),
         {{"bimeh", "bimeh", QStringLiteral("معرفي بيمه ها"), QStringLiteral("معرفي بيمه")},
          {"bimehdarou", "bimehdarou", QStringLiteral("تعريف رفتاربيمه ودارو"),
           QStringLiteral("رفتاربيمه و دارو")},
          {"tarefe", "tarefe", QStringLiteral("تعريف تعرفه ها"), QStringLiteral("تعرفه")},
          {"type_no", "type_no", QStringLiteral("تعريف نوع نسخه"), QStringLiteral("نوع نسخه")},
          {"takh", "takh", QStringLiteral("تعريف تخصص پزشك"), QStringLiteral("تخصص")},
          {"doctor", "doctor", QStringLiteral("معرفي پزشكان"), QStringLiteral("معرفي پزشك")}}},
        {QStringLiteral("سطح فروش "),
         {{"froosh_d", "froosh_d", QStringLiteral("فروش دارو"), QStringLiteral("فروش دارو")},
          {"froosh_k", "froosh_k", QStringLiteral("فروش كالا"), QStringLiteral("فروش كالا")}}},
        {QStringLiteral("مديريت سيستم "),
         {{"tanzim", "tanzim", QStringLiteral("مديريت عمليات و پيام ها"), QStringLiteral("مديريت عميليات")},
          {"phar", "Ch_tanzim_p", QStringLiteral("تنظيمات چاپ براي بيمه "), QStringLiteral("تنظيمات چاپ")},
          {"cash", "cash", QStringLiteral("صندوق"), QStringLiteral("صندوق")}}},
        {QStringLiteral("واحد ها "),
         {{"cashier", "cashier", QStringLiteral("واحد صندوق"), QStringLiteral("واحد صندوق")},
          {"anbar", "anbar", QStringLiteral("واحد انبار"), QStringLiteral("واحدانبار")},
          {"havaleh", "havaleh", QStringLiteral("حواله از انبار"), QStringLiteral("حواله از انبار")}}},
        {QStringLiteral("گزارشات"),
         {{"list_b", "Ch_list", QStringLiteral("گزارش ليست بيمه "), QStringLiteral("ليست بيمه")},
          {"disk_b", "Ch_disk", QStringLiteral("تهيه ديسك بيمه "), QStringLiteral("ديسك بيمه")},
          {"gcash", "gcash", QStringLiteral("گزارش صندوق "), QStringLiteral(" گزارش صندوق")},
          {"gfroosh", "gfroosh", QStringLiteral("گزارش فروش "), QStringLiteral("گزارش فروش")},
          {"g1", "g1", QStringLiteral("گزارش 1"), QStringLiteral("گزارش1")},
          {"g2", "g2", QStringLiteral("گزارش 2"), QStringLiteral("گزارش2")},
          {"engheza", "Ch_engheza", QStringLiteral("اقلام نزديك به انقضا"), QStringLiteral("انقضا")}}},
        {QStringLiteral("سيستم پشتيباني"),
         {{"access", "access", QStringLiteral("سطوح دسترسي "), QStringLiteral("سطوح دسترسي")},
          {"user_new", "Ch_user", QStringLiteral("تعريف كاربر"), QStringLiteral("تعريف كاربر")},
          {"pass_ta", "Ch_pass", QStringLiteral("تغيير كلمه رمز"), QStringLiteral("تغييركلمه عبور")},
          {"tarikhche", "Ch_tarikhche", QStringLiteral("تاريخچه تغييرات"), QStringLiteral("تاريخچه")}}},
    };
    return groups;
}

const QList<FlagDef>& commandKeyFlags() {
    static const QList<FlagDef> flags = {
        {"save_b", "Ch_save", QStringLiteral("كليد ثبت"), QStringLiteral("كليدثبت")},
        {"delete_b", "Ch_delete", QStringLiteral("كليد حذف"), QStringLiteral("كليدحذف")},
        {"edit_b", "Ch_edit", QStringLiteral("كليد ويرايش"), QStringLiteral("كليدويرايش")},
    };
    return flags;
}

QList<FlagDef> allFlagsInColumnOrder() {
    QHash<QString, FlagDef> byName;
    for (const GroupDef& group : rightGroups())
        for (const FlagDef& def : group.flags)
            byName.insert(QString::fromLatin1(def.flag), def);
    for (const FlagDef& def : commandKeyFlags())
        byName.insert(QString::fromLatin1(def.flag), def);
    QList<FlagDef> ordered;
    for (std::string_view flag : kRightFlags)
        ordered.append(byName.value(QString::fromLatin1(flag.data(), qsizetype(flag.size()))));
    return ordered;
}

} // namespace

TF_user_new::TF_user_new(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("F_user_new"));
    setWindowTitle(QStringLiteral("  فرم تعريف و تعيين سطوح دسترسي كاربر  "));
    resize(1160, 680); // the users grid shows in one variant: room for it from the start

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("me_code"));
    m_code->setReadOnly(true);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("me_name"));
    m_pass = new QLineEdit(this);
    m_pass->setObjectName(QStringLiteral("me_pass"));
    m_pass->setEchoMode(QLineEdit::Password);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كدكاربر: "), m_code);
    fields->addRow(QStringLiteral("نام و نام خانوادگي كاربر:"), m_name);
    fields->addRow(QStringLiteral("كلمه عبور كاربر: "), m_pass);

    m_model = new QStandardItemModel(this);
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"), m_model);
    m_grid->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) loadUser(current.row());
            });
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex& index) { loadUser(index.row()); });

    m_bar = new CommandBar(m_windows.context, m_windows.prompter, CommandBar::DataWindow, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral(" ثبت  F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش  F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف كاربر F4"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديد F9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setHandler(CommandBar::Save, [this] { addUser(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editUser(); });
    m_bar->setHandler(CommandBar::Delete, [this] { deleteUser(); });
    m_bar->setHandler(CommandBar::New, [this] { clearForNew(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    QWidget* rights = buildRightsPanel(fields);
    rights->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum); // the grid takes the height left
    layout->addWidget(rights);
    layout->addWidget(m_grid, 1);
    layout->addStretch(); // takes the room of the grid in the variant without it
    layout->addWidget(m_bar);

    // Enter moves from each field to the next control, the check boxes included.
    m_nav = new KeyNav(this);
    m_nav->addField(m_name);
    m_nav->addField(m_pass);
    // In the order the boxes are drawn: group by group, then the command keys.
    QList<FlagDef> drawn;
    for (const GroupDef& group : rightGroups())
        drawn += group.flags;
    drawn += commandKeyFlags();
    for (const FlagDef& def : drawn) {
        QCheckBox* box = m_flags.value(QString::fromLatin1(def.flag));
        m_nav->addField(box);
        m_nav->setEnterHandler(box, [] { return true; }); // Enter moves on; Space ticks
    }
    m_nav->setLastAction(m_bar->button(CommandBar::Save));
}

TF_user_new::~TF_user_new() = default;

// The user's fields and the key rights side by side with the window rights, so that the
// window, its grid and its commands fit a 1366 x 768 screen.
QWidget* TF_user_new::buildRightsPanel(QLayout* fields) {
    constexpr int kRowsPerColumn = 6; // a long group's boxes run on in a further column
    auto* panel = new QWidget(this);
    auto* outer = new QHBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* forms = new QGroupBox(QStringLiteral("سطح دسترسي فرم ها "), panel);
    auto* formsLayout = new QGridLayout(forms);
    int column = 0;
    auto addBox = [this](QWidget* owner, QGridLayout* layout, const FlagDef& def, int index) {
        auto* box = new QCheckBox(def.checkCaption, owner);
        box->setObjectName(QString::fromLatin1(def.objectName));
        layout->addWidget(box, index % kRowsPerColumn, index / kRowsPerColumn);
        m_flags.insert(QString::fromLatin1(def.flag), box);
    };
    for (const GroupDef& group : rightGroups()) {
        auto* box = new QGroupBox(group.caption, forms);
        auto* boxLayout = new QGridLayout(box);
        boxLayout->setVerticalSpacing(2);
        for (int i = 0; i < group.flags.size(); ++i)
            addBox(box, boxLayout, group.flags.at(i), i);
        boxLayout->setRowStretch(kRowsPerColumn, 1);
        formsLayout->addWidget(box, column / 4, column % 4);
        ++column;
    }
    auto* keys = new QGroupBox(QStringLiteral("سطح دسترسي كليدها در فرم ها "), panel);
    auto* keysLayout = new QGridLayout(keys);
    for (int i = 0; i < commandKeyFlags().size(); ++i)
        addBox(keys, keysLayout, commandKeyFlags().at(i), i);
    auto* side = new QVBoxLayout;
    side->addLayout(fields);
    side->addWidget(keys);
    side->addStretch();
    outer->addLayout(side);
    outer->addWidget(forms, 1);
    return panel;
}

void TF_user_new::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_grid->setVisible(m_formMode == 1);
    guarded(m_windows.prompter, [this] {
        reloadGrid();
        clearForNew();
    });
    m_name->setFocus();
}

// Any key pressed in the grid loads the user it stands on, also when the key does not
// move it (after F9 cleared the form). Keys the command bar takes never reach the grid,
// so their release loads nothing.
bool TF_user_new::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid) {
        if (event->type() == QEvent::KeyPress) {
            m_gridKeyDown = true;
        } else if (event->type() == QEvent::FocusOut) {
            m_gridKeyDown = false;
        } else if (event->type() == QEvent::KeyRelease && m_gridKeyDown) {
            m_gridKeyDown = false;
            if (m_grid->currentIndex().isValid()) loadUser(m_grid->currentIndex().row());
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_user_new::reloadGrid() {
    m_users = UserStore(m_windows.db).all();
    const QList<FlagDef> flags = allFlagsInColumnOrder();
    m_model->clear();
    QStringList headers = {QStringLiteral("كد"), QStringLiteral("نام"), QStringLiteral("كلمه عبور")};
    for (const FlagDef& def : flags)
        headers.append(def.gridCaption);
    m_model->setHorizontalHeaderLabels(headers);
    for (const UserRecord& user : m_users) {
        QList<QStandardItem*> row = {new QStandardItem(QString::number(user.code)),
                                     new QStandardItem(user.name),
                                     new QStandardItem(QStringLiteral("*****"))};
        for (const FlagDef& def : flags) {
            auto* item = new QStandardItem;
            item->setCheckable(false);
            item->setData(user.rights.value(QString::fromLatin1(def.flag)) ? Qt::Checked : Qt::Unchecked,
                          Qt::CheckStateRole);
            row.append(item);
        }
        m_model->appendRow(row);
    }
}

void TF_user_new::clearForNew() {
    m_name->clear();
    m_pass->clear();
    for (QCheckBox* box : std::as_const(m_flags))
        box->setChecked(false);
    guarded(m_windows.prompter,
            [this] { m_code->setText(QString::number(UserStore(m_windows.db).nextCode())); });
    m_bar->clearDocument();
}

void TF_user_new::loadUser(int row) {
    if (row < 0 || row >= m_users.size()) return;
    const UserRecord& user = m_users.at(row);
    m_code->setText(QString::number(user.code));
    m_name->setText(user.name);
    m_pass->clear();
    for (auto it = m_flags.cbegin(); it != m_flags.cend(); ++it)
        it.value()->setChecked(user.rights.value(it.key(), false));
    m_bar->showDocument();
}

UserRecord TF_user_new::fromFields() const {
    UserRecord user;
    user.code = m_code->text().toInt();
    user.name = m_name->text();
    user.password = m_pass->text();
    for (auto it = m_flags.cbegin(); it != m_flags.cend(); ++it)
        user.rights.insert(it.key(), it.value()->isChecked());
    return user;
}

void TF_user_new::addUser() {
    Prompter& prompter = m_windows.prompter;
    if (m_code->text().isEmpty()) return prompter.warning(QStringLiteral("کدکاربر مشخص نشده است"));
    if (m_name->text().isEmpty()) {
        prompter.warning(QStringLiteral("نام کاربر مشخص نشده است"));
        m_name->setFocus();
        return;
    }
    if (m_pass->text().isEmpty()) {
        prompter.warning(QStringLiteral("کلمه عبور مشخص نشده است"));
        m_pass->setFocus();
        return;
    }
    UserStore::AddResult result = UserStore::AddResult::Added;
    if (!guarded(m_windows.prompter, [&] { result = UserStore(m_windows.db, auditOrigin()).add(fromFields()); })) return;
    switch (result) {
    case UserStore::AddResult::DuplicateCode:
        return prompter.warning(QStringLiteral("کد کاربر تکراري است"));
    case UserStore::AddResult::DuplicateName:
        return prompter.warning(QStringLiteral("نام کاربر تکراري است"));
    case UserStore::AddResult::DuplicatePassword:
        return prompter.warning(QStringLiteral("کلمه عبور کاربر تکراري است"));
    case UserStore::AddResult::Added:
        break;
    }
    guarded(m_windows.prompter, [this] { reloadGrid(); });
    clearForNew();
    m_name->setFocus();
    prompter.information(QStringLiteral("ثبت اطلاعات با موفقيت انجام شد"));
}

void TF_user_new::editUser() {
    if (m_name->text().isEmpty()) {
        m_windows.prompter.warning(QStringLiteral("نام کاربر مشخص نشده است"));
        m_name->setFocus();
        return;
    }
    // An empty password keeps the stored one: stored passwords are never shown to retype.
    if (!guarded(m_windows.prompter, [this] { UserStore(m_windows.db, auditOrigin()).update(fromFields()); })) return;
    guarded(m_windows.prompter, [this] { reloadGrid(); });
    clearForNew();
    m_name->setFocus();
    m_windows.prompter.information(QStringLiteral("ويرايش اطلاعات با موفقيت انجام شد"));
}

AuditOrigin TF_user_new::auditOrigin() const {
    return AuditOrigin::here(m_windows.context.user_code, QStringLiteral("TF_user_new"));
}

void TF_user_new::deleteUser() {
    Prompter& prompter = m_windows.prompter;
    if (m_code->text().isEmpty() || m_name->text().isEmpty())
        return prompter.warning(QStringLiteral("کاربري براي حذف وجود ندارد"));
    if (!prompter.askYesNo(QStringLiteral("آيا ازحذف کاربر مطمئن هستيد"))) return;
    const int code = m_code->text().toInt();
    guarded(m_windows.prompter, [&] {
        UserStore users(m_windows.db, auditOrigin());
        if (users.hasRecordedSales(code)) {
            prompter.warning(QStringLiteral("حذف کاربر موردنظرامکان پذيرنمي باشد"));
            return;
        }
        users.remove(code);
        reloadGrid();
        clearForNew();
        m_name->setFocus();
    });
}

} // namespace ph
