#include "settings/frmProgParameters.h"

#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

struct Row {
    const char* placeholder;
    const char* description;
};

const Row kAppRows[] = {
    {"[PROG_NAME]", "The program name."},
    {"[PROG_VERSION]", "The version."},
    {"[FILE_RECORDED]", "The created file path and name."},
    {"[FILE_SIZE]", "The created file size."},
    {"[FILE_TIME_LENGTH]", "The created file time length."},
    {"[FILE_CREATED]", "The date and time of the file."},
};

const Row kTagRows[] = {
    {"[PROG_NAME]", "The program name."},
    {"[PROG_VERSION]", "The version."},
    {"[DATE]", "The creation date of the file."},
    {"[TIME]", "The creation time of the file."},
    {"[TRACK_NUM]", "The item number."},
    {"[YEAR]", "The creation year of the file."},
    {"[SOURCE_NAME]", "The source file name."},
    {"[ITEM_NAME]", "The item name from the Items List."},
    {"[RANGE]", "The processed range."},
};

const Row kNameRows[] = {
    {"[file_name]", "The file name."},
    {"[date]", "The current date."},
    {"[time]", "The current time."},
    {"[123]", "The track number."},
    {"[source_extension]", "The extension of the source file."},
    {"[dest_extension]", "The extension of the destination file."},
    {"[item_name]", "The item name from the Items List."},
};


} // namespace

frmProgParameters::frmProgParameters()
{
    setWindowTitle(QStringLiteral("Parameters"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(6720), TwipsToPixels(6195));
    QFont tahoma(QStringLiteral("Tahoma"));
    setFont(tahoma);

    picTitle = new QWidget(this);
    PlaceTwips(picTitle, 0, 0, 6735, 495);
    picTitle->setAutoFillBackground(true);
    lblTitle = new QLabel(QStringLiteral("Parameters"), picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    PlaceTwips(lblTitle, 240, 120, 6000, 285);
    SetForeColor(lblTitle, 0xFFFFFF);

    Label7 = new QLabel(QStringLiteral("Sections:"), this);
    PlaceTwips(Label7, 240, 720, 3000, 240);
    cboSections = new QComboBox(this);
    PlaceTwips(cboSections, 240, 960, 6135, 315);
    cboSections->addItems({QStringLiteral("Execute external application"), QStringLiteral("ID3 Audio Tags"),
                           QStringLiteral("File Name Format")});
    cboSections->setCurrentIndex(-1);
    connect(cboSections, &QComboBox::currentIndexChanged, this, &frmProgParameters::cboSections_Click);

    auto makeFrame = [this](const Row* rows, int count) {
        auto* frame = new QFrame(this);
        frame->resize(TwipsToPixels(6135), TwipsToPixels(3855));
        for (int i = 0; i < count; ++i) {
            const int top = 480 + 360 * i;
            auto* box = new QLineEdit(QString::fromLatin1(rows[i].placeholder), frame);
            box->setReadOnly(true);
            PlaceTwips(box, 240, top, 1935, 285);
            txtParameter.append(box);
            auto* dash = new QLabel(QStringLiteral("-"), frame);
            PlaceTwips(dash, 2400, top, 360, 285);
            auto* text = new QLabel(QString::fromLatin1(rows[i].description), frame);
            PlaceTwips(text, 2880, top, 3135, 285);
        }
        return frame;
    };
    fraAppNotic = makeFrame(kAppRows, int(std::size(kAppRows)));
    fraID3Tags = makeFrame(kTagRows, int(std::size(kTagRows)));
    fraExt = makeFrame(kNameRows, int(std::size(kNameRows)));

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setFont(bold);
    cmdOk->setDefault(true);
    PlaceTwips(cmdOk, 240, 5520, 1575, 375);
    connect(cmdOk, &QPushButton::clicked, this, &frmProgParameters::cmdOk_Click);
}

void frmProgParameters::Form_Load()
{
    SetFormIcon(this, QStringLiteral("AAA"), false);
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(fraExt),
                           static_cast<QWidget*>(fraID3Tags), static_cast<QWidget*>(fraAppNotic)})
            SetBackColor(w, back);
    LoadViewPicture(this, g_sViewBackPicture);
    LoadViewPicture(picTitle, g_sViewTitlePicture);

    const int top = cboSections->geometry().bottom() + 1 + TwipsToPixels(50);
    for (QFrame* f : {fraAppNotic, fraID3Tags, fraExt})
        f->move(cboSections->x(), top);
}

void frmProgParameters::cboSections_Click()
{
    fraAppNotic->hide();
    fraID3Tags->hide();
    fraExt->hide();
    switch (cboSections->currentIndex()) {
    case 0: fraAppNotic->show(); break;
    case 1: fraID3Tags->show(); break;
    case 2: fraExt->show(); break;
    default: break;
    }
}

void frmProgParameters::cmdOk_Click()
{
    Forms::Unload(this);
}

void ShowProgParameters(int section, QWidget* owner)
{
    frmProgParameters* f = g_frmProgParameters();
    f->cboSections->setCurrentIndex(section);
    f->cboSections_Click();
    f->Show(vbModal, owner);
}
