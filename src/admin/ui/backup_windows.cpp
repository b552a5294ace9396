#include "admin/ui/backup_windows.h"

#include "admin/backup.h"
#include "admin/structure_repair.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/picker.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kBackupRight = QStringLiteral("disk_b");
const QString kNoAccess = QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد");

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Shows the wait label and the bar while long work runs, and hides them after.
class WaitShown {
public:
    WaitShown(QLabel* label, QProgressBar* bar) : m_label(label), m_bar(bar) {
        m_bar->setRange(0, 0);
        m_label->show();
        m_bar->show();
        QApplication::processEvents();
    }
    ~WaitShown() {
        m_label->hide();
        m_bar->hide();
    }
    BackupProgress progress() const {
        return [bar = m_bar](int done, int total) {
            bar->setRange(0, std::max(total, 1));
            bar->setValue(done);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        };
    }

private:
    QLabel* m_label;
    QProgressBar* m_bar;
};

QLabel* waitLabel(const QString& text, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), "lbl_wait");
    label->hide();
    return label;
}

QProgressBar* progressBar(QWidget* parent) {
    auto* bar = named(new QProgressBar(parent), "ProgressBar1");
    bar->hide();
    return bar;
}

} // namespace

// ---- Backup -----------------------------------------------------------------------

Tf_disk_bimeh::Tf_disk_bimeh(const WindowContext& windows, QString workingDir, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_workingDir(std::move(workingDir)) {
    setObjectName(QStringLiteral("f_disk_bimeh"));
    setWindowTitle(QStringLiteral("تهيه فايل پشتيبان"));
    m_defaultPlace = named(new QRadioButton(QStringLiteral("تهيه فايل پشتيبان در مسير پيش فرض "), this), "rb_default");
    m_chosenPlace = named(new QRadioButton(QStringLiteral("تهيه فايل پشتيبان در مسيردلخواه"), this), "rb_chosen");
    m_defaultPlace->setChecked(true);
    m_wait = waitLabel(QStringLiteral("لطفا منتظر بمانيد ....."), this);
    m_progress = progressBar(this);
    auto* ok = named(new QPushButton(QStringLiteral("ذخيره سازي Shift+F2"), this), "but_ok2");
    auto* close = named(new QPushButton(QStringLiteral("خروجF10"), this), "but_close2");
    connect(ok, &QPushButton::clicked, this, &Tf_disk_bimeh::saveBackup);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_chooseFile = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, windowTitle(), proposed);
    };

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_defaultPlace);
    layout->addWidget(m_chosenPlace);
    layout->addWidget(m_wait);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

void Tf_disk_bimeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_defaultPlace->setChecked(true);
}

bool Tf_disk_bimeh::writeBackup(const QString& path) {
    WaitShown wait(m_wait, m_progress);
    return guarded(m_windows.prompter, [&] { BackupService(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_disk_bimeh")))
                                                           .backup(path, wait.progress()); });
}

void Tf_disk_bimeh::saveBackup() {
    BackupService service(m_windows.db);
    if (m_defaultPlace->isChecked()) {
        const QString path = service.defaultPath(m_workingDir, m_windows.context.current_date);
        if (writeBackup(path))
            m_windows.prompter.information(QStringLiteral("تهيه گرديدC فايل پشتيبان دردرايو") + QLatin1Char('\n') +
                                           QDir::toNativeSeparators(path));
        return;
    }
    const QString proposed =
        QDir(m_workingDir).absoluteFilePath(service.proposedFileName(m_windows.context.current_date));
    const QString path = m_chooseFile(proposed);
    if (path.isEmpty())
        return;
    if (writeBackup(path))
        m_windows.prompter.information(QStringLiteral("از اطلاعات فايل پشتيبان تهيه گرديد"));
}

void Tf_disk_bimeh::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2 && (event->modifiers() & Qt::ShiftModifier)) {
        saveBackup();
        return;
    }
    if (event->key() == Qt::Key_F10 || event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Restore ----------------------------------------------------------------------

Trestore::Trestore(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("restore"));
    setWindowTitle(QStringLiteral("بازيابي اطلاعات"));
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : {QStringLiteral("توجه توجه : "),
                                QStringLiteral("درصورت بازگرداندن بانک اطلاعاتي قبلي , اطلاعات بانک فعلي"),
                                QStringLiteral("حذف خواهد شد  . اگر از انجام اين کار اطمينان داريد  بايد ابتدا"),
                                QStringLiteral("فايل مورد نظر خود را با کليک روي کليد زير انتخاب نماييد : ")})
        layout->addWidget(new QLabel(line, this));
    m_path = named(new QLineEdit(this), "me_path");
    auto* choose = named(new QPushButton(QStringLiteral("..."), this), "but_path");
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path);
    pathRow->addWidget(choose);
    layout->addLayout(pathRow);
    m_wait = waitLabel(QStringLiteral("لطفا منتظر بمانيد ....."), this);
    m_progress = progressBar(this);
    layout->addWidget(m_wait);
    layout->addWidget(m_progress);
    auto* restoreButton = named(new QPushButton(QStringLiteral("بازگرداندن  اطلاعات"), this), "but_restore");
    auto* close = named(new QPushButton(QStringLiteral("انصراف و خروج"), this), "but_close");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(choose, &QPushButton::clicked, this, &Trestore::chooseFile);
    connect(restoreButton, &QPushButton::clicked, this, &Trestore::restore);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_chooseFile = [this](const QString& proposed) {
        return QFileDialog::getOpenFileName(this, windowTitle(), proposed);
    };
}

void Trestore::chooseFile() {
    const QString path = m_chooseFile(m_path->text());
    if (!path.isEmpty())
        m_path->setText(QDir::toNativeSeparators(path));
}

void Trestore::restore() {
    Prompter& prompter = m_windows.prompter;
    // Replacing the whole database is for those who may back it up.
    if (!m_windows.context.hasRight(kBackupRight))
        return prompter.warning(kNoAccess);
    const QString path = QDir::fromNativeSeparators(m_path->text().trimmed());
    if (path.isEmpty()) {
        prompter.warning(QStringLiteral("فايل پشتيبان را انتخاب نماييد"));
        m_path->setFocus();
        return;
    }
    bool refused = false;
    bool done = false;
    {
        WaitShown wait(m_wait, m_progress);
        done = guarded(prompter, [&] {
            try {
                BackupService(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Trestore")))
                    .restore(path, wait.progress());
            } catch (const BackupRefused& error) {
                refused = true;
                prompter.warning(error.message());
            }
        });
    }
    if (done && !refused)
        prompter.information(QStringLiteral("بازگرداندن اطلاعات با موفقيت انجام شد"));
}

void Trestore::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 || event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Social-security repair -------------------------------------------------------

TfrmTarmim::TfrmTarmim(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("frmTarmim"));
    setWindowTitle(QStringLiteral("تنظيمات بيمه تامين اجتماعي"));
    m_names = named(new QListWidget(this), "lstMain");
    m_codes = named(new QListWidget(this), "lstIDs");
    m_find = named(new QPushButton(QStringLiteral("..."), this), "btnFind");
    m_find->setToolTip(QStringLiteral("جستجوي سريع"));
    auto* remove = named(new QPushButton(QStringLiteral("-"), this), "btnDel");
    remove->setToolTip(QStringLiteral("حذف خطوط"));
    auto* repairButton = named(new QPushButton(QStringLiteral("ترميــــــــــم "), this), "btnTarmim");
    auto* cancel = named(new QPushButton(QStringLiteral("انصـــراف"), this), "btnCancel");
    m_wait = waitLabel(QStringLiteral("لطفا منتظر بمانيد...."), this);
    connect(m_find, &QPushButton::clicked, this, &TfrmTarmim::findInsurer);
    connect(remove, &QPushButton::clicked, this, &TfrmTarmim::removeLine);
    connect(repairButton, &QPushButton::clicked, this, &TfrmTarmim::repair);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Choosing a line in either list chooses it in the other.
    connect(m_names, &QListWidget::currentRowChanged, m_codes, [this](int row) { m_codes->setCurrentRow(row); });
    connect(m_codes, &QListWidget::currentRowChanged, m_names, [this](int row) { m_names->setCurrentRow(row); });

    auto* lists = new QHBoxLayout;
    lists->addWidget(new QLabel(QStringLiteral("بيمه:"), this));
    lists->addWidget(m_names, 3);
    lists->addWidget(m_codes, 1);
    auto* tools = new QVBoxLayout;
    tools->addWidget(m_find);
    tools->addWidget(remove);
    tools->addStretch();
    lists->addLayout(tools);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(repairButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(m_wait);
    layout->addLayout(buttons);
}

void TfrmTarmim::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_names->clear();
    m_codes->clear();
}

void TfrmTarmim::findInsurer() {
    if (!m_windows.picker)
        return;
    PickRows rows;
    if (!guarded(m_windows.prompter, [&] { rows = SocialSecurityRepair(m_windows.db).insurerPickRows(); }))
        return;
    const std::optional<PickRow> picked = m_windows.picker->pick({QStringLiteral("organs_m"), rows});
    if (!picked || picked->code.isNull())
        return;
    const QString code = picked->code.toString();
    if (!m_codes->findItems(code, Qt::MatchExactly).isEmpty())
        return;
    m_names->addItem(picked->name1);
    m_codes->addItem(code);
}

void TfrmTarmim::removeLine() {
    const int row = m_names->currentRow() >= 0 ? m_names->currentRow() : m_codes->currentRow();
    if (row < 0)
        return;
    delete m_names->takeItem(row);
    delete m_codes->takeItem(row);
}

void TfrmTarmim::repair() {
    QList<int> codes;
    for (int i = 0; i < m_codes->count(); ++i)
        codes.append(m_codes->item(i)->text().toInt());
    if (codes.isEmpty()) {
        m_windows.prompter.warning(QStringLiteral("مقدار کد تامين اجتماعي را وارد کنيد"));
        m_find->setFocus();
        return;
    }
    m_wait->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool done = guarded(m_windows.prompter, [&] { SocialSecurityRepair(m_windows.db).run(codes); });
    m_wait->hide();
    // The insurers now take the four-part number in this run too.
    if (done && m_windows.context.tamin_codes.isEmpty())
        for (int code : codes)
            m_windows.context.tamin_codes.append(QString::number(code));
}

void TfrmTarmim::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Structure repair -------------------------------------------------------------

void runStructureRepair(const WindowContext& windows, QWidget* parent) {
    // Altering the whole database is for those who may back it up.
    if (!windows.context.hasRight(kBackupRight))
        return windows.prompter.warning(kNoAccess);
    const bool done = guarded(windows.prompter, [&] {
        StructureRepair(windows.db).run([&] {
            TfrmTarmim window(windows, parent);
            window.exec();
        });
    });
    if (done)
        windows.prompter.information(QStringLiteral("ok"));
}

} // namespace ph
