// The audio joiner window: its Settings page with the joined file's name template, the
// join job (Join, the list handed to the component, the overwrite question) and the
// component's events.
#include "tools/converters/frmJoiner.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/OutputTarget.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioJoin/cAudioJoin.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/FileIdentity.h"
#include "platform/MessageService.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlFileNameFormats.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kJoinedFileName = QStringLiteral("Joined_File-[date]-[time].[dest_extension]");

ToolWindow::Design joinerDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio Joiner");
    d.icon = QStringLiteral("colors");
    d.settingsTab = QStringLiteral("Joiner Options        ");
    d.settingsTabImage = 64;
    d.startCaption = QStringLiteral("Join");
    d.overwriteCheck = false;  // an existing output is always asked about
    return d;
}

} // namespace

frmJoiner::frmJoiner() : ToolWindow(joinerDesign())
{
    const int top = BuildOutputBlock(120);
    MakeLabel(TabSettings, QStringLiteral("File Name Format:"), 240, top + 60, 1600);
    lblParameters = MakeLink(TabSettings, QStringLiteral("Parameters"), 1920, top + 60, 1000);
    lblParameters->setToolTip(QStringLiteral("Parameters"));
    txtJoinedFileName = MakeTextBox(TabSettings, 1920, top + 360, 4000);
    txtJoinedFileName->setText(kJoinedFileName);

    // The joiner's Events page: sound, folder, turn-off, then the external program.
    chkPlaySound->setText(QStringLiteral("Play sound"));
    chkNoticeApp->setText(QStringLiteral("Notice application "));
    const QPoint notice = chkNoticeApp->pos();
    chkNoticeApp->move(chkTurnOffComputer->pos());
    chkTurnOffComputer->move(notice);

    cAudioJoin1 = CreateAudioJoin(this);
    connect(cAudioJoin1, &cAudioJoin::Progress, this, &frmJoiner::cAudioJoin1_Progress);
    connect(cAudioJoin1, &cAudioJoin::Done, this, &frmJoiner::cAudioJoin1_Done);
    connect(cAudioJoin1, &cAudioJoin::Aborted, this, &frmJoiner::cAudioJoin1_Aborted);
    connect(cAudioJoin1, &cAudioJoin::Error, this, &frmJoiner::cAudioJoin1_Error);
    connect(cmdConvert, &QPushButton::clicked, this, &frmJoiner::cmdConvert_Click);
    connect(lblParameters, &LinkLabel::Click, this, &frmJoiner::lblParameters_Click);
}

frmJoiner::~frmJoiner() = default;

void frmJoiner::Form_Load()
{
    ToolWindow::Form_Load();
    m_lLastEntry = 0;
}

AudioJobComponent* frmJoiner::JobComponent()
{
    return cAudioJoin1;
}

void frmJoiner::AbortJob()
{
    cAudioJoin1->Abort();
    cAudioJoin1->Reset();
}

void frmJoiner::CloseComponents()
{
    cAudioJoin1->Close();
}

void frmJoiner::lblParameters_Click()
{
    ShowProgParameters(2, this);
}

void frmJoiner::cmdConvert_Click()
{
    if (IsBusy())
        return;
    if (!BeginJob(QStringLiteral("Preparing to join: %1 tracks.").arg(cGrid1->Rows())))
        return;
    m_lLastEntry = 0;
    JoinFiles();
}

qint32 frmJoiner::JoinFiles()
{
    const QString name = ExpandJoinedFileName(txtJoinedFileName->text(), JobFormatText());
    // Without a name the output would be the folder itself; a name of blanks only is no
    // name either.
    if (name.trimmed().isEmpty())
        return Refuse(kErrOutputUnwritable, QStringLiteral("The file name format gives the joined file an empty name."));
    qint32 first = 1;
    SetID3Tags(first);

    while (cAudioJoin1->GetFileCount() >= 1)
        cAudioJoin1->RemoveFile(1);
    const qint32 rows = cGrid1->Rows();
    for (qint32 row = 1; row <= rows; ++row) {
        const QString file = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
        // A file that is gone is said before any question about the output.
        if (!QFileInfo(file).isFile())
            return Refuse(kErrSourceMissing, QStringLiteral("The file \"%1\" does not exist.").arg(file));
        qint32 start = -1, length = -1;
        if (RowText(cGrid1, row, QStringLiteral("COL_RANGE_ALL")) != QLatin1String("1")) {
            // A range that cannot be read is never joined with another row's range or whole.
            const QString startText = RowText(cGrid1, row, QStringLiteral("COL_RANGE_START_TIME"));
            const QString lengthText = RowText(cGrid1, row, QStringLiteral("COL_RANGE_LENGTH_TIME"));
            if (!ReadWholeSeconds(startText, start) || !ReadWholeSeconds(lengthText, length))
                return Refuse(kErrBadRange, QStringLiteral("The range of \"%1\" (start \"%2\", length \"%3\") is not a "
                                                           "whole number of seconds.")
                                                .arg(GetFileName(file), startText, lengthText));
        }
        cAudioJoin1->AddFile(file, start, length);
    }

    const QString path = JobFolder() + name;
    for (qint32 row = 1; row <= rows; ++row)
        if (OutputTarget::sameFile(path, RowText(cGrid1, row, QStringLiteral("COL_FILE"))))
            return Refuse(kErrOutputSameAsSource,
                          QStringLiteral("The output file \"%1\" is one of the files to join; it is left untouched.")
                              .arg(path));
    const QString folder = OutputFolderInTheWay(path);
    if (!folder.isEmpty())
        return Refuse(kErrOutputUnwritable, folder);
    // An agreement to replace holds for the file that has the name now, when it is asked
    // about, and for no other that takes the name later.
    const FileIdentity there = ReadFileIdentity(path);
    if (there.exists) {
        const int answer = AskOverwrite(path);
        if (answer == vbNo)
            return kJoinSkipped;
        if (answer != vbYes)
            return kJoinCancelled;
    }

    cAudioJoin1->SetOutputFile(path);
    cAudioJoin1->SetOverwriteAgreed(there);
    prgTotal->SetMax(rows * 100);
    SetBusy(true);
    lblCurrentTrack->setText(QStringLiteral("Processing..."));
    cAudioJoin1->StartJoin();
    return kJoinStarted;
}

qint32 frmJoiner::Refuse(qint32 Code, const QString& Description)
{
    LogJoinFailed(Code, Description);
    EndJob(cGrid1->Rows(), false, false);
    return kJoinRefused;
}

void frmJoiner::LogJoinFailed(qint32 Code, const QString& Description)
{
    // One output holds every row: when it fails, they all do.
    CountFailed(cGrid1->Rows());
    AddLog(QStringLiteral("Error: ") + Description + u'(' + QString::number(Code) + u')', txtLog);
}

void frmJoiner::cAudioJoin1_Progress(qint32 FileIndex, qint32 Percent)
{
    if (Percent < 1)
        return;
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue((FileIndex - 1) * 100 + Percent);
    lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(FileIndex).arg(cGrid1->Rows()));
    setWindowTitle(DisplayName());
    if (FileIndex != m_lLastEntry) {
        m_lLastEntry = FileIndex;
        qint32 unused = 0;
        AddLog(QStringLiteral("Add ") + GetFileName(cAudioJoin1->GetFile(FileIndex, unused, unused)) +
                   QStringLiteral("..."),
               txtLog);
    }
}

void frmJoiner::cAudioJoin1_Done()
{
    SetBusy(false);
    AddLog(QStringLiteral("Done."), txtLog);
    prgCurrnet->SetValue(100);
    prgTotal->SetValue(cGrid1->Rows() * 100);
    EndJob(cGrid1->Rows());
}

void frmJoiner::cAudioJoin1_Aborted()
{
    SetBusy(false);
    AddLog(QStringLiteral("Aborted."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
}

void frmJoiner::cAudioJoin1_Error(qint32 Code, const QString& Description)
{
    LogJoinFailed(Code, Description);
    SetBusy(false);
    EndJob(cGrid1->Rows(), false, false);
}
