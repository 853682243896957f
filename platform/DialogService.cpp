#include "platform/DialogService.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>

namespace {

void centre(QWidget* dialog, QWidget* owner)
{
    dialog->adjustSize();
    QRect area;
    if (owner && owner->isVisible())
        area = owner->window()->frameGeometry();
    else if (auto* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
}

} // namespace

QStringList QtDialogService::getOpenFileNames(const FileRequest& r)
{
    QFileDialog dlg(r.owner, r.title, r.initialPath, r.filter);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(r.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::DontResolveSymlinks, true);
    centre(&dlg, r.centreOnOwner ? r.owner : nullptr);
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.selectedFiles();
}

QString QtDialogService::getSaveFileName(const FileRequest& r)
{
    QFileDialog dlg(r.owner, r.title, r.initialPath, r.filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(r.defaultSuffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    centre(&dlg, r.centreOnOwner ? r.owner : nullptr);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

QString QtDialogService::getExistingDirectory(QWidget* owner, const QString& prompt, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner, prompt, initialFolder, QFileDialog::ShowDirsOnly);
}

std::optional<QColor> QtDialogService::getColor(QWidget* owner, const QColor& initial, QList<QColor>& custom,
                                                bool centreOnOwner)
{
    for (int i = 0; i < custom.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, custom[i]);
    QColorDialog dlg(initial, owner);
    centre(&dlg, centreOnOwner ? owner : nullptr);
    const bool ok = dlg.exec() == QDialog::Accepted;
    for (int i = 0; i < custom.size() && i < QColorDialog::customCount(); ++i)
        custom[i] = QColorDialog::customColor(i);
    if (!ok)
        return std::nullopt;
    return dlg.selectedColor();
}
