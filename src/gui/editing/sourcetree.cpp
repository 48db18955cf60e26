#include "gui/editing/sourcetree.h"

#include "gui/editing/wizardchecks.h"

#include <QDir>
#include <algorithm>
#include <functional>
#include <QFileInfo>
#include <QHeaderView>

namespace {
QString folderItem(const QString &path)
{
    return path == QStringLiteral("/") ? QStringLiteral("/*") : path + QStringLiteral("/*");
}

// True when `path` lies inside folder `folder` (not equal to it).
bool isInside(const QString &path, const QString &folder)
{
    if (folder == QStringLiteral("/"))
        return path.size() > 1 && path.startsWith(QLatin1Char('/'));
    return path.startsWith(folder + QLatin1Char('/'));
}

QString clean(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}
} // namespace

TCheckableFileSystemModel::TCheckableFileSystemModel(QObject *parent) : QFileSystemModel(parent)
{
    setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    setReadOnly(true);
    setResolveSymlinks(false);
}

void TCheckableFileSystemModel::SetItems(const QStringList &items)
{
    m_items.clear();
    for (const QString &item : items) {
        const QString path = SourceItemPath(item);
        const QFileInfo fi(path);
        if (IsFolderItem(item) ? fi.isDir() : (fi.exists() && !fi.isDir()))
            if (!m_items.contains(item))
                m_items.append(item);
    }
    refreshAll();
    emit ItemsChanged();
}

QString TCheckableFileSystemModel::checkedAncestorItem(const QString &path) const
{
    for (const QString &item : m_items)
        if (IsFolderItem(item) && isInside(path, SourceItemPath(item)))
            return item;
    return QString();
}

Qt::CheckState TCheckableFileSystemModel::CheckStateOf(const QString &rawPath) const
{
    const QString path = clean(rawPath);
    if (m_items.contains(path) || m_items.contains(folderItem(path)) || !checkedAncestorItem(path).isEmpty())
        return Qt::Checked;
    for (const QString &item : m_items)
        if (isInside(SourceItemPath(item), path))
            return Qt::PartiallyChecked;
    return Qt::Unchecked;
}

void TCheckableFileSystemModel::SetChecked(const QString &rawPath, bool checked)
{
    const QString path = clean(rawPath);
    const bool dir = QFileInfo(path).isDir();
    if (checked) {
        if (CheckStateOf(path) == Qt::Checked)
            return;
        // The new item covers whatever was checked inside it.
        if (dir)
            m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                         [&](const QString &item) { return isInside(SourceItemPath(item), path); }),
                          m_items.end());
        m_items.append(dir ? folderItem(path) : path);
    } else {
        QString ancestor = checkedAncestorItem(path);
        while (!ancestor.isEmpty()) {
            // Replace the checked folder by its entries, then go one level down.
            const QString folder = SourceItemPath(ancestor);
            const qsizetype at = m_items.indexOf(ancestor);
            m_items.removeAt(at);
            const QFileInfoList entries = QDir(folder).entryInfoList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name | QDir::DirsFirst);
            QStringList replacement;
            for (const QFileInfo &e : entries) {
                const QString p = clean(e.absoluteFilePath());
                if (p == path)
                    continue;
                replacement.append(e.isDir() && !e.isSymLink() ? folderItem(p) : p);
            }
            for (int i = 0; i < replacement.size(); ++i)
                m_items.insert(at + i, replacement.at(i));
            ancestor = checkedAncestorItem(path);
        }
        m_items.removeAll(path);
        m_items.removeAll(folderItem(path));
        if (dir)
            m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                         [&](const QString &item) { return isInside(SourceItemPath(item), path); }),
                          m_items.end());
    }
    refreshAll();
    emit ItemsChanged();
}

QVariant TCheckableFileSystemModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole && index.column() == 0)
        return CheckStateOf(filePath(index));
    return QFileSystemModel::data(index, role);
}

bool TCheckableFileSystemModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::CheckStateRole && index.column() == 0) {
        SetChecked(filePath(index), value.toInt() == Qt::Checked);
        return true;
    }
    return QFileSystemModel::setData(index, value, role);
}

Qt::ItemFlags TCheckableFileSystemModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QFileSystemModel::flags(index);
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void TCheckableFileSystemModel::refreshAll()
{
    // Check marks of ancestors and descendants change with any item.
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        const int rows = rowCount(parent);
        if (rows == 0)
            return;
        emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent), {Qt::CheckStateRole});
        for (int r = 0; r < rows; ++r)
            walk(index(r, 0, parent));
    };
    walk(index(rootPath()));
}

TSourceTree::TSourceTree(QWidget *parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("SourceTree"));
    m_model = new TCheckableFileSystemModel(this);
    m_model->setRootPath(QStringLiteral("/"));
    setModel(m_model);
    setRootIndex(m_model->index(QStringLiteral("/")).parent());
    for (int c = 1; c < m_model->columnCount(); ++c)
        hideColumn(c);
    header()->hide();
}

void TSourceTree::Collapse()
{
    collapseAll();
}

void TSourceTree::RevealItems()
{
    for (const QString &item : m_model->Items()) {
        QModelIndex at = m_model->index(QFileInfo(SourceItemPath(item)).absolutePath());
        while (at.isValid()) {
            expand(at);
            at = at.parent();
        }
    }
}
