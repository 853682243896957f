// The split job: a chain of event handlers, one conversion per part, the next part
// started from the end of the one before.
#include "tools/splitter/frmSplitter.h"

#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

ToolWindow::Design splitterDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio Splitter");
    d.icon = QStringLiteral("cut");
    d.settingsTab = QStringLiteral("Settings        ");
    d.startCaption = QStringLiteral("Split");
    return d;
}

// Drops the characters a file name cannot hold from a box's keys, with the balloon that
// says why.
class NameKeyFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1)
            return false;
        int key = text.at(0).unicode();
        ValidateNameKey(static_cast<QLineEdit*>(watched), key);
        return key == 0;
    }
};

// A text box over the blanks of an option button's caption, after its first words.
TextBox* boxInCaptionGap(QRadioButton* button, const QString& words, int blanks)
{
    const QFontMetrics metrics(button->font());
    const int indicator = button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button)
        + button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
    const int left = button->x() + indicator + metrics.horizontalAdvance(words + u' ');
    const int width = metrics.horizontalAdvance(QString(blanks - 2, u' '));
    auto* box = new TextBox(button->parentWidget());
    box->setGeometry(left, button->y(), qMax(width, metrics.horizontalAdvance(QStringLiteral("0000"))), button->height());
    box->raise();
    return box;
}

} // namespace

frmSplitter::frmSplitter() : ToolWindow(splitterDesign())
{
    MakeLabel(TabSettings, QStringLiteral("Splitter Mode:"), 240, 180, 1600);
    ptnSplitByParts = new QRadioButton(QStringLiteral("Split to") + QString(25, u' ') + QStringLiteral("parts"), TabSettings);
    PlaceTwips(ptnSplitByParts, 1920, 120, 4000, 315);
    ptnSplitByParts->setChecked(true);
    ptnSplitBySecs =
        new QRadioButton(QStringLiteral("Split each") + QString(20, u' ') + QStringLiteral("seconds"), TabSettings);
    PlaceTwips(ptnSplitBySecs, 1920, 480, 4000, 315);
    txtSplitParts = boxInCaptionGap(ptnSplitByParts, QStringLiteral("Split to"), 25);
    txtSplitParts->setText(QStringLiteral("6"));
    txtSplitSecs = boxInCaptionGap(ptnSplitBySecs, QStringLiteral("Split each"), 20);
    txtSplitSecs->setText(QStringLiteral("10"));
    auto* filter = new NameKeyFilter(this);
    txtSplitParts->installEventFilter(filter);
    txtSplitSecs->installEventFilter(filter);

    BuildOutputBlock(960);

    cAudioConverter1 = CreateAudioConverter(this);
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &frmSplitter::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &frmSplitter::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &frmSplitter::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &frmSplitter::cAudioConverter1_Error);
    connect(cmdConvert, &QPushButton::clicked, this, &frmSplitter::cmdConvert_Click);
    connect(ptnSplitByParts, &QRadioButton::clicked, this, &frmSplitter::ptnSplitByParts_Click);
    connect(ptnSplitBySecs, &QRadioButton::clicked, this, &frmSplitter::ptnSplitBySecs_Click);
}

frmSplitter::~frmSplitter() = default;

void frmSplitter::Form_Load()
{
    ToolWindow::Form_Load();
    CheckSplitModeEna();
}

AudioJobComponent* frmSplitter::JobComponent()
{
    return cAudioConverter1;
}

void frmSplitter::CloseComponents()
{
    cAudioConverter1->CloseConverter();
}

QList<QWidget*> frmSplitter::PaintedControls() const
{
    return {ptnSplitByParts, ptnSplitBySecs};
}

void frmSplitter::ptnSplitByParts_Click()
{
    CheckSplitModeEna();
}

void frmSplitter::ptnSplitBySecs_Click()
{
    CheckSplitModeEna();
}

void frmSplitter::CheckSplitModeEna()
{
    const bool byParts = ptnSplitByParts->isChecked();
    txtSplitParts->setEnabled(byParts);
    txtSplitSecs->setEnabled(!byParts);
}

void frmSplitter::cmdConvert_Click()
{
    if (IsBusy())
        return;
    if (!BeginJob(QStringLiteral("Preparing to split: ") + GetFileName(g_sFileToSplit) + QStringLiteral("..")))
        return;

    // A source the engine cannot read is refused with its reason (its length of 0 would
    // only say that it is too short).
    if (cAudioConverter1->ReadFileInfo(g_sFileToSplit) != 0 && !cAudioConverter1->FileInfoError().isEmpty()) {
        MsgBox(cAudioConverter1->FileInfoError(), vbInformation + vbOKOnly);
        return;
    }
    m_sourceWatch = SourceWatch({g_sFileToSplit});
    g_lTotalFileLength = cAudioConverter1->Duration();
    const SplitPlan plan = ptnSplitByParts->isChecked() ? PlanSplitByParts(g_lTotalFileLength, txtSplitParts->text())
                                                        : PlanSplitBySeconds(g_lTotalFileLength, txtSplitSecs->text());
    if (!plan.ok) {
        MsgBox(QStringLiteral("Source file length is to small.") + QString(7, u' '), vbInformation + vbOKOnly);
        return;
    }
    m_plan = plan;
    g_lPart = 1;
    g_lStartFrom = 0;
    g_lLength = plan.partLength;
    prgTotal->SetMax(plan.progressMax);
    prgTotal->SetValue(0);
    prgCurrnet->SetValue(0);
    ConvertTracks();
}

void frmSplitter::ConvertTracks()
{
    SetBusy(true);
    qint32 result = 0;
    if (g_lPart <= m_plan.partCount) {
        result = ConvertTask();
        if (result == 0)
            return;  // the part runs; its end starts the next one
        if (result == 2)
            AddLog(QStringLiteral("Aborted."), txtLog);
        if (result == 3) {
            EndOnChangedSource();
            return;
        }
    }
    // The job has ended: the window can be closed again before anything else is shown.
    SetBusy(false);
    if (result == 0) {
        EndJob(m_plan.partCount);
    } else {
        lblCurrentTrack->setText(QStringLiteral("Aborted."));
        ShowBalloon(QStringLiteral("Aborted."));
    }
}

qint32 frmSplitter::ConvertTask()
{
    const QString name = GetFileName(g_sFileToSplit);
    AddLog(QStringLiteral("Start to split: ") + name + QStringLiteral("..."), txtLog);
    qint32 row = 1;
    SetID3Tags(row);
    lblCurrentTrack->setText(name);

    // Every part comes from the file the job began on, or none does.
    if (!SourceUnchanged())
        return 3;
    cAudioConverter1->SetSourceFile(g_sFileToSplit);
    cAudioConverter1->SetRangeStart(g_lStartFrom);
    cAudioConverter1->SetRangeLength(m_plan.PartLength(g_lPart));

    const QString path = JobFolder() + GetPartFileName(g_sFileToSplit);
    // An agreement to replace holds for the file that has the name now, when it is asked
    // about (or the box is ticked), and for no other that takes the name later.
    const FileIdentity there = ReadFileIdentity(path);
    if (chkOverWrite->Value() != 1 && there.exists) {
        AddLog(QStringLiteral("File already exists."), txtLog);
        const int answer = MsgBox(QStringLiteral("The file: '") + path + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"),
                                  vbYesNoCancel + vbInformation);
        if (answer == vbNo)
            return 1;
        if (answer != vbYes)
            return 2;
        AddLog(QStringLiteral("Overwrite it..."), txtLog);
        // The question may have stood open for long.
        if (!SourceUnchanged())
            return 3;
    }
    cAudioConverter1->SetOutputFile(path);
    cAudioConverter1->SetOverwriteAgreed(there);
    cAudioConverter1->StartConvert();
    return 0;
}

QString frmSplitter::GetPartFileName(const QString& source) const
{
    return PartFileName(g_lPart, source, JobFormatText());
}

void frmSplitter::NextPart()
{
    ++g_lPart;
    g_lStartFrom += g_lLength;
    ConvertTracks();
}

void frmSplitter::cAudioConverter1_Progress(qint32 Percent)
{
    if (Percent < 1)
        return;
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue((g_lPart - 1) * 100 + Percent);
    setWindowTitle(DisplayName());
}

bool frmSplitter::SourceUnchanged() const
{
    return m_sourceWatch.unchanged();
}

void frmSplitter::EndOnChangedSource()
{
    SetBusy(false);
    CountFailed(m_plan.partCount - g_lPart + 1);
    const JobOutcome changed = SourceChangedError();
    AddLog(QStringLiteral("Error: ") + changed.description + u'(' + QString::number(changed.code) + u')', txtLog);
    EndJob(m_plan.partCount);
}

void frmSplitter::cAudioConverter1_Done()
{
    AddLog(QStringLiteral("Done."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Done."));
    NextPart();
}

void frmSplitter::cAudioConverter1_Error(qint32 Code, const QString& Description)
{
    // The source changed while the part was read: the part and the ones after it fail.
    if (Code == kErrSourceChanged) {
        EndOnChangedSource();
        return;
    }
    CountFailed();
    AddLog(QStringLiteral("Error: ") + Description + u'(' + QString::number(Code) + u')', txtLog);
    NextPart();
}

void frmSplitter::cAudioConverter1_Aborted()
{
    SetBusy(false);
    AddLog(QStringLiteral("Aborted."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
}
