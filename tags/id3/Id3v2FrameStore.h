// The frames of one ID3v2 tag: the distinct frame ids in the order each was first added,
// and for each id its values, numbered from 1. Ids compare without regard to case.
#pragma once

#include "tags/id3/Id3v2FrameData.h"

#include <QHash>
#include <QStringList>
#include <QVector>

#include <functional>

class Id3v2FrameStore
{
public:
    void Clear();

    qsizetype FrameCount() const { return m_ids.size(); }
    // The id at a 0-based position.
    QString Id(qsizetype index) const { return m_ids.value(index); }
    bool Contains(const QString& id) const { return m_values.contains(Key(id)); }
    // The number of values of the id, 0 when it has none.
    qsizetype Count(const QString& id) const { return m_values.value(Key(id)).size(); }
    QVector<Id3v2Frame> Values(const QString& id) const { return m_values.value(Key(id)); }

    // Adds the value as the id's next one; a new id goes to the end of the list.
    void Add(const QString& id, const Id3v2Frame& value);
    // Removes the id with all its values; false when the store has no such id.
    bool RemoveFrame(const QString& id);
    // Removes value `number` (1-based) of the id; the later ones move down by one, and the
    // id goes when it was the last. False when there is no such value.
    bool RemoveValue(const QString& id, qsizetype number);
    // Removes every value of the id that `match` accepts, keeping the others in order.
    // Returns the removed values.
    QVector<Id3v2Frame> RemoveValuesIf(const QString& id, const std::function<bool(const Id3v2Frame&)>& match);

    // Every value with its id: ids in list order, each id's values in number order.
    QVector<Id3v2IdFrame> Frames() const;

private:
    static QString Key(const QString& id) { return id.toUpper(); }
    void Drop(const QString& key);

    QStringList m_ids;
    QHash<QString, QVector<Id3v2Frame>> m_values;
};
