#include "dispensing/ui/search_darou.h"

#include "core/amounts.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QAction>
#include <QCollator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

constexpr int kCompounded = 70;

QString codeText(const GoodsItem& g) {
    return plainDecimalText(g.code);
}

QString priceText(const GoodsItem& g) {
    return g.price ? plainDecimalText(*g.price) : QString();
}

bool startsWithDigit(const QString& text) {
    return !text.isEmpty() && text.at(0) >= u'0' && text.at(0) <= u'9';
}

} // namespace

Tf_search_darou::Tf_search_darou(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows),
      m_rows(new RowTableModel<GoodsItem>(
          {
              {QStringLiteral("كدشناسه"),
               [](const GoodsItem& g) { return g.identityCode ? QVariant(*g.identityCode) : QVariant(); }},
              {QStringLiteral("كــد دارو"), [](const GoodsItem& g) { return QVariant(g.code); }},
              {QStringLiteral("نـــــام دارو"), [](const GoodsItem& g) { return QVariant(g.name); }},
              {QStringLiteral("نــام لاتيــن دارو"), [](const GoodsItem& g) { return QVariant(g.latinName); }},
              {QStringLiteral("قيمت واحد"),
               [](const GoodsItem& g) { return g.price ? QVariant(*g.price) : QVariant(); }},
              {QStringLiteral("شكــل دارو"), [](const GoodsItem& g) { return QVariant(g.formName); }},
          },
          this)) {
    setObjectName(QStringLiteral("f_search_darou"));
    setWindowTitle(QStringLiteral("   فــــــرم جستجـــوي دارو   "));
    makeFields();
    makeCommands();
    makeSortMenu();
    makeLayout();
}

void Tf_search_darou::makeFields() {
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    setCodeColumns(DBGrid1, {0, 1});
    setAmountColumns(DBGrid1, {4});
    me_search_d = makeLineField(this, QStringLiteral("me_search_d"));
    me_search_p = makeLineField(this, QStringLiteral("me_search_p"));
    connect(me_search_d, &QLineEdit::textEdited, this, [this](const QString& t) { searchByNameOrCode(t); });
    connect(me_search_p, &QLineEdit::textEdited, this, [this](const QString& t) { searchByPrice(t); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { takeCurrent(); });
}

void Tf_search_darou::makeCommands() {
    but_ok = new QPushButton(QStringLiteral("ثبت F2"), this);
    but_ok->setObjectName(QStringLiteral("but_ok"));
    but_close = new QPushButton(QStringLiteral("خروجF10"), this);
    but_close->setObjectName(QStringLiteral("but_close"));
    ToolButton1 = new QPushButton(QStringLiteral("مرتب سازيCtrl+S"), this);
    ToolButton1->setObjectName(QStringLiteral("ToolButton1"));
    for (QPushButton* button : {but_ok, but_close, ToolButton1})
        button->setAutoDefault(false);
    connect(but_ok, &QPushButton::clicked, this, [this] { takeCurrent(); });
    connect(but_close, &QPushButton::clicked, this, [this] {
        showRows(); // the name filter dropped
        reject();
    });
    new QShortcut(QKeySequence(Qt::Key_F2), this, [this] { takeCurrent(); });
    new QShortcut(QKeySequence(Qt::Key_F10), but_close, [this] { but_close->click(); });
}

void Tf_search_darou::makeSortMenu() {
    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        const char* name;
        const char16_t* caption;
        Qt::Key key;
        Order order;
    } items[] = {
        {"N_code_sh", u"براساس  كدشناسه", Qt::Key_A, Order::IdentityCode},
        {"N_code_kala", u"براساس كددارو", Qt::Key_B, Order::Code},
        {"N_name_kala", u"براساس نام دارو", Qt::Key_C, Order::Name},
        {"N_name_latin", u"براساس نام لاتين", Qt::Key_D, Order::LatinName},
        {"N_price", u"براساس قيمت دارو", Qt::Key_E, Order::Price},
        {"N_type", u"براساس شكل دارو", Qt::Key_F, Order::Form},
    };
    for (const auto& item : items) {
        QAction* action = m_sortMenu->addAction(QString::fromUtf16(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(QKeySequence(Qt::CTRL | item.key));
        action->setShortcutContext(Qt::WindowShortcut);
        const Order order = item.order;
        connect(action, &QAction::triggered, this, [this, order] { sortBy(order); });
        addAction(action);
    }
    const auto dropDown = [this] { m_sortMenu->popup(ToolButton1->mapToGlobal(QPoint(0, ToolButton1->height()))); };
    connect(ToolButton1, &QPushButton::clicked, this, dropDown);
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, dropDown);
}

void Tf_search_darou::makeLayout() {
    // First, previous, next and last in the result.
    auto* steps = new QHBoxLayout;
    const struct {
        const char* name;
        const char* icon;
        QStyle::StandardPixmap fallback; // drawn when the desktop has no icon theme
        int step; // -2 first, -1 previous, 1 next, 2 last
    } moves[] = {{"but_first", "go-first", QStyle::SP_MediaSkipBackward, -2},
                 {"but_prior", "go-previous", QStyle::SP_ArrowUp, -1},
                 {"but_next", "go-next", QStyle::SP_ArrowDown, 1},
                 {"but_last", "go-last", QStyle::SP_MediaSkipForward, 2}};
    for (const auto& move : moves) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(move.name));
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(move.icon), style()->standardIcon(move.fallback)));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        const int step = move.step;
        connect(button, &QPushButton::clicked, this, [this, step] {
            const int last = m_rows->rowCount() - 1;
            if (last < 0) return;
            const int row = step == -2 ? 0 : step == 2 ? last : std::clamp(currentRow() + step, 0, last);
            setCurrentRow(row);
        });
        steps->addWidget(button);
    }

    for (QWidget* watched : {static_cast<QWidget*>(DBGrid1), static_cast<QWidget*>(me_search_d),
                             static_cast<QWidget*>(me_search_p)})
        watched->installEventFilter(this);

    auto* nameBox = new QGroupBox(QStringLiteral("جستجوبراساس نام دارو/كددارو"), this);
    (new QHBoxLayout(nameBox))->addWidget(me_search_d);
    auto* priceBox = new QGroupBox(QStringLiteral("جستجوبراساس قيمت دارو"), this);
    (new QHBoxLayout(priceBox))->addWidget(me_search_p);
    auto* searches = new QHBoxLayout;
    searches->addWidget(nameBox, 2);
    searches->addWidget(priceBox, 1);
    auto* commands = new QHBoxLayout;
    commands->addWidget(but_ok);
    commands->addWidget(ToolButton1);
    commands->addLayout(steps);
    commands->addStretch(1);
    commands->addWidget(but_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(commands);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(searches);
    resize(900, 560);
}

std::optional<double> Tf_search_darou::choose() {
    exec();
    return m_chosen;
}

void Tf_search_darou::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_chosen.reset();
    m_scannedLength = 0;
    guarded(m_windows.prompter, [this] {
        GoodsQuery query;
        query.form = kCompounded;
        query.order = GoodsOrder::Name;
        m_all = GoodsCatalogue(m_windows.db).list(query);
    });
    me_search_d->clear();
    me_search_p->clear();
    showRows();
    me_search_d->setFocus();
}

void Tf_search_darou::showRows(const QString& namePrefix) {
    QList<GoodsItem> shown;
    for (const GoodsItem& g : std::as_const(m_all))
        if (namePrefix.isEmpty() || g.name.startsWith(namePrefix)) shown.append(g);
    m_rows->setRows(shown);
    if (!shown.isEmpty()) setCurrentRow(0);
}

int Tf_search_darou::currentRow() const {
    const QModelIndex index = DBGrid1->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void Tf_search_darou::setCurrentRow(int row) {
    DBGrid1->setCurrentIndex(m_rows->index(row, 1));
    selectGridRow(DBGrid1, row);
}

void Tf_search_darou::sortBy(Order order) {
    QCollator collator{QLocale(QLocale::Persian, QLocale::Iran)};
    const auto text = [&](const QString& a, const QString& b) { return collator.compare(a, b); };
    const auto number = [](const std::optional<double>& a, const std::optional<double>& b) {
        const double x = a.value_or(-1), y = b.value_or(-1);
        return x < y ? -1 : x > y ? 1 : 0;
    };
    std::stable_sort(m_all.begin(), m_all.end(), [&](const GoodsItem& a, const GoodsItem& b) {
        // The first column that differs decides.
        const auto first = [](std::initializer_list<int> comparisons) {
            for (int c : comparisons)
                if (c != 0) return c;
            return 0;
        };
        int c = 0;
        switch (order) {
        case Order::IdentityCode: c = number(a.identityCode, b.identityCode); break;
        case Order::Code: c = number(a.code, b.code); break;
        case Order::Name: c = first({text(a.name, b.name), text(a.formName, b.formName)}); break;
        case Order::LatinName: c = first({text(a.latinName, b.latinName), text(a.formName, b.formName)}); break;
        case Order::Price:
            c = first({number(a.price, b.price), text(a.name, b.name), text(a.formName, b.formName)});
            break;
        case Order::Form: c = first({text(a.formName, b.formName), text(a.name, b.name)}); break;
        }
        return c < 0;
    });
    showRows();
}

void Tf_search_darou::searchByNameOrCode(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) {
        showRows();
        return;
    }
    if (startsWithDigit(t)) {
        scan(t, false);
        return;
    }
    showRows(t);
}

void Tf_search_darou::searchByPrice(const QString& typed) {
    const QString t = typed.trimmed();
    if (m_rows->rowCount() != m_all.size()) showRows();
    if (startsWithDigit(t)) scan(t, true);
}

void Tf_search_darou::scan(const QString& t, bool byPrice) {
    const int count = m_rows->rowCount();
    if (count == 0) return;
    int row = 0;
    if (t.size() == m_scannedLength + 1) {
        m_scannedLength = int(t.size());
        row = std::max(currentRow(), 0);
    }
    for (; row < count; ++row) {
        const GoodsItem& g = m_rows->row(row);
        if ((byPrice ? priceText(g) : codeText(g)).left(t.size()) == t) break;
    }
    setCurrentRow(std::min(row, count - 1));
}

void Tf_search_darou::takeCurrent() {
    const int row = currentRow();
    if (!m_rows->hasRow(row)) return;
    m_chosen = m_rows->row(row).code;
    accept();
}

bool Tf_search_darou::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (keyModifiers(key) == Qt::ControlModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_F) {
        // The sort menu's keys, before a field takes Ctrl+A as "select all".
        m_sortMenu->actions().at(key->key() - Qt::Key_A)->trigger();
        return true;
    }
    if (!isPlain(key)) return false;
    if (isEnter(key)) {
        takeCurrent();
        return true;
    }
    if (watched == me_search_d || watched == me_search_p) {
        if (key->key() == Qt::Key_Up) {
            DBGrid1->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            (watched == me_search_d ? me_search_p : me_search_d)->setFocus();
            return true;
        }
    } else if (watched == DBGrid1) {
        if (key->key() == Qt::Key_Left) {
            me_search_p->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Right) {
            me_search_d->setFocus();
            return true;
        }
    }
    return false;
}

} // namespace ph
