#include "common/CommonSettings.h"

#include "common/Text.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace clinora::settings {

void apply()
{
    // Italian numbers already use "," for decimals; dates never go through
    // the locale but through formatDate/parseDate.
    QLocale locale(QLocale::Italian, QLocale::Italy);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (QLocale() != locale)
        QLocale::setDefault(locale);
}

QString formatDate(const QDate &date)
{
    return date.isValid() ? date.toString(u"dd/MM/yyyy"_s) : QString();
}

QString formatTime(const QTime &time) { return time.toString(u"HH:mm:ss"_s); }

std::optional<QDate> parseDate(QStringView t)
{
    if (t.size() != 10 || t[2] != kDateSeparator || t[5] != kDateSeparator)
        return std::nullopt;
    auto number = [&](qsizetype from, qsizetype n) {
        int v = 0;
        for (qsizetype i = from; i < from + n; ++i) {
            if (t[i] < u'0' || t[i] > u'9')
                return -1;
            v = v * 10 + (t[i].unicode() - u'0');
        }
        return v;
    };
    const int d = number(0, 2), m = number(3, 2), y = number(6, 4);
    if (d < 0 || m < 0 || y < 0 || !QDate::isValid(y, m, d))
        return std::nullopt;
    return QDate(y, m, d);
}

std::optional<double> parseNumber(QStringView text)
{
    const QStringView t = text::trimmedView(text);
    if (t.isEmpty())
        return std::nullopt;
    // Digits, an optional sign and at most one decimal separator.
    bool seenDigit = false, seenSep = false;
    QString normal;
    normal.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            seenDigit = true;
            normal += c;
        } else if (c == kDecimalSeparator && !seenSep) {
            seenSep = true;
            normal += u'.';
        } else if ((c == u'-' || c == u'+') && i == 0) {
            normal += c;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    bool ok = false;
    const double v = normal.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

QString formatNumber(double value, int decimals)
{
    QString s = QString::number(value, 'f', decimals);
    s.replace(u'.', kDecimalSeparator);
    return s;
}

} // namespace clinora::settings
