#include "platform/IconResources.h"

#include <QFile>

QIcon LoadIconResource(const QString& name)
{
    const QString path = QStringLiteral(":/icons/") + name.toLower() + QStringLiteral(".svg");
    if (name.isEmpty() || !QFile::exists(path))
        return QIcon();
    return QIcon(path);
}
