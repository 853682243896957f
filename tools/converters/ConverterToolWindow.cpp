// The conversion component of the converter windows and what the items job asks of it.
#include "tools/converters/ConverterToolWindow.h"

#include "components/cAudioConverter/cAudioConverter.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"

ConverterToolWindow::ConverterToolWindow(const Design& design) : ItemsToolWindow(design)
{
    cAudioConverter1 = CreateAudioConverter(this);
    AttachComponent(cAudioConverter1);
    // The converters' Events pages list the turn-off before the external program.
    const QPoint notice = chkNoticeApp->pos();
    chkNoticeApp->move(chkTurnOffComputer->pos());
    chkTurnOffComputer->move(notice);
}

ConverterToolWindow::~ConverterToolWindow() = default;

AudioJobComponent* ConverterToolWindow::JobComponent()
{
    return cAudioConverter1;
}

void ConverterToolWindow::CloseComponents()
{
    cAudioConverter1->CloseConverter();
}

void ConverterToolWindow::PutRowSource(qint32 Row)
{
    // A new source is converted whole until the row's range is set.
    cAudioConverter1->SetSourceFile(RowText(cGrid1, Row, QStringLiteral("COL_FILE")));
}

void ConverterToolWindow::StartComponent()
{
    cAudioConverter1->StartConvert();
}
