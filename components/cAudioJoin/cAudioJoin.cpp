// The join component's list of entries and the factory the windows create it through.
#include "components/cAudioJoin/cAudioJoin.h"

#include "components/cAudioJoin/AudioJoinImpl.h"

namespace {
AudioJoinFactory& factory()
{
    static AudioJoinFactory f;
    return f;
}
}  // namespace

cAudioJoin::cAudioJoin(QObject* parent) : AudioJobComponent(parent) {}

cAudioJoin::~cAudioJoin() = default;

void cAudioJoin::AddFile(const QString& FileName, qint32& Start, qint32& Length)
{
    m_entries.append(JoinEntry{FileName, Start, Length});
}

qint32 cAudioJoin::GetFileCount() const
{
    return qint32(m_entries.size());
}

void cAudioJoin::RemoveFile(qint32 Index)
{
    if (Index >= 1 && Index <= m_entries.size())
        m_entries.removeAt(Index - 1);
}

QString cAudioJoin::GetFile(qint32 Index, qint32& Start, qint32& Length) const
{
    Q_UNUSED(Start)
    Q_UNUSED(Length)
    return Index >= 1 && Index <= m_entries.size() ? m_entries[Index - 1].FileName : QString();
}

cAudioJoin* CreateAudioJoin(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new AudioJoinImpl(parent);
}

void SetAudioJoinFactory(AudioJoinFactory f)
{
    factory() = std::move(f);
}
