#include "storage/smbclientlib.h"

#include <QLibrary>

namespace {

struct Loaded {
    SmbClientLib functions{};
    QString error;
    bool ok = false;
};

template <typename F> bool Resolve(QLibrary &library, const char *name, F &function, QString &error)
{
    function = reinterpret_cast<F>(library.resolve(name));
    if (!function && error.isEmpty())
        error = library.errorString();
    return function != nullptr;
}

Loaded LoadLibrary()
{
    Loaded out;
    // Never unloaded: contexts made by it live until the program ends.
    QLibrary library(QStringLiteral("smbclient"), 0);
    if (!library.load()) {
        out.error = library.errorString();
        return out;
    }
    SmbClientLib &f = out.functions;
    QString &e = out.error;
    // Each one is looked up (no short cut), so the error names the first missing.
    out.ok = Resolve(library, "smbc_new_context", f.new_context, e)
             & Resolve(library, "smbc_init_context", f.init_context, e)
             & Resolve(library, "smbc_free_context", f.free_context, e)
             & Resolve(library, "smbc_setDebug", f.setDebug, e)
             & Resolve(library, "smbc_setLogCallback", f.setLogCallback, e)
             & Resolve(library, "smbc_setOptionUseKerberos", f.setOptionUseKerberos, e)
             & Resolve(library, "smbc_setOptionFallbackAfterKerberos", f.setOptionFallbackAfterKerberos, e)
             & Resolve(library, "smbc_setOptionUseCCache", f.setOptionUseCCache, e)
             & Resolve(library, "smbc_setOptionNoAutoAnonymousLogin", f.setOptionNoAutoAnonymousLogin, e)
             & Resolve(library, "smbc_setOptionUserData", f.setOptionUserData, e)
             & Resolve(library, "smbc_getOptionUserData", f.getOptionUserData, e)
             & Resolve(library, "smbc_setFunctionAuthDataWithContext", f.setFunctionAuthDataWithContext, e)
             & Resolve(library, "smbc_getFunctionPurgeCachedServers", f.getFunctionPurgeCachedServers, e)
             & Resolve(library, "smbc_getFunctionOpendir", f.getFunctionOpendir, e)
             & Resolve(library, "smbc_getFunctionReaddir", f.getFunctionReaddir, e)
             & Resolve(library, "smbc_getFunctionClosedir", f.getFunctionClosedir, e)
             & Resolve(library, "smbc_getFunctionStat", f.getFunctionStat, e)
             & Resolve(library, "smbc_getFunctionFstat", f.getFunctionFstat, e)
             & Resolve(library, "smbc_getFunctionOpen", f.getFunctionOpen, e)
             & Resolve(library, "smbc_getFunctionRead", f.getFunctionRead, e)
             & Resolve(library, "smbc_getFunctionWrite", f.getFunctionWrite, e)
             & Resolve(library, "smbc_getFunctionClose", f.getFunctionClose, e)
             & Resolve(library, "smbc_getFunctionUnlink", f.getFunctionUnlink, e)
             & Resolve(library, "smbc_getFunctionRename", f.getFunctionRename, e)
             & Resolve(library, "smbc_getFunctionMkdir", f.getFunctionMkdir, e)
             & Resolve(library, "smbc_getFunctionRmdir", f.getFunctionRmdir, e)
             & Resolve(library, "smbc_getFunctionChmod", f.getFunctionChmod, e)
             & Resolve(library, "smbc_getFunctionUtimes", f.getFunctionUtimes, e);
    return out;
}

const Loaded &Library()
{
    static const Loaded loaded = LoadLibrary();
    return loaded;
}

} // namespace

const SmbClientLib *SmbClientLib::Load(QString *error)
{
    const Loaded &loaded = Library();
    if (!loaded.ok && error)
        *error = loaded.error;
    return loaded.ok ? &loaded.functions : nullptr;
}

const SmbClientLib &SmbLib()
{
    return Library().functions;
}
