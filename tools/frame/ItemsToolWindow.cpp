// The items job: Convert prepares the job, the loop starts one row at a time, and the
// component's Done and Error events start the next row from inside their handlers.
#include "tools/frame/ItemsToolWindow.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/AudioJobComponent.h"
#include "components/audio/OutputTarget.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlFileNameFormats.h"

#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>
#include <utility>

ItemsToolWindow::ItemsToolWindow(const Design& design) : ToolWindow(design)
{
    // The item counter keeps the left part of its line; the estimate stands at the right.
    lblFilesToConvert->resize(lblFilesToConvert->width() / 2, lblFilesToConvert->height());
    lblTimeLeft = new QLabel(QStringLiteral("Time Left: 00:00:00"), this);
    lblTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTimeLeft->setGeometry(lblFilesToConvert->geometry().right() + 1, lblFilesToConvert->y(),
                             lblFilesToConvert->width(), lblFilesToConvert->height());

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &ItemsToolWindow::Timer1_Timer);
    connect(cmdConvert, &QPushButton::clicked, this, &ItemsToolWindow::cmdConvert_Click);
}

ItemsToolWindow::~ItemsToolWindow() = default;

void ItemsToolWindow::AttachComponent(AudioJobComponent* component)
{
    connect(component, &AudioJobComponent::Progress, this, &ItemsToolWindow::Component_Progress);
    connect(component, &AudioJobComponent::Done, this, &ItemsToolWindow::Component_Done);
    connect(component, &AudioJobComponent::Error, this, &ItemsToolWindow::Component_Error);
    connect(component, &AudioJobComponent::Aborted, this, &ItemsToolWindow::Component_Aborted);
}

void ItemsToolWindow::Form_Load()
{
    ToolWindow::Form_Load();
    if (cboFileName) {
        LoadFileNameFormats(cboFileName);
        SelectDefaultFileNameFormat(cboFileName);
        cboFileName_Click();
    }
    g_ltmrItemSecsTotal = 0;
    g_ltmrCurItemSecs = 0;
    g_ltmrSces = 0;
    m_lItemSecs = 0;
    g_ltmrItemSecs = 0;
}

void ItemsToolWindow::cmdConvert_Click()
{
    if (IsBusy())
        return;
    // Without a template every output would be named after nothing: the folder itself.
    if (cboFileName && cboFileName->currentText().isEmpty()) {
        MsgBox(QStringLiteral("Choose a file name format first: the output files are named by it."),
               vbOKOnly + vbInformation);
        return;
    }
    if (!BeginJob(PreparingText(cGrid1->Rows())))
        return;
    // Like the folder and the format, the names follow the boxes as they are now.
    m_sJobTemplate = cboFileName ? cboFileName->currentText() : QString();
    m_bJobCopiesAsIs = CopiesAsIs();
    m_heldEnd = HeldEnd::None;
    m_lCurrentRow = 1;
    g_ltmrSces = 1;
    g_ltmrItemSecs = 0;
    m_jobSources.clear();
    m_jobOutputs.clear();
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        m_jobSources.add(RowSourceFile(row), row);
    StartingJob();
    RunJob();
}

QString ItemsToolWindow::PreparingText(qint32 rows) const
{
    return QStringLiteral("Preparing to %1: %2 tracks.").arg(JobVerb()).arg(rows);
}

void ItemsToolWindow::ConvertTracks()
{
    const qint32 rows = cGrid1->Rows();
    prgTotal->SetMax(rows * 100);
    SetBusy(true);
    // The estimate ticks from the job's start on: restarted at every row, a job of rows
    // shorter than its interval would never tick.
    if (!Timer1.isActive())
        Timer1.start();
    qint32 result = kTaskStarted;
    bool ran = false;
    for (qint32 row = m_lCurrentRow; row <= rows; ++row) {
        m_lCurrentRow = row;
        if (!TakesRow(row))
            continue;
        if (m_bJobInCaption)
            setCursor(Qt::WaitCursor);
        ran = true;
        result = ConvertTask(row);
        if (result == kTaskStarted)
            return;  // the component's Done or Error event goes on with the job
        if (result == kTaskCancelled) {
            AddLog(QStringLiteral("Aborted."), txtLog);
            break;
        }
        if (result == kTaskEndHere)
            break;
    }
    // The job has ended: the window can be closed again before anything else is shown.
    SetBusy(false);
    if (!m_bJobInCaption) {
        setWindowTitle(DisplayName());
        lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:00"));
    }
    // No row left to start (the last one was worked on, could not be, or needed nothing),
    // or the user ending the work there, is a completed job; a last row skipped or
    // cancelled by the user stops it.
    if (!ran || (result != kTaskSkipped && result != kTaskCancelled))
        JobCompleted();
    else
        EndStopped();
}

void ItemsToolWindow::JobCompleted()
{
    prgTotal->SetValue(cGrid1->Rows() * 100);
    prgCurrnet->SetValue(100);
    // The estimate keeps its last text.
    Timer1.stop();
    unsetCursor();
    // The job's items are the rows it works on: "1 of 2 failed" counts the marked ones.
    qint32 items = 0;
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        items += TakesRow(row) ? 1 : 0;
    EndJob(items, m_bJobInCaption);
}

void ItemsToolWindow::EndStopped()
{
    unsetCursor();
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    setWindowTitle(lblCurrentTrack->text());
    ShowBalloon(QStringLiteral("Aborted."));
}

qint32 ItemsToolWindow::ConvertTask(qint32 Row)
{
    const QString name = CreateFileNameFromFormat(Row);
    cGrid1->SetCurrentRow(Row);
    ReadItemSecs(Row);
    g_ltmrCurItemSecs = 0;
    PutRowTags(Row);
    lblCurrentTrack->setText(GetFileName(RowText(cGrid1, Row, QStringLiteral("COL_FILE"))));
    lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(Row).arg(cGrid1->Rows()));
    const QString startLine = QStringLiteral("Start to %1: %2...").arg(JobVerb(), lblCurrentTrack->text());
    AddLog(startLine, txtLog);
    if (m_bStartLineInStatus)
        lblCurrentTrack->setText(startLine);
    PutRowSource(Row);

    const QString path = JobFolder() + name;
    RowOutputNamed(Row, path);
    if (name.isEmpty())
        return RefuseRow(kErrOutputUnwritable, QStringLiteral("The file name format gives this item an empty name."));
    // A range that is not whole seconds is never worked on with another row's range.
    const bool ranged = RowText(cGrid1, Row, QStringLiteral("COL_RANGE_ALL")) != QLatin1String("1");
    qint32 start = 0, length = 0;
    if (ranged) {
        const QString startText = RowText(cGrid1, Row, QStringLiteral("COL_RANGE_START_TIME"));
        const QString lengthText = RowText(cGrid1, Row, QStringLiteral("COL_RANGE_LENGTH_TIME"));
        if (!ReadWholeSeconds(startText, start) || !ReadWholeSeconds(lengthText, length))
            return RefuseRow(kErrBadRange, QStringLiteral("The range of this item (start \"%1\", length \"%2\") is not "
                                                          "a whole number of seconds.")
                                               .arg(startText, lengthText));
    }
    const QString source = RowSourceFile(Row);
    // A source that is gone is said before any question about its output.
    if (!source.isEmpty() && !QFileInfo(source).isFile())
        return RefuseRow(kErrSourceMissing, QStringLiteral("The file \"%1\" does not exist.").arg(source));
    if (!source.isEmpty() && OutputTarget::sameFile(path, source))
        return RefuseRow(kErrOutputSameAsSource,
                         QStringLiteral("The output file \"%1\" is the source file itself; it is left untouched.").arg(path));
    const QString folder = OutputFolderInTheWay(path);
    if (!folder.isEmpty())
        return RefuseRow(kErrOutputUnwritable, folder);
    qint32 collision = 0;
    const QString why = SourceInTheWay(Row, path, collision);
    if (!why.isEmpty())
        return RefuseRow(collision, why);
    // An agreement to replace holds for the file that has the name now, when it is asked
    // about, and for no other that takes the name later.
    const FileIdentity there = ReadFileIdentity(path);
    // What an earlier row of this job wrote is not a file that was there before the job:
    // the window decides about it, not the overwrite rule.
    bool replaceAgreed = false;
    if (const qint32 writer = m_jobOutputs.find(path); writer > 0) {
        const qint32 decided = OutputOfEarlierRow(Row, writer, path);
        if (decided != kTaskStarted)
            return decided;
        replaceAgreed = true;
    }

    if (!replaceAgreed && (!chkOverWrite || chkOverWrite->Value() != 1)) {
        if (there.exists) {
            const int answer = AskOverwrite(path);
            if (answer == vbNo)
                return kTaskSkipped;
            if (answer != vbYes)
                return kTaskCancelled;
        }
    }
    AudioJobComponent* c = JobComponent();
    if (ranged) {
        c->SetRangeStart(start);
        c->SetRangeLength(length);
    }
    c->SetOutputFile(path);
    m_sCurrentOutput = path;
    c->SetOverwriteAgreed(there);
    StartComponent();
    return kTaskStarted;
}

QString ItemsToolWindow::SourceInTheWay(qint32 Row, const QString& path, qint32& Code) const
{
    // The overwrite rule is about files that were there before the job: a source of the
    // job is never replaced by a row of the same job.
    const qint32 owner = m_jobSources.find(path);
    if (owner > 0 && owner != Row) {
        Code = kErrOutputSameAsSource;
        return QStringLiteral("The output file \"%1\" is the source file of %2; it is left untouched.")
            .arg(path, RowLabel(owner));
    }
    return QString();
}

qint32 ItemsToolWindow::OutputOfEarlierRow(qint32 Row, qint32 Writer, const QString& path)
{
    Q_UNUSED(Row)
    return RefuseRow(kErrOutputUnwritable, QStringLiteral("The output file \"%1\" was written by %2 of this job; it is "
                                                          "not replaced.")
                                               .arg(path, RowLabel(Writer)));
}

QString ItemsToolWindow::RowLabel(qint32 Row) const
{
    return QStringLiteral("row %1 (%2)").arg(Row).arg(RowText(cGrid1, Row, QStringLiteral("Item Name")));
}

void ItemsToolWindow::ReadItemSecs(qint32 Row)
{
    if (RowText(cGrid1, Row, QStringLiteral("COL_RANGE_ALL")) == QLatin1String("1")) {
        // A length that cannot be read counts nothing (the estimate waits for the next row).
        m_lItemSecs = qMax(0, TimeToSeconds(RowText(cGrid1, Row, QStringLiteral("Time"))));
        return;
    }
    qint32 length = 0;
    m_lItemSecs = ReadWholeSeconds(RowText(cGrid1, Row, QStringLiteral("COL_RANGE_LENGTH_TIME")), length) ? qMax(0, length) : 0;
}

QString ItemsToolWindow::RowSourceFile(qint32 Row)
{
    return RowText(cGrid1, Row, QStringLiteral("COL_FILE"));
}

void ItemsToolWindow::PutRowTags(qint32 Row)
{
    SetID3Tags(Row);
}

void ItemsToolWindow::ShowRowError(qint32 Code, const QString& Description)
{
    CountFailed();
    RowFailed(m_lCurrentRow);
    const QString text = QStringLiteral("Error: ") + Description + u'(' + QString::number(Code) + u')';
    AddLog(text, txtLog);
    if (!m_bJobInCaption)
        return;
    lblCurrentTrack->setText(text);
    setWindowTitle(lblCurrentTrack->text());
}

qint32 ItemsToolWindow::RefuseRow(qint32 Code, const QString& Description)
{
    ShowRowError(Code, Description);
    return kTaskFailed;
}

void ItemsToolWindow::Component_Progress(qint32 Percent)
{
    if (Percent < 1)
        return;
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue((m_lCurrentRow - 1) * 100 + Percent);
    if (m_bJobInCaption) {
        unsetCursor();
        const double total = prgTotal->Max() > 0 ? double(prgTotal->Value()) / prgTotal->Max() * 100 : 0;
        setWindowTitle(QStringLiteral("Converting... [ %1% / %2% ]")
                           .arg(prgCurrnet->Value())
                           .arg(QLocale().toString(total, 'g', 15)));
    } else {
        setWindowTitle(DisplayName());
    }
    g_ltmrCurItemSecs = qint32(std::nearbyint(Percent / 100.0 * m_lItemSecs));
}

void ItemsToolWindow::RowDone()
{
    m_jobOutputs.add(m_sCurrentOutput, m_lCurrentRow);
    if (m_bRowDoneShown) {
        AddLog(QStringLiteral("Done."), txtLog);
        lblCurrentTrack->setText(QStringLiteral("Done."));
    }
    g_ltmrItemSecs += m_lItemSecs;
}

void ItemsToolWindow::Component_Done()
{
    if (AbortAsked()) {
        m_heldEnd = HeldEnd::Done;
        return;
    }
    RowDone();
    ++m_lCurrentRow;
    ConvertTracks();
}

void ItemsToolWindow::Component_Error(qint32 Code, const QString& Description)
{
    if (AbortAsked()) {
        m_heldEnd = HeldEnd::Error;
        m_lHeldCode = Code;
        m_sHeldDescription = Description;
        return;
    }
    ShowRowError(Code, Description);
    SetBusy(false);
    ++m_lCurrentRow;
    ConvertTracks();
    unsetCursor();
}

void ItemsToolWindow::Component_Aborted()
{
    SetBusy(false);
    AddLog(QStringLiteral("Aborted."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    if (m_bJobInCaption) {
        unsetCursor();
        setWindowTitle(lblCurrentTrack->text());
    }
}

void ItemsToolWindow::AbortJob()
{
    Timer1.stop();
    const HeldEnd held = std::exchange(m_heldEnd, HeldEnd::None);
    if (held == HeldEnd::None) {
        // The component stops the running row and reports Aborted.
        ToolWindow::AbortJob();
        return;
    }
    // The row ended while the question was open: nothing runs that could be stopped, and
    // the job stops after it.
    if (held == HeldEnd::Done)
        RowDone();
    else
        ShowRowError(m_lHeldCode, m_sHeldDescription);
    Component_Aborted();
}

bool ItemsToolWindow::EndedWhileAbortAsked()
{
    if (m_heldEnd == HeldEnd::None || WorkAfterTheRows())
        return false;
    for (qint32 row = m_lCurrentRow + 1; row <= cGrid1->Rows(); ++row)
        if (TakesRow(row))
            return false;
    return true;
}

void ItemsToolWindow::AbortDeclined()
{
    // The job goes on with what came while the question was open.
    switch (std::exchange(m_heldEnd, HeldEnd::None)) {
    case HeldEnd::Done:
        Component_Done();
        break;
    case HeldEnd::Error:
        Component_Error(m_lHeldCode, m_sHeldDescription);
        break;
    case HeldEnd::None:
        break;
    }
}

void ItemsToolWindow::Timer1_Timer()
{
    ++g_ltmrSces;
    // The pace so far (running seconds per audio second done) times the audio still to do.
    qint64 left = 0;
    if (g_ltmrCurItemSecs > 0) {
        const qint64 done = qint64(g_ltmrCurItemSecs) + g_ltmrItemSecs;
        const qint64 rest = qint64(g_ltmrItemSecsTotal) - g_ltmrCurItemSecs - g_ltmrItemSecs;
        const double estimate = std::nearbyint(double(g_ltmrSces) / double(done) * double(rest));
        if (estimate > 0)
            left = estimate < 1e15 ? qint64(estimate) : qint64(1e15);
    }
    if (left <= 0)
        return;
    lblTimeLeft->setText(QStringLiteral("Time Left: ") + FormatHHMMSS(left));
    if (!IsBusy()) {
        Timer1.stop();
        lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:00"));
    }
}

QString ItemsToolWindow::CreateID3TagsString(const QString& Text)
{
    QString out = ToolWindow::CreateID3TagsString(Text);
    const qint32 row = m_lCurrentRow;
    out.replace(QStringLiteral("[SOURCE_NAME]"), GetFileName(RowText(cGrid1, row, QStringLiteral("COL_FILE"))));
    out.replace(QStringLiteral("[ITEM_NAME]"), RowText(cGrid1, row, QStringLiteral("Item Name")));
    out.replace(QStringLiteral("[RANGE]"), RowText(cGrid1, row, QStringLiteral("Range")));
    // The year last, so an item's name or range text may hold it too.
    out.replace(QStringLiteral("[YEAR]"), QString::number(QDate::currentDate().year()));
    return out;
}
