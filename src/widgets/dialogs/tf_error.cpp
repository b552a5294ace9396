#include "widgets/dialogs/tf_error.h"

#include "widgets/dialogs/dialog_parts.h"

#include <QVBoxLayout>

namespace ph {

namespace {
const QString kGeneralWarning = QStringLiteral("اطلاعات شما اشتباه ميباشد");
}

Tf_error::Tf_error(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("f_error"));
    setWindowTitle(QStringLiteral("اخطار"));
    setLayoutDirection(Qt::RightToLeft);

    m_heading = dialog_parts::makeLabel(QStringLiteral("!!!اخطار "), QStringLiteral("Label1"), this);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    m_heading->setFont(headingFont);
    m_heading->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_panel = dialog_parts::makeMessagePanel(kGeneralWarning, QStringLiteral("Panel1"), this);
    m_close = dialog_parts::makeButton(QStringLiteral("تاييد"), QStringLiteral("BitBtn1"), this);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_heading);
    layout->addWidget(m_panel);
    layout->addWidget(m_close, 0, Qt::AlignHCenter);
}

void Tf_error::prepareWarning(const QString& text) {
    m_panel->setText(text.isEmpty() ? kGeneralWarning : text);
}

QString Tf_error::message() const {
    return m_panel->text();
}

void Tf_error::keyPressEvent(QKeyEvent* event) {
    // Enter closes as well as Esc, wherever the focus is.
    if (dialog_parts::isEnter(event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_error::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_close->setFocus();
}

} // namespace ph
