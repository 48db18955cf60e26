#include "options/options.h"

int FindFTPAccountIndex(const QVector<TFTPAccount> &accounts, qint32 id)
{
    for (int i = static_cast<int>(accounts.size()) - 1; i >= 0; --i) {
        if (accounts[i].ID == id)
            return i;
    }
    return -1;
}

int AddFTPAccount(TOptions &options, TFTPAccount account)
{
    account.ID = ++options.LastFTPAccountID;
    options.FTPAccounts.append(account);
    return static_cast<int>(options.FTPAccounts.size()) - 1;
}
