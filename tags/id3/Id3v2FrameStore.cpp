#include "tags/id3/Id3v2FrameStore.h"

void Id3v2FrameStore::Clear()
{
    m_ids.clear();
    m_values.clear();
}

void Id3v2FrameStore::Add(const QString& id, const Id3v2Frame& value)
{
    const QString key = Key(id);
    auto it = m_values.find(key);
    if (it == m_values.end()) {
        m_ids.append(id);
        it = m_values.insert(key, {});
    }
    it->append(value);
}

void Id3v2FrameStore::Drop(const QString& key)
{
    m_values.remove(key);
    for (qsizetype i = 0; i < m_ids.size(); ++i) {
        if (Key(m_ids[i]) == key) {
            m_ids.removeAt(i);
            break;
        }
    }
}

bool Id3v2FrameStore::RemoveFrame(const QString& id)
{
    const QString key = Key(id);
    if (!m_values.contains(key))
        return false;
    Drop(key);
    return true;
}

bool Id3v2FrameStore::RemoveValue(const QString& id, qsizetype number)
{
    const QString key = Key(id);
    auto it = m_values.find(key);
    if (it == m_values.end() || number < 1 || number > it->size())
        return false;
    it->removeAt(number - 1);
    if (it->isEmpty())
        Drop(key);
    return true;
}

QVector<Id3v2Frame> Id3v2FrameStore::RemoveValuesIf(const QString& id,
                                                    const std::function<bool(const Id3v2Frame&)>& match)
{
    QVector<Id3v2Frame> removed;
    const QString key = Key(id);
    auto it = m_values.find(key);
    if (it == m_values.end())
        return removed;
    QVector<Id3v2Frame> kept;
    for (const Id3v2Frame& v : *it)
        (match(v) ? removed : kept).append(v);
    if (kept.isEmpty())
        Drop(key);
    else
        *it = kept;
    return removed;
}

QVector<Id3v2IdFrame> Id3v2FrameStore::Frames() const
{
    QVector<Id3v2IdFrame> out;
    for (const QString& id : m_ids) {
        for (const Id3v2Frame& v : m_values.value(Key(id)))
            out.append({id, v});
    }
    return out;
}
