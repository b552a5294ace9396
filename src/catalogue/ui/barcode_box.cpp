#include "catalogue/ui/barcode_box.h"

#include "core/error.h"
#include "core/prompter.h"
#include "lots/barcodes.h"
#include "print/barcode_label.h"
#include "print/report_output.h"
#include "widgets/guarded.h"
#include "widgets/workstation_settings.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kConfirmRemove = QStringLiteral("آيا از حذف باركد مطمئن هستيد");

} // namespace

BarcodeBox::BarcodeBox(Database& db, Prompter& prompter, const QSettings* settings, QWidget* parent)
    : QWidget(parent), m_db(db), m_prompter(prompter), m_settings(settings) {
    m_showLabel = [this](QWidget* parent, const print::Report& report) {
        const print::OutputResult shown = print::preview(report, parent);
        if (!shown.done() && !shown.message.isEmpty()) m_prompter.warning(shown.message);
    };
    setObjectName(QStringLiteral("box_barcode"));
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("l_barcode"));
    me_barcode = new QLineEdit(this);
    me_barcode->setObjectName(QStringLiteral("me_barcode"));
    // Barcodes are Latin text even while the Persian layout is chosen.
    me_barcode->setLayoutDirection(Qt::LeftToRight);
    me_barcode->setPlaceholderText(QStringLiteral("باركد + Enter"));
    lst_barcode = new QListWidget(this);
    lst_barcode->setObjectName(QStringLiteral("lst_barcode"));
    lst_barcode->setLayoutDirection(Qt::LeftToRight);
    // A few lines are enough: an item has one or two barcodes, and these windows are full.
    lst_barcode->setFixedHeight(lst_barcode->fontMetrics().height() * 3 + 8);
    lst_barcode->setToolTip(QStringLiteral("Delete: حذف باركد، F5: چاپ برچسب"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(me_barcode);
    layout->addWidget(lst_barcode);
    // Ctrl+B anywhere in the window reaches the field.
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this, [this] { focusEntry(); });
    me_barcode->installEventFilter(this);
    lst_barcode->installEventFilter(this);
    setItem(std::nullopt);
}

void BarcodeBox::setItem(std::optional<double> item, const QString& name) {
    m_item = item;
    m_itemName = name;
    me_barcode->clear();
    m_caption->setText(item ? QStringLiteral("باركدهاي «%1»").arg(name) : QStringLiteral("باركد"));
    setEnabled(item.has_value());
    reload();
}

void BarcodeBox::focusEntry() {
    if (m_item) me_barcode->setFocus();
}

void BarcodeBox::reload() {
    lst_barcode->clear();
    if (!m_item) return;
    guarded(m_prompter, [this] { lst_barcode->addItems(BarcodeStore(m_db).barcodesOf(*m_item)); });
}

void BarcodeBox::addTyped() {
    if (!m_item) return;
    const QString typed = me_barcode->text().trimmed();
    try {
        BarcodeStore(m_db).add(*m_item, typed);
    } catch (const Error& refusal) {
        m_prompter.warning(refusal.message());
        me_barcode->selectAll();
        return;
    } catch (const std::exception& error) {
        m_prompter.errorReport(unexpectedFailureMessage(error));
        return;
    }
    me_barcode->clear();
    reload();
}

void BarcodeBox::removeSelected() {
    const QListWidgetItem* selected = lst_barcode->currentItem();
    if (!m_item || !selected) return;
    if (!m_prompter.askYesNo(kConfirmRemove)) return;
    const QString barcode = selected->text();
    const int row = lst_barcode->currentRow();
    if (!guarded(m_prompter, [&] { BarcodeStore(m_db).remove(*m_item, barcode); })) return;
    reload();
    if (lst_barcode->count() == 0)
        me_barcode->setFocus();
    else
        lst_barcode->setCurrentRow(qMin(row, lst_barcode->count() - 1));
}

void BarcodeBox::printSelected() {
    const QListWidgetItem* selected = lst_barcode->currentItem();
    if (!m_item || !selected) return;
    const print::Report label =
        print::barcodeLabelReport(m_itemName, selected->text(), workstation::labelPageMm(m_settings));
    guarded(m_prompter, [&] { m_showLabel(this, label); });
}

bool BarcodeBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == me_barcode) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addTyped();
            return true;
        }
        if (key == Qt::Key_Down && lst_barcode->count() > 0) {
            lst_barcode->setFocus();
            if (lst_barcode->currentRow() < 0) lst_barcode->setCurrentRow(0);
            return true;
        }
    } else if (watched == lst_barcode) {
        if (key == Qt::Key_Delete) {
            removeSelected();
            return true;
        }
        if (key == Qt::Key_F5) {
            printSelected();
            return true;
        }
        if (key == Qt::Key_Up && lst_barcode->currentRow() <= 0) {
            me_barcode->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ph
