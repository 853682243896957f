#include "tools/converters/frmConverter.h"

#include "platform/Controls.h"

namespace {

ToolWindow::Design converterDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio Converter");
    d.icon = QStringLiteral("replace2");
    d.settingsTab = QStringLiteral("Converter        ");
    d.settingsTabImage = 7;
    d.startCaption = QStringLiteral("Convert");
    return d;
}

} // namespace

frmConverter::frmConverter() : ConverterToolWindow(converterDesign())
{
    BuildFileNameBlock(BuildOutputBlock(120));
    chkNoticeApp->setText(QStringLiteral("Execute external program "));
}

frmConverter::~frmConverter() = default;
