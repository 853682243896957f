// The audio converter window: converts the handed items, whole or by their ranges, one
// after another into one target format, each named by the output-name template.
#pragma once

#include "tools/converters/ConverterToolWindow.h"

class frmConverter : public ConverterToolWindow
{
    Q_OBJECT
public:
    frmConverter();
    ~frmConverter() override;
};

inline frmConverter* g_frmConverter()
{
    return Forms::Get<frmConverter>();
}
