// A list of pictures addressed by number (0 is the first picture).
#pragma once

#include <QIcon>
#include <QList>

class cImageList
{
public:
    int Add(const QIcon& icon)
    {
        m_icons.append(icon);
        return int(m_icons.size()) - 1;
    }
    // The picture at a number; a null icon for -1 or a number past the end.
    QIcon ItemPicture(int index) const
    {
        return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon();
    }
    int Count() const { return int(m_icons.size()); }
    void Clear() { m_icons.clear(); }

private:
    QList<QIcon> m_icons;
};
