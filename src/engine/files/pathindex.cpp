#include "engine/files/pathindex.h"

#include <QHashFunctions>

namespace {
size_t HashOf(QStringView s)
{
    return qHash(s, 0);
}
} // namespace

void PathIndex::Reset(const QStringList *list)
{
    m_list = list;
    m_slots.clear();
    m_count = 0;
    if (!m_list)
        return;
    size_t capacity = 16;
    while (capacity < size_t(m_list->size()) * 2)
        capacity *= 2;
    m_slots.assign(capacity, 0);
    for (qsizetype i = 0; i < m_list->size(); ++i)
        Insert(i);
}

void PathIndex::Clear()
{
    m_list = nullptr;
    std::vector<qint32>().swap(m_slots);
    m_count = 0;
}

qsizetype PathIndex::IndexOf(QStringView path) const
{
    if (!m_list || m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = HashOf(path) & mask;; i = (i + 1) & mask) {
        const qint32 slot = m_slots[i];
        if (slot == 0)
            return -1;
        if (QStringView(m_list->at(slot - 1)) == path)
            return slot - 1;
    }
}

void PathIndex::IndexLast()
{
    if (!m_list || m_list->isEmpty())
        return;
    if (m_slots.empty() || size_t(m_count + 1) * 2 > m_slots.size())
        Rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
    Insert(m_list->size() - 1);
}

void PathIndex::Rehash(size_t capacity)
{
    m_slots.assign(capacity, 0);
    m_count = 0;
    // Every entry but the last one, which the caller inserts.
    for (qsizetype i = 0; i + 1 < m_list->size(); ++i)
        Insert(i);
}

void PathIndex::Insert(qsizetype position)
{
    const QString &path = m_list->at(position);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = HashOf(path) & mask;; i = (i + 1) & mask) {
        const qint32 slot = m_slots[i];
        if (slot == 0) {
            m_slots[i] = qint32(position + 1);
            ++m_count;
            return;
        }
        // The first of equal entries keeps the slot.
        if (m_list->at(slot - 1) == path)
            return;
    }
}

bool PathSet::Insert(const QString &path)
{
    if (m_index.Contains(path))
        return false;
    m_list.append(path);
    m_index.IndexLast();
    return true;
}

void PathSet::Clear()
{
    m_list.clear();
    m_index.Reset(&m_list);
}
