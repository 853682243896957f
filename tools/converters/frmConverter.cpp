#include "tools/converters/frmConverter.h"

#include "components/cAudioConverter/cAudioConverter.h"
#include "lists/mdlItemsGrid.h"
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

frmConverter::frmConverter() : ItemsToolWindow(converterDesign())
{
    BuildFileNameBlock(BuildOutputBlock(120));
    // The converter's Events page lists the turn-off before the external program.
    const QPoint notice = chkNoticeApp->pos();
    chkNoticeApp->move(chkTurnOffComputer->pos());
    chkTurnOffComputer->move(notice);
    chkNoticeApp->setText(QStringLiteral("Execute external program "));
    cAudioConverter1 = CreateAudioConverter(this);
    AttachComponent(cAudioConverter1);
}

frmConverter::~frmConverter() = default;

AudioJobComponent* frmConverter::JobComponent()
{
    return cAudioConverter1;
}

void frmConverter::CloseComponents()
{
    cAudioConverter1->CloseConverter();
}

void frmConverter::PutRowSource(qint32 Row)
{
    // A new source is converted whole until the row's range is set.
    cAudioConverter1->SetSourceFile(RowText(cGrid1, Row, QStringLiteral("COL_FILE")));
}

void frmConverter::StartComponent()
{
    cAudioConverter1->StartConvert();
}
