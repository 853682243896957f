// One audio file probed on a thread of its own.
#include "lists/mdlFileProbe.h"

#include "components/cAudioConverter/cAudioConverter.h"

#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <memory>
#include <mutex>

namespace {

// What the probing thread and the waiting caller share; the lock orders the end of the
// probe against the caller giving up on it.
struct ProbeState {
    std::mutex lock;
    bool ended = false;
    bool givenUp = false;
    FileProbe result;
};

} // namespace

bool ProbeAudioFile(cAudioConverter* converter, const QString& path, bool withTags, const std::function<bool()>& stop,
                    FileProbe& result)
{
    if (!converter || (stop && stop()))
        return false;
    auto state = std::make_shared<ProbeState>();
    QPointer<QObject> owner = converter->parent();
    const bool owned = owner != nullptr;
    converter->setParent(nullptr);

    QThread* thread = QThread::create([state, converter, path, withTags] {
        FileProbe probe;
        probe.code = converter->ReadFileInfo(path);
        if (probe.code == 0) {
            probe.durationMs = converter->Duration();
            if (withTags) {
                converter->ReadTags(path);
                probe.tags = {converter->TagAlbum(), converter->TagArtist(), converter->TagComment(),
                              converter->TagGenre(), converter->TagYear(),   converter->TagTitle(),
                              converter->TagTrack()};
            }
        }
        const std::lock_guard<std::mutex> guard(state->lock);
        state->result = std::move(probe);
        state->ended = true;
        if (state->givenUp)
            converter->deleteLater();  // on the thread that owns it, once it has no user
    });
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (stop && stop())
            loop.quit();
    });
    thread->start();
    poll.start();
    loop.exec();

    const std::lock_guard<std::mutex> guard(state->lock);
    if (!state->ended) {
        state->givenUp = true;
        return false;
    }
    result = state->result;
    if (owner)
        converter->setParent(owner);
    else if (owned)
        converter->deleteLater();  // its window went away meanwhile
    return true;
}
