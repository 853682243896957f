#include "platform/MessageService.h"

#include "platform/App.h"
#include "platform/Services.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

int QtMessageService::show(const QString& prompt, int buttons, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (buttons & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { QMessageBox::StandardButton qt; int vb; };
    QList<B> set;
    switch (buttons & 0x7) {
    case vbOKCancel: set = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
        set = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbYesNo: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: set = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: set = {{QMessageBox::Ok, vbOK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const B& b : set)
        all |= b.qt;
    box.setStandardButtons(all);
    box.setDefaultButton(set.front().qt);
    // The close box answers like the last button (Cancel, No or OK), as the system does.
    box.setEscapeButton(set.back().qt);
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const B& b : set)
        if (b.qt == chosen)
            return b.vb;
    return set.back().vb;
}

namespace {

std::function<void()> s_beforeMsgBox;

} // namespace

void SetBeforeMsgBox(std::function<void()> action)
{
    s_beforeMsgBox = std::move(action);
}

int MsgBox(const QString& prompt, int buttons, const QString& title)
{
    if (s_beforeMsgBox)
        s_beforeMsgBox();
    return Services::message().show(prompt, buttons, title.isEmpty() ? AppTitle() : title);
}
