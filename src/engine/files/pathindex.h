#pragma once
// A hashed index over a list of relative paths, so that every lookup of a
// run (is this file in the reference state? was this folder seen?) is one
// probe instead of a scan. The index stores only positions into the list
// (open addressing, 32-bit slots), so it costs a few bytes per path on top
// of the list it indexes.
//
// Paths are compared exactly, letter case included: on this platform two
// names that differ only in case are two files.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

class PathIndex {
public:
    PathIndex() = default;
    // Indexes every entry of `list`, which must outlive the index and may
    // only grow through Append() while indexed.
    explicit PathIndex(const QStringList *list) { Reset(list); }

    void Reset(const QStringList *list);
    void Clear();

    // Position of the first entry equal to `path`, or -1.
    qsizetype IndexOf(QStringView path) const;
    bool Contains(QStringView path) const { return IndexOf(path) >= 0; }

    // Indexes the entry just appended to the list (its last entry).
    void IndexLast();

private:
    void Rehash(size_t capacity);
    void Insert(qsizetype position);

    const QStringList *m_list = nullptr;
    std::vector<qint32> m_slots; // position + 1; 0 = empty
    qsizetype m_count = 0;
};

// A set of paths that owns its entries (the folders created in a run).
class PathSet {
public:
    PathSet() = default;
    PathSet(const PathSet &) = delete; // the index points into this object's list
    PathSet &operator=(const PathSet &) = delete;

    bool Contains(QStringView path) const { return m_index.Contains(path); }
    // True when the path was added, false when it was there already.
    bool Insert(const QString &path);
    void Clear();
    qsizetype Size() const { return m_list.size(); }

private:
    QStringList m_list;
    PathIndex m_index{&m_list};
};
