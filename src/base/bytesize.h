#pragma once
#include <QString>

// A byte count as text with two decimals at most: the smallest unit from KB
// upwards whose next unit the count does not reach ("0.49 KB", "1024 KB").
QString FormatByteSize(qint64 bytes);
