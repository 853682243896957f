// The item tools that convert their items with a conversion component of their own (the
// audio converter and the ACM converter): the component, made with the window, takes each
// row's file as its source and is released when the window closes. Their Events pages
// list the turn-off before the external program.
#pragma once

#include "tools/frame/ItemsToolWindow.h"

class cAudioConverter;

class ConverterToolWindow : public ItemsToolWindow
{
    Q_OBJECT
public:
    explicit ConverterToolWindow(const Design& design);
    ~ConverterToolWindow() override;

    cAudioConverter* cAudioConverter1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    void CloseComponents() override;
    void PutRowSource(qint32 Row) override;
    void StartComponent() override;
};
