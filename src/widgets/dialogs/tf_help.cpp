#include "widgets/dialogs/tf_help.h"

#include "widgets/dialogs/dialog_parts.h"
#include "widgets/persian_look.h"

#include <QFile>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ph {

namespace {
const QString kGuidePath = QStringLiteral(":/help/help.html");
}

TF_help::TF_help(QWidget* parent) : QDialog(parent) {
    initWidgetResources();
    setObjectName(QStringLiteral("F_help"));
    setWindowTitle(QStringLiteral("راهنماي برنامه"));
    setLayoutDirection(Qt::RightToLeft);
    resize(720, 560);

    m_close = dialog_parts::makeButton(QStringLiteral("خروجF10"), QStringLiteral("but_close"), this);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_hint =
        dialog_parts::makeLabel(QStringLiteral("براي مشاهده راهنماي برنامه ، لطفا روي تصوير دابل کليک  کنيد"),
                                QStringLiteral("Label1"), this);
    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(m_close);
    toolbar->addWidget(m_hint, 1);

    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("help_view"));
    m_view->setOpenExternalLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_view, 1);
}

// A guide that cannot be read leaves the area empty; the window still opens.
void TF_help::loadGuide() {
    QFile file(kGuidePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_view->clear();
        return;
    }
    m_view->setHtml(QString::fromUtf8(file.readAll()));
}

void TF_help::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TF_help::showEvent(QShowEvent* event) {
    loadGuide();
    QDialog::showEvent(event);
    m_view->setFocus();
}

} // namespace ph
