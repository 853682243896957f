// The ACM converter window: its "Settings" page with the codec chooser over the output
// block and the template list, and the few steps of the items job that are its own.
#include "tools/converters/frmACMConverter.h"

#include "common/mdlFunctions.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "platform/Controls.h"

#include <QComboBox>
#include <QFrame>

namespace {

// The WAVE format tag of plain PCM: the chooser always describes its source as PCM.
constexpr qint32 kWaveFormatPcm = 1;
// Asks the catalogue only for the codecs the described source converts to.
constexpr qint32 kConvertibleOnly = 0x100000;

ToolWindow::Design acmDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("ACM Converter");
    d.icon = QStringLiteral("replace2");
    d.settingsTab = QStringLiteral("ACM Converter        ");
    d.settingsTabImage = 61;
    d.startCaption = QStringLiteral("Convert");
    return d;
}

QComboBox* pickOnlyList(QWidget* page, int left, int top, int width)
{
    auto* list = new QComboBox(page);
    list->setEditable(false);
    PlaceTwips(list, left, top, width, 315);
    return list;
}

} // namespace

frmACMConverter::frmACMConverter() : ConverterToolWindow(acmDesign())
{
    // The job keeps the program's name as the caption and leaves the pointer alone.
    m_bJobInCaption = false;
    // Every output is a WAV file, whatever the codec.
    m_sFixedExtension = QStringLiteral("wav");

    QWidget* page = TabSettings;
    MakeLabel(page, QStringLiteral("Best ACM Codecs According:"), 240, 120, 3000);
    cboBestAccordItem = pickOnlyList(page, 240, 360, 7920);
    MakeLabel(page, QStringLiteral("Target ACM Tag:"), 240, 780, 3000);
    MakeLabel(page, QStringLiteral("Target ACM Format:"), 4260, 780, 3000);
    cboTags = pickOnlyList(page, 240, 1020, 3900);
    cboFormats = pickOnlyList(page, 4260, 1020, 3900);
    auto* separator = new QFrame(page);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    PlaceTwips(separator, 120, 1440, 8160, 30);
    BuildFileNameBlock(BuildOutputBlock(1560, false));

    connect(cAudioConverter1, &cAudioConverter::ACMTagFound, this, &frmACMConverter::cAudioConverter1_ACMTagFound);
    connect(cAudioConverter1, &cAudioConverter::ACMFormatFound, this,
            &frmACMConverter::cAudioConverter1_ACMFormatFound);
    connect(cboBestAccordItem, &QComboBox::activated, this, &frmACMConverter::cboBestAccordItem_Click);
    connect(cboTags, &QComboBox::activated, this, &frmACMConverter::cboTags_Click);
}

frmACMConverter::~frmACMConverter() = default;

void frmACMConverter::Form_Load()
{
    ItemsToolWindow::Form_Load();
    // What the user sees when the launch chooses no source: every codec for CD audio.
    ListCodecs(44100, 2, 16, 0);
}

void frmACMConverter::cboBestAccordItem_Click()
{
    cboTags->clear();
    cboFormats->clear();
    const QString source = cboBestAccordItem->currentText();
    if (source == AllCodecsText()) {
        // Every codec; no file is read first, so the values are those of the file the
        // component read last.
        ListCodecs(cAudioConverter1->SampleRate(), cAudioConverter1->Channels(), cAudioConverter1->BitsPerSample(),
                   0);
        return;
    }
    // A file that cannot be read leaves the component's values as it reports them then.
    cAudioConverter1->ReadFileInfo(source);
    ListCodecs(cAudioConverter1->SampleRate(), cAudioConverter1->Channels(), cAudioConverter1->BitsPerSample(),
               kConvertibleOnly);
}

void frmACMConverter::ListCodecs(qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample, qint32 Flags)
{
    // The component fills the list through its events before the call returns.
    cAudioConverter1->EnumACMTags(kWaveFormatPcm, SamplesPerSec, Channels, BitsPerSample, Flags);
    if (cboTags->count() == 0)
        return;
    cboTags->setCurrentIndex(cboTags->findText(QStringLiteral("PCM")));
    cboTags_Click();
}

void frmACMConverter::cboTags_Click()
{
    cboFormats->clear();
    cAudioConverter1->EnumACMFormats(cboTags->currentText());
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmACMConverter::cAudioConverter1_ACMTagFound(const QString& TagName)
{
    cboTags->addItem(TagName);
}

void frmACMConverter::cAudioConverter1_ACMFormatFound(const QString& FormatName)
{
    cboFormats->addItem(FormatName);
}

void frmACMConverter::SetDestination()
{
    cAudioConverter1->SetOutputFormat(kOutputACM);
    QString tag = cboTags->currentText();
    QString format = cboFormats->currentText();
    cAudioConverter1->SetACMSettings(tag, format);
    AddLog(QStringLiteral("Destination format: ACM WAV"), txtLog);
}
