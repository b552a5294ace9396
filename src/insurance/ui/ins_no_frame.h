#pragma once

#include "insurance/ins_no.h"

#include <QFrame>

class QLineEdit;

namespace ph {

// The four-part social-security insurance number: base number, insurance number, booklet
// and page, typed in four small fields that stand left to right in that order:
//
//     me_sh_bime = new TfraInsNo(this);
//     me_sh_bime->setRulesActive(isSocialSecurityInsurer(context.tamin_codes, insurerCode));
//     connect(me_sh_bime, &TfraInsNo::pageEnterPressed, this, [this] { me_family->setFocus(); });
//     header.InsNoTamin = me_sh_bime->dashedText();  header.sh_bimeh = me_sh_bime->plainText();
//     me_sh_bime->setDashedText(stored);   // showing a stored prescription
//
// While its rules are active (the default):
// - the fields take only the digits 0-9, Backspace and Enter; other characters are dropped;
// - Enter in the base, insurance-number and booklet fields moves to the next field and is
//   consumed; Enter in the page field emits pageEnterPressed() and is left to the host;
// - typing the tenth digit of the base, the fourth of the insurance number and the second
//   of the booklet moves to the next field (typing only: filling the fields never moves);
// - leaving the insurance number pads it with "0" in front to 4 characters, the booklet
//   and the page to 2; the base number is never padded.
// With the rules off (an insurer outside the social-security list) the base field is a
// free field and nothing is filtered, moved or padded.
class TfraInsNo : public QFrame {
    Q_OBJECT
public:
    explicit TfraInsNo(QWidget* parent = nullptr);

    QLineEdit* edtMeliCode() const { return m_fields[0]; }
    QLineEdit* edtInsNo() const { return m_fields[1]; }
    QLineEdit* edtBookNo() const { return m_fields[2]; }
    QLineEdit* edtPageNo() const { return m_fields[3]; }

    void setRulesActive(bool active);
    bool rulesActive() const { return m_active; }

    InsNoParts parts() const;
    // FormatInsNo of the four fields: the InsNoTamin form.
    QString dashedText() const;
    // The four fields joined: the sh_bimeh form.
    QString plainText() const;
    // Fills the fields from a stored dashed form (SetInsNo); the focus stays where it is.
    void setDashedText(const QString& text);
    void clear();

signals:
    void pageEnterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const QObject* field) const;
    void moveOnWhenFull(int index);

    QLineEdit* m_fields[4];
    bool m_active = true;
};

} // namespace ph
