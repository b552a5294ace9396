#include "admin/ui/tanzimat.h"

#include "dispensing/settings_store.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/workstation_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

namespace ph {
namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

Tf_tanzimat::Tf_tanzimat(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("f_tanzimat"));
    setWindowTitle(QStringLiteral("   فــــــرم تـنـظـيـمـات   "));

    auto* printing = new QGroupBox(QStringLiteral("مديريت چاپ"), this);
    m_printPrescription = named(new QCheckBox(QStringLiteral("چاپ نسخه"), printing), "ch_p_noskhe");
    m_printInvoice = named(new QCheckBox(QStringLiteral("چاپ فاكتور"), printing), "ch_p_factor");
    auto* printingLayout = new QHBoxLayout(printing);
    printingLayout->addWidget(m_printPrescription);
    printingLayout->addWidget(m_printInvoice);

    auto* prompts = new QGroupBox(QStringLiteral("مديريت پيغام ها"), this);
    m_askApproval = named(new QCheckBox(QStringLiteral("پيغام اخذتاييد كلي"), prompts), "ch_message_taeed");
    m_askAddress = named(new QCheckBox(QStringLiteral("پيغام اخذ آدرس"), prompts), "ch_message_address");
    auto* promptsLayout = new QHBoxLayout(prompts);
    promptsLayout->addWidget(m_askApproval);
    promptsLayout->addWidget(m_askAddress);

    m_message = named(new QLineEdit(this), "me_payam");
    auto* messageRow = new QFormLayout;
    messageRow->addRow(QStringLiteral("پـيـام : "), m_message);

    auto* keys = new QGroupBox(QStringLiteral("مديريت ورود اطلاعات دارويي نسخه"), this);
    m_byPrice = named(new QRadioButton(QStringLiteral("براساس نــام دارو و قـيـمـت"), keys), "rb_price");
    m_byCode = named(new QRadioButton(QStringLiteral("براساس نــام دارو و كـــد دارو"), keys), "rb_code_kala");
    m_byIdentity = named(new QRadioButton(QStringLiteral("براساس نــام دارو و كد شناسه"), keys), "rb_code_sh");
    m_searchKeys = new QButtonGroup(this);
    m_searchKeys->addButton(m_byPrice, int(Settings::SearchKey::Price));
    m_searchKeys->addButton(m_byCode, int(Settings::SearchKey::CodeKala));
    m_searchKeys->addButton(m_byIdentity, int(Settings::SearchKey::CodeSh));
    auto* keysLayout = new QVBoxLayout(keys);
    keysLayout->addWidget(m_byPrice);
    keysLayout->addWidget(m_byCode);
    keysLayout->addWidget(m_byIdentity);

    auto* work = new QGroupBox(QStringLiteral("تنظيم كار سيستم "), this);
    m_single = named(new QRadioButton(QStringLiteral("تك كامپيوتر"), work), "rb_single");
    m_network = named(new QRadioButton(QStringLiteral("شبكه "), work), "rb_network");
    m_single->setChecked(true);
    auto* workLayout = new QHBoxLayout(work);
    workLayout->addWidget(m_single);
    workLayout->addWidget(m_network);

    // What belongs to this computer alone, kept in its working folder rather than the database.
    auto* computer = new QGroupBox(QStringLiteral("اين رايانه"), this);
    m_storeProgram = named(new QLineEdit(computer), "me_store_program");
    m_storeProgram->setLayoutDirection(Qt::LeftToRight); // a path reads left to right
    m_storeProgram->setPlaceholderText(QStringLiteral("anbar"));
    m_persianDigits = named(new QCheckBox(QStringLiteral("ارقام فارسي در جدول ها (از اجراي بعدي برنامه)"), computer),
                            "ch_persian_digits");
    // The label printer's page, in millimetres.
    m_labelWidth = named(new QDoubleSpinBox(computer), "me_label_width");
    m_labelHeight = named(new QDoubleSpinBox(computer), "me_label_height");
    for (QDoubleSpinBox* size : {m_labelWidth, m_labelHeight}) {
        size->setRange(10, 300);
        size->setDecimals(1);
        size->setSuffix(QStringLiteral(" mm"));
    }
    auto* labelSize = new QHBoxLayout;
    labelSize->addWidget(m_labelWidth);
    labelSize->addWidget(new QLabel(QStringLiteral("×"), computer));
    labelSize->addWidget(m_labelHeight);
    // The folder of the removable medium (a memory stick) that claim files are written to.
    m_claimsFolder = named(new QLineEdit(computer), "me_claims_folder");
    m_claimsFolder->setLayoutDirection(Qt::LeftToRight);
    auto* chooseFolder = named(new QPushButton(QStringLiteral("..."), computer), "but_claims_folder");
    connect(chooseFolder, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("پوشه ديسكت بيمه"), m_claimsFolder->text());
        if (!folder.isEmpty()) m_claimsFolder->setText(QDir::toNativeSeparators(folder));
    });
    auto* claimsRow = new QHBoxLayout;
    claimsRow->addWidget(m_claimsFolder, 1);
    claimsRow->addWidget(chooseFolder);
    auto* computerLayout = new QFormLayout(computer);
    computerLayout->addRow(QStringLiteral("برنامه انبار: "), m_storeProgram);
    computerLayout->addRow(QStringLiteral("اندازه برچسب (عرض × ارتفاع): "), labelSize);
    computerLayout->addRow(QStringLiteral("پوشه ديسكت بيمه: "), claimsRow);
    computerLayout->addRow(m_persianDigits);
    computer->setVisible(m_windows.settings != nullptr);

    auto* ok = named(new QPushButton(QStringLiteral("ثبت F2"), this), "but_ok");
    auto* close = named(new QPushButton(QStringLiteral("خروجF10"), this), "but_close");
    connect(ok, &QPushButton::clicked, this, &Tf_tanzimat::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printing);
    layout->addWidget(prompts);
    layout->addLayout(messageRow);
    layout->addWidget(keys);
    layout->addWidget(work);
    layout->addWidget(computer);
    layout->addLayout(buttons);
}

void Tf_tanzimat::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] { load(); });
}

void Tf_tanzimat::load() {
    if (QSettings* computer = m_windows.settings) {
        m_storeProgram->setText(computer->value(QLatin1String(workstation::kStoreProgram)).toString());
        m_persianDigits->setChecked(computer->value(QLatin1String(workstation::kPersianDigits), false).toBool());
        const QSizeF label = workstation::labelPageMm(computer);
        m_labelWidth->setValue(label.width());
        m_labelHeight->setValue(label.height());
        m_claimsFolder->setText(computer->value(QLatin1String(workstation::kClaimsFolder)).toString());
    }
    const auto settings = SettingsStore(m_windows.db).read();
    if (!settings)
        return; // with no row the controls keep what they showed
    m_printPrescription->setChecked(settings->printPrescription);
    m_printInvoice->setChecked(settings->printInvoice);
    m_askApproval->setChecked(settings->askApproval);
    m_askAddress->setChecked(settings->askAddress);
    if (!settings->message.isNull())
        m_message->setText(settings->message);
    m_searchKeys->setExclusive(false);
    for (QAbstractButton* button : m_searchKeys->buttons())
        button->setChecked(m_searchKeys->id(button) == int(settings->searchKey));
    m_searchKeys->setExclusive(true);
    (settings->separateCashDesk ? m_network : m_single)->setChecked(true);
}

void Tf_tanzimat::save() {
    Settings settings;
    settings.printPrescription = m_printPrescription->isChecked();
    settings.printInvoice = m_printInvoice->isChecked();
    settings.askApproval = m_askApproval->isChecked();
    settings.askAddress = m_askAddress->isChecked();
    settings.message = m_message->text();
    const int key = m_searchKeys->checkedId();
    settings.searchKey = key < 0 ? Settings::SearchKey::None : Settings::SearchKey(key);
    settings.separateCashDesk = m_network->isChecked();
    if (!guarded(m_windows.prompter, [&] { SettingsStore(m_windows.db).save(settings); })) return;
    if (QSettings* computer = m_windows.settings) {
        computer->setValue(QLatin1String(workstation::kStoreProgram), m_storeProgram->text().trimmed());
        computer->setValue(QLatin1String(workstation::kPersianDigits), m_persianDigits->isChecked());
        computer->setValue(QLatin1String(workstation::kLabelWidth), m_labelWidth->value());
        computer->setValue(QLatin1String(workstation::kLabelHeight), m_labelHeight->value());
        computer->setValue(QLatin1String(workstation::kClaimsFolder), m_claimsFolder->text().trimmed());
        computer->sync();
    }
    m_windows.prompter.information(QStringLiteral("ثبت اطلاعات شما با موفقيت انجام شد"));
}

void Tf_tanzimat::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F2:
        save();
        return;
    case Qt::Key_F10:
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace ph
