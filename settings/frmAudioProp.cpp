// The output-format properties window: its pages, the codec lists it fills through the
// conversion component, and the store round trip of the format settings.
#include "settings/frmAudioProp.h"
#include "settings/mdlStoredValues.h"

#include "common/mdlModes.h"
#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedDestination.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "platform/VbConstants.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <cmath>
#include <optional>

namespace {

// The ACM enumeration flag that asks only for codecs that convert from the given format.
constexpr qint32 kAcmConvertibleOnly = 0x100000;

const QStringList& bitrateItems()
{
    static const QStringList items{"8 ", "16", "24", "32", "40", "48", "56", "64", "80", "96",
                                   "112", "128", "144", "160", "176", "192", "224", "256", "320"};
    return items;
}

const QStringList& qualityItems()
{
    static const QStringList items{"0 ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};
    return items;
}

// Adds an item at a place without choosing it: a list that had no selection keeps none.
void insertItem(QComboBox* cbo, int index, const QString& text)
{
    const bool none = cbo->currentIndex() < 0;
    cbo->insertItem(index, text);
    if (none)
        cbo->setCurrentIndex(-1);
}

// The number a list's text starts with ("5 " is 5); 0 without one.
qint32 numberOfText(const QComboBox* cbo)
{
    return cbo->currentText().trimmed().toInt();
}

// An option button set by program: selecting one clears the others of its group, and a
// cleared one may leave the whole group clear.
void setOption(QRadioButton* b, bool on)
{
    if (on) {
        b->setChecked(true);
        return;
    }
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
}

} // namespace

frmAudioProp::frmAudioProp()
{
    setWindowTitle(QStringLiteral("Audio Format"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(7200), TwipsToPixels(5535));
    setFont(QFont(QStringLiteral("Tahoma")));

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    PlaceTwips(picTitle, 0, 0, 7200, 495);
    lblTitle = new QLabel(picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    SetForeColor(lblTitle, 0xFFFFFF);
    PlaceTwips(lblTitle, 240, 120, 1000, 255);
    lblFormatDesc = new QLabel(picTitle);
    SetForeColor(lblFormatDesc, 0xFFFFFF);
    PlaceTwips(lblFormatDesc, 1320, 120, 4000, 255);
    // The strip starts with the first page's titles.
    lblTitle->setText(QStringLiteral("WAV -"));
    lblFormatDesc->setText(QStringLiteral("Waveform audio format"));
    PlaceFormatDesc();

    cTabControl1 = new cTabControl(this);
    PlaceTwips(cTabControl1, 120, 600, 6960, 4320);

    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    PlaceTwips(cmdExit, 4200, 5040, 1335, 375);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    PlaceTwips(cmdOk, 5640, 5040, 1335, 375);
    cmdOk->setDefault(true);

    buildPages();

    cAudioConverter1 = CreateAudioConverter(this);
    connect(cAudioConverter1, &cAudioConverter::ACMTagFound, this, &frmAudioProp::cAudioConverter1_ACMTagFound);
    connect(cAudioConverter1, &cAudioConverter::ACMFormatFound, this,
            &frmAudioProp::cAudioConverter1_ACMFormatFound);
    connect(cTabControl1, &cTabControl::TabClick, this, &frmAudioProp::cTabControl1_TabClick);
    connect(cmdOk, &QPushButton::clicked, this, &frmAudioProp::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAudioProp::cmdExit_Click);
    connect(cboTags, &QComboBox::activated, this, &frmAudioProp::cboTags_Click);
    connect(cboWMACodecs, &QComboBox::activated, this, &frmAudioProp::cboWMACodecs_Click);
    connect(chkBestAccordToSource, &CheckBox::Click, this, &frmAudioProp::chkBestAccordToSource_Click);
    connect(lblMP3Advanced, &LinkLabel::Click, this, &frmAudioProp::lblMP3Advanced_Click);
    connect(sldOGG, &QSlider::sliderMoved, this, &frmAudioProp::sldOGG_Scroll);
}

frmAudioProp::~frmAudioProp() = default;

void frmAudioProp::buildPages()
{
    // Created after the tab strip, so the pages lie over it.
    froToWAV = new QFrame(this);
    froToACM = new QFrame(this);
    froToMP3 = new QFrame(this);
    froToWMA = new QFrame(this);
    froToOGG = new QFrame(this);
    froToAPE = new QFrame(this);

    // WAV.
    MakeLabel(froToWAV, QStringLiteral("Samples:"), 240, 240, 1440);
    cboSamplesWAV = MakeList(froToWAV, {"44100", "22050", "11025", "8000"}, 1800, 200, 2400);
    MakeLabel(froToWAV, QStringLiteral("Bitrate:"), 240, 700, 1440);
    cboBitrateWAV = MakeList(froToWAV, {}, 1800, 660, 2400);
    MakeLabel(froToWAV, QStringLiteral("Channels:"), 240, 1160, 1440);
    cboChannelsWAV = MakeList(froToWAV, {"Mono", "Stereo"}, 1800, 1120, 2400);

    // ACM.
    chkBestAccordToSource =
        MakeCheck(froToACM, QStringLiteral("Get recommended codecs according to source file format."), 240, 240, 6300);
    MakeLabel(froToACM, QStringLiteral("Target ACM Tag:"), 240, 720, 3000);
    cboTags = MakeList(froToACM, {}, 240, 960, 6300);
    MakeLabel(froToACM, QStringLiteral("Target ACM Format:"), 240, 1440, 3000);
    cboFormats = MakeList(froToACM, {}, 240, 1680, 6300);

    // MP3.
    MakeLabel(froToMP3, QStringLiteral("Bitrate:"), 240, 200, 1000);
    cboMP3Bitrate = MakeList(froToMP3, bitrateItems(), 1320, 160, 1800);
    MakeLabel(froToMP3, QStringLiteral("Mode:"), 3360, 200, 800);
    cboMP3Mode = MakeList(froToMP3,
                      {"STEREO_MODE = 0", "JOINT_STEREO_MODE = 1", "DUAL_CHANNEL_MODE = 2", "MONO_MODE = 3",
                       "NOT_SET_MODE = 4", "FORCE_JOINT_STEREO_MODE = 5"},
                      4200, 160, 2900);
    MakeLabel(froToMP3, QStringLiteral("Samplerate:"), 240, 620, 1000);
    cboMP3Samplerate =
        MakeList(froToMP3, {"8000", "11025", "12000", "16000", "22050", "24000", "32000", "44100", "48000"}, 1320, 580, 1800);
    MakeLabel(froToMP3, QStringLiteral("Quality:"), 3360, 620, 800);
    cboMP3Quality = MakeList(froToMP3, qualityItems(), 4200, 580, 1200);
    lblMP3Advanced = new LinkLabel(QStringLiteral("Advanced..."), froToMP3);
    QFont underlined = lblMP3Advanced->font();
    underlined.setUnderline(true);
    lblMP3Advanced->setFont(underlined);
    lblMP3Advanced->setToolTip(QStringLiteral("MP3 properties mode."));
    PlaceTwips(lblMP3Advanced, 5640, 620, 1080, 255);

    picMP3Advanced = new QFrame(froToMP3);
    PlaceTwips(picMP3Advanced, 120, 1020, 6720, 2760);
    chkMP3Original = MakeCheck(picMP3Advanced, QStringLiteral("Original"), 120, 120, 2160);
    chkMP3Copyright = MakeCheck(picMP3Advanced, QStringLiteral("Copyright"), 120, 480, 2160);
    chkMP3ErrorProtect = MakeCheck(picMP3Advanced, QStringLiteral("Error Protection"), 120, 840, 2160);
    chkMP3VBR = MakeCheck(picMP3Advanced, QStringLiteral("VBR Mode"), 120, 1200, 2160);
    chkMP3StrictISO = MakeCheck(picMP3Advanced, QStringLiteral("ISO Encoding"), 120, 1560, 2160);
    chkMP3VBRTag = MakeCheck(picMP3Advanced, QStringLiteral("Write VBR Tag"), 2400, 120, 2400);
    chkMP3VBRForceMinBitrate = MakeCheck(picMP3Advanced, QStringLiteral("VBR Force Min Bitrate"), 2400, 480, 2400);
    chkMP3ABR = MakeCheck(picMP3Advanced, QStringLiteral("ABR (Instead of VBR)"), 2400, 840, 2400);
    cboMP3ABRBitrate = MakeList(picMP3Advanced, bitrateItems(), 4920, 810, 1200);
    MakeLabel(picMP3Advanced, QStringLiteral("VBR Quality:"), 2400, 1260, 1560);
    cboMP3VBRQuality = MakeList(picMP3Advanced, qualityItems(), 4080, 1200, 1200);
    MakeLabel(picMP3Advanced, QStringLiteral("Min VBR Bitrate:"), 2400, 1680, 1560);
    cboMP3MinBitrate = MakeList(picMP3Advanced, bitrateItems(), 4080, 1620, 1200);
    MakeLabel(picMP3Advanced, QStringLiteral("Max VBR Bitrate:"), 2400, 2100, 1560);
    cboMP3MaxBitrate = MakeList(picMP3Advanced, bitrateItems(), 4080, 2040, 1200);
    picMP3Advanced->hide();

    // WMA.
    MakeLabel(froToWMA, QStringLiteral("Codec:"), 240, 240, 900);
    cboWMACodecs = MakeList(froToWMA, {}, 1200, 200, 5400);
    MakeLabel(froToWMA, QStringLiteral("Format:"), 240, 700, 900);
    cboWMAFormat = MakeList(froToWMA, {}, 1200, 660, 5400);

    // OGG: the two option buttons are one group.
    ptnQualityOGG = new QRadioButton(QStringLiteral("Quality:"), froToOGG);
    PlaceTwips(ptnQualityOGG, 240, 240, 1200, 285);
    ptnQualityOGG->setChecked(true);
    sldOGG = new QSlider(Qt::Horizontal, froToOGG);
    sldOGG->setRange(0, 100);
    PlaceTwips(sldOGG, 1560, 200, 4200, 420);
    lblSensitivityVal = MakeLabel(froToOGG, QStringLiteral("100"), 5880, 240, 600);
    optOggBit = new QRadioButton(QStringLiteral("Bitrate:"), froToOGG);
    PlaceTwips(optOggBit, 240, 840, 1200, 285);
    cboOggBitNom =
        MakeList(froToOGG, {"32", "40", "48", "64", "80", "96", "128", "160", "196", "256", "350"}, 1560, 800, 1200);

    // APE.
    MakeLabel(froToAPE, QStringLiteral("APE Level:"), 240, 240, 1200);
    cboAPELevel = MakeList(froToAPE, {"Fast", "Normal", "High", "Extra high", "Slow"}, 1440, 200, 2400);
}

QList<QFrame*> frmAudioProp::pages() const
{
    return {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE};
}

void frmAudioProp::Form_Load()
{
    // Colours of the options and the product profile.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    SetForeColor(lblFormatDesc, g_lTextColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        QList<QWidget*> painted{this, picMP3Advanced, chkMP3Original, chkMP3Copyright, chkMP3ErrorProtect, chkMP3VBR,
                                chkMP3StrictISO, chkMP3VBRTag, chkMP3VBRForceMinBitrate, chkMP3ABR, ptnQualityOGG,
                                optOggBit, chkBestAccordToSource};
        for (QFrame* page : pages())
            painted << page;
        for (QWidget* w : painted)
            SetBackColor(w, back);
    }

    // The optional view pictures.
    if (!g_sViewBackPicture.isEmpty()) {
        LoadViewPicture(this, g_sViewBackPicture);
        for (QFrame* page : pages())
            LoadViewPicture(page, g_sViewBackPicture);
        LoadViewPicture(picMP3Advanced, g_sViewBackPicture);
    }
    LoadViewPicture(picTitle, g_sViewTitlePicture);

    // One tab per offered format.
    const struct {
        const qint32& flag;
        const char* key;
    } formats[] = {{g_lDestWAV, "WAV"}, {g_lDestACM, "ACM"}, {g_lDestMP3, "MP3"},
                   {g_lDestWMA, "WMA"}, {g_lDestOGG, "OGG"}, {g_lDestAPE, "APE"}};
    for (const auto& f : formats)
        if (f.flag == 1)
            cTabControl1->AddTab(QLatin1String(f.key), -1, -1, QLatin1String(f.key));

    // Every page over the tab strip's client area; only the WAV page shows.
    for (QFrame* page : pages())
        PlaceTwips(page, cTabControl1->ClientLeft() - 50, cTabControl1->ClientTop(), cTabControl1->ClientWidth() + 50,
                   cTabControl1->ClientHeight());
    HideFormatPages();
    froToWAV->show();

    // WAV defaults.
    insertItem(cboBitrateWAV, cboBitrateWAV->count(), QStringLiteral("8"));
    insertItem(cboBitrateWAV, cboBitrateWAV->count(), QStringLiteral("16"));
    SelectListText(cboBitrateWAV, QStringLiteral("16"));
    SelectListText(cboSamplesWAV, QStringLiteral("44100"));
    SelectListText(cboChannelsWAV, QStringLiteral("Stereo"));

    // WMA codecs.
    FillWMACodecs();

    // APE and OGG defaults.
    SelectListText(cboAPELevel, QStringLiteral("Fast"));
    cboOggBitNom->setCurrentIndex(0);
    sldOGG->setValue(50);

    // MP3 defaults.
    SelectListText(cboMP3Bitrate, QStringLiteral("128"));
    cboMP3Mode->setCurrentIndex(0);
    SelectListText(cboMP3Samplerate, QStringLiteral("44100"));
    cboMP3Quality->setCurrentIndex(5);
    chkMP3Copyright->SetValue(1);
    chkMP3Original->SetValue(1);
    chkMP3VBR->SetValue(1);
    cboMP3VBRQuality->setCurrentIndex(5);
    SelectListText(cboMP3MaxBitrate, QStringLiteral("128"));
    SelectListText(cboMP3MinBitrate, QStringLiteral("96"));
    chkMP3VBRTag->SetValue(1);
    SelectListText(cboMP3ABRBitrate, QStringLiteral("96"));

    // Every ACM codec that takes PCM 44100 Hz stereo 16-bit; "PCM" first chosen.
    cAudioConverter1->EnumACMTags(1, 44100, 2, 16, 0);
    if (cboTags->count() > 0 && SelectListText(cboTags, QStringLiteral("PCM")))
        cboTags_Click();

    // The stored settings over these defaults.
    m_cRegistry.setHkey(HKEY_LOCAL_MACHINE);
    m_cRegistry.setKeyRoot(ProductKeyRoot());
    GetOptions();

    // The OGG quality slider's value beside it.
    lblSensitivityVal->setText(QString::number(sldOGG->value()));
}

void frmAudioProp::HideFormatPages()
{
    for (QFrame* page : pages())
        page->hide();
}

void frmAudioProp::cTabControl1_TabClick(qint32)
{
    HideFormatPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    const struct {
        const char* key;
        QFrame* page;
        QString title;
        QString description;
    } table[] = {
        {"WAV", froToWAV, QStringLiteral("WAV -"), QStringLiteral("Waveform audio format")},
        {"ACM", froToACM, QStringLiteral("WAV(ACM) -"), QStringLiteral("Waveform audio format with ACM codec")},
        {"MP3", froToMP3, QStringLiteral("MP3 -"), QStringLiteral("MPEG-1 Audio Layer 3")},
        {"WMA", froToWMA, QStringLiteral("WMA -"), QStringLiteral("Windows Media Audio")},
        {"OGG", froToOGG, QStringLiteral("OGG -"), QStringLiteral("Ogg Media format")},
        {"APE", froToAPE, QStringLiteral("APE -"), QStringLiteral(u"Monkey\u2019s Audio file format")},
    };
    for (const auto& row : table) {
        if (key != QLatin1String(row.key))
            continue;
        row.page->show();
        lblTitle->setText(row.title);
        lblFormatDesc->setText(row.description);
        break;
    }
    PlaceFormatDesc();
}

void frmAudioProp::PlaceFormatDesc()
{
    // The description follows the title at 80 twips.
    lblTitle->adjustSize();
    lblFormatDesc->adjustSize();
    const int titleEnd = (lblTitle->x() + lblTitle->width()) * kTwipsPerPixel;
    lblFormatDesc->move(TwipsToPixels(titleEnd + 80), lblFormatDesc->y());
}

void frmAudioProp::FillWMACodecs()
{
    const qint32 n = cAudioConverter1->GetWMACodecCount();
    for (qint32 i = 0; i < n; ++i) {
        QCoreApplication::processEvents();
        qint32 index = i;
        insertItem(cboWMACodecs, cboWMACodecs->count(), cAudioConverter1->GetWMACodecName(index));
    }
    if (cboWMACodecs->count() > 0) {
        cboWMACodecs->setCurrentIndex(0);
        cboWMACodecs_Click();
    }
}

void frmAudioProp::cboWMACodecs_Click()
{
    cboWMAFormat->clear();
    const qint32 codec = cboWMACodecs->currentIndex();
    const qint32 m = cAudioConverter1->GetWMAFormatCount(codec);
    for (qint32 j = 0; j < m; ++j) {
        qint32 index = j;
        insertItem(cboWMAFormat, cboWMAFormat->count(), cAudioConverter1->GetWMAFormatName(codec, index));
    }
    if (cboWMAFormat->count() > 0)
        cboWMAFormat->setCurrentIndex(0);
}

void frmAudioProp::cAudioConverter1_ACMTagFound(const QString& TagName)
{
    // The codec list is sorted.
    int at = 0;
    while (at < cboTags->count() && QString::compare(cboTags->itemText(at), TagName, Qt::CaseInsensitive) <= 0)
        ++at;
    insertItem(cboTags, at, TagName);
}

void frmAudioProp::cAudioConverter1_ACMFormatFound(const QString& FormatName)
{
    insertItem(cboFormats, cboFormats->count(), FormatName);
}

void frmAudioProp::cboTags_Click()
{
    cboFormats->clear();
    cAudioConverter1->EnumACMFormats(cboTags->currentText());
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmAudioProp::SelectFirstACM()
{
    if (cboTags->count() > 0) {
        cboTags->setCurrentIndex(0);
        cboTags_Click();
    }
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmAudioProp::chkBestAccordToSource_Click()
{
    cboTags->clear();
    cboFormats->clear();
    if (chkBestAccordToSource->Value() == 0) {
        cAudioConverter1->EnumACMTags(1, 44100, 2, 16, 0);
        SelectFirstACM();
        return;
    }
    g_OFN.lpstrFilter = QStringLiteral("MP3 Audio Files (*.mp3)") + QChar(u'\0') + QStringLiteral("*.mp3");
    g_OFN.lpstrTitle = QStringLiteral("Open MP3 audio file");
    const FileDialogResult result = ShowOpen(this, true);
    const QString source = result.FileNames.value(0);
    if (result.Cancelled || source.isEmpty()) {
        // Without a source there is nothing to recommend: the box goes back to unticked,
        // which lists every codec again, so OK never stores an empty codec.
        chkBestAccordToSource->SetValue(0);
        return;
    }
    if (cAudioConverter1->ReadFileInfo(source) != 0) {
        // A file that cannot be read recommends nothing either.
        chkBestAccordToSource->SetValue(0);
        return;
    }
    cAudioConverter1->EnumACMTags(1, cAudioConverter1->SampleRate(), cAudioConverter1->Channels(),
                                  cAudioConverter1->BitsPerSample(), kAcmConvertibleOnly);
    SelectFirstACM();
}

void frmAudioProp::lblMP3Advanced_Click()
{
    if (lblMP3Advanced->text() == QLatin1String("Advanced...")) {
        picMP3Advanced->show();
        lblMP3Advanced->setText(QStringLiteral("Simple..."));
    } else if (lblMP3Advanced->text() == QLatin1String("Simple...")) {
        picMP3Advanced->hide();
        lblMP3Advanced->setText(QStringLiteral("Advanced..."));
    }
}

void frmAudioProp::sldOGG_Scroll()
{
    lblSensitivityVal->setText(QString::number(sldOGG->sliderPosition()));
}

void frmAudioProp::GetOptions()
{
    auto value = [this](const char* name) { return m_cRegistry.GetRegistryValue(QLatin1String(name)); };
    // item: the list selects the stored text; index: the stored number is the list index.
    auto readItem = [&](QComboBox* cbo, const char* name) { return SelectListText(cbo, value(name).toString()); };
    auto readIndex = [&](QComboBox* cbo, const char* name) {
        const auto n = StoredNumber(value(name));
        if (!n || *n < -1 || *n >= cbo->count())
            return false;
        cbo->setCurrentIndex(*n);
        return true;
    };
    auto readCheck = [&](CheckBox* box, bool& global, const char* name) {
        const auto n = StoredNumber(value(name));
        if (n && *n >= 0 && *n <= 2)
            box->SetValue(*n);
        global = box->Value() != 0;
    };
    auto readFlag = [&](QRadioButton* button, const char* name) {
        if (const auto b = StoredFlag(value(name)))
            setOption(button, *b);
    };

    m_cRegistry.setSubkey(QStringLiteral("Formats\\WAV"));
    readItem(cboSamplesWAV, "cboSamplesWAV");
    g_lSamplesWAV = numberOfText(cboSamplesWAV);
    readItem(cboBitrateWAV, "cboBitrateWAV");
    g_lBitrateWAV = numberOfText(cboBitrateWAV);
    readIndex(cboChannelsWAV, "cboChannelsWAV");
    g_lChannelsWAV = cboChannelsWAV->currentIndex();

    // Choosing the codec refills its formats before the stored format is looked for.
    m_cRegistry.setSubkey(QStringLiteral("Formats\\ACM"));
    if (readItem(cboTags, "cboTags"))
        cboTags_Click();
    g_sACMTag = cboTags->currentText();
    readItem(cboFormats, "cboFormats");
    g_sACMFormat = cboFormats->currentText();

    m_cRegistry.setSubkey(QStringLiteral("Formats\\MP3"));
    readItem(cboMP3Bitrate, "cboMP3Bitrate");
    g_lMP3Bitrate = numberOfText(cboMP3Bitrate);
    readItem(cboMP3Quality, "cboMP3Quality");
    g_lMP3Quality = numberOfText(cboMP3Quality);
    readItem(cboMP3Samplerate, "cboMP3Samplerate");
    g_lMP3Samplerate = numberOfText(cboMP3Samplerate);
    readIndex(cboMP3Mode, "cboMP3Mode");
    g_lMP3Mode = cboMP3Mode->currentIndex();
    readCheck(chkMP3ErrorProtect, g_bMP3ErrorProtect, "chkMP3ErrorProtect");
    readCheck(chkMP3Original, g_bMP3Original, "chkMP3Original");
    readCheck(chkMP3Copyright, g_bMP3Copyright, "chkMP3Copyright");
    readCheck(chkMP3StrictISO, g_bMP3StrictISO, "chkMP3StrictISO");
    readItem(cboMP3VBRQuality, "cboMP3VBRQuality");
    g_lMP3VBRQuality = cboMP3VBRQuality->currentIndex();
    readItem(cboMP3MinBitrate, "cboMP3MinBitrate");
    g_lMP3MinBitrate = cboMP3MinBitrate->currentIndex();
    readItem(cboMP3MaxBitrate, "cboMP3MaxBitrate");
    g_lMP3MaxBitrate = cboMP3MaxBitrate->currentIndex();
    readCheck(chkMP3VBRTag, g_bMP3VBRTag, "chkMP3VBRTag");
    readCheck(chkMP3VBRForceMinBitrate, g_bMP3VBRForceMinBitrate, "chkMP3VBRForceMinBitrate");
    readCheck(chkMP3ABR, g_bMP3ABR, "chkMP3ABR");
    readItem(cboMP3ABRBitrate, "cboMP3ABRBitrate");
    g_lMP3ABRBitrate = numberOfText(cboMP3ABRBitrate);
    // The advanced panel opens in the state it was saved in.
    lblMP3Advanced->setText(value("lblMP3Advanced").toString());
    if (lblMP3Advanced->text().isEmpty())
        lblMP3Advanced->setText(QStringLiteral("Advanced..."));
    picMP3Advanced->setVisible(lblMP3Advanced->text() != QLatin1String("Advanced..."));

    // Choosing the codec refills its formats before the stored format index is read.
    m_cRegistry.setSubkey(QStringLiteral("Formats\\WMA"));
    if (readIndex(cboWMACodecs, "cboWMACodecs"))
        cboWMACodecs_Click();
    g_lWMACodecs = cboWMACodecs->currentIndex();
    readIndex(cboWMAFormat, "cboWMAFormat");
    g_lWMAFormat = cboWMAFormat->currentIndex();

    m_cRegistry.setSubkey(QStringLiteral("Formats\\OGG"));
    readFlag(ptnQualityOGG, "ptnQualityOGG");
    if (const auto n = StoredNumber(value("sldOGG")); n && *n >= sldOGG->minimum() && *n <= sldOGG->maximum())
        sldOGG->setValue(*n);
    g_lOGGQuality = sldOGG->value();
    readFlag(optOggBit, "optOggBit");
    g_bOggBit = optOggBit->isChecked();
    readItem(cboOggBitNom, "cboOggBitNom");
    g_lOggBitNom = numberOfText(cboOggBitNom);

    m_cRegistry.setSubkey(QStringLiteral("Formats\\APE"));
    readIndex(cboAPELevel, "cboAPELevel");
    g_lAPELevel = cboAPELevel->currentIndex();
}

void frmAudioProp::cmdOk_Click()
{
    // The options window's default format follows the open page (its tabs and its list
    // hold the offered formats in the same order).
    QComboBox* target = Forms::Get<frmOptions>()->cboTargetFormat;
    const qint32 position = cTabControl1->SelectedTab() - 1;
    if (position < target->count())
        target->setCurrentIndex(position);

    SettingsWriteCheck check;
    auto put = [this, &check](const char* name, const QString& v) {
        check.Note(m_cRegistry.SetRegistryValue(QLatin1String(name), v, 1), m_cRegistry, QLatin1String(name));
    };
    auto putItem = [&](const char* name, const QComboBox* cbo) { put(name, cbo->currentText()); };
    auto putIndex = [&](const char* name, const QComboBox* cbo) { put(name, QString::number(cbo->currentIndex())); };
    auto putCheck = [&](const char* name, const CheckBox* box) { put(name, QString::number(box->Value())); };
    auto putFlag = [&](const char* name, const QRadioButton* b) {
        put(name, b->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
    };

    // Every value of every format, whichever page is open.
    m_cRegistry.setSubkey(QStringLiteral("Formats\\WAV"));
    putItem("cboSamplesWAV", cboSamplesWAV);
    putItem("cboBitrateWAV", cboBitrateWAV);
    putIndex("cboChannelsWAV", cboChannelsWAV);

    m_cRegistry.setSubkey(QStringLiteral("Formats\\ACM"));
    putItem("cboTags", cboTags);
    putItem("cboFormats", cboFormats);

    m_cRegistry.setSubkey(QStringLiteral("Formats\\MP3"));
    putItem("cboMP3Bitrate", cboMP3Bitrate);
    putItem("cboMP3Quality", cboMP3Quality);
    putItem("cboMP3Samplerate", cboMP3Samplerate);
    putIndex("cboMP3Mode", cboMP3Mode);
    putCheck("chkMP3ErrorProtect", chkMP3ErrorProtect);
    putCheck("chkMP3Original", chkMP3Original);
    putCheck("chkMP3Copyright", chkMP3Copyright);
    putCheck("chkMP3StrictISO", chkMP3StrictISO);
    putItem("cboMP3VBRQuality", cboMP3VBRQuality);
    putItem("cboMP3MinBitrate", cboMP3MinBitrate);
    putItem("cboMP3MaxBitrate", cboMP3MaxBitrate);
    putCheck("chkMP3VBRTag", chkMP3VBRTag);
    putCheck("chkMP3VBRForceMinBitrate", chkMP3VBRForceMinBitrate);
    putCheck("chkMP3ABR", chkMP3ABR);
    putItem("cboMP3ABRBitrate", cboMP3ABRBitrate);
    put("lblMP3Advanced", lblMP3Advanced->text());

    m_cRegistry.setSubkey(QStringLiteral("Formats\\WMA"));
    putIndex("cboWMACodecs", cboWMACodecs);
    putIndex("cboWMAFormat", cboWMAFormat);

    m_cRegistry.setSubkey(QStringLiteral("Formats\\OGG"));
    putFlag("ptnQualityOGG", ptnQualityOGG);
    put("sldOGG", QString::number(sldOGG->value()));
    putFlag("optOggBit", optOggBit);
    putItem("cboOggBitNom", cboOggBitNom);

    m_cRegistry.setSubkey(QStringLiteral("Formats\\APE"));
    putIndex("cboAPELevel", cboAPELevel);
    check.Tell(QStringLiteral("The output format settings"));

    // The format globals take what was just stored; the window goes.
    GetOptions();
    m_bAccepted = true;
    Forms::Unload(this);
}

void frmAudioProp::cmdExit_Click()
{
    Forms::Unload(this);
}

void frmAudioProp::Form_Unload(int& Cancel)
{
    // The window lives until the main window closes; before that, closing only hides it.
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}

bool ShowAudioPropOnFormat(const QString& key, QWidget* owner)
{
    frmAudioProp* f = g_frmAudioProp();
    f->cTabControl1->SelectTab(key);
    f->cTabControl1_TabClick(f->cTabControl1->TabIndex(key));
    f->m_bAccepted = false;
    // The window stays loaded when it hides; once the modal showing returns, it may be
    // gone if the program is closing.
    QPointer<frmAudioProp> window(f);
    f->Show(vbModal, owner);
    return window && window->m_bAccepted;
}
