// The audio converter window: converts the handed items, whole or by their ranges, one
// after another into one target format, each named by the output-name template.
#pragma once

#include "tools/converters/ItemsToolWindow.h"

class cAudioConverter;

class frmConverter : public ItemsToolWindow
{
    Q_OBJECT
public:
    frmConverter();
    ~frmConverter() override;

    cAudioConverter* cAudioConverter1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    void CloseComponents() override;
    void PutRowSource(qint32 Row) override;
    void StartComponent() override;
};

inline frmConverter* g_frmConverter()
{
    return Forms::Get<frmConverter>();
}
