#include "core/fill/batchrows.h"

namespace BatchRows {

QStringList placeholders(const QString &pattern)
{
    QStringList names;
    expand(pattern, [&names](const QString &name) {
        names << name;
        return QString();
    });
    return names;
}

} // namespace BatchRows
