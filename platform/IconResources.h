// The program's icon resources, looked up by name without regard to case ("AAA",
// "CUT", "gears", ...). A name no resource has gives a null icon.
#pragma once

#include <QIcon>
#include <QString>

QIcon LoadIconResource(const QString& name);
