// The ACM converter window: converts the handed items, one after another, into WAV files
// coded with one codec of the conversion component's catalogue and one of that codec's
// formats, picked in the codec chooser (a source, a codec, a format). It writes no tags.
#pragma once

#include "tools/converters/ConverterToolWindow.h"

class QComboBox;

class frmACMConverter : public ConverterToolWindow
{
    Q_OBJECT
public:
    frmACMConverter();
    ~frmACMConverter() override;

    // The frame and the template list, then the codecs offered for plain PCM at 44100 Hz,
    // 2 channels, 16 bits, with "PCM" chosen when it is offered.
    void Form_Load() override;

    // The codec chooser. A source choice lists the codecs for that source ("All ACM Codecs":
    // every codec, for what the component read last; a file: the codecs its rate and
    // channels convert to) and chooses "PCM"; a codec choice lists its formats and chooses
    // the first. The names and format texts are the component's, never parsed here.
    void cboBestAccordItem_Click();
    void cboTags_Click();
    void cAudioConverter1_ACMTagFound(const QString& TagName);
    void cAudioConverter1_ACMFormatFound(const QString& FormatName);

    // Hands the chosen codec and format to the component as they stand (empty ones too),
    // always as an ACM WAV, and logs it.
    void SetDestination() override;

    // The first entry of the source list.
    static QString AllCodecsText() { return QStringLiteral("All ACM Codecs"); }

    QComboBox* cboBestAccordItem = nullptr;
    QComboBox* cboTags = nullptr;
    QComboBox* cboFormats = nullptr;

protected:
    // The ACM converter hands no tags: the rows' tag cells are not read.
    void PutRowTags(qint32) override {}

private:
    // Fills the codec list from the component's catalogue for a PCM source of that rate,
    // channels and bits, then chooses "PCM" (none when it is not offered) and lists the
    // chosen codec's formats. An empty codec list leaves both lists empty.
    void ListCodecs(qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample, qint32 Flags);
};

inline frmACMConverter* g_frmACMConverter()
{
    return Forms::Get<frmACMConverter>();
}
