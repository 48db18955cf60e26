#include "base/bytesize.h"

#include <QLocale>
#include <cmath>

QString FormatByteSize(qint64 bytes)
{
    static const char *const units[] = {"Bytes", "KB", "MB", "GB", "TB", "PB", "EB", "ZB"};
    const double b = static_cast<double>(bytes);
    int e = 1;
    while (e < 7 && b > std::pow(1024.0, e + 1))
        ++e;
    const double value = b / std::pow(1024.0, e);
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    // "###0.##": at most two decimals, no trailing zeros.
    QString text = loc.toString(std::round(value * 100.0) / 100.0, 'f', 2);
    const QString dec = loc.decimalPoint();
    if (text.contains(dec)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(dec))
            text.chop(dec.size());
    }
    return text + QLatin1Char(' ') + QLatin1String(units[e]);
}
