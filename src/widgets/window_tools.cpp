#include "widgets/window_tools.h"

#include "widgets/code_field.h"
#include "widgets/picker.h"
#include "widgets/window_context.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace ph {

bool pickCode(const WindowContext& windows, CodeField* field, const QString& mode, const PickRows& rows) {
    if (!windows.picker) return false;
    const std::optional<PickRow> chosen = windows.picker->pick(PickRequest{mode, rows});
    if (!chosen) return false;
    field->setCodeFromPicker(chosen->code.toLongLong(), chosen->name1);
    return true;
}

QLineEdit* makeLineField(QWidget* parent, const QString& objectName) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    return field;
}

QPushButton* makeCommandButton(QWidget* parent, const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

namespace {

// Draws labels in the direction of the widget they belong to. The folder box of Qt's file dialog
// draws its text in the program's direction, whatever its own, so a path comes out right to left
// with its slashes at the wrong end ("tmp/demo/").
class OwnDirectionLabels : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        painter->save();
        painter->setLayoutDirection(option->direction);
        QProxyStyle::drawControl(element, option, painter, widget);
        painter->restore();
    }
};

} // namespace

QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& folderOrFile, const QString& filter) {
    QFileDialog dialog(parent, caption, folderOrFile, filter);
    dialog.setObjectName(QStringLiteral("file_dialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the same Persian dialog on every desktop
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLayoutDirection(Qt::RightToLeft);
    for (const char* name : {"lookInCombo", "fileNameEdit", "listView", "treeView", "sidebar"})
        if (auto* part = dialog.findChild<QWidget*>(QString::fromLatin1(name)))
            part->setLayoutDirection(Qt::LeftToRight);
    if (auto* folder = dialog.findChild<QComboBox*>(QStringLiteral("lookInCombo"))) {
        auto* style = new OwnDirectionLabels(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(folder);
        folder->setStyle(style);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

int currentSourceRow(const QTableView* grid) {
    const QModelIndex current = grid->currentIndex();
    if (!current.isValid()) return -1;
    if (auto* proxy = qobject_cast<const QSortFilterProxyModel*>(grid->model()))
        return proxy->mapToSource(current).row();
    return current.row();
}

namespace {

template <typename Widget> void recolour(QWidget* window, QPalette::ColorRole role, const QColor& colour) {
    for (Widget* widget : window->findChildren<Widget*>()) {
        QPalette palette = widget->palette();
        palette.setColor(role, colour);
        widget->setPalette(palette);
        widget->setAutoFillBackground(role == QPalette::Window || widget->autoFillBackground());
    }
}

template <typename Widget> void refont(QWidget* window, const QFont& font) {
    for (Widget* widget : window->findChildren<Widget*>())
        widget->setFont(font);
}

} // namespace

QMenu* makeAppearanceMenu(QWidget* window, std::function<void()> lock) {
    auto* menu = new QMenu(QStringLiteral("تغيير ظاهر"), window);
    QPointer<QWidget> guarded(window);
    auto chooseColour = [guarded](auto apply) {
        return [guarded, apply] {
            if (!guarded) return;
            const QColor colour = QColorDialog::getColor(Qt::white, guarded);
            if (colour.isValid()) apply(guarded.data(), colour);
        };
    };
    auto chooseFont = [guarded](auto apply) {
        return [guarded, apply] {
            if (!guarded) return;
            bool ok = false;
            const QFont font = QFontDialog::getFont(&ok, guarded->font(), guarded);
            if (ok) apply(guarded.data(), font);
        };
    };
    QObject::connect(menu->addAction(QStringLiteral("رنگ زمينه فرم")), &QAction::triggered,
                     chooseColour([](QWidget* w, const QColor& c) {
                         QPalette palette = w->palette();
                         palette.setColor(QPalette::Window, c);
                         w->setPalette(palette);
                         w->setAutoFillBackground(true);
                     }));
    QObject::connect(menu->addAction(QStringLiteral("رنگ پانل ها")), &QAction::triggered,
                     chooseColour([](QWidget* w, const QColor& c) { recolour<QGroupBox>(w, QPalette::Window, c); }));
    QObject::connect(menu->addAction(QStringLiteral("رنگ كادرهاي ورودي")), &QAction::triggered,
                     chooseColour([](QWidget* w, const QColor& c) { recolour<QLineEdit>(w, QPalette::Base, c); }));
    QObject::connect(menu->addAction(QStringLiteral("قلم كادرهاي ورودي")), &QAction::triggered,
                     chooseFont([](QWidget* w, const QFont& f) { refont<QLineEdit>(w, f); }));
    QObject::connect(menu->addAction(QStringLiteral("رنگ برچسب ها")), &QAction::triggered,
                     chooseColour([](QWidget* w, const QColor& c) { recolour<QLabel>(w, QPalette::WindowText, c); }));
    QObject::connect(menu->addAction(QStringLiteral("قلم برچسب ها")), &QAction::triggered,
                     chooseFont([](QWidget* w, const QFont& f) { refont<QLabel>(w, f); }));
    menu->addSeparator();
    QAction* lockAction = menu->addAction(QStringLiteral("قفل  برنامه"));
    lockAction->setObjectName(QStringLiteral("lock"));
    QObject::connect(lockAction, &QAction::triggered, menu, [lock] {
        if (lock) lock();
    });
    return menu;
}

void popUpUnderTitle(QWidget* window, QMenu* menu) {
    auto* bar = window->findChild<QMenuBar*>();
    const QRect title = bar ? bar->actionGeometry(menu->menuAction()) : QRect();
    if (title.isEmpty()) {
        menu->popup(window->mapToGlobal(QPoint(window->isRightToLeft() ? window->width() : 0, 0)));
        return;
    }
    QPoint corner = bar->mapToGlobal(title.bottomLeft()) + QPoint(0, 1);
    if (window->isRightToLeft())
        corner.rx() = bar->mapToGlobal(title.bottomRight()).x() - menu->sizeHint().width() + 1;
    menu->popup(corner);
}

} // namespace ph
