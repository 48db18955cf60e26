#include "base/fileread.h"

#include <QFile>

bool ReadWholeFile(QFile &file, QByteArray &data)
{
    data = QByteArray(file.size(), Qt::Uninitialized);
    qint64 got = 0;
    while (got < data.size()) {
        const qint64 n = file.read(data.data() + got, data.size() - got);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    data.truncate(got);
    return file.error() == QFileDevice::NoError;
}
