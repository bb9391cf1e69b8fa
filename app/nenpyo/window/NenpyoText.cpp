#include "NenpyoText.h"

#include <limits>

#include <QDialog>
#include <QDialogButtonBox>
#include <QList>
#include <QPushButton>

#include <shared/qt/QtText.h>

#include <corvane/EraDateText.h>
#include <framework/Cp932.h>

bool ParseYear(const QString& strText, std::int32_t& lYear)
{
    // Full-width digits and signs, as an input method gives them, read as their ASCII forms.
    const QString strNormal = strText.normalized(QString::NormalizationForm_KC).trimmed().replace(QChar(0x2212), QLatin1Char('-'));
    bool bOk = false;
    const qlonglong llYear = strNormal.toLongLong(&bOk);
    if (!bOk || llYear < std::numeric_limits<std::int32_t>::min() || llYear > std::numeric_limits<std::int32_t>::max())
        return false;
    lYear = static_cast<std::int32_t>(llYear);
    return true;
}

bool ParseYearOrEraDate(const QString& strText, const CGengouEra* pEras, SEraDate& date, QString& strReason)
{
    strReason.clear();
    std::int32_t lYear = 0;
    if (ParseYear(strText, lYear)) {
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
