// The source audio formats: the open dialog's filter text, which also serves as the list
// of extensions the add-files code accepts.
#pragma once

#include <QString>

// Pairs of description and pattern list, each element followed by a NUL character.
QString GetSupportedFormatsFilter();
