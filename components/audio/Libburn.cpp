#include "components/audio/Libburn.h"

#include <QStringList>

#include <mutex>

#include <libburn/libburn.h>

bool StartLibburn(QString& why)
{
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        started = burn::burn_initialize() == 1;
        if (started)
            burn::burn_msgs_set_severities(const_cast<char*>("ALL"), const_cast<char*>("NEVER"),
                                           const_cast<char*>("velmaro: "));
    });
    if (!started)
        why = QStringLiteral("The disc-burning library could not be started.");
    return started;
}

QList<LibburnMessage> TakeLibburnMessageList(const char* minimumSeverity)
{
    QList<LibburnMessage> messages;
    char text[4096];
    char severity[80];
    int code = 0;
    int osErrno = 0;
    int wanted = 0;
    burn::burn_text_to_sev(const_cast<char*>(minimumSeverity), &wanted, 0);
    // Every message is taken off the queue; those below the wanted severity are dropped.
    while (burn::burn_msgs_obtain(const_cast<char*>("ALL"), &code, text, &osErrno, severity) == 1) {
        int got = 0;
        burn::burn_text_to_sev(severity, &got, 0);
        if (got >= wanted)
            messages.append({code, osErrno, QString::fromLocal8Bit(text).trimmed()});
    }
    return messages;
}

QString LibburnMessageText(const QList<LibburnMessage>& messages)
{
    QStringList lines;
    for (const LibburnMessage& m : messages)
        lines << m.text;
    return lines.join(QLatin1Char('\n'));
}

QString TakeLibburnMessages(const char* minimumSeverity)
{
    return LibburnMessageText(TakeLibburnMessageList(minimumSeverity));
}
