#pragma once

#include <QComboBox>

// Configuration combo boxes carry the parameter's value as decimal text in their item data.
// Index of the item whose data is the number `value`, or -1.
inline int indexForNumericData(const QComboBox *box, qint64 value)
{
    if (!box)
        return -1;
    for (int i = 0; i < box->count(); ++i) {
        bool ok = false;
        if (box->itemData(i).toString().toLongLong(&ok) == value && ok)
            return i;
    }
    return -1;
}
