#pragma once
// The check-box tree of the computer's folders and files from which the
// wizard takes its sources. A checked folder is the item "path/*" (its whole
// content), a checked file its path. Unchecking something inside a checked
// folder replaces that folder by its other entries, level by level, so the
// items always say exactly what is checked.
#include <QFileSystemModel>
#include <QStringList>
#include <QTreeView>

class TCheckableFileSystemModel : public QFileSystemModel {
    Q_OBJECT
public:
    explicit TCheckableFileSystemModel(QObject *parent = nullptr);

    // The items in the order they were checked.
    QStringList Items() const { return m_items; }
    // Replaces the items; those whose folder or file does not exist are dropped.
    void SetItems(const QStringList &items);
    // Checks or unchecks a path (a folder or a file).
    void SetChecked(const QString &path, bool checked);
    Qt::CheckState CheckStateOf(const QString &path) const;

    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void ItemsChanged();

private:
    QString checkedAncestorItem(const QString &path) const;
    void refreshAll();

    QStringList m_items;
};

class TSourceTree : public QTreeView {
    Q_OBJECT
public:
    explicit TSourceTree(QWidget *parent = nullptr);
    TCheckableFileSystemModel *Model() const { return m_model; }
    void Collapse();
    // Expands the folders that lead to the checked items.
    void RevealItems();

private:
    TCheckableFileSystemModel *m_model;
};
