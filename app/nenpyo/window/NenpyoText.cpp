#include "NenpyoText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QList>
#include <QPushButton>

#include <shared/qt/QtText.h>

#include <corvane/EraDateText.h>
#include <corvane/YearText.h>
#include <framework/Cp932.h>

bool ParseYearOrEraDate(const QString& strText, const CGengouEra* pEras, SEraDate& date, QString& strReason)
{
    strReason.clear();
    std::int32_t lYear = 0;
    if (ParseTypedYear(strText.toStdString(), lYear)) {
        date = SEraDate{lYear, 0, false, 0};
        return true;
    }
    CString strCp932;
    if (!pEras || !Utf8ToCp932(strText.trimmed().toStdString(), strCp932))
        return false;
    SParsedEraDate parsed;
    CString strError;
    if (!ParseEraDateText(*pEras, strCp932, parsed, strError)) {
        strReason = ToQString(strError);
        return false;
    }
    date = parsed.date;
    return true;
}

bool ParseEraYearWithDay(const QString& strText, const CGengouEra* pEras, int nMonth, bool bLeap, int nDay,
                         SEraDate& date, QString& strReason, bool& bEraYear)
{
    bEraYear = false;
    CString strCp932;
    SParsedEraDate parsed;
    CString strError;
    if (!pEras || !Utf8ToCp932(strText.trimmed().toStdString(), strCp932) ||
        !ParseEraDateText(*pEras, strCp932, parsed, strError) || parsed.nEra < 0 || parsed.date.nMonth != 0)
        return false;
    bEraYear = true;
    const CString strWhole = pEras->GetEraDateText(parsed.nEra, SEraDate{parsed.date.lYear, nMonth, bLeap, nDay});
    if (!ParseEraDateText(*pEras, strWhole, parsed, strError)) {
        strReason = ToQString(strError);
        return false;
    }
    date = parsed.date;
    return true;
}

QString EraDatesOf(const CGengouEra* pEras, const SEraDate& date)
{
    QStringList texts;
    if (pEras) {
        for (const int nIndex : pEras->GetIndicesInForce(date))
            texts.append(ToQString(pEras->GetEraDateText(nIndex, date)));
    }
    return texts.join(QStringLiteral("・"));
}

bool ToCp932(const QString& strText, CString& strCp932, const QString& strField, QString& strMessage)
{
    if (Utf8ToCp932(strText.toStdString(), strCp932))
        return true;
    for (const uint nCode : strText.toUcs4()) {
        const char32_t ch = nCode;
        const QString strChar = QString::fromUcs4(&ch, 1);
        CString strIgnored;
        if (!Utf8ToCp932(strChar.toStdString(), strIgnored)) {
            strMessage = QStringLiteral("%1の「%2」はShift_JIS(コードページ932)で表せない文字のため保存できません。"
                                        "別の文字にしてください。").arg(strField, strChar);
            return false;
        }
    }
    strMessage = QStringLiteral("%1に保存できない文字があります。").arg(strField);
    return false;
}

QString ToEditLines(const CString& str)
{
    return ToQString(str).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool EditLinesToCp932(QString strText, CString& strCp932, const QString& strField, QString& strMessage)
{
    strText.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ToCp932(strText, strCp932, strField, strMessage);
}

QDialogButtonBox* NewOkCancel(QDialog* pDlg)
{
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDlg, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDlg, &QDialog::reject);
    return pButtons;
}
